#include "cli/batch_run.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/batch_resume.h"
#include "cli/console_batch_host.h"
#include "cli/console_sources.h"
#include "cli/progress_printer.h"
#include "engine/batch_journal.h"
#include "engine/batch_rules.h"
#include "platform/file_paths.h"
#include "platform/signal_watch.h"
#include "probe/load_sources.h"
#include "profiles/catalogue.h"
#include "profiles/encoder_options.h"
#include "profiles/settings.h"
#include "sources/source_record.h"

namespace cli {

namespace {

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// The part of each source to convert. An --end past a file's end is cut to its end; a --start at
// or past it refuses the run (false), before anything is converted.
bool ApplySegment(const BatchRequest& request, ConsoleSourceList& list, CProgressPrinter& printer) {
    bool bFits = true;
    for (int nRow = 0; nRow < list.RowCount(); ++nRow) {
        FileMediaFormat* pRecord = list.RecordAtRow(nRow);
        if (pRecord == nullptr) {
            continue;
        }
        const std::int32_t nDuration = pRecord->m_nDuration;
        pRecord->m_nStart = std::min(request.start.value_or(0), nDuration);
        pRecord->m_nEnd = std::min(request.end.value_or(nDuration), nDuration);
        if (pRecord->m_nStart >= pRecord->m_nEnd) {
            printer.Note("lumicast-batch: " + pRecord->m_strPath + " lasts " +
                             std::to_string(nDuration) + " s; --start is at or past its end",
                         stderr);
            bFits = false;
        }
    }
    return bFits;
}

} // namespace

std::string ResolveOutputFolder(const std::string& strGiven) {
    std::string strFolder = AbsolutePath(strGiven.empty() ? ReadOutputPathSetting() : strGiven);
    if (strFolder.empty() || strFolder.back() != '/') {
        strFolder += '/';
    }
    return strFolder;
}

int RunBatch(const BatchRequest& request, CProgressPrinter& printer,
             platform::CSignalWatch& watch) {
    profiles::ConversionSettings settings = request.settings;
    settings.m_strOutputFolder = ResolveOutputFolder(request.strOutputFolder);
    const std::string& strFolder = settings.m_strOutputFolder;

    std::vector<std::string> paths;
    paths.reserve(request.files.size());
    for (const std::string& file : request.files) {
        paths.push_back(AbsolutePath(file));
    }

    // The journal lives beside the outputs; what an earlier run of this batch left is taken over.
    CBatchJournal journal(strFolder, BatchIdentity(request, profiles::BuildEncoderOptions(settings),
                                                   strFolder, paths));
    std::vector<JournalEntry> entries = FreshEntries(request, paths);
    TakeOverEarlierRun(journal, strFolder, request.bResume, entries, printer);

    std::vector<std::string> toLoad;
    std::vector<int> toLoadIndex; // the journal entry of each file to load
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (entries[i].state != JournalState::Done) {
            toLoad.push_back(paths[i]);
            toLoadIndex.push_back(static_cast<int>(i));
        }
    }

    ConsoleSourceList list;
    CConsoleLoadHost loadHost(
        list, printer, {settings.m_strOutputFolder, profiles::FormatExtension(settings.m_nFormat)});
    // The files are probed as many at a time as they will be converted.
    const int nLoadFailures = LoadSourcesThread(
        loadHost, toLoad, EncodersAtOnce(request.nJobs, static_cast<int>(toLoad.size())));
    if (!ApplySegment(request, list, printer)) {
        return kExitRefused;
    }

    // Each row's journal entry: the rows keep the order of the files, without those that failed.
    std::vector<int> rowEntry;
    std::size_t nNext = 0;
    for (int nRow = 0; nRow < list.RowCount(); ++nRow) {
        const std::string& strSource = list.RecordAtRow(nRow)->m_strPath;
        while (nNext < toLoad.size() && toLoad[nNext] != strSource) {
            entries[static_cast<std::size_t>(toLoadIndex[nNext])].state = JournalState::Error;
            ++nNext;
        }
        rowEntry.push_back(nNext < toLoad.size() ? toLoadIndex[nNext++] : -1);
    }
    for (; nNext < toLoad.size(); ++nNext) {
        entries[static_cast<std::size_t>(toLoadIndex[nNext])].state = JournalState::Error;
    }
    EnsureFolder(strFolder);
    if (!journal.Begin(entries)) {
        printer.Note("lumicast-batch: the journal cannot be written in " + strFolder +
                         "; --resume will not find this batch",
                     stderr);
    }

    // As the Convert command does: every source waits for its turn.
    ResetRowsToWaiting(list);

    int nSignal = watch.Caught();
    if (nSignal == 0 && list.RowCount() > 0) {
        CConsoleBatchHost host(list, settings, printer, request.nJobs, &journal, rowEntry);
        nSignal = host.Run(watch);
    } else {
        // Cancelled while the files were being probed: nothing is converted.
        SkipWaitingRows(list, printer);
    }
    if (nSignal != 0) {
        return kExitSignalBase + nSignal;
    }

    bool bAllDone = nLoadFailures == 0;
    for (int nRow = 0; nRow < list.RowCount(); ++nRow) {
        const FileMediaFormat* pRecord = list.RecordAtRow(nRow);
        bAllDone = bAllDone && pRecord != nullptr && pRecord->m_nStatus == kStatusDone;
    }
    return bAllDone ? kExitDone : kExitFailed;
}

} // namespace cli
