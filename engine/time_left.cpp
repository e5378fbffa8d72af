#include "engine/time_left.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Encoder seconds measured with one number of encoders before that number's speed is used.
constexpr double kLeastMeasuredSeconds = 2.0;
// How an encoder's speed follows the number of encoders beside it, until it is measured: with
// fewer, each one goes (k / n) to this power as fast. 1 for encoders that use every core (the
// batch converts as much however many run), 0 for encoders that use one core each (each goes
// as fast however many run); in between for what the cores leave to be seen.
constexpr double kSpeedUpShare = 0.5;

} // namespace

CTimeLeft::CTimeLeft(std::vector<double> lengths, int nJobs) : m_nJobs(std::max(nJobs, 1)) {
    // More may convert than were asked for: a source that ends before its progress shows.
    const std::size_t nLevels = static_cast<std::size_t>(m_nJobs) + 2;
    m_levelSeconds.assign(nLevels, 0.0);
    m_encoderSeconds.assign(nLevels, 0.0);
    m_encoderMedia.assign(nLevels, 0.0);
    m_sources.reserve(lengths.size());
    for (double length : lengths) {
        Source source;
        source.length = std::max(length, 0.0);
        m_sources.push_back(source);
    }
}

CTimeLeft::Source* CTimeLeft::Running(int i, double now) {
    if (i < 0 || static_cast<std::size_t>(i) >= m_sources.size()) {
        return nullptr;
    }
    Source& source = m_sources[static_cast<std::size_t>(i)];
    if (source.began < 0.0) {
        source.began = now;
    }
    return source.ended < 0.0 ? &source : nullptr;
}

int CTimeLeft::Encoders() const {
    int n = 0;
    for (const Source& source : m_sources) {
        n += source.began >= 0.0 && source.ended < 0.0 ? 1 : 0;
    }
    return std::min(n, static_cast<int>(m_levelSeconds.size()) - 1);
}

void CTimeLeft::Account(double now) {
    if (m_lastAccount >= 0.0 && now > m_lastAccount) {
        m_levelSeconds[static_cast<std::size_t>(Encoders())] += now - m_lastAccount;
    }
    m_lastAccount = std::max(m_lastAccount, now);
}

void CTimeLeft::Measure(Source& s, double media) {
    double total = 0.0;
    for (std::size_t k = 1; k < m_levelSeconds.size(); ++k) {
        total += m_levelSeconds[k] - s.levelsAtChange[k];
    }
    if (total <= 0.0) {
        return;
    }
    for (std::size_t k = 1; k < m_levelSeconds.size(); ++k) {
        const double spent = m_levelSeconds[k] - s.levelsAtChange[k];
        m_encoderSeconds[k] += spent;
        m_encoderMedia[k] += media * spent / total;
    }
}

void CTimeLeft::Began(int i, double now) {
    Account(now);
    Running(i, now);
}

void CTimeLeft::Progress(int i, double fraction, double now) {
    Account(now);
    Source* pSource = Running(i, now);
    if (pSource == nullptr) {
        return;
    }
    const double reached = std::clamp(fraction, pSource->fraction, 1.0);
    if (reached <= pSource->fraction) {
        return;
    }
    if (pSource->moved >= 0.0) {
        Measure(*pSource, (reached - pSource->fraction) * pSource->length);
    } else {
        pSource->moved = now;
        pSource->movedFrom = reached;
    }
    pSource->changed = now;
    pSource->fraction = reached;
    pSource->levelsAtChange = m_levelSeconds;
}

void CTimeLeft::Ended(int i, double now) {
    Account(now);
    Source* pSource = Running(i, now);
    if (pSource == nullptr) {
        return;
    }
    if (pSource->moved >= 0.0) {
        Measure(*pSource, (1.0 - pSource->fraction) * pSource->length);
    } else {
        // Over before its progress showed: all of it counts, start-up included, beside the
        // encoders that were converting meanwhile.
        const std::size_t k =
            std::min(static_cast<std::size_t>(Encoders()) + 1, m_levelSeconds.size() - 1);
        m_encoderSeconds[k] += now - pSource->began;
        m_encoderMedia[k] += pSource->length;
        pSource->moved = pSource->began;
        pSource->movedFrom = 0.0;
    }
    pSource->ended = now;
    pSource->changed = now;
    pSource->fraction = 1.0;
}

double CTimeLeft::EncoderSpeed(int n, double fallback) const {
    const auto measured = [this](std::size_t k) {
        return m_encoderSeconds[k] >= kLeastMeasuredSeconds && m_encoderMedia[k] > 0.0
                   ? m_encoderMedia[k] / m_encoderSeconds[k]
                   : -1.0;
    };
    const std::size_t wanted = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(n, 1)), 1,
                                                       m_encoderSeconds.size() - 1);
    if (measured(wanted) > 0.0) {
        return measured(wanted);
    }
    for (std::size_t distance = 1; distance < m_encoderSeconds.size(); ++distance) {
        for (const std::size_t k : {wanted - std::min(wanted, distance), wanted + distance}) {
            if (k >= 1 && k < m_encoderSeconds.size() && measured(k) > 0.0) {
                // Between encoders that use every core (each one as much slower as there are more
                // of them) and encoders that use one each (as fast however many run).
                return measured(k) * std::pow(static_cast<double>(k) / static_cast<double>(wanted),
                                              kSpeedUpShare);
            }
        }
    }
    return fallback;
}

