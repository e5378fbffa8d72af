#include "kestrelvx/size_budget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/encoder_channel.h"

namespace kestrelvx {
namespace {

constexpr double kMargin = 0.04;
constexpr int kMostVideoKbps = 100000;
constexpr int kDefaultAudioKbps = 128;
// The AAC rates the sound may get, highest first; it takes at most this share of the whole.
constexpr int kAudioSteps[] = {128, 112, 96, 80, 64, 48, 32};
constexpr double kAudioShare = 0.15;
// What an MP4 file adds: its headers once, and an index entry (size, time, offset) per video frame
// and per AAC frame (1024 samples, about 47 a second at 48 kHz).
constexpr int64_t kFixedOverheadBytes = 4096;
constexpr double kVideoFrameBytes = 16.0;
constexpr double kAudioBytesPerSecond = 47.0 * 8.0;
// Sides that fit a picture of any shape on a small screen.
constexpr int kSmallFrameSide = 320;

int64_t BytesAt(int kbps, int64_t us) {
    return static_cast<int64_t>(kbps) * us / 8000;
}

// The most the sound gets unless a rate is asked for: the default, within the device's limit.
int AudioCeilingKbps(const ConvertRequest& request) {
    return request.limits.audioKbps > 0 ? std::min(kDefaultAudioKbps, request.limits.audioKbps)
                                        : kDefaultAudioKbps;
}

// The sound's rate beside a picture: as asked, else the highest step within its share of the
// whole rate and its ceiling.
int AudioKbps(const ConvertRequest& request, double totalKbps) {
    if (request.audioKbps > 0) {
        return request.audioKbps;
    }
    const int upper = AudioCeilingKbps(request);
    for (int step : kAudioSteps) {
        if (step <= upper && step <= totalKbps * kAudioShare) {
            return step;
        }
    }
    return std::min(kLeastAudioKbps, upper);
}

std::string LengthText(int64_t us) {
    char text[32];
    const double seconds = static_cast<double>(us) / 1e6;
    std::snprintf(text, sizeof text, seconds < 10.0 ? "%.1f s" : "%.0f s", seconds);
    return text;
}

// A frame of the same shape whose longer side is kSmallFrameSide, "" when the frame is no larger.
std::string SmallerFrame(int width, int height) {
    if (width <= 0 || height <= 0 || std::max(width, height) <= kSmallFrameSide) {
        return {};
    }
    const auto even = [](double side) { return 2 * static_cast<int>(std::lround(side / 2.0)); };
    if (width >= height) {
        return std::to_string(kSmallFrameSide) + "x" +
               std::to_string(even(kSmallFrameSide * static_cast<double>(height) / width));
    }
    return std::to_string(even(kSmallFrameSide * static_cast<double>(width) / height)) + "x" +
           std::to_string(kSmallFrameSide);
}

// The least size that holds the part at these rates with the margin.
int64_t NeededBytes(int videoKbps, int audioKbps, int64_t overheadBytes, int64_t partUs) {
    const double bytes =
        static_cast<double>(BytesAt(videoKbps + audioKbps, partUs) + overheadBytes) /
        (1.0 - kMargin);
    return static_cast<int64_t>(std::ceil(bytes));
}

} // namespace

int VideoKbpsFor(int64_t targetBytes, double margin, int64_t soundBytes, int64_t overheadBytes,
                 int64_t partUs) {
    const double available = static_cast<double>(targetBytes) * (1.0 - margin) -
                             static_cast<double>(soundBytes) - static_cast<double>(overheadBytes);
    if (available <= 0.0 || partUs <= 0) {
        return 0;
    }
    const double kbps = available * 8000.0 / static_cast<double>(partUs);
    return static_cast<int>(std::min(kbps, static_cast<double>(kMostVideoKbps)));
}

SizeBudget PlanSizeBudget(const ConvertRequest& request, const MediaFacts& source,
                          const FfmpegPlan& plan) {
    SizeBudget budget;
    const std::string limit = DecimalSizeText(request.targetBytes, false);
    const int64_t us = plan.expectedUs;
    if (us <= 0) {
        budget.refusal = "the length of '" + request.input +
                         "' is not known, so no bit rate can be worked out to fit it in " + limit;
        return budget;
    }
    const double seconds = static_cast<double>(us) / 1e6;
    const StreamFacts* video = plan.video ? source.MainVideo() : nullptr;
    double fps = video != nullptr ? OutputFrameRate(request, *video) : 0.0;
    if (video != nullptr && fps <= 0.0) {
        fps = 30.0;
    }
    budget.overheadBytes =
        kFixedOverheadBytes +
        std::llround(seconds * (fps * kVideoFrameBytes + (plan.audio ? kAudioBytesPerSecond : 0)));
    const double totalKbps = static_cast<double>(request.targetBytes) * 8.0 / seconds / 1000.0;
    budget.audioKbps = plan.audio ? AudioKbps(request, totalKbps) : 0;

    if (video == nullptr) {
        // The sound alone: the rate asked for if it fits, else as much as fits.
        const int fits = VideoKbpsFor(request.targetBytes, kMargin, 0, budget.overheadBytes, us);
        const int least = request.audioKbps > 0 ? request.audioKbps : kLeastAudioKbps;
        if (fits < least) {
            budget.refusal =
                "'" + request.input + "' cannot fit in " + limit + " with clear sound: its " +
                LengthText(us) + " need at least " +
                DecimalSizeText(NeededBytes(0, least, budget.overheadBytes, us), true) + " for " +
                std::to_string(least) + " kbit/s of sound";
            return budget;
        }
        budget.audioKbps =
            request.audioKbps > 0 ? request.audioKbps : std::min(AudioCeilingKbps(request), fits);
        return budget;
    }

    budget.videoKbps = VideoKbpsFor(request.targetBytes, kMargin, BytesAt(budget.audioKbps, us),
                                    budget.overheadBytes, us);
    if (request.limits.videoKbps > 0) {
        budget.videoKbps = std::min(budget.videoKbps, request.limits.videoKbps);
    }
    if (budget.videoKbps < kLeastVideoKbps) {
        const int leastAudio = !plan.audio             ? 0
                               : request.audioKbps > 0 ? request.audioKbps
                                                       : kLeastAudioKbps;
        const int64_t needed = NeededBytes(kLeastVideoKbps, leastAudio, budget.overheadBytes, us);
        std::string sentence = "'" + request.input + "' cannot fit in " + limit +
                               " and stay watchable: its " + LengthText(us) + " need at least " +
                               DecimalSizeText(needed, true) + " for " +
                               std::to_string(kLeastVideoKbps) + " kbit/s of video";
        if (leastAudio > 0) {
            sentence += " and " + std::to_string(leastAudio) + " kbit/s of sound";
        }
        const std::string smaller = SmallerFrame(plan.width, plan.height);
        sentence += smaller.empty() ? "; a shorter part fits in less"
                                    : "; a smaller frame size, such as " + smaller +
                                          ", looks better at so few bits";
        budget.refusal = sentence;
    }
    return budget;
}

} // namespace kestrelvx
