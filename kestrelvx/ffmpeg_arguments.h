#pragma once
// Translating a checked conversion request into the argument list of the ffmpeg program.
#include <cstdint>
#include <string>
#include <vector>

#include "kestrelvx/convert_request.h"
#include "kestrelvx/media_facts.h"

namespace kestrelvx {

// The descriptor on which ffmpeg writes its machine-readable progress ("-progress pipe:3").
inline constexpr int kProgressDescriptor = 3;

// One ffmpeg run and what its output must hold.
struct FfmpegPlan {
    std::vector<std::string> args;  // starting with "ffmpeg" itself
    std::vector<std::string> notes; // what was decided beyond the options, one sentence each
    bool video = false;             // the output must hold a video stream
    bool audio = false;             // ... and an audio stream
    int64_t expectedUs = 0;         // how long the output should last by the source's own
                                    // duration, 0 when that is not known
    int width = 0;                  // the frame size of the video written, 0 when none or a disc's
    int height = 0;
};

// One run of a conversion in two passes.
struct PassOptions {
    int pass = 0;          // 1: the analysis pass, 2: the pass that writes; 0: a run in one pass
    std::string logPrefix; // ffmpeg's pass log ("-passlogfile"), kept from pass 1 to pass 2
    std::string soundFile; // pass 1: where the sound alone goes, so that its size is known
};

// Every option of the request as ffmpeg arguments for the source described by source:
// - its default video stream (else the first) that is not cover art and its default audio stream
//   (else the first); a source without video gives an audio-only output; its subtitles as far as
//   the output holds them (PlanSubtitles), with a note naming those it cannot;
// - for a start other than 0, a seek before the input to seekLeadUs before the start (SeekLeadUs)
//   and, when that is not 0, dropping the frames up to the start after the input, so that the
//   part begins with the frame at the start; no length limit when the part asked for reaches the
//   source's last whole second (the caller counts whole seconds);
// - interlaced video is deinterlaced and HDR video tone-mapped to BT.709, each with a note; a
//   frame size with both sides scales the picture as it is shown (turned by its display matrix)
//   to fit with square pixels and black bars, one with a side left out scales that side with the
//   shape;
// - settings the request leaves open are held within its device limits, if any.
// - pass: for a conversion in two passes (to a size limit, with the video bit rate in the request),
//   pass 1 converts the video into ffmpeg's pass log alone and, when soundFile is given, the sound
//   into that MP4 file alone; pass 2 reads the log and writes the output.
FfmpegPlan PlanFfmpegRun(const ConvertRequest& request, const MediaFacts& source,
                         int64_t seekLeadUs, const PassOptions& pass = {});

// The frame rate the output of video will have: the one asked for, else the source's held within
// the device's limit; 0 when not known.
double OutputFrameRate(const ConvertRequest& request, const StreamFacts& video);

// The MPEG-4 Simple Profile level (1 to 6) whose picture size and bit rate limits hold a
// picture of width x height at kbps (0: not known); the highest level when none does.
int Mpeg4SimpleLevel(int width, int height, int kbps);

} // namespace kestrelvx
