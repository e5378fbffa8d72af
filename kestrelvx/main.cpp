// Kestrelvx: the encoder program beside lumicast. It probes inputs with FFmpeg's libraries and
// converts them by running the ffmpeg program, speaking only in the line forms the application
// reads: the probe report and status lines carrying "time=".
#include <cerrno>
#include <cinttypes>
#include <cmath>
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
#include "kestrelvx/fit_to_size.h"
#include "kestrelvx/media_facts.h"
#include "kestrelvx/probe_report.h"
#include "kestrelvx/run_verdict.h"
#include "kestrelvx/seek_point.h"
#include "kestrelvx/unreadable_input.h"
#include "kestrelvx/written_streams.h"

namespace {

using namespace kestrelvx;

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

int Verdict(const ConvertRequest& request, const FfmpegPlan& plan, const FfmpegRun& run,
            const OutputBefore& before) {
    std::string reason;
    const int status = JudgeRun(request, plan, run, reason);
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
    ReportWritten(request, plan, run);
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
    const int64_t startUs =
        request.start.empty() ? 0 : std::llround(std::strtod(request.start.c_str(), nullptr) * 1e6);
    const int64_t seekLeadUs = SeekLeadUs(request.input, facts, startUs);
    if (request.targetBytes > 0) {
        return ConvertToSize(program, request, facts, seekLeadUs);
    }
    const FfmpegPlan plan = PlanFfmpegRun(request, facts, seekLeadUs);
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
