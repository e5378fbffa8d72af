#pragma once
// The rules of a batch that every front end follows alike: the conversion dialog and
// lumicast-batch both start, cancel, finish and show a batch through these.
#include <functional>

#include "engine/batch_host.h"

// Every row's record to "Waiting", each row refreshed: the state before a batch starts.
void ResetRowsToWaiting(IBatchList& list);

// Skip Current: the running source is ended and the batch goes on with the next.
void SkipCurrentSource(BatchState& batch);

// Cancel All: the batch stops after the current source, and the running encoder is ended.
void CancelAllSources(BatchState& batch);

// After a cancelled batch: the current source and every later one were not converted, so they
// become "Skip". A current source the driver settled (Done, Error, Skip) before it saw the cancel
// keeps its outcome. `onMarked` is called with each row marked. Returns the count.
int MarkUnconvertedRows(const BatchState& batch, IBatchList& list,
                        const std::function<void(int nRow)>& onMarked);

// The whole batch's percent: the sources before the current one are done, the current one is
// nPercent (clamped to 0..100) done. 0 before the first source has started.
int OverallPercent(int nCurrent, int nCount, int nPercent);
