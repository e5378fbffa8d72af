#pragma once
// The batch driver's host on the console: the second host beside the conversion dialog. The
// driver runs on a worker thread; the calling thread shows the progress every 100 ms and turns
// SIGINT and SIGTERM into Cancel All.
#include <mutex>
#include <string>

#include "engine/batch_host.h"
#include "engine/encoder_job.h"
#include "profiles/conversion_settings.h"

namespace platform {
class CSignalWatch;
}

namespace cli {

struct ConsoleSourceList;
class CProgressPrinter;
class CConsoleBatchHost : public IBatchHost {
public:
    CConsoleBatchHost(ConsoleSourceList& list, const profiles::ConversionSettings& settings,
                      CProgressPrinter& printer);

    // Called by the driver on its worker thread.
    BatchState& Batch() override { return m_batch; }
    const profiles::ConversionSettings& Settings() override { return m_settings; }
    int RowCount() override;
    FileMediaFormat* RecordAtRow(int nRow) override;
    // "Waiting" begins a source's progress; "Done", "Skip" and "Error" end it with its line.
    void FillRow(int nRow) override;
    void ShowFailureMessage(const std::string& strText) override;
    void BatchEnded(bool /*bFinished*/) override {}

    // Runs the batch on a worker thread and returns when it has ended: the signal that cancelled
    // it, or 0. After a cancel the current source (unless it had ended already) and every later
    // one are marked "Skip", as the conversion dialog marks them.
    int Run(platform::CSignalWatch& watch);

private:
    void ShowProgress();
    void CancelAll();

    ConsoleSourceList& m_list;
    const profiles::ConversionSettings m_settings;
    CProgressPrinter& m_printer;
    CEncoderJob m_job;
    BatchState m_batch;
    std::mutex m_mxPrint;           // the printer is shared by the worker and the polling thread
    std::string m_strRunningTarget; // output of the source whose progress is shown (m_mxPrint)
};

// After a cancelled batch, every source that was not converted is marked "Skip" and printed with
// its line.
void MarkSkippedRows(const BatchState& batch, ConsoleSourceList& list, CProgressPrinter& printer);

} // namespace cli
