#include "kestrelvx/run_verdict.h"

#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include "engine/encoder_channel.h"
#include "kestrelvx/console.h"
#include "kestrelvx/media_facts.h"
#include "kestrelvx/written_streams.h"

namespace kestrelvx {
namespace {

std::string SecondsText(int64_t us) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", static_cast<double>(us) / 1e6);
    return text;
}

// The output must hold every stream that was converted, or the source's picture or sound is lost.
bool CheckWrittenStreams(const ConvertRequest& request, const FfmpegPlan& plan,
                         std::string& reason) {
    bool video = false;
    bool audio = false;
    if (!ReadWrittenStreams(request.output, video, audio, reason)) {
        reason = "the output cannot be read back: " + reason;
        return false;
    }
    if (!video && !audio) {
        reason = "'" + request.output + "' holds no stream";
        return false;
    }
    if (plan.video && !video) {
        reason = "the video of '" + request.input + "' could not be converted";
        return false;
    }
    if (plan.audio && !audio) {
        reason = "the sound of '" + request.input + "' could not be converted";
        return false;
    }
    return true;
}

// Whether a failed ffmpeg run could not write its output for want of room: its last message says
// so, or the output reached the file size limit Kestrelvx runs under, or the output's file system
// has (almost) no free blocks left.
bool OutputRanOutOfRoom(const std::string& output, const FfmpegRun& run) {
    constexpr off_t kSlackBytes = 64 * 1024; // ffmpeg writes in blocks of this order
    if (run.lastMessage.find(std::strerror(ENOSPC)) != std::string::npos ||
        run.lastMessage.find(std::strerror(EFBIG)) != std::string::npos) {
        return true;
    }
    struct stat info {};
    rlimit limit{};
    if (stat(output.c_str(), &info) == 0 && getrlimit(RLIMIT_FSIZE, &limit) == 0 &&
        limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(info.st_size + kSlackBytes) >= limit.rlim_cur) {
        return true;
    }
    struct statvfs room {};
    return statvfs(FolderOf(output).c_str(), &room) == 0 &&
           static_cast<unsigned long long>(room.f_bavail) * room.f_frsize <
               static_cast<unsigned long long>(kSlackBytes);
}

// Whether ffmpeg ended well and the output holds what was converted; the reason when not.
int Judge(const ConvertRequest& request, const FfmpegPlan& plan, const FfmpegRun& run,
          std::string& reason) {
    if (!run.failure.empty()) {
        reason = run.failure;
        return kExitFailed;
    }
    if (run.stopSignal != 0) {
        reason = "stopped by signal " + std::to_string(run.stopSignal) + "; '" + request.output +
                 "' is incomplete";
        return 128 + run.stopSignal;
    }
    if (run.endSignal == SIGXFSZ) {
        reason = "the disk is full: '" + request.output + "' could not be written";
        return kExitDiskFull;
    }
    if (run.endSignal != 0) {
        reason = "ffmpeg was ended by signal " + std::to_string(run.endSignal) + "; '" +
                 request.output + "' is incomplete";
        return kExitFailed;
    }
    if (run.exitCode != 0) {
        reason =
            "converting '" + request.input + "' failed: " +
            (run.lastMessage.empty() ? "ffmpeg ended with status " + std::to_string(run.exitCode)
                                     : run.lastMessage);
        return kExitFailed;
    }
    struct stat output {};
    if (stat(request.output.c_str(), &output) != 0 || output.st_size <= 0) {
        reason = "'" + request.output + "' was not written";
        return kExitFailed;
    }
    if (run.frames <= 0 && run.outTimeUs <= 0) {
        reason = "nothing of '" + request.input +
                 "' was converted: the part asked for lies beyond its end";
        return kExitFailed;
    }
    if (!CheckWrittenStreams(request, plan, reason)) {
        return kExitFailed;
    }
    return 0;
}

} // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

int JudgeRun(const ConvertRequest& request, const FfmpegPlan& plan, const FfmpegRun& run,
             std::string& reason) {
    const int status = Judge(request, plan, run, reason);
    // Whatever failed last (ffmpeg's status, or an output that cannot be read back because ffmpeg
    // could not finish it and still ended well), an output that ran out of room failed for that.
    if (status != 0 && status != kExitDiskFull && run.stopSignal == 0 && run.failure.empty() &&
        OutputRanOutOfRoom(request.output, run)) {
        reason = "the disk is full: '" + request.output + "' could not be written";
        return kExitDiskFull;
    }
    return status;
}

void ReportWritten(const ConvertRequest& request, const FfmpegPlan& plan, const FfmpegRun& run) {
    // A source that holds less than its container claims (a cut download) is converted as far as
    // it goes; that is said, and it is no failure.
    constexpr int64_t kEarlyUs = 500000;
    if (plan.expectedUs > 0 && run.outTimeUs + kEarlyUs < plan.expectedUs) {
        PrintNote("'" + request.input + "' ended early: it claims " + SecondsText(plan.expectedUs) +
                  " but holds " + SecondsText(run.outTimeUs) + "; converted what it holds");
    }
    struct stat output {};
    stat(request.output.c_str(), &output);
    char summary[96];
    std::snprintf(summary, sizeof summary, " (%" PRId64 " kB, %.2f s)",
                  static_cast<int64_t>(output.st_size / 1024),
                  static_cast<double>(run.outTimeUs) / 1e6);
    PrintLine("wrote '" + request.output + "'" + summary);
}

} // namespace kestrelvx
