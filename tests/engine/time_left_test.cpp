// The time left of a batch: played through against a simulated encoder that converts at a steady
// speed after a fixed start-up cost per file, reporting whole percents twice a second, as the real
// one does. Once shown, the estimate stays within a quarter of the time that is really left.
#include "engine/time_left.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Simulated {
    double length;       // seconds of media
    double began = -1.0; // when its encoder started
    double ends = 0.0;   // when it will end
};

// Runs the batch through with nJobs encoders converting `speed` media seconds a second after
// `startup` seconds each, polling every half second. Returns the worst relative error of the
// estimate while at least `minLeft` seconds were left, and the time it was first shown.
struct Outcome {
    double worst = 0.0;
    double firstShown = -1.0;
    double total = 0.0;
};

Outcome PlayThrough(const std::vector<double>& lengths, int nJobs, double speed, double startup,
                    double minLeft) {
    std::vector<Simulated> files;
    for (double length : lengths) {
        files.push_back({length});
    }
    // The schedule: each file starts when an encoder comes free, in list order.
    std::vector<double> freeAt(static_cast<std::size_t>(nJobs), 0.0);
    double end = 0.0;
    for (Simulated& file : files) {
        auto slot = std::min_element(freeAt.begin(), freeAt.end());
        file.began = *slot;
        file.ends = file.began + startup + file.length / speed;
        *slot = file.ends;
        end = std::max(end, file.ends);
    }

    CTimeLeft timeLeft(lengths, nJobs);
    std::vector<bool> ended(files.size(), false);
    Outcome outcome;
    outcome.total = end;
    for (double now = 0.0; now < end; now += 0.1) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            const Simulated& file = files[i];
            if (now < file.began || ended[i]) {
                continue;
            }
            if (now >= file.ends) {
                timeLeft.Ended(static_cast<int>(i), file.ends);
                ended[i] = true;
                continue;
            }
            // The job's percent: whole, at most 99, parsed twice a second.
            const double parsed = std::floor((now - file.began) * 2.0) / 2.0;
            const double done = std::max(0.0, parsed - startup) * speed / file.length;
            timeLeft.Progress(static_cast<int>(i), std::min(std::floor(done * 100.0), 99.0) / 100.0,
                              now);
        }
        const std::optional<double> estimate = timeLeft.Remaining(now);
        if (!estimate) {
            EXPECT_LT(outcome.firstShown, 0.0) << "shown, then gone again at " << now;
            continue;
        }
        if (outcome.firstShown < 0.0) {
            outcome.firstShown = now;
        }
        const double left = end - now;
        if (left >= minLeft) {
            outcome.worst = std::max(outcome.worst, std::abs(*estimate - left) / left);
        }
    }
    return outcome;
}

TEST(CTimeLeft, WithinAQuarterOnceShown) {
    // One encoder, files of 10, 60 and 20 s at 4 times their speed, with half a second of start-up.
    const Outcome one = PlayThrough({10, 60, 20}, 1, 4.0, 0.5, 3.0);
    EXPECT_LE(one.worst, 0.25);
    // Shown after a few seconds of encoding, long before the end.
    EXPECT_GE(one.firstShown, CTimeLeft::kTrustAfterSeconds);
    EXPECT_LT(one.firstShown, one.total / 2);

    // Two encoders at once: the files left are shared out as encoders come free.
    const Outcome two = PlayThrough({10, 60, 20, 30, 5}, 2, 4.0, 0.5, 3.0);
    EXPECT_LE(two.worst, 0.25);
    EXPECT_GE(two.firstShown, CTimeLeft::kTrustAfterSeconds / 2);

    // A slow encoder on long files, the longest left alone at the end. How fast one encoder goes
    // alone is a guess until it has been seen alone (these go no faster, encoders that use every
    // core go twice as fast): the guess in between may be off by 1 - 1/sqrt(2) of the tail.
    const Outcome slow = PlayThrough({600, 3600, 1200}, 2, 0.8, 2.0, 10.0);
    EXPECT_LE(slow.worst, 0.31);
}

TEST(CTimeLeft, SaysItAsPeopleDo) {
    struct Case {
        double seconds;
        const char* text;
    };
    for (const Case& c :
         {Case{3, "a few seconds left"}, Case{37, "about 40 seconds left"},
          Case{70, "about 1 minute left"}, Case{170, "about 3 minutes left"},
          Case{23 * 60, "about 25 minutes left"}, Case{80 * 60, "about 1 hour 20 minutes left"},
          Case{118 * 60, "about 2 hours left"}, Case{6.2 * 3600, "about 6 hours left"}}) {
        EXPECT_EQ(TimeLeftText(c.seconds), c.text) << c.seconds;
    }
}

} // namespace
