#pragma once
// How the bytes of a size limit are shared between the picture, the sound and the container.
#include <cstdint>
#include <string>

#include "kestrelvx/convert_request.h"
#include "kestrelvx/ffmpeg_arguments.h"
#include "kestrelvx/media_facts.h"

namespace kestrelvx {

// Below these rates a picture is no longer watchable and speech no longer clear; a limit that
// leaves less is refused before anything is converted.
inline constexpr int kLeastVideoKbps = 100;
inline constexpr int kLeastAudioKbps = 32;

struct SizeBudget {
    int videoKbps = 0; // 0 when the output holds no video
    int audioKbps = 0; // 0 when it holds no sound
    // What the container adds to the streams (its index grows with every frame).
    int64_t overheadBytes = 0;
    // Why the limit cannot be met at a watchable quality, one line naming the smallest size that
    // can; empty when it can be met.
    std::string refusal;
};

// The bit rates for the output plan describes (its length, streams and frame size) to hold at
// most request.targetBytes. The sound gets the rate asked for, else a share of the whole that
// grows with it up to 128 kbit/s (or the device's limit); the video what is left after a margin
// of 4 %, at most the device's limit. Refused when the source's length is not known, or when the
// video would get less than kLeastVideoKbps (the sound, alone, less than kLeastAudioKbps).
SizeBudget PlanSizeBudget(const ConvertRequest& request, const MediaFacts& source,
                          const FfmpegPlan& plan);

// The video bit rate that fills the limit, after a margin of margin (0.04: 4 %), once the sound
// is known to take soundBytes: 0 when nothing is left.
int VideoKbpsFor(int64_t targetBytes, double margin, int64_t soundBytes, int64_t overheadBytes,
                 int64_t partUs);

} // namespace kestrelvx
