#pragma once
// What an earlier run of the same batch left behind, read from its journal: the files it finished
// (with --resume they are not converted again) and the outputs it had begun (removed: they are
// unfinished, whatever their name says).
#include <string>
#include <vector>

#include "cli/batch_options.h"
#include "engine/batch_journal.h"

namespace cli {

class CProgressPrinter;

// The text that makes two runs the same batch: the settings as the encoder gets them, the device's
// limits, the part of each file, the output folder and the files in their order.
std::string BatchIdentity(const BatchRequest& request, const std::string& strOptions,
                          const std::string& strFolder, const std::vector<std::string>& paths);

// The journal's first entries for the files: each waiting for its turn.
std::vector<JournalEntry> FreshEntries(const BatchRequest& request,
                                       const std::vector<std::string>& paths);

// Reads the journal of an earlier run. Outputs it had begun and not finished are removed. With
// --resume, each file it finished whose output is still there is "done" in `entries` (keeping its
// output) and ends at once with its status line; the others are converted anew. Without a
// journal, --resume says so on standard error and everything is converted.
void TakeOverEarlierRun(const CBatchJournal& journal, const std::string& strFolder, bool bResume,
                        std::vector<JournalEntry>& entries, CProgressPrinter& printer);

} // namespace cli
