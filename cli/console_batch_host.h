#pragma once
// The batch on the console: the side-by-side batch driver (engine/parallel_batch.h) runs up to N
// encoders on threads of its own, while the calling thread shows every running file's progress
// and the time left every 100 ms and turns SIGINT and SIGTERM into Cancel All. Each file ends with
// its status line (or JSON object) in the order the files finish, and the batch's journal follows
// every step.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/batch_journal.h"
#include "engine/parallel_batch.h"
#include "engine/time_left.h"
#include "profiles/conversion_settings.h"

namespace platform {
class CSignalWatch;
}

namespace cli {

struct ConsoleSourceList;
class CEncoderNotes;
class CProgressPrinter;

class CConsoleBatchHost : public IParallelBatchHost {
public:
    // The rows of `list` that are "Waiting" are converted, nJobs at a time. pJournal (may be null)
    // holds one entry per row's source: journalIndex[row] is the row's entry.
    CConsoleBatchHost(ConsoleSourceList& list, const profiles::ConversionSettings& settings,
                      CProgressPrinter& printer, int nJobs, CBatchJournal* pJournal,
                      std::vector<int> journalIndex);
    ~CConsoleBatchHost() override;
    CConsoleBatchHost(const CConsoleBatchHost&) = delete;
    CConsoleBatchHost& operator=(const CConsoleBatchHost&) = delete;

    // Runs the batch and returns when it has ended: the signal that cancelled it, or 0. After a
    // cancel every file that was not converted ends as "Skip".
    int Run(platform::CSignalWatch& watch);

    // Called by the driver on the slots' threads.
    void SourceNaming(int nRow, const std::string& strPath) override;
    void SourceBegan(int nRow, int nSlot) override;
    void SourceEnded(int nRow, int nSlot, const std::string& strCause) override;

private:
    void ShowProgress();
    void CancelAll();
    void Journal(int nRow, JournalState state, const std::string& strOutput);
    double Now() const;
    std::string TimeLeft(long& nSeconds);

    ConsoleSourceList& m_list;
    const profiles::ConversionSettings m_settings;
    CProgressPrinter& m_printer;
    CBatchJournal* m_pJournal;
    std::vector<int> m_journalIndex;
    ParallelBatchState m_state;
    std::vector<std::unique_ptr<CEncoderNotes>> m_notes; // one per slot
    std::mutex m_mxPrint; // the printer, the time left and the finished count
    CTimeLeft m_timeLeft;
    int m_nFinished = 0; // rows settled, before or during this batch
    double m_start;      // when the batch began, on the steady clock
};

// Every row still "Waiting" (the batch never reached it) ends as "Skip", with its line.
void SkipWaitingRows(ConsoleSourceList& list, CProgressPrinter& printer);

} // namespace cli
