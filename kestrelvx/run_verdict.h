#pragma once
// Judging an ffmpeg run of a conversion by its end and its output, and saying what it wrote.
#include <string>

#include "kestrelvx/convert_request.h"
#include "kestrelvx/ffmpeg_arguments.h"
#include "kestrelvx/ffmpeg_runner.h"

namespace kestrelvx {

// The exit status of a conversion that failed.
inline constexpr int kExitFailed = 1;

// The folder of path: "." for a bare name, "/" for a name in the root.
std::string FolderOf(const std::string& path);

// Whether the run ended well and request.output holds every stream plan converted: 0, or the exit
// status with a one-line reason (1; 128 + the signal for a stop asked by a signal; kExitDiskFull
// when the output could not be written for want of room, also when that made a later check fail).
int JudgeRun(const ConvertRequest& request, const FfmpegPlan& plan, const FfmpegRun& run,
             std::string& reason);

// After a run judged well: a note when the source ended early, and the line naming the output
// with its size and length.
void ReportWritten(const ConvertRequest& request, const FfmpegPlan& plan, const FfmpegRun& run);

} // namespace kestrelvx
