#include "cli/console_batch_host.h"

#include <filesystem>
#include <thread>

#include "cli/console_sources.h"
#include "cli/progress_printer.h"
#include "engine/batch_driver.h"
#include "engine/batch_rules.h"
#include "platform/signal_watch.h"
#include "sources/source_record.h"

namespace cli {

namespace {

// How often the progress is shown, as the conversion dialog's timer does.
constexpr int kPollMs = 100;

bool IsFinalStatus(std::int32_t nStatus) {
    return nStatus == kStatusDone || nStatus == kStatusSkip || nStatus == kStatusError;
}

} // namespace

CConsoleBatchHost::CConsoleBatchHost(ConsoleSourceList& list,
                                     const profiles::ConversionSettings& settings,
                                     CProgressPrinter& printer)
    : m_list(list), m_settings(settings), m_printer(printer) {
    m_batch.m_pJob = &m_job;
}

int CConsoleBatchHost::RowCount() {
    return m_list.RowCount();
}

FileMediaFormat* CConsoleBatchHost::RecordAtRow(int nRow) {
    return m_list.RecordAtRow(nRow);
}

void CConsoleBatchHost::FillRow(int nRow) {
    const FileMediaFormat* pRecord = m_list.RecordAtRow(nRow);
    if (pRecord == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_mxPrint);
    if (pRecord->m_nStatus == kStatusWaiting) {
        // The driver clears the percent right after this call; clearing it here first (on the
        // driver's own thread) keeps the last file's 100 from showing for the new one.
        m_job.m_nPercent = 0;
        m_strRunningTarget = pRecord->GetTargetPath();
        m_printer.BeginSource(nRow + 1, m_batch.m_nCount, pRecord->m_strPath, m_strRunningTarget);
    } else if (IsFinalStatus(pRecord->m_nStatus)) {
        m_strRunningTarget.clear();
        std::string strCause;
        if (pRecord->m_nStatus == kStatusError) {
            std::lock_guard<std::mutex> update(m_batch.m_mxUpdate);
            strCause = m_batch.m_strCause;
        }
        m_printer.EndSource(StatusText(pRecord->m_nStatus), pRecord->GetTargetPath(), strCause);
    }
}

void CConsoleBatchHost::ShowFailureMessage(const std::string& /*strText*/) {
    // Every failed file has had its status line with its cause or the encoder's reason: one
    // failure, one cause, without the window's block of general advice after it.
}

void CConsoleBatchHost::ShowProgress() {
    std::lock_guard<std::mutex> lock(m_mxPrint);
    if (m_strRunningTarget.empty()) {
        return;
    }
    std::error_code error;
    const auto nSize = std::filesystem::file_size(m_strRunningTarget, error);
    m_printer.Update(m_job.m_nPercent, error ? 0 : static_cast<std::int64_t>(nSize));
}

void CConsoleBatchHost::CancelAll() {
    CancelAllSources(m_batch);
    std::lock_guard<std::mutex> lock(m_mxPrint);
    m_printer.Note("Cancelling: the running file stops at the encoder's next report.", stderr);
}

void MarkSkippedRows(const BatchState& batch, ConsoleSourceList& list, CProgressPrinter& printer) {
    MarkUnconvertedRows(batch, list, [&](int nRow) {
        printer.EndSource(StatusText(kStatusSkip), list.RecordAtRow(nRow)->GetTargetPath());
    });
}

int CConsoleBatchHost::Run(platform::CSignalWatch& watch) {
    std::thread worker([this] { ConvertSourcesThread(this); });
    int nSignal = 0;
    while (!m_batch.m_evDone.TryWait()) {
        const int nCaught = watch.Wait(kPollMs);
        if (nCaught != 0 && nSignal == 0) {
            nSignal = nCaught;
            CancelAll();
        }
        if (nSignal != 0) {
            // An encoder run that began just as the cancel came clears the job's flag when it
            // starts; setting it again ends that run too. The progress of a cancelled file is
            // no longer shown.
            m_job.m_bCancel = true;
        } else {
            ShowProgress();
        }
    }
    worker.join();
    if (nSignal != 0) {
        MarkSkippedRows(m_batch, m_list, m_printer);
    }
    return nSignal;
}

} // namespace cli
