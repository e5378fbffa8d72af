#include "probe/load_sources.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

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

namespace {

// A file probed, waiting for its turn in the pass.
struct Probed {
    std::unique_ptr<FileMediaFormat> pRecord;
    HResult hr = kResultOk;
    std::string strCause;
    bool bReady = false;
};

// Probes the files on threads of its own, up to nAtOnce at a time, ahead of the pass that takes
// them in order. With one at a time each file is probed when its turn comes, on the pass's thread.
class CProbesAhead {
public:
    CProbesAhead(const std::vector<std::string>& paths, int nAtOnce)
        : m_paths(paths), m_probed(paths.size()) {
        for (int i = 0; nAtOnce > 1 && i < nAtOnce && i < static_cast<int>(paths.size()); ++i) {
            m_threads.emplace_back([this] { Run(); });
        }
    }
    ~CProbesAhead() {
        {
            std::lock_guard<std::mutex> lock(m_mx);
            m_bStop = true;
        }
        for (std::thread& thread : m_threads) {
            thread.join();
        }
    }
    CProbesAhead(const CProbesAhead&) = delete;
    CProbesAhead& operator=(const CProbesAhead&) = delete;

    // File i, probed: waits for it when it is still being probed.
    Probed Take(std::size_t i) {
        if (m_threads.empty()) {
            Probe(i);
        }
        std::unique_lock<std::mutex> lock(m_mx);
        m_ready.wait(lock, [&] { return m_probed[i].bReady; });
        return std::move(m_probed[i]);
    }

private:
    void Probe(std::size_t i) {
        Probed probed;
        probed.pRecord = std::make_unique<FileMediaFormat>();
        probed.hr = ProbeWithEncoder(*probed.pRecord, m_paths[i], &probed.strCause);
        probed.bReady = true;
        std::lock_guard<std::mutex> lock(m_mx);
        m_probed[i] = std::move(probed);
        m_ready.notify_all();
    }

    void Run() {
        for (;;) {
            std::size_t i = 0;
            {
                std::lock_guard<std::mutex> lock(m_mx);
                if (m_bStop || m_nNext >= m_paths.size()) {
                    return;
                }
                i = m_nNext++;
            }
            Probe(i);
        }
    }

    const std::vector<std::string>& m_paths;
    std::vector<Probed> m_probed;
    std::vector<std::thread> m_threads;
    std::mutex m_mx;
    std::condition_variable m_ready;
    std::size_t m_nNext = 0;
    bool m_bStop = false;
};

} // namespace

int LoadSourcesThread(ILoadHost& host, const std::vector<std::string>& paths, int nProbesAtOnce) {
    const int nCount = static_cast<int>(paths.size());
    WriteLogLine("------Start load source files(%d)...------", nCount);
    int nFailed = 0;
    std::string strFailures;
    CProbesAhead probes(paths, nProbesAtOnce);

    for (int i = 1; i <= nCount; ++i) {
        const std::string& strPath = paths[static_cast<std::size_t>(i - 1)];
        const int nRow = host.RowCount();
        host.SetProgressText(LoadResString(ids::kStrDetecting, i, nCount, strPath));
        WriteLogLine("load %d/%d:%s", i, nCount, strPath.c_str());
        host.SetProgress(100 * i / nCount);

        Probed probed = probes.Take(static_cast<std::size_t>(i - 1));
        if (Failed(probed.hr)) {
            host.SourceFailed(strPath, probed.strCause);
            strFailures += '\n';
            strFailures += strPath;
            ++nFailed;
            continue;
        }
        // The record is still the worker's own here, so its output name is chosen before the host
        // takes it over; nothing else looks at it in between.
        const LoadTarget target = host.OutputTarget();
        probed.pRecord->MakeTargetName(target.strFolder, target.strExtension, kTargetSuffix);
        const int nIndex = host.AddSource(std::move(probed.pRecord), nRow);
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
