// Kestrelvx: the encoder program beside lumicast. It probes inputs with FFmpeg's libraries and
// converts them by running the ffmpeg program, speaking only in the line forms the application
// reads: the probe report and status lines carrying "time=".
#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "engine/encoder_channel.h"
#include "kestrelvx/arguments.h"
#include "kestrelvx/console.h"
#include "kestrelvx/convert_request.h"
#include "kestrelvx/facts_cache.h"
#include "kestrelvx/ffmpeg_arguments.h"
#include "kestrelvx/ffmpeg_locator.h"
#include "kestrelvx/ffmpeg_runner.h"
#include "kestrelvx/media_facts.h"
#include "kestrelvx/probe_report.h"
#include "kestrelvx/unreadable_input.h"
#include "kestrelvx/written_streams.h"

namespace {

using namespace kestrelvx;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// A probe prints its report in one write and ends without success: there was no output.
int Probe(const std::string& input) {
    MediaFacts facts;
    std::string reason;
    if (!ReadInputFacts(input, facts, reason)) {
        PrintError(UnreadableInputReason(input, reason));
        return kExitFailed;
    }
    WriteAll(STDERR_FILENO, FormatProbeReport(input, facts));
    return kExitFailed;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An existing output may be replaced only with -y, and never when it is the input itself; a new
// one needs a folder that can be written.
bool CheckOutput(const ConvertRequest& request, std::string& reason) {
    struct stat output {};
    if (stat(request.output.c_str(), &output) != 0) {
        const std::string folder = FolderOf(request.output);
        if (access(folder.c_str(), W_OK | X_OK) != 0) {
            reason = "cannot write into the folder '" + folder + "': " + std::strerror(errno);
            return false;
        }
        return true;
    }
    struct stat input {};
    if (S_ISDIR(output.st_mode)) {
        reason = "'" + request.output + "' is a folder";
        return false;
    }
    if (stat(request.input.c_str(), &input) == 0 && input.st_dev == output.st_dev &&
        input.st_ino == output.st_ino) {
        reason = "'" + request.output + "' is the input file itself";
        return false;
    }
    if (!request.overwrite) {
        reason = "'" + request.output + "' exists; -y replaces it";
        return false;
    }
    if (access(request.output.c_str(), W_OK) != 0) {
        reason = "cannot replace '" + request.output + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

// What the source holds must be convertible, and the part asked for must lie within it.
bool CheckSource(const ConvertRequest& request, const MediaFacts& facts, std::string& reason) {
    if (facts.MainVideo() == nullptr && facts.MainAudio() == nullptr) {
        reason = "'" + request.input + "' holds neither video nor audio";
        return false;
    }
    if (facts.IsStillImage()) {
        reason = "'" + request.input + "' is a still image, not a video";
        return false;
    }
    const double start = request.start.empty() ? 0.0 : std::strtod(request.start.c_str(), nullptr);
    if (facts.hasDuration && start > 0.0 && start * 1e6 >= static_cast<double>(facts.durationUs)) {
        char lasts[48];
        std::snprintf(lasts, sizeof lasts, "%.2f s", static_cast<double>(facts.durationUs) / 1e6);
        reason = "the start at " + request.start + " s lies beyond its end: '" + request.input +
                 "' lasts " + lasts;
        return false;
    }
    return true;
}

// The state of the output path before ffmpeg ran, so that a failed run removes only what it wrote.
struct OutputBefore {
    bool exists = false;
    struct stat info {};
};

OutputBefore LookAtOutput(const std::string& path) {
    OutputBefore before;
    before.exists = stat(path.c_str(), &before.info) == 0;
    return before;
}

void RemoveFailedOutput(const std::string& path, const OutputBefore& before) {
    struct stat now {};
    if (stat(path.c_str(), &now) != 0 || !S_ISREG(now.st_mode)) {
        return;
    }
    const bool written = !before.exists || now.st_ino != before.info.st_ino ||
                         now.st_mtim.tv_sec != before.info.st_mtim.tv_sec ||
                         now.st_mtim.tv_nsec != before.info.st_mtim.tv_nsec ||
                         now.st_size != before.info.st_size;
    if (written) {
        unlink(path.c_str());
    }
}

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
        return kestrelvx::kExitDiskFull;
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

int Verdict(const ConvertRequest& request, const FfmpegPlan& plan, const FfmpegRun& run,
            const OutputBefore& before) {
    std::string reason;
    int status = Judge(request, plan, run, reason);
    // Whatever failed last (ffmpeg's status, or an output that cannot be read back because ffmpeg
    // could not finish it and still ended well), an output that ran out of room failed for that.
    if (status != 0 && status != kestrelvx::kExitDiskFull && run.stopSignal == 0 &&
        run.failure.empty() && OutputRanOutOfRoom(request.output, run)) {
        reason = "the disk is full: '" + request.output + "' could not be written";
        status = kestrelvx::kExitDiskFull;
    }
    if (status != 0) {
        if (run.stopSignal != 0) {
            // Stopped on request: no failure of the conversion, and what was written stays.
            PrintLine(reason);
            return status;
        }
        RemoveFailedOutput(request.output, before);
        PrintError(reason);
        return status;
    }
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
    return 0;
}

int Convert(const CommandLine& command) {
    ConvertRequest request;
    std::string reason;
    if (!ReadConvertRequest(command, request, reason)) {
        PrintError(reason);
        return kExitUsage;
    }
    if (!CheckOutput(request, reason)) {
        PrintError(reason);
        return kExitFailed;
    }
    MediaFacts facts;
    if (!ReadInputFacts(request.input, facts, reason)) {
        PrintError(UnreadableInputReason(request.input, reason));
        return kExitFailed;
    }
    if (!CheckSource(request, facts, reason)) {
        PrintError(reason);
        return kExitFailed;
    }
    std::string program;
    if (!FindFfmpeg(program, reason)) {
        PrintError(reason);
        return kExitFailed;
    }
    const FfmpegPlan plan = PlanFfmpegRun(request, facts);
    for (const std::string& note : request.notes) {
        PrintNote(note);
    }
    for (const std::string& note : plan.notes) {
        PrintNote(note);
    }
    const OutputBefore before = LookAtOutput(request.output);
    return Verdict(request, plan, RunFfmpeg(program, plan.args), before);
}

} // namespace

int main(int argc, char** argv) {
    EnsureStandardDescriptors();
    // The libraries' own messages would come before the report and break its single write.
    av_log_set_level(AV_LOG_QUIET);
    CommandLine command;
    std::string reason;
    switch (ParseCommandLine(argc, argv, command, reason)) {
    case CommandKind::NoToken:
        WriteAll(STDERR_FILENO, std::string(kUsage) + "\n");
        return kExitUsage;
    case CommandKind::Invalid:
        PrintError(reason);
        return kExitUsage;
    case CommandKind::Probe:
        return Probe(command.input);
    case CommandKind::Convert:
        return Convert(command);
    }
    return kExitUsage;
}
