// The Preview command of the form view.
#include "app/preview_command.h"

#include <cstdint>

#include "app/velmora_view.h"
#include "preview/preview_dlg.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

void RunPreviewCommand(CVelmoraView& view) {
    CSourceList* pList = view.List();
    if (pList == nullptr) {
        return;
    }
    const int nRow = pList->FirstSelectedRow();
    FileMediaFormat* record = nRow >= 0 ? view.RecordAtRow(nRow) : nullptr;
    if (record == nullptr) {
        return;
    }
    std::int32_t nStart = record->m_nStart;
    std::int32_t nEnd = record->m_nEnd;
    {
        CPreviewDlg dlg(nullptr);
        dlg.m_strFile = record->m_strPath;
        dlg.m_pnStart = &nStart;
        dlg.m_pnEnd = &nEnd;
        emit view.previewOpened(&dlg);
        dlg.DoModal();
    }
    // The record may have gone while the dialog ran only if its row went too.
    record = view.RecordAtRow(nRow);
    if (record == nullptr || (nStart == record->m_nStart && nEnd == record->m_nEnd)) {
        return;
    }
    record->m_nStart = nStart;
    record->m_nEnd = nEnd;
    pList->SetText(nRow, 2, SegmentText(nStart, nEnd));
}
