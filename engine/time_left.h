#pragma once
// How long a batch still needs, as people say it. The estimate weighs what is left by the length of
// each source's part to convert and divides it by the speed measured so far: seconds of media an
// encoder converts per second, from each source's first progress on, kept apart by how many
// encoders were running at the time (one encoder alone may go as fast as two together when it
// uses every core, or no faster when it uses one), and adds for each source still to begin the
// start-up it took the others before their progress showed. It plays the rest of the batch
// through: the running sources go on, each waiting source starts when an encoder comes free, in
// list order, and each stretch goes at the speed of as many encoders as convert through it; the
// batch ends when the last source does. It stays silent until it can be trusted.
#include <optional>
#include <string>
#include <vector>

class CTimeLeft {
public:
    // Seconds an encoder must have been seen converting, all together, before the speed is
    // trusted.
    static constexpr double kTrustAfterSeconds = 5.0;
    // ... and how far their progress must have moved (in fractions of a source, summed), unless a
    // source has ended: a few whole percents alone say little about the speed.
    static constexpr double kTrustAfterMoved = 0.1;

    // A batch of sources whose parts last `lengths` seconds each (in list order), converted by up
    // to nJobs encoders at once. A length of 0 or less (a source not to convert) counts as done.
    CTimeLeft(std::vector<double> lengths, int nJobs);

    // Source i began at `now` (seconds on any steady clock).
    void Began(int i, double now);
    // Source i has reached `fraction` (0..1) of its part at `now`.
    void Progress(int i, double fraction, double now);
    // Source i ended (done, skipped or failed): nothing of it is left.
    void Ended(int i, double now);

    // The seconds the batch still needs from `now`, or nullopt until the encoders have been seen
    // converting long enough to trust their speed.
    std::optional<double> Remaining(double now) const;

private:
    struct Source {
        double length = 0.0;    // seconds of media to convert
        double fraction = 0.0;  // part converted
        double began = -1.0;    // when its encoder started; -1 before
        double moved = -1.0;    // when its progress was first seen; -1 before
        double movedFrom = 0.0; // the fraction seen then
        double changed = -1.0;  // when its progress last moved
        double ended = -1.0;    // when it ended; -1 before
        // The seconds spent with each number of encoders running (m_levelSeconds) when its
        // progress last moved: what its next step took, at which number of encoders.
        std::vector<double> levelsAtChange;
    };

    // Source i, begun at `now` if it had not; nullptr when there is none or it has ended.
    Source* Running(int i, double now);
    // The number of encoders running now (starting or converting): sources begun and not ended.
    int Encoders() const;
    // Adds the time since the last account to the number of encoders running through it.
    void Account(double now);
    // Source s converted `media` seconds since its progress last moved: each number of encoders
    // that converted meanwhile gets its share, by the time spent with it.
    void Measure(Source& s, double media);
    // Media seconds one encoder converts per second while n run: measured with n, else from the
    // nearest number measured; `fallback` when nothing is measured.
    double EncoderSpeed(int n, double fallback) const;

    std::vector<Source> m_sources;
    int m_nJobs;
    // By the number of encoders running (index 0: none): the seconds spent so; the encoder seconds
    // measured, and the media seconds they converted.
    std::vector<double> m_levelSeconds;
    std::vector<double> m_encoderSeconds;
    std::vector<double> m_encoderMedia;
    double m_lastAccount = -1.0;
};

// The time as people say it: "a few seconds left", "about 40 seconds left", "about 1 minute left",
// "about 3 minutes left", "about 25 minutes left", "about 1 hour 20 minutes left", "about 6 hours
// left". Seconds under a minute are rounded to tens, minutes to whole ones (to fives from ten on),
// an hour or more to ten minutes, five hours or more to whole hours.
std::string TimeLeftText(double seconds);
