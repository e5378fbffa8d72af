#include "engine/time_left.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>

CTimeLeft::CTimeLeft(std::vector<double> lengths, int nJobs) : m_nJobs(std::max(nJobs, 1)) {
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

void CTimeLeft::Began(int i, double now) {
    Running(i, now);
}

void CTimeLeft::Progress(int i, double fraction, double now) {
    Source* pSource = Running(i, now);
    if (pSource == nullptr) {
        return;
    }
    const double reached = std::clamp(fraction, pSource->fraction, 1.0);
    if (reached > pSource->fraction) {
        pSource->changed = now;
    }
    pSource->fraction = reached;
    if (pSource->moved < 0.0 && pSource->fraction > 0.0) {
        pSource->moved = now;
        pSource->movedFrom = pSource->fraction;
    }
}

void CTimeLeft::Ended(int i, double now) {
    Source* pSource = Running(i, now);
    if (pSource == nullptr) {
        return;
    }
    if (pSource->moved < 0.0) {
        // Over before its progress showed: all of it counts, start-up included.
        pSource->moved = pSource->began;
        pSource->movedFrom = 0.0;
    }
    pSource->ended = now;
    pSource->changed = now;
    pSource->fraction = 1.0;
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

    // Play the rest through: each encoder's time until it is free, the running sources first.
    std::priority_queue<double, std::vector<double>, std::greater<>> freeAt;
    for (const Source& source : m_sources) {
        if (source.began >= 0.0 && source.ended < 0.0) {
            // Before its progress shows: what is left of the start-up. After: what is left from
            // its latest step, less the time gone since then.
            const double left =
                source.moved < 0.0
                    ? std::max(0.0, startup - (now - source.began)) + source.length / speed
                    : std::max(0.0, source.length * (1.0 - source.fraction) / speed -
                                        (now - source.changed));
            freeAt.push(left);
        }
    }
    while (static_cast<int>(freeAt.size()) < m_nJobs) {
        freeAt.push(0.0);
    }
    for (const Source& source : m_sources) {
        if (source.began >= 0.0 || source.length <= 0.0) {
            continue;
        }
        const double start = freeAt.top();
        freeAt.pop();
        freeAt.push(start + startup + source.length / speed);
    }
    double end = 0.0;
    while (!freeAt.empty()) {
        end = std::max(end, freeAt.top());
        freeAt.pop();
    }
    return end;
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
