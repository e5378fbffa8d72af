#include "cli/batch_run.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/console_batch_host.h"
#include "cli/console_sources.h"
#include "cli/progress_printer.h"
#include "engine/batch_rules.h"
#include "platform/signal_watch.h"
#include "probe/load_sources.h"
#include "profiles/catalogue.h"
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

    std::vector<std::string> paths;
    paths.reserve(request.files.size());
    for (const std::string& file : request.files) {
        paths.push_back(AbsolutePath(file));
    }

    ConsoleSourceList list;
    CConsoleLoadHost loadHost(
        list, printer, {settings.m_strOutputFolder, profiles::FormatExtension(settings.m_nFormat)});
    const int nLoadFailures = LoadSourcesThread(loadHost, paths);
    if (!ApplySegment(request, list, printer)) {
        return kExitRefused;
    }

    // As the Convert command does: every source waits for its turn.
    ResetRowsToWaiting(list);

    int nSignal = watch.Caught();
    if (nSignal == 0 && list.RowCount() > 0) {
        CConsoleBatchHost host(list, settings, printer);
        nSignal = host.Run(watch);
    } else {
        // Cancelled while the files were being probed: nothing is converted.
        const BatchState notStarted;
        MarkSkippedRows(notStarted, list, printer);
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
