// The Convert command of the form view.
#include "app/convert_command.h"

#include <memory>

#include "app/download_command.h"
#include "app/velmora_view.h"
#include "app/view_batch_list.h"
#include "engine/batch_rules.h"
#include "engine/ui/convert_dlg.h"
#include "media/target_checks.h"
#include "ui/prompt_service.h"

namespace {

// The component checks ask, download and tell through the prompt service, over the view.
class CTargetCheckHost final : public media::ITargetCheckHost {
public:
    explicit CTargetCheckHost(QWidget* pParent) : m_pParent(pParent) {}

    bool AskOkCancel(const std::string& text) override {
        return Prompts().Message(m_pParent, QString::fromStdString(text), PromptButtons::OkCancel,
                                 PromptIcon::Question) == PromptResult::Ok;
    }
    void RunDownloadCommand(int commandId) override { ::RunDownloadCommand(commandId, m_pParent); }
    void ShowNotice(const std::string& text) override {
        Prompts().Message(m_pParent, QString::fromStdString(text), PromptButtons::Ok,
                          PromptIcon::Information);
    }

private:
    QWidget* m_pParent;
};

} // namespace

void RunConvertCommand(CVelmoraView& view) {
    // The settings as the form shows them, with the frame size made consistent on the form too;
    // the worker gets this copy and never reads the controls.
    view.MakeSizeConsistent();
    const profiles::ConversionSettings settings = view.Settings();

    // A target whose writing components are missing offers their download instead of converting.
    CTargetCheckHost host(&view);
    if (media::CheckTargetComponents(settings.m_nFormat, host)) {
        return;
    }

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
