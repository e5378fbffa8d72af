#include "preview/preview_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "controls/track_bar.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "preview/video_area.h"
#include "sources/clock_text.h"
#include "ui/dialog_builder.h"
#include "ui/screen_fit.h"

namespace {

constexpr int kTickMs = 100; // timer 101

QString Clock(int nSeconds) {
    return QString::fromStdString(sources::ClockText(nSeconds));
}

QWidget* CreatePreviewControl(const lang::DialogControl& control, QWidget* parent) {
    if (control.kind == lang::ControlKind::Picture && control.nId == ids::kCtlVideoArea) {
        return new CVideoArea(parent);
    }
    return CreateTrackBarControl(control, parent);
}

} // namespace

CPreviewDlg::CPreviewDlg(QWidget* pParent) : QDialog(pParent) {
    setModal(true);
    KeepOnScreen(this);
    BuiltDialog built;
    const lang::ResourceSet& resources = CurrentResources();
    const auto it = resources.dialogs.find(ids::kDlgPreview);
    if (it != resources.dialogs.end()) {
        built = BuildFromTemplate(this, it->second, &CreatePreviewControl);
    }
    const auto makeEdit = [](QWidget* parent) {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(true);
        return edit;
    };
    const auto makeButton = [](QWidget* parent) { return new QPushButton(parent); };
    const auto makeBar = [](QWidget* parent) { return new CTrackBar(parent, true); };
    m_pVideoArea = ControlOrStandIn<CVideoArea>(built, ids::kCtlVideoArea, this);
    m_pStartTime = ControlOrStandIn<QLineEdit>(built, ids::kCtlStartTime, this, makeEdit);
    m_pEndTime = ControlOrStandIn<QLineEdit>(built, ids::kCtlEndTime, this, makeEdit);
    m_pElapsedTime = ControlOrStandIn<QLineEdit>(built, ids::kCtlElapsedTime, this, makeEdit);
    m_pDuration = ControlOrStandIn<QLineEdit>(built, ids::kCtlDurationTime, this, makeEdit);
    m_pBalance = ControlOrStandIn<CTrackBar>(built, ids::kCtlBalance, this, makeBar);
    m_pVolume = ControlOrStandIn<CTrackBar>(built, ids::kCtlVolume, this, makeBar);
    m_pPosition = ControlOrStandIn<CTrackBar>(built, ids::kCtlPosition, this, makeBar);
    m_pStopButton = ControlOrStandIn<QPushButton>(built, ids::kCtlStop, this, makeButton);
    m_pStartButton = ControlOrStandIn<QPushButton>(built, ids::kCtlStart, this, makeButton);
    m_pPlayButton = ControlOrStandIn<QPushButton>(built, ids::kCtlPlay, this, makeButton);
    m_pPauseButton = ControlOrStandIn<QPushButton>(built, ids::kCtlPause, this, makeButton);
    m_pFullButton = ControlOrStandIn<QPushButton>(built, ids::kCtlFull, this, makeButton);
    m_pEndButton = ControlOrStandIn<QPushButton>(built, ids::kCtlEnd, this, makeButton);
    m_pOkButton = ControlOrStandIn<QPushButton>(built, ids::kIdOk, this, makeButton);
    m_pCancelButton =
        ControlOrStandIn<QPushButton>(built, ids::kCtlPreviewCancel, this, makeButton);
    // Enter is OK, as in every dialog of the platform.
    m_pOkButton->setDefault(true);
    m_pPlayer = std::make_unique<CPreviewPlayer>(this, m_pVideoArea);

    connect(m_pPlayButton, &QPushButton::clicked, this, &CPreviewDlg::OnPlay);
    connect(m_pPauseButton, &QPushButton::clicked, this, &CPreviewDlg::OnPause);
    connect(m_pStopButton, &QPushButton::clicked, this, &CPreviewDlg::OnStop);
    connect(m_pStartButton, &QPushButton::clicked, this, &CPreviewDlg::OnSetStart);
    connect(m_pEndButton, &QPushButton::clicked, this, &CPreviewDlg::OnSetEnd);
    connect(m_pFullButton, &QPushButton::clicked, this, &CPreviewDlg::OnFull);
    connect(m_pOkButton, &QPushButton::clicked, this, &CPreviewDlg::OnOK);
    connect(m_pCancelButton, &QPushButton::clicked, this, &CPreviewDlg::OnClose);
    for (CTrackBar* pBar : {m_pPosition, m_pBalance, m_pVolume}) {
        connect(pBar, &CTrackBar::scrolled, this, [this, pBar] { OnHScroll(pBar); });
    }
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &CPreviewDlg::OnTimer);
}

