#include "engine/batch_rules.h"

#include <algorithm>

#include "engine/encoder_job.h"
#include "sources/source_record.h"

void ResetRowsToWaiting(IBatchList& list) {
    const int nRows = list.RowCount();
    for (int nRow = 0; nRow < nRows; ++nRow) {
        if (FileMediaFormat* pRecord = list.RecordAtRow(nRow)) {
            pRecord->m_nStatus = kStatusWaiting;
        }
        list.FillRow(nRow);
    }
}

void SkipCurrentSource(BatchState& batch) {
    batch.m_bSkip = true;
    if (batch.m_pJob != nullptr) {
        batch.m_pJob->m_bCancel = true;
    }
}

void CancelAllSources(BatchState& batch) {
    batch.m_bCancelAll = true;
    SkipCurrentSource(batch);
}

int MarkUnconvertedRows(const BatchState& batch, IBatchList& list,
                        const std::function<void(int nRow)>& onMarked) {
    int nMarked = 0;
    const int nRows = list.RowCount();
    const int nCurrent = batch.m_nCurrent;
    for (int nRow = std::max(0, nCurrent); nRow < nRows; ++nRow) {
        FileMediaFormat* pRecord = list.RecordAtRow(nRow);
        // The driver had not reached the later rows; the current one keeps an outcome it settled.
        if (pRecord == nullptr || (nRow == nCurrent && pRecord->m_nStatus != kStatusWaiting)) {
            continue;
        }
        pRecord->m_nStatus = kStatusSkip;
        ++nMarked;
        if (onMarked) {
            onMarked(nRow);
        }
    }
    return nMarked;
}

int OverallPercent(int nCurrent, int nCount, int nPercent) {
    if (nCount <= 0 || nCurrent < 0) {
        return 0;
    }
    const int nClamped = std::clamp(nPercent, 0, 100);
    return static_cast<int>((static_cast<long long>(nCurrent) * 100 + nClamped) / nCount);
}
