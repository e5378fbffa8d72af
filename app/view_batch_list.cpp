#include "app/view_batch_list.h"

#include "app/velmora_view.h"

int CViewBatchList::RowCount() {
    return m_view.RowCount();
}

FileMediaFormat* CViewBatchList::RecordAtRow(int nRow) {
    return m_view.RecordAtRow(nRow);
}

void CViewBatchList::FillRow(int nRow) {
    m_view.FillRow(nRow);
}
