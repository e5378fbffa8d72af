#include "probe/load_sources.h"

#include <memory>

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "probe/probe_with_encoder.h"
#include "sources/source_record.h"
#include "support/log.h"

std::string LoadFailureMessage(const std::string& strFailures) {
    std::string strMessage = LoadResString(ids::kStrCantPlayback);
    strMessage += "\r\n";
    strMessage += strFailures;
    strMessage += "\r\n\r\n";
    strMessage += LoadResString(ids::kStrFailureReasons);
    return strMessage;
}

int LoadSourcesThread(ILoadHost& host, const std::vector<std::string>& paths) {
    const int nCount = static_cast<int>(paths.size());
    WriteLogLine("------Start load source files(%d)...------", nCount);
    int nFailed = 0;
    std::string strFailures;

    for (int i = 1; i <= nCount; ++i) {
        const std::string& strPath = paths[static_cast<std::size_t>(i - 1)];
        const int nRow = host.RowCount();
        host.SetProgressText(LoadResString(ids::kStrDetecting, i, nCount, strPath));
        WriteLogLine("load %d/%d:%s", i, nCount, strPath.c_str());
        host.SetProgress(100 * i / nCount);

        auto pRecord = std::make_unique<FileMediaFormat>();
        std::string strCause;
        if (Failed(ProbeWithEncoder(*pRecord, strPath, &strCause))) {
            host.SourceFailed(strPath, strCause);
            strFailures += '\n';
            strFailures += strPath;
            ++nFailed;
            continue;
        }
        // The record is still the worker's own here, so its output name is chosen before the host
        // takes it over; nothing else looks at it in between.
        const LoadTarget target = host.OutputTarget();
        pRecord->MakeTargetName(target.strFolder, target.strExtension, kTargetSuffix);
        const int nIndex = host.AddSource(std::move(pRecord), nRow);
        if (nIndex < 0) {
            strFailures += '\n';
            strFailures += strPath;
            ++nFailed;
            continue;
        }
        WriteLogLine("Set FileAudioFormat array index(%d) to listtime(%d).", nIndex, nRow);
    }

    if (nFailed > 0) {
        host.ShowFailures(LoadFailureMessage(strFailures));
    }
    host.Close();
    return nFailed;
}
