#include "cli/batch_resume.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/progress_printer.h"
#include "engine/encoder_channel.h"
#include "sources/source_record.h"
#include "support/field_line.h"
#include "support/log.h"

namespace cli {

namespace {

// A finished output must still be there, as a file with something in it.
bool IsFinishedOutput(const std::string& path) {
    struct stat info {};
    return !path.empty() && lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_size > 0;
}

} // namespace

std::string BatchIdentity(const BatchRequest& request, const std::string& strOptions,
                          const std::string& strFolder, const std::vector<std::string>& paths) {
    std::vector<std::string> fields = {
        "format=" + std::to_string(request.settings.m_nFormat),
        "options=" + strOptions,
        "device=" + (request.deviceLimits ? kestrelvx::FormatDeviceLimits(*request.deviceLimits)
                                          : std::string()),
        "start=" + (request.start ? std::to_string(*request.start) : std::string()),
        "end=" + (request.end ? std::to_string(*request.end) : std::string()),
        "output=" + strFolder};
    fields.insert(fields.end(), paths.begin(), paths.end());
    return JoinFields(fields);
}

std::vector<JournalEntry> FreshEntries(const BatchRequest& request,
                                       const std::vector<std::string>& paths) {
    std::vector<JournalEntry> entries;
    for (const std::string& path : paths) {
        JournalEntry entry;
        entry.strSource = path;
        entry.nStart = request.start.value_or(0);
        entry.nEnd = request.end.value_or(-1);
        entries.push_back(entry);
    }
    return entries;
}

void TakeOverEarlierRun(const CBatchJournal& journal, const std::string& strFolder, bool bResume,
                        std::vector<JournalEntry>& entries, CProgressPrinter& printer) {
    std::vector<JournalEntry> earlier;
    if (!journal.Load(earlier) || earlier.size() != entries.size()) {
        if (bResume) {
            printer.Note("lumicast-batch: no journal of this batch in " + strFolder +
                             "; every file is converted",
                         stderr);
        }
        return;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const JournalEntry& before = earlier[i];
        if (before.state == JournalState::Running && !before.strOutput.empty()) {
            // Claimed by the earlier run and never finished: a part, or the empty claim.
            struct stat info {};
            if (lstat(before.strOutput.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                unlink(before.strOutput.c_str()) == 0) {
                WriteLogLine("Removed the unfinished output %s", before.strOutput.c_str());
            }
            continue;
        }
        if (bResume && before.state == JournalState::Done && IsFinishedOutput(before.strOutput)) {
            entries[i].state = JournalState::Done;
            entries[i].strOutput = before.strOutput;
            FileOutcome outcome;
            outcome.strStatus = StatusText(kStatusDone);
            outcome.strSource = entries[i].strSource;
            outcome.strTarget = before.strOutput;
            outcome.bEarlier = true;
            printer.EndSource(0, outcome);
        }
    }
}

} // namespace cli
