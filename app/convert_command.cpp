// The Convert command of the form view.
#include "app/convert_command.h"

#include <memory>

#include "app/velmora_view.h"
#include "app/view_batch_list.h"
#include "engine/batch_rules.h"
#include "engine/ui/convert_dlg.h"

void RunConvertCommand(CVelmoraView& view) {
    // The settings as the form shows them, with the frame size made consistent on the form too;
    // the worker gets this copy and never reads the controls.
    view.MakeSizeConsistent();
    const profiles::ConversionSettings settings = view.Settings();

    // No target format has components to check before converting yet.

    auto pList = std::make_unique<CViewBatchList>(view);
    ResetRowsToWaiting(*pList);

    // The dialog of the previous run goes; the new one stays a child of the view until the next
    // Convert or the view's end.
    const auto previous = view.findChildren<CConvertDlg*>(Qt::FindDirectChildrenOnly);
    for (CConvertDlg* pOld : previous) {
        delete pOld;
    }
    auto* pDialog = new CConvertDlg(&view, std::move(pList), view.Job(), settings);
    pDialog->DoModal();
}
