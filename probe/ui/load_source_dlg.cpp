#include "probe/ui/load_source_dlg.h"

#include "controls/path_label.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "probe/load_sources.h"
#include "sources/source_record.h"
#include "support/log.h"
#include "ui/app_name.h"
#include "ui/dialog_builder.h"
#include "ui/main_thread.h"
#include "ui/prompt_service.h"

namespace {

constexpr int kTextTimerPeriodMs = 100;

const lang::DialogTemplate& LoadTemplate() {
    static const lang::DialogTemplate kEmpty;
    const auto& dialogs = CurrentResources().dialogs;
    const auto it = dialogs.find(ids::kDlgLoadSource);
    if (it == dialogs.end()) {
        WriteLogLine("Dialog template %d is missing", ids::kDlgLoadSource);
        return kEmpty;
    }
    return it->second;
}

// The text names the file being probed: a long path is shortened in the middle, never cut.
QWidget* MakeLoadControl(const lang::DialogControl& control, QWidget* parent) {
    if (control.nId != ids::kCtlStepText || control.kind != lang::ControlKind::Static) {
        return nullptr;
    }
    auto* label = new CPathLabel(parent);
    label->SetFullText(QString::fromStdString(control.strText));
    return label;
}

} // namespace

CLoadSourceDlg::CLoadSourceDlg(ILoadView* pView, std::vector<std::string> paths, QWidget* parent)
    : CWorkerDlg(parent, kTextTimerPeriodMs), m_pView(pView), m_paths(std::move(paths)) {
    const BuiltDialog built = BuildFromTemplate(this, LoadTemplate(), &MakeLoadControl);
    m_pText = ControlOrStandIn<CPathLabel>(built, ids::kCtlStepText, this);
    m_pProgress = ControlOrStandIn<QProgressBar>(built, ids::kCtlOverallBar, this);
    // No caption text and no buttons: the dialog has no title bar to close it with.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    setModal(true);
    m_pText->SetFullText(QString()); // the text member is empty at first
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
}

CLoadSourceDlg::~CLoadSourceDlg() {
    StopPolling();
    WaitForWorker();
    if (m_pList != nullptr) {
        m_pList->setUpdatesEnabled(true);
    }
}

void CLoadSourceDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_bStarted) {
        m_bStarted = true;
        if (parentWidget() != nullptr) {
            const QRect owner = parentWidget()->window()->frameGeometry();
            move(owner.center() - rect().center());
        }
        HoldListPaints(true);
        StartPass();
    }
}

void CLoadSourceDlg::StartPass() {
    // The view sits disabled behind this modal dialog, so its output folder, its target format
    // and its rows change only through this pass: they are read here once, and the worker keeps
    // the row count itself, which saves it two waits on the main thread per file.
    if (m_pView != nullptr) {
        m_target = m_pView->LoadOutputTarget();
        m_nRows = m_pView->RowCount();
    }
    StartWorker([this] { m_nFailed = LoadSourcesThread(*this, m_paths); });
}

void CLoadSourceDlg::Poll() {
    PushText();
    PaintList();
}

void CLoadSourceDlg::HoldListPaints(bool bHold) {
    // Repainting the list after every new row costs more than the rest of the pass; while the
    // pass runs the list is painted with the text, ten times a second.
    if (m_pView == nullptr || m_pView->ListWidget() == nullptr) {
        return;
    }
    m_pList = m_pView->ListWidget();
    m_pList->setUpdatesEnabled(!bHold);
}

void CLoadSourceDlg::PaintList() {
    if (m_pList == nullptr || m_pList->updatesEnabled()) {
        return;
    }
    m_pList->setUpdatesEnabled(true);
    m_pList->repaint();
    m_pList->setUpdatesEnabled(false);
}

void CLoadSourceDlg::PushText() {
    QString strText;
    {
        const std::lock_guard<std::mutex> lock(m_textLock);
        strText = QString::fromStdString(m_strText);
    }
    if (m_pText->FullText() != strText) {
        m_pText->SetFullText(strText);
    }
}

void CLoadSourceDlg::reject() {
    // Escape and the close button: only the worker's close request ends the dialog.
    if (IsWorkerRunning() || !m_bStarted) {
        return;
    }
    QDialog::reject();
}

void CLoadSourceDlg::closeEvent(QCloseEvent* event) {
    if (IsWorkerRunning() || !m_bStarted) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CLoadSourceDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CLoadSourceDlg::OnCloseRequest() {
    StopPolling();
    PushText();
    WaitForWorker();
    if (m_pList != nullptr) {
        m_pList->setUpdatesEnabled(true);
    }
    done(QDialog::Accepted);
}

int CLoadSourceDlg::RowCount() {
    return m_nRows;
}

void CLoadSourceDlg::SetProgressText(const std::string& strText) {
    const std::lock_guard<std::mutex> lock(m_textLock);
    m_strText = strText;
}

void CLoadSourceDlg::SetProgress(int nPercent) {
    // Posted, not waited for: the bar takes the positions in order when the main thread comes
    // to them.
    PostToOwnerThread(this, [this, nPercent] { m_pProgress->setValue(nPercent); });
}

LoadTarget CLoadSourceDlg::OutputTarget() {
    return m_target;
}

int CLoadSourceDlg::AddSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) {
    int nIndex = -1;
    RunOnOwnerThread(this, [&] {
        if (m_pView != nullptr) {
            nIndex = m_pView->AppendSource(std::move(pRecord), nRow);
        }
    });
    if (nIndex >= 0) {
        ++m_nRows;
    }
    return nIndex;
}

void CLoadSourceDlg::ShowFailures(const std::string& strMessage) {
    RunOnOwnerThread(this, [&] {
        // The message's lines end with "\r\n" or "\n"; the message box breaks lines at "\n".
        QString strText = QString::fromStdString(strMessage);
        strText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Prompts().Message(this, strText, PromptButtons::Ok, PromptIcon::Warning, AppName());
    });
}

void CLoadSourceDlg::Close() {
    PostToOwnerThread(this, [this] { OnCloseRequest(); });
}