CPreviewDlg::~CPreviewDlg() {
    m_timer.stop();
    m_pPlayer->ReleaseGraph();
}

int CPreviewDlg::DoModal() {
    return exec();
}

QPushButton* CPreviewDlg::Button(int nId) const {
    switch (nId) {
    case ids::kCtlPlay:
        return m_pPlayButton;
    case ids::kCtlPause:
        return m_pPauseButton;
    case ids::kCtlStop:
        return m_pStopButton;
    case ids::kCtlStart:
        return m_pStartButton;
    case ids::kCtlEnd:
        return m_pEndButton;
    case ids::kCtlFull:
        return m_pFullButton;
    case ids::kIdOk:
        return m_pOkButton;
    case ids::kCtlPreviewCancel:
        return m_pCancelButton;
    default:
        return nullptr;
    }
}

// ---------------------------------------------------------------- dialog handlers

void CPreviewDlg::OnInitDialog() {
    for (QPushButton* pButton : {m_pPlayButton, m_pStopButton, m_pPauseButton, m_pStartButton,
                                 m_pEndButton, m_pFullButton}) {
        pButton->setEnabled(false);
    }
    m_pVolume->SetRange(-10000, 0, true);
    m_pVolume->SetTicFreq(1000);
    m_pVolume->SetLineSize(1000);
    m_pVolume->SetPageSize(2000);
    m_pBalance->SetRange(-10000, 10000, true);
    m_pBalance->SetTicFreq(1000);
    m_pBalance->SetLineSize(1000);
    m_pBalance->SetPageSize(5000);
    m_timer.start();
}

void CPreviewDlg::AfterOpening() {
    EnableButtons(true, false, false);
    for (QPushButton* pButton : {m_pStartButton, m_pEndButton, m_pFullButton}) {
        pButton->setEnabled(true);
    }
    const int nDuration = m_pPlayer->DurationSeconds();
    m_pDuration->setText(Clock(nDuration));
    m_pPosition->SetRange(0, nDuration, false);
    const int nStep = (nDuration / 100 + 1) * 5;
    m_pPosition->SetTicFreq(nStep);
    m_pPosition->SetLineSize(nStep);
    m_pPosition->SetPageSize(4 * nStep);
    m_pPosition->SetSelection(m_pnStart != nullptr ? *m_pnStart : 0,
                              m_pnEnd != nullptr ? *m_pnEnd : 0, false);
    UpdateTimeTexts();
}

void CPreviewDlg::OnTimer() {
    if (m_bOpened == 0) {
        m_bOpened = 1;
        m_pPlayer->OpenMedia(m_strFile);
        if (m_pPlayer->IsRendered()) {
            AfterOpening();
        }
        OnPlay();
        return;
    }
    if (m_pPlayer->PlayStateValue() != CPreviewPlayer::Running) {
        return;
    }
    if (m_pPlayer->PollCompletion() != 0) {
        OnStop();
    } else {
        const int nPosition = m_pPlayer->PositionSeconds();
        if (nPosition != m_pPosition->GetPos()) {
            m_pPosition->SetPos(nPosition);
        }
    }
    const QString strElapsed = Clock(m_pPosition->GetPos());
    if (strElapsed != m_pElapsedTime->text()) {
        m_pElapsedTime->setText(strElapsed);
    }
}

