#include "cli/console_batch_host.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "cli/batch_options.h"
#include "cli/console_sources.h"
#include "cli/encoder_notes.h"
#include "cli/progress_printer.h"
#include "engine/batch_journal.h"
#include "platform/signal_watch.h"
#include "sources/source_record.h"

namespace cli {

namespace {

// How often the progress is shown, as the conversion dialog's timer does.
constexpr int kPollMs = 100;

JournalState JournalStateOf(std::int32_t nStatus) {
    switch (nStatus) {
    case kStatusDone:
        return JournalState::Done;
    case kStatusError:
        return JournalState::Error;
    case kStatusSkip:
        return JournalState::Skip;
    default:
        return JournalState::Waiting;
    }
}

// The length of each row's part to convert; 0 for a row that is not converted now.
std::vector<double> PartLengths(ConsoleSourceList& list) {
    std::vector<double> lengths;
    for (int nRow = 0; nRow < list.RowCount(); ++nRow) {
        const FileMediaFormat* pRecord = list.RecordAtRow(nRow);
        lengths.push_back(pRecord != nullptr && pRecord->m_nStatus == kStatusWaiting
                              ? static_cast<double>(pRecord->m_nEnd - pRecord->m_nStart)
                              : 0.0);
    }
    return lengths;
}

} // namespace

CConsoleBatchHost::CConsoleBatchHost(ConsoleSourceList& list,
                                     const profiles::ConversionSettings& settings,
                                     CProgressPrinter& printer, int nJobs, CBatchJournal* pJournal,
                                     std::vector<int> journalIndex)
    : m_list(list), m_settings(settings), m_printer(printer), m_pJournal(pJournal),
      m_journalIndex(std::move(journalIndex)), m_state(EncodersAtOnce(nJobs, list.RowCount())),
      m_timeLeft(PartLengths(list), static_cast<int>(m_state.m_slots.size())), m_start(Now()) {
    for (const auto& pSlot : m_state.m_slots) {
        auto pNotes = std::make_unique<CEncoderNotes>();
        const std::string strEntry = pNotes->EnvironmentEntry();
        if (!strEntry.empty()) {
            pSlot->job.m_extraEnvironment = {strEntry};
        }
        m_notes.push_back(std::move(pNotes));
    }
    for (int nRow = 0; nRow < m_list.RowCount(); ++nRow) {
        const FileMediaFormat* pRecord = m_list.RecordAtRow(nRow);
        m_nFinished += pRecord == nullptr || pRecord->m_nStatus != kStatusWaiting ? 1 : 0;
    }
}

CConsoleBatchHost::~CConsoleBatchHost() = default;

double CConsoleBatchHost::Now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void CConsoleBatchHost::Journal(int nRow, JournalState state, const std::string& strOutput) {
    if (m_pJournal != nullptr && nRow >= 0 &&
        static_cast<std::size_t>(nRow) < m_journalIndex.size()) {
        m_pJournal->Set(m_journalIndex[static_cast<std::size_t>(nRow)], state, strOutput);
    }
}

std::string CConsoleBatchHost::TimeLeft(long& nSeconds) {
    const std::optional<double> remaining = m_timeLeft.Remaining(Now());
    nSeconds = remaining ? static_cast<long>(*remaining + 0.5) : -1;
    return remaining ? TimeLeftText(*remaining) : std::string();
}

void CConsoleBatchHost::SourceNaming(int nRow, const std::string& strPath) {
    // The name belongs to this batch from now on: a crash after this leaves it to be removed by
    // the next run, never taken for a finished output.
    Journal(nRow, JournalState::Running, strPath);
}

void CConsoleBatchHost::SourceBegan(int nRow, int nSlot) {
    const FileMediaFormat* pRecord = m_list.RecordAtRow(nRow);
    m_notes[static_cast<std::size_t>(nSlot)]->Take(); // lines of a run that was stopped
    std::lock_guard<std::mutex> lock(m_mxPrint);
    m_timeLeft.Began(nRow, Now());
    m_printer.BeginSource(nRow + 1, m_list.RowCount(), pRecord->m_strPath,
                          pRecord->GetTargetPath());
}

void CConsoleBatchHost::SourceEnded(int nRow, int nSlot, const std::string& strCause) {
    const FileMediaFormat* pRecord = m_list.RecordAtRow(nRow);
    Journal(nRow, JournalStateOf(pRecord->m_nStatus), pRecord->GetTargetPath());
    FileOutcome outcome;
    outcome.strStatus = StatusText(pRecord->m_nStatus);
    outcome.strSource = pRecord->m_strPath;
    outcome.strTarget = pRecord->GetTargetPath();
    outcome.strCause = pRecord->m_nStatus == kStatusError ? strCause : std::string();
    outcome.notes = m_notes[static_cast<std::size_t>(nSlot)]->Take();
    std::lock_guard<std::mutex> lock(m_mxPrint);
    ++m_nFinished;
    m_timeLeft.Ended(nRow, Now());
    TimeLeft(outcome.nTimeLeftSeconds);
    m_printer.EndSource(nRow + 1, outcome);
}

void CConsoleBatchHost::ShowProgress() {
    std::vector<FileProgress> running;
    int nPercentSum = 0;
    for (const auto& pSlot : m_state.m_slots) {
        const int nRow = pSlot->nRow;
        const FileMediaFormat* pRecord = nRow >= 0 ? m_list.RecordAtRow(nRow) : nullptr;
        if (pRecord == nullptr) {
            continue;
        }
        FileProgress file;
        file.nNumber = nRow + 1;
        file.nPercent = std::clamp(pSlot->job.m_nPercent.load(), 0, 100);
        std::error_code error;
        const auto nSize = std::filesystem::file_size(pRecord->GetTargetPath(), error);
        file.nBytes = error ? 0 : static_cast<std::int64_t>(nSize);
        running.push_back(file);
        nPercentSum += file.nPercent;
    }
    std::sort(running.begin(), running.end(),
              [](const FileProgress& a, const FileProgress& b) { return a.nNumber < b.nNumber; });
    std::lock_guard<std::mutex> lock(m_mxPrint);
    const double now = Now();
    for (const FileProgress& file : running) {
        m_timeLeft.Progress(file.nNumber - 1, file.nPercent / 100.0, now);
    }
    const int nRows = std::max(m_list.RowCount(), 1);
    const int nOverall = std::min(100, (m_nFinished * 100 + nPercentSum) / nRows);
    long nSeconds = -1;
    const std::string strLeft = TimeLeft(nSeconds);
    m_printer.Progress(running, nOverall, strLeft);
}

void CConsoleBatchHost::CancelAll() {
    m_state.CancelAll();
    std::lock_guard<std::mutex> lock(m_mxPrint);
    m_printer.Note("Cancelling: every running file stops, and the rest are skipped.", stderr);
}

int CConsoleBatchHost::Run(platform::CSignalWatch& watch) {
    bool bEnded = false;
    std::mutex mxEnded;
    std::thread worker([&] {
        RunParallelBatch(m_list, m_settings, m_state, *this);
        std::lock_guard<std::mutex> lock(mxEnded);
        bEnded = true;
    });
    int nSignal = 0;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mxEnded);
            if (bEnded) {
                break;
            }
        }
        const int nCaught = watch.Wait(kPollMs);
        if (nCaught != 0 && nSignal == 0) {
            nSignal = nCaught;
            CancelAll();
        }
        if (nSignal != 0) {
            // An encoder run that began just as the cancel came clears its job's flag when it
            // starts; setting it again ends that run too.
            m_state.CancelAll();
        } else {
            ShowProgress();
        }
    }
    worker.join();
    // Rows the batch never reached: skipped.
    SkipWaitingRows(m_list, m_printer);
    return nSignal;
}

void SkipWaitingRows(ConsoleSourceList& list, CProgressPrinter& printer) {
    for (int nRow = 0; nRow < list.RowCount(); ++nRow) {
        FileMediaFormat* pRecord = list.RecordAtRow(nRow);
        if (pRecord == nullptr || pRecord->m_nStatus != kStatusWaiting) {
            continue;
        }
        pRecord->m_nStatus = kStatusSkip;
        FileOutcome outcome;
        outcome.strStatus = StatusText(kStatusSkip);
        outcome.strSource = pRecord->m_strPath;
        outcome.strTarget = pRecord->GetTargetPath();
        printer.EndSource(nRow + 1, outcome);
    }
}

} // namespace cli
