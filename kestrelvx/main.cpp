// Kestrelvx: the encoder program beside lumicast. It probes inputs with FFmpeg's libraries and
// converts them by running the ffmpeg program, speaking only in the line forms the application
// reads: the probe report and status lines carrying "time=".
#include <cinttypes>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "kestrelvx/arguments.h"
#include "kestrelvx/console.h"
#include "kestrelvx/conversion_settings.h"
#include "kestrelvx/ffmpeg_arguments.h"
#include "kestrelvx/ffmpeg_locator.h"
#include "kestrelvx/ffmpeg_runner.h"
#include "kestrelvx/media_facts.h"
#include "kestrelvx/probe_report.h"

namespace {

using namespace kestrelvx;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// A probe prints its report in one write and ends without success: there was no output.
int Probe(const std::string& input) {
    MediaFacts facts;
    std::string reason;
    if (!ReadMediaFacts(input, facts, reason)) {
        PrintLine(reason);
        return kExitFailed;
    }
    WriteAll(STDERR_FILENO, FormatProbeReport(input, facts));
    return kExitFailed;
}

// An existing output may be replaced only with -y, and never when it is the input itself.
bool CheckOutput(const ConversionSettings& settings, std::string& reason) {
    struct stat output {};
    if (stat(settings.output.c_str(), &output) != 0) {
        return true;
    }
    struct stat input {};
    if (S_ISDIR(output.st_mode)) {
        reason = "'" + settings.output + "' is a folder";
        return false;
    }
    if (stat(settings.input.c_str(), &input) == 0 && input.st_dev == output.st_dev &&
        input.st_ino == output.st_ino) {
        reason = "'" + settings.output + "' is the input file itself";
        return false;
    }
    if (!settings.overwrite) {
        reason = "'" + settings.output + "' exists; -y replaces it";
        return false;
    }
    return true;
}

bool HasAudioOrVideo(const MediaFacts& facts) {
    for (const StreamFacts& stream : facts.streams) {
        if (stream.kind == StreamKind::Video || stream.kind == StreamKind::Audio) {
            return true;
        }
    }
    return false;
}

// Success only when ffmpeg ended well and the output holds what was converted.
int Verdict(const ConversionSettings& settings, const FfmpegRun& run) {
    if (!run.failure.empty()) {
        PrintLine(run.failure);
        return kExitFailed;
    }
    if (run.stopSignal != 0) {
        PrintLine("stopped by signal " + std::to_string(run.stopSignal) + "; '" + settings.output +
                  "' is incomplete");
        return 128 + run.stopSignal;
    }
    if (run.endSignal != 0) {
        PrintLine("ffmpeg was ended by signal " + std::to_string(run.endSignal) + "; '" +
                  settings.output + "' is incomplete");
        return kExitFailed;
    }
    if (run.exitCode != 0) {
        PrintLine("converting '" + settings.input + "' failed: " +
                  (run.lastMessage.empty()
                       ? "ffmpeg ended with status " + std::to_string(run.exitCode)
                       : run.lastMessage));
        return kExitFailed;
    }
    struct stat output {};
    if (stat(settings.output.c_str(), &output) != 0 || output.st_size <= 0) {
        PrintLine("'" + settings.output + "' was not written");
        return kExitFailed;
    }
    if (run.frames <= 0 && run.outTimeUs <= 0) {
        PrintLine("nothing of '" + settings.input +
                  "' was converted: the part asked for lies beyond its end");
        return kExitFailed;
    }
    char summary[96];
    std::snprintf(summary, sizeof summary, " (%" PRId64 " kB, %.2f s)",
                  static_cast<int64_t>(output.st_size / 1024),
                  static_cast<double>(run.outTimeUs) / 1e6);
    PrintLine("wrote '" + settings.output + "'" + summary);
    return 0;
}

int Convert(const CommandLine& command) {
    ConversionSettings settings;
    std::string reason;
    if (!ReadConversionSettings(command, settings, reason)) {
        PrintLine(reason);
        return kExitUsage;
    }
    if (!CheckOutput(settings, reason)) {
        PrintLine(reason);
        return kExitFailed;
    }
    MediaFacts facts;
    if (!ReadMediaFacts(settings.input, facts, reason)) {
        PrintLine(reason);
        return kExitFailed;
    }
    if (!HasAudioOrVideo(facts)) {
        PrintLine(settings.input + ": holds neither video nor audio");
        return kExitFailed;
    }
    std::string program;
    if (!FindFfmpeg(program, reason)) {
        PrintLine(reason);
        return kExitFailed;
    }
    return Verdict(settings, RunFfmpeg(program, BuildFfmpegArguments(settings, facts)));
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
        PrintLine(reason);
        return kExitUsage;
    case CommandKind::Probe:
        return Probe(command.input);
    case CommandKind::Convert:
        return Convert(command);
    }
    return kExitUsage;
}
