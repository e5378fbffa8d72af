#include "engine/ui/convert_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "controls/path_label.h"
#include "controls/percent_bar.h"
#include "engine/batch_driver.h"
#include "engine/batch_rules.h"
#include "engine/encoder_job.h"
#include "engine/time_left.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "sources/source_record.h"
#include "ui/dialog_builder.h"
#include "ui/main_thread.h"
#include "ui/prompt_service.h"

namespace {

constexpr int kTickMs = 100;
constexpr const char* kCaption = "Convert Video to iPod Video formats";

// Where the time left stands, in dialog units: the right end of the "Overall Progress:" line
// (that label ends at 82, the overall bar begins at 50 below it), clear of every template control.
constexpr int kTimeLeftX = 167;
constexpr int kTimeLeftY = 39;
constexpr int kTimeLeftWidth = 149;
constexpr int kTimeLeftHeight = 8;

double SecondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QWidget* CreateConvertControl(const lang::DialogControl& control, QWidget* parent) {
    if (control.kind == lang::ControlKind::ProgressBar) {
        return new CPercentBar(parent);
    }
    if (control.nId == ids::kCtlStepText && control.kind == lang::ControlKind::Static) {
        // The step names the source and the output: long paths are shortened in the middle.
        auto* label = new CPathLabel(parent);
        label->SetFullText(QString::fromStdString(control.strText));
        return label;
    }
    return nullptr;
}

CConvertDlg::CConvertDlg(QWidget* pOwner, std::unique_ptr<IBatchList> pList, CEncoderJob& job,
                         const profiles::ConversionSettings& settings)
    : CWorkerDlg(pOwner, kTickMs), m_pList(std::move(pList)), m_job(job), m_settings(settings) {
    m_batch.m_pJob = &m_job;
    setModal(true);
    BuiltDialog built;
    const lang::ResourceSet& resources = CurrentResources();
    const auto it = resources.dialogs.find(ids::kDlgConvert);
    if (it != resources.dialogs.end()) {
        built = BuildFromTemplate(this, it->second, &CreateConvertControl);
    }
    m_pOverallBar = ControlOrStandIn<CPercentBar>(built, ids::kCtlOverallBar, this);
    m_pCurrentBar = ControlOrStandIn<CPercentBar>(built, ids::kCtlCurrentBar, this);
    m_pStepLabel = ControlOrStandIn<CPathLabel>(built, ids::kCtlStepText, this);
    m_pSizeLabel = ControlOrStandIn<QLabel>(built, ids::kCtlSizeText, this);
    m_pSkipButton = ControlOrStandIn<QPushButton>(built, ids::kCtlSkipCurrent, this);
    m_pCancelAllButton = ControlOrStandIn<QPushButton>(built, ids::kCtlCancelAll, this);
    m_pTimeLeftLabel = new QLabel(this);
    m_pTimeLeftLabel->setFont(built.font);
    m_pTimeLeftLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pTimeLeftLabel->setGeometry(
        DialogUnitsToPixels(built.units, kTimeLeftX, kTimeLeftY, kTimeLeftWidth, kTimeLeftHeight));
    // Neither button is the default: Enter is the close box's question, never a button.
    for (QPushButton* button : {m_pSkipButton, m_pCancelAllButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_pSkipButton, &QPushButton::clicked, this, &CConvertDlg::Skip);
    connect(m_pCancelAllButton, &QPushButton::clicked, this, &CConvertDlg::Finish);
}

CConvertDlg::~CConvertDlg() {
    if (IsWorkerRunning()) {
        // Only reached when the dialog goes while its batch still runs: stop the batch and serve
        // the worker's last requests before it is joined; nothing else may end the dialog now.
        m_bEnding = true;
        CancelAllSources(m_batch);
    }
    WaitForWorker();
}

int CConvertDlg::DoModal() {
    if (m_bStarted) {
        return result();
    }
    Initialise();
    return exec();
}

void CConvertDlg::Initialise() {
    m_bStarted = true;
    if (QWidget* pOwner = parentWidget()) {
        const QRect owner = pOwner->geometry();
        move(pOwner->mapToGlobal(QPoint(0, 0)) +
             QPoint((owner.width() - width()) / 2, (owner.height() - height()) / 2));
    }
    // The first transfer replaces the template texts with the empty step and size texts.
    m_pStepLabel->SetFullText(QString());
    m_pSizeLabel->setText(m_strSize);
    setWindowTitle(QString::fromLatin1(kCaption));
    for (CPercentBar* bar : {m_pOverallBar, m_pCurrentBar}) {
        bar->SetRange(0, 100);
        bar->SetPos(0);
    }
    // The job still holds what its previous run left (100 after a completed one): the first ticks
    // of this batch must not show it.
    m_job.m_nPercent = 0;
    std::vector<double> lengths;
    for (int nRow = 0; nRow < m_pList->RowCount(); ++nRow) {
        const FileMediaFormat* pRecord = m_pList->RecordAtRow(nRow);
        lengths.push_back(pRecord != nullptr ? pRecord->m_nEnd - pRecord->m_nStart : 0);
    }
    m_pTimeLeft = std::make_unique<CTimeLeft>(std::move(lengths), 1);
    m_batch.m_evDone.Reset();
    StartWorker([this] { ConvertSourcesThread(this); });
}

void CConvertDlg::Tick() {
    std::lock_guard<std::mutex> lock(m_batch.m_mxUpdate);
    int nPercent = m_job.m_nPercent.load(std::memory_order_relaxed);
    if (nPercent > 100) {
        nPercent = 100;
    }
    const int nOverall = OverallPercent(m_batch.m_nCurrent, m_batch.m_nCount, nPercent);
    m_pCurrentBar->SetPos(nPercent);
    m_pOverallBar->SetPos(nOverall);

    if (!m_batch.m_strTargetPath.empty()) {
        std::error_code error;
        const std::uintmax_t nBytes = std::filesystem::file_size(m_batch.m_strTargetPath, error);
        if (!error) {
            m_strSize = QString::number(nBytes / 1024U) + QLatin1Char('K');
        }
    }
    ShowTimeLeft(nPercent);

    const QString strStep = FromUtf8(m_batch.m_strStep);
    if (m_pStepLabel->FullText() != strStep) {
        m_pStepLabel->SetFullText(strStep);
    }
    if (m_pSizeLabel->text() != m_strSize) {
        m_pSizeLabel->setText(m_strSize);
    }
}

void CConvertDlg::ShowTimeLeft(int nPercent) {
    const int nCurrent = m_batch.m_nCurrent;
    if (m_pTimeLeft == nullptr || nCurrent < 0 || m_bEnding) {
        return;
    }
    const double now = SecondsNow();
    // The rows before the current one have ended (done, skipped or failed).
    for (int nRow = std::max(m_nTimedRow, 0); nRow < nCurrent; ++nRow) {
        m_pTimeLeft->Ended(nRow, now);
    }
    m_nTimedRow = nCurrent;
    // The job's percent belongs to the current row once its run has begun (it is cleared first).
    m_pTimeLeft->Progress(nCurrent, nPercent < 100 ? nPercent / 100.0 : 0.0, now);
    const std::optional<double> remaining = m_pTimeLeft->Remaining(now);
    const QString strText =
        remaining ? QString::fromStdString(TimeLeftText(*remaining)) : QString();
    if (m_pTimeLeftLabel->text() != strText) {
        m_pTimeLeftLabel->setText(strText);
    }
}

void CConvertDlg::Skip() {
    SkipCurrentSource(m_batch);
}

void CConvertDlg::Finish() {
    // Cancel All, the driver's own end and an answered close box may all ask; the first one ends
    // the dialog.
    if (m_bEnding || !m_bStarted) {
        return;
    }
    m_bEnding = true;
    // The close box's question may still be open (the batch ended while it was asked): it has
    // lost its reason and closes as answered no, before the outcome is shown.
    Prompts().DismissMessages(this);
    CancelAllSources(m_batch);
    WaitForWorker();
    Tick(); // the bars and texts as the batch left them, while the outcome is shown
    m_pTimeLeftLabel->clear(); // nothing is left once the batch has ended

    if (!m_batch.m_bFinished) {
        MarkUnconvertedRows(m_batch, *m_pList, [this](int nRow) { m_pList->FillRow(nRow); });
        Prompts().Message(this, FromUtf8(LoadResString(ids::kStrConversionCanceled)),
                          PromptButtons::Ok, PromptIcon::Information);
    } else {
        Prompts().Message(this, FromUtf8(LoadResString(ids::kStrConversionCompleted)),
                          PromptButtons::Ok, PromptIcon::Information);
    }
    StopPolling();
    done(QDialog::Accepted);
}

void CConvertDlg::CloseRequest() {
    if (m_batch.m_bCancelAll || m_bEnding) {
        return;
    }
    const PromptResult answer =
        Prompts().Message(this, FromUtf8(LoadResString(ids::kStrConfirmCancelAll)),
                          PromptButtons::OkCancel, PromptIcon::Question);
    if (answer == PromptResult::Ok) {
        QMetaObject::invokeMethod(this, &CConvertDlg::Finish, Qt::QueuedConnection);
    }
}

void CConvertDlg::closeEvent(QCloseEvent* e) {
    if (!isVisible()) {
        e->accept();
        return;
    }
    // The close box never ends the dialog by itself.
    e->ignore();
    CloseRequest();
}

void CConvertDlg::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        e->accept();
        CloseRequest();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

void CConvertDlg::reject() {
    CloseRequest();
}

int CConvertDlg::RowCount() {
    int nCount = 0;
    RunOnOwnerThread(this, [&] { nCount = m_pList->RowCount(); });
    return nCount;
}

FileMediaFormat* CConvertDlg::RecordAtRow(int nRow) {
    FileMediaFormat* pRecord = nullptr;
    RunOnOwnerThread(this, [&] { pRecord = m_pList->RecordAtRow(nRow); });
    return pRecord;
}

void CConvertDlg::FillRow(int nRow) {
    RunOnOwnerThread(this, [&] { m_pList->FillRow(nRow); });
}

void CConvertDlg::ShowFailureMessage(const std::string& strText) {
    RunOnOwnerThread(this, [&] {
        Prompts().Message(this, FromUtf8(strText), PromptButtons::Ok, PromptIcon::Warning);
    });
}

void CConvertDlg::BatchEnded(bool bFinished) {
    // The driver's Cancel All command after the last source, posted, never waited for: the main
    // thread may be about to join this thread.
    if (bFinished) {
        PostToOwnerThread(this, [this] { Finish(); });
    }
}
