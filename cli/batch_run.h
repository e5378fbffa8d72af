#pragma once
// One run of lumicast-batch after its options were accepted: the loading pass over the files,
// then the batch with the console host.
#include "cli/batch_options.h"

namespace platform {
class CSignalWatch;
}

namespace cli {

class CProgressPrinter;
// Exit status after a signal: 128 + the signal number (130 for SIGINT).
inline constexpr int kExitSignalBase = 128;

// Takes over what an earlier run of the same batch left (its journal), probes the files of the
// request as the loading pass does (a file that cannot be read ends with its line, the others go
// on), applies --start and --end to each source, and converts them, --jobs at a time. Returns
// kExitDone when every file was converted ("Done"), kExitFailed when any failed or was skipped, or
// kExitSignalBase + the signal after Cancel All by a signal.
int RunBatch(const BatchRequest& request, CProgressPrinter& printer, platform::CSignalWatch& watch);

// The output folder to use: --output, or the stored output folder as the window reads it; made
// absolute and ending in "/".
std::string ResolveOutputFolder(const std::string& strGiven);

} // namespace cli
