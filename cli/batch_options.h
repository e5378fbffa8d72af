#pragma once
// The command line of lumicast-batch: options that mirror the settings of the form, checked
// against the catalogue before anything runs.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/encoder_channel.h"
#include "profiles/conversion_settings.h"

namespace cli {

// Exit statuses of the program.
inline constexpr int kExitDone = 0;    // every source converted
inline constexpr int kExitFailed = 1;  // some source failed or was skipped
inline constexpr int kExitRefused = 2; // the command line was refused; nothing ran

enum class BatchAction { Convert, Help, Version, ListDevices };

// --jobs auto: as many encoders at once as the machine has processors (at most one per file).
inline constexpr int kJobsAuto = 0;
// The most encoders --jobs takes.
inline constexpr int kMaxJobs = 64;
// Encoders at once without --jobs (see the README: measured on two cores).
inline constexpr int kDefaultJobs = kJobsAuto;

struct BatchRequest {
    BatchAction action = BatchAction::Convert;
    // The settings of the form as the options set them; every setting that no option names keeps
    // its start-up value ("Keep Original"). The output folder is left empty here.
    profiles::ConversionSettings settings = profiles::ConversionSettings::StartUp();
    // --output as given; empty when absent (the stored output folder applies).
    std::string strOutputFolder;
    // --start and --end in whole seconds; absent means the start and the end of each file.
    std::optional<std::int32_t> start;
    std::optional<std::int32_t> end;
    // The files to convert, in the order given.
    std::vector<std::string> files;
    // --device: the limits the encoder holds the "Keep Original" settings within.
    std::optional<kestrelvx::DeviceLimits> deviceLimits;
    // --json: one JSON object per file on standard output instead of the status lines.
    bool bJson = false;
    // --target-size in bytes: the most each output may hold.
    std::optional<std::int64_t> targetBytes;
    // --jobs: how many encoders run at once, or kJobsAuto.
    int nJobs = kDefaultJobs;
    // --resume: convert only what the journal of an earlier run of the same batch left unfinished.
    bool bResume = false;
};

// How many encoders run at once for nFiles files: --jobs, with auto as many as there are
// processors; never more than there are files, never fewer than one.
int EncodersAtOnce(int nJobs, int nFiles);

// Parses the arguments (without the program name). Returns false with a one-line message when an
// option is unknown, lacks its value, has a value outside the catalogue, or combines with another
// one in a way the form cannot hold or the encoder would have to change (a --max below the
// --video-bitrate, a --min above it, MPEG-4 above what the --device plays, a --target-size with a
// video bit rate); the program then exits with kExitRefused.
bool ParseBatchOptions(const std::vector<std::string>& args, BatchRequest& request,
                       std::string& strError);

} // namespace cli