std::optional<double> CTimeLeft::Remaining(double now) const {
    // The speed while converting: media converted from each source's first progress to its latest
    // change, per second between the two (the time since the latest change holds a step that has
    // not shown yet, so it is left out).
    double seen = 0.0;
    double converted = 0.0;
    double moved = 0.0; // fractions moved, summed over the sources: whole percents are coarse
    bool bAnyEnded = false;
    for (const Source& source : m_sources) {
        if (source.moved >= 0.0) {
            seen += source.changed - source.moved;
            converted += (source.fraction - source.movedFrom) * source.length;
            moved += source.fraction - source.movedFrom;
            bAnyEnded = bAnyEnded || source.ended >= 0.0;
        }
    }
    if (seen < kTrustAfterSeconds || converted <= 0.0 || (moved < kTrustAfterMoved && !bAnyEnded)) {
        return std::nullopt;
    }
    const double speed = converted / seen;
    // The start-up before a source's progress shows: what its first progress took beyond the
    // converting itself, on average.
    double startup = 0.0;
    int nStarted = 0;
    for (const Source& source : m_sources) {
        if (source.moved > source.began && source.began >= 0.0) {
            startup += std::max(0.0, source.moved - source.began -
                                         source.movedFrom * source.length / speed);
            ++nStarted;
        }
    }
    startup = nStarted > 0 ? startup / nStarted : 0.0;

    // Play the rest through, from the running sources on.
    struct Run {
        double left;    // media seconds
        double startup; // seconds before its progress shows
    };
    std::vector<Run> running;
    const double nowEach = EncoderSpeed(Encoders(), speed);
    for (const Source& source : m_sources) {
        if (source.began < 0.0 || source.ended >= 0.0) {
            continue;
        }
        if (source.moved < 0.0) {
            running.push_back({source.length, std::max(0.0, startup - (now - source.began))});
        } else {
            // What is left from its latest step, less what it converted since then.
            running.push_back({std::max(0.0, source.length * (1.0 - source.fraction) -
                                                 (now - source.changed) * nowEach),
                               0.0});
        }
    }
    std::size_t nNext = 0;
    double elapsed = 0.0;
    for (;;) {
        // A thousandth of a media second is done: the steps' rounding may leave a little.
        std::erase_if(running,
                      [](const Run& run) { return run.left <= 1e-3 && run.startup <= 0.0; });
        for (; running.size() < static_cast<std::size_t>(m_nJobs) && nNext < m_sources.size();
             ++nNext) {
            const Source& source = m_sources[nNext];
            if (source.began < 0.0 && source.length > 0.0) {
                running.push_back({source.length, startup});
            }
        }
        if (running.empty()) {
            break;
        }
        const double each = EncoderSpeed(static_cast<int>(running.size()), speed);
        // The next moment a run starts converting or ends.
        double step = std::numeric_limits<double>::infinity();
        for (const Run& run : running) {
            step = std::min(step, run.startup > 0.0 ? run.startup : run.left / each);
        }
        for (Run& run : running) {
            if (run.startup > 0.0) {
                run.startup = std::max(0.0, run.startup - step);
            } else {
                run.left -= step * each;
            }
        }
        elapsed += step;
    }
    return elapsed;
}

std::string TimeLeftText(double seconds) {
    constexpr double kMinute = 60.0;
    constexpr double kHour = 3600.0;
    if (seconds < 20.0) {
        return "a few seconds left";
    }
    if (seconds < 55.0) {
        return "about " + std::to_string(static_cast<long>(std::lround(seconds / 10.0) * 10)) +
               " seconds left";
    }
    if (seconds < 90.0) {
        return "about 1 minute left";
    }
    if (seconds < 57.5 * kMinute) {
        const long minutes = std::lround(seconds / kMinute);
        const long rounded = minutes < 10 ? minutes : (minutes + 2) / 5 * 5;
        return "about " + std::to_string(rounded) + " minutes left";
    }
    if (seconds < 4.75 * kHour) {
        const long tens = std::lround(seconds / (10.0 * kMinute));
        const long hours = tens / 6;
        const long minutes = tens % 6 * 10;
        std::string text = "about " + std::to_string(hours) + (hours == 1 ? " hour" : " hours");
        if (minutes > 0) {
            text += " " + std::to_string(minutes) + " minutes";
        }
        return text + " left";
    }
    return "about " + std::to_string(std::lround(seconds / kHour)) + " hours left";
}
