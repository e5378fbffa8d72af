#include "kestrelvx/fit_to_size.h"

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

#include "engine/encoder_channel.h"
#include "kestrelvx/console.h"
#include "kestrelvx/ffmpeg_arguments.h"
#include "kestrelvx/ffmpeg_runner.h"
#include "kestrelvx/mpeg4_pass_log.h"
#include "kestrelvx/run_verdict.h"
#include "kestrelvx/scratch_space.h"
#include "kestrelvx/size_budget.h"

namespace kestrelvx {
namespace {

// The first second pass aims 4 % below the limit (two passes land within about 2 %); one that
// came out over it is converted again aiming 5 % below, at most this often in all.
constexpr double kFirstMargin = 0.04;
constexpr double kRetryMargin = 0.05;
constexpr int kMostAttempts = 3;
// FFmpeg's MPEG-4 rate control refuses a rate within 1 % of the least its quantisers reach.
constexpr double kMpeg4Reach = 1.01;

int64_t FileBytes(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); !from.empty() && at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string KbpsText(int kbps) {
    return std::to_string(kbps) + " kbit/s";
}

// A stop asked by a signal ends the conversion quietly, anything else as a failure.
int Stop(const FfmpegRun& run, int status, const std::string& reason) {
    if (run.stopSignal != 0) {
        PrintLine(reason);
    } else {
        PrintError(reason);
    }
    return status;
}

// Stopped on request: nothing was written under the output's name.
int Stopped(const FfmpegRun& run) {
    return Stop(run, 128 + run.stopSignal,
                "stopped by signal " + std::to_string(run.stopSignal) + "; nothing written");
}

// The analysis pass: 0 when it ended well, else the exit status, said.
int AnalysisVerdict(const ConvertRequest& request, const FfmpegRun& run) {
    if (run.stopSignal != 0) {
        return Stopped(run);
    }
    if (!run.failure.empty()) {
        return Stop(run, kExitFailed, run.failure);
    }
    if (run.endSignal != 0 || run.exitCode != 0) {
        const std::string how = run.endSignal != 0
                                    ? "ffmpeg was ended by signal " + std::to_string(run.endSignal)
                                    : "ffmpeg ended with status " + std::to_string(run.exitCode);
        return Stop(run, kExitFailed,
                    "the analysis pass over '" + request.input +
                        "' failed: " + (run.lastMessage.empty() ? how : run.lastMessage));
    }
    return 0;
}

// The least video rate MPEG-4 reaches for the analysed part, 0 when not known.
int Mpeg4LeastKbps(const std::string& logPrefix, int64_t partUs) {
    const int64_t bits = Mpeg4LeastBits(logPrefix + "-0.log");
    return bits > 0 && partUs > 0 ? static_cast<int>(std::ceil(static_cast<double>(bits) * 1000.0 /
                                                               static_cast<double>(partUs)))
                                  : 0;
}

// The rate that brings a result of resultBytes, of which fixedBytes do not follow the rate, under
// the limit with kRetryMargin; always lower than rate.
int LowerRate(int rate, int64_t targetBytes, int64_t resultBytes, int64_t fixedBytes) {
    const double wanted =
        static_cast<double>(targetBytes) * (1.0 - kRetryMargin) - static_cast<double>(fixedBytes);
    const double had = static_cast<double>(resultBytes - fixedBytes);
    const double scaled = had > 0.0 ? rate * wanted / had : 0.0;
    return static_cast<int>(std::clamp(scaled, 0.0, rate * 0.97));
}

} // namespace

int ConvertToSize(const std::string& program, const ConvertRequest& request,
                  const MediaFacts& source, int64_t seekLeadUs) {
    const FfmpegPlan plan = PlanFfmpegRun(request, source, seekLeadUs);
    const SizeBudget budget = PlanSizeBudget(request, source, plan);
    if (!budget.refusal.empty()) {
        PrintError(budget.refusal);
        return kExitFailed;
    }
    for (const std::string& note : request.notes) {
        PrintNote(note);
    }
    for (const std::string& note : plan.notes) {
        PrintNote(note);
    }
    CScratchSpace scratch;
    std::string reason;
    if (!scratch.Create(request.output, reason)) {
        PrintError(reason);
        return kExitFailed;
    }
    const std::string limit = DecimalSizeText(request.targetBytes, false);
    const int64_t partUs = plan.expectedUs;
    const int deviceKbps = request.limits.videoKbps;

    ConvertRequest rated = request;
    rated.output = scratch.PartFile();
    rated.overwrite = true;
    rated.videoKbps = budget.videoKbps;
    rated.audioKbps = budget.audioKbps;
    rated.maxKbps = deviceKbps; // the device's peak, over its buffer
    int64_t soundBytes = static_cast<int64_t>(budget.audioKbps) * partUs / 8000;
    ProgressShare writing;
    if (plan.video) {
        const PassOptions analysis{1, scratch.LogPrefix(), plan.audio ? scratch.SoundFile() : ""};
        const FfmpegRun run =
            RunFfmpeg(program, PlanFfmpegRun(rated, source, seekLeadUs, analysis).args, {0, 0.5});
        if (const int status = AnalysisVerdict(request, run); status != 0) {
            return status;
        }
        if (plan.audio) {
            soundBytes = std::max<int64_t>(0, FileBytes(scratch.SoundFile()));
        }
        int videoKbps = VideoKbpsFor(request.targetBytes, kFirstMargin, soundBytes,
                                     budget.overheadBytes, partUs);
        if (deviceKbps > 0) {
            videoKbps = std::min(videoKbps, deviceKbps);
        }
        if (videoKbps < kLeastVideoKbps) {
            PrintError("'" + request.input + "' cannot fit in " + limit +
                       " and stay watchable: its sound alone takes " +
                       DecimalSizeText(soundBytes, true));
            return kExitFailed;
        }
        const int leastKbps = request.codec == VideoCodec::Mpeg4Simple
                                  ? Mpeg4LeastKbps(scratch.LogPrefix(), partUs)
                                  : 0;
        if (videoKbps < leastKbps * kMpeg4Reach) {
            const int64_t needed =
                static_cast<int64_t>(
                    std::ceil(leastKbps * kMpeg4Reach * static_cast<double>(partUs) / 8000.0)) +
                soundBytes + budget.overheadBytes;
            PrintError("'" + request.input + "' cannot fit in " + limit + " as MPEG-4 video at " +
                       std::to_string(plan.width) + "x" + std::to_string(plan.height) +
                       ": that needs about " + KbpsText(leastKbps) + " of video, about " +
                       DecimalSizeText(needed, true) +
                       " in all; a smaller frame size, or H.264, needs fewer bits");
            return kExitFailed;
        }
        rated.videoKbps = videoKbps;
        writing = {partUs / 2, 0.5};
    }

    const PassOptions second{plan.video ? 2 : 0, scratch.LogPrefix(), ""};
    for (int attempt = 1;; ++attempt) {
        const FfmpegPlan output = PlanFfmpegRun(rated, source, seekLeadUs, second);
        const FfmpegRun run = RunFfmpeg(program, output.args, writing);
        if (run.stopSignal != 0) {
            return Stopped(run);
        }
        if (const int status = JudgeRun(rated, output, run, reason); status != 0) {
            return Stop(run, status, Replaced(reason, scratch.PartFile(), request.output));
        }
        const int64_t bytes = FileBytes(scratch.PartFile());
        if (bytes >= 0 && bytes <= request.targetBytes) {
            if (!scratch.Finish(request.output, request.overwrite, reason)) {
                PrintError(reason);
                return kExitFailed;
            }
            std::string rates =
                plan.video ? "video at " + KbpsText(rated.videoKbps) + " in two passes" : "";
            if (plan.audio) {
                rates += (rates.empty() ? "" : ", ") + std::string("sound at ") +
                         KbpsText(rated.audioKbps);
            }
            PrintNote("fitted to the limit of " + limit + ": " + rates);
            if (plan.video && rated.videoKbps == deviceKbps) {
                PrintNote("the device plays at most " + KbpsText(deviceKbps) +
                          " of video, so the output stays below the limit");
            }
            ReportWritten(request, output, run);
            return 0;
        }
        const std::string came = DecimalSizeText(bytes, true);
        int& rate = plan.video ? rated.videoKbps : rated.audioKbps;
        const int least = plan.video ? kLeastVideoKbps : kLeastAudioKbps;
        const int lower =
            LowerRate(rate, request.targetBytes, bytes,
                      plan.video ? soundBytes + budget.overheadBytes : budget.overheadBytes);
        if (attempt == kMostAttempts || lower < least) {
            PrintError("'" + request.input + "' came to " + came + " at " + KbpsText(rate) +
                       " of " + (plan.video ? "video" : "sound") + ", over the limit of " + limit +
                       "; a smaller frame size needs fewer bits");
            return kExitFailed;
        }
        PrintNote("the result, " + came + ", was over the limit of " + limit +
                  "; converting once more with " + (plan.video ? "video" : "sound") + " at " +
                  KbpsText(lower));
        rate = lower;
    }
}

} // namespace kestrelvx