void CPreviewDlg::OnHScroll(CTrackBar* pBar) {
    if (pBar == m_pPosition) {
        m_pPlayer->SeekTo(m_pPosition->GetPos());
    } else if (pBar == m_pBalance) {
        m_pPlayer->SetBalance(m_pBalance->GetPos());
    } else if (pBar == m_pVolume) {
        m_pPlayer->SetVolume(m_pVolume->GetPos());
    }
}

void CPreviewDlg::EnableButtons(bool bPlay, bool bPause, bool bStop) {
    m_pPlayButton->setEnabled(bPlay);
    m_pPauseButton->setEnabled(bPause);
    m_pStopButton->setEnabled(bStop);
}

void CPreviewDlg::OnPlay() {
    m_pPlayer->RunGraph();
    EnableButtons(false, true, true);
}

void CPreviewDlg::OnPause() {
    if (m_pPlayer->PlayStateValue() == CPreviewPlayer::Paused) {
        m_pPlayer->RunGraph();
        EnableButtons(false, true, true);
    } else {
        m_pPlayer->PauseGraph();
        EnableButtons(true, false, true);
    }
}

void CPreviewDlg::OnStop() {
    m_pPlayer->StopAndRewind();
    EnableButtons(true, false, false);
    m_pElapsedTime->setText(QStringLiteral("0"));
    m_pPosition->SetPos(0);
}

void CPreviewDlg::SetSelectionAround(int nKept) {
    const int nPosition = m_pPosition->GetPos();
    m_pPosition->SetSelection(std::min(nPosition, nKept), std::max(nPosition, nKept), true);
    m_pPosition->repaint();
    UpdateTimeTexts();
}

void CPreviewDlg::OnSetStart() {
    SetSelectionAround(m_pPosition->GetSelEnd());
}

void CPreviewDlg::OnSetEnd() {
    SetSelectionAround(m_pPosition->GetSelStart());
}

void CPreviewDlg::OnFull() {
    m_pPosition->SetSelection(m_pPosition->GetRangeMin(), m_pPosition->GetRangeMax(), true);
    m_pPosition->repaint();
    UpdateTimeTexts();
}

void CPreviewDlg::UpdateTimeTexts() {
    m_pStartTime->setText(Clock(m_pPosition->GetSelStart()));
    m_pEndTime->setText(Clock(m_pPosition->GetSelEnd()));
}

void CPreviewDlg::OnOK() {
    // A file that never opened leaves the slider without its duration and segment: nothing is
    // handed back then, so the caller keeps what it had.
    if (m_pPlayer->IsRendered()) {
        if (m_pnStart != nullptr) {
            *m_pnStart = m_pPosition->GetSelStart();
        }
        if (m_pnEnd != nullptr) {
            *m_pnEnd = m_pPosition->GetSelEnd();
        }
    }
    OnClose();
}

void CPreviewDlg::OnClose() {
    if (m_bClosing) {
        return;
    }
    m_bClosing = true;
    m_pPlayer->ReleaseGraph();
    m_timer.stop();
    done(QDialog::Accepted);
}

// ---------------------------------------------------------------- window events

bool CPreviewDlg::event(QEvent* e) {
    if (m_pPlayer) {
        m_pPlayer->NotifyOwnerMessage(static_cast<unsigned>(e->type()));
    }
    return QDialog::event(e);
}

void CPreviewDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
}

void CPreviewDlg::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        e->accept(); // swallowed: the dialog ends only through OK, Cancel or the close box
        return;
    }
    QDialog::keyPressEvent(e);
}

void CPreviewDlg::closeEvent(QCloseEvent* e) {
    if (m_bClosing) {
        e->accept(); // the dialog is ending through Close
        return;
    }
    e->ignore();
    OnClose();
}

void CPreviewDlg::reject() {
    OnClose();
}
