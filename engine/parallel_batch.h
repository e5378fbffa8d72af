#pragma once
// The batch of lumicast-batch: up to N sources converted at once, each by an encoder job of its
// own. Sources start in list order; each one's output name is claimed (the file is created empty)
// before its encoder starts, so two sources with the same name never get the same output. Cancel
// All ends every running encoder and starts no further source. The window keeps its own driver,
// one file at a time (engine/batch_driver.h); both convert each file the same way
// (engine/convert_source.h).
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/encoder_job.h"

class IBatchList;
namespace profiles {
struct ConversionSettings;
}

// One place where sources are converted, one after another; its host polls it.
struct BatchSlot {
    CEncoderJob job;           // its percent and cancel flag
    std::atomic<int> nRow{-1}; // the row it converts now, -1 between sources
};

// The state a side-by-side batch shares with its host.
struct ParallelBatchState {
    explicit ParallelBatchState(int nJobs);

    std::atomic<bool> m_bCancelAll{false}; // host: stop; set with CancelAll
    std::vector<std::unique_ptr<BatchSlot>> m_slots;

    // Cancel All: no further source starts, and every running encoder is ended.
    void CancelAll();
};

// What the driver tells its host. The calls come from the slots' threads; SourceNaming comes for
// one row at a time, in list order.
class IParallelBatchHost {
public:
    virtual ~IParallelBatchHost() = default;
    // The row's record holds the output name about to be claimed (strPath): the host notes it
    // before the file is created. Called again with the next name when that one was taken first.
    virtual void SourceNaming(int nRow, const std::string& strPath) = 0;
    // The row's output name is claimed and its encoder starts in the slot.
    virtual void SourceBegan(int nRow, int nSlot) = 0;
    // The row has ended: its record holds "Done", "Skip" or "Error"; strCause is why it failed,
    // when that is known. A skipped or failed row leaves no file under its output name.
    virtual void SourceEnded(int nRow, int nSlot, const std::string& strCause) = 0;
};

// Converts every row whose record is "Waiting" (the others are left as they are), with as many
// encoders at once as the state has slots, each slot on a thread of its own. The list is read from
// those threads and must not change meanwhile. Returns when every slot has ended.
void RunParallelBatch(IBatchList& list, const profiles::ConversionSettings& settings,
                      ParallelBatchState& state, IParallelBatchHost& host);
