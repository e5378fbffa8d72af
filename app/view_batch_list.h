#pragma once
// The form view's source list as a batch sees it.
#include "engine/batch_host.h"

class CVelmoraView;

class CViewBatchList final : public IBatchList {
public:
    explicit CViewBatchList(CVelmoraView& view) : m_view(view) {}
    int RowCount() override;
    FileMediaFormat* RecordAtRow(int nRow) override;
    void FillRow(int nRow) override;

private:
    CVelmoraView& m_view;
};
