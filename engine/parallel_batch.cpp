#include "engine/parallel_batch.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "engine/batch_host.h"
#include "engine/convert_source.h"
#include "platform/file_paths.h"
#include "sources/source_record.h"
#include "support/log.h"

#include <unistd.h>

ParallelBatchState::ParallelBatchState(int nJobs) {
    for (int i = 0; i < std::max(nJobs, 1); ++i) {
        m_slots.push_back(std::make_unique<BatchSlot>());
    }
}

void ParallelBatchState::CancelAll() {
    m_bCancelAll = true;
    for (const auto& pSlot : m_slots) {
        pSlot->job.m_bCancel = true;
    }
}

namespace {

class CBatchQueue {
public:
    CBatchQueue(IBatchList& list, const SourceJobPlan& plan, ParallelBatchState& state,
                IParallelBatchHost& host)
        : m_list(list), m_plan(plan), m_state(state), m_host(host) {}

    // The slot's thread: takes the next waiting row until none is left or the batch is cancelled.
    void RunSlot(int nSlot) {
        BatchSlot& slot = *m_state.m_slots[static_cast<std::size_t>(nSlot)];
        for (;;) {
            FileMediaFormat* pRecord = nullptr;
            bool bClaimed = false;
            const int nRow = TakeNext(nSlot, pRecord, bClaimed);
            if (nRow < 0) {
                return;
            }
            Convert(slot, nSlot, nRow, *pRecord, bClaimed);
        }
    }

private:
    // The next waiting row with its output name claimed, in list order; -1 when none is left or
    // the batch was cancelled. One row at a time, so names are claimed in list order.
    int TakeNext(int nSlot, FileMediaFormat*& pRecord, bool& bClaimed) {
        std::lock_guard<std::mutex> lock(m_mxNext);
        while (m_nNext < m_list.RowCount() && !m_state.m_bCancelAll) {
            const int nRow = m_nNext++;
            pRecord = m_list.RecordAtRow(nRow);
            if (pRecord == nullptr) {
                WriteLogLine("Convert: row %d has no source record.", nRow);
                continue;
            }
            if (pRecord->m_nStatus != kStatusWaiting) {
                continue;
            }
            bClaimed = pRecord->ReserveTargetName(
                m_plan.strFolder, m_plan.strExtension, kTargetSuffix,
                [this, nRow](const std::string& strPath) { m_host.SourceNaming(nRow, strPath); });
            m_state.m_slots[static_cast<std::size_t>(nSlot)]->nRow = nRow;
            return nRow;
        }
        return -1;
    }

    void Convert(BatchSlot& slot, int nSlot, int nRow, FileMediaFormat& record, bool bClaimed) {
        const std::string strTarget = record.GetTargetPath();
        slot.job.m_nPercent = 0;
        slot.job.m_nDuration = 0;
        m_host.SourceBegan(nRow, nSlot);
        // A Cancel All that comes while the encoder starts is cleared by the job as it starts;
        // the host sets it again until the batch has ended.
        std::string strCause;
        const HResult hrOutcome = ConvertSource(slot.job, record, strTarget, m_plan, strCause);
        const bool bCancelled = m_state.m_bCancelAll || slot.job.m_bCancel;
        if (bClaimed && (Failed(hrOutcome) || bCancelled) && FileExists(strTarget) &&
            !FolderExists(strTarget)) {
            // The name was claimed for this source: whatever stands there now is its unfinished
            // output, or the empty file that claimed it.
            if (unlink(strTarget.c_str()) == 0) {
                WriteLogLine("Removed the unfinished output %s", strTarget.c_str());
            }
        }
        SettleSourceStatus(record, hrOutcome, bCancelled);
        slot.nRow = -1;
        m_host.SourceEnded(nRow, nSlot, Failed(hrOutcome) ? strCause : std::string());
    }

    IBatchList& m_list;
    const SourceJobPlan& m_plan;
    ParallelBatchState& m_state;
    IParallelBatchHost& m_host;
    std::mutex m_mxNext;
    int m_nNext = 0; // the next row to look at (m_mxNext)
};

} // namespace

void RunParallelBatch(IBatchList& list, const profiles::ConversionSettings& settings,
                      ParallelBatchState& state, IParallelBatchHost& host) {
    if (list.RowCount() == 0) {
        return;
    }
    const SourceJobPlan plan = PlanSourceJobs(settings);
    CBatchQueue queue(list, plan, state, host);
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < state.m_slots.size(); ++i) {
        threads.emplace_back([&queue, i] { queue.RunSlot(static_cast<int>(i)); });
    }
    queue.RunSlot(0);
    for (std::thread& thread : threads) {
        thread.join();
    }
}
