#include "preview/preview_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "controls/track_bar.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "media/media_components.h"
#include "media/open_file.h"
#include "preview/video_area.h"
#include "sources/clock_text.h"
#include "support/log.h"
#include "ui/dialog_builder.h"

namespace {

constexpr int kTickMs = 100; // timer 101
constexpr int kStateTimeoutMs = 500;
constexpr long kVideoWindowStyle = 0x46000000; // child window clipping siblings and children
constexpr int kLogLineBytes = 516;

// The number a result code is logged as ("%x", "%08lx").
unsigned ResultBits(HResult hr) {
    return static_cast<unsigned>(hr);
}
unsigned long ResultBitsLong(HResult hr) {
    return static_cast<unsigned long>(static_cast<std::uint32_t>(hr));
}

// The opaque handle the graph keeps for a window it is given.
std::uintptr_t Handle(const QWidget* widget) {
    return reinterpret_cast<std::uintptr_t>(widget);
}

QString Clock(int nSeconds) {
    return QString::fromStdString(sources::ClockText(nSeconds));
}

QWidget* CreatePreviewControl(const lang::DialogControl& control, QWidget* parent) {
    if (control.kind == lang::ControlKind::Picture && control.nId == ids::kCtlVideoArea) {
        return new CVideoArea(parent);
    }
    return CreateTrackBarControl(control, parent);
}

// The template's control, or, when a language module's template lacks it, a hidden stand-in so
// that every handler has its widget.
template <class T, class Make>
T* Take(const BuiltDialog& built, int nId, QWidget* parent, Make make) {
    if (T* widget = qobject_cast<T*>(built.controls.value(nId, nullptr))) {
        return widget;
    }
    T* widget = make(parent);
    widget->hide();
    return widget;
}

template <class Op> HResult WithMediaTime(media::IMediaSeeking* pSeeking, Op operation) {
    if (pSeeking == nullptr ||
        pSeeking->IsFormatSupported(media::TimeFormat::MediaTime) != kResultOk) {
        return kResultNoInterface;
    }
    media::TimeFormat saved = media::TimeFormat::None;
    HResult hr = pSeeking->GetTimeFormat(saved);
    if (Failed(hr)) {
        return hr;
    }
    hr = pSeeking->SetTimeFormat(media::TimeFormat::MediaTime);
    if (Failed(hr)) {
        return hr;
    }
    hr = operation();
    if (Failed(hr)) {
        return hr;
    }
    if (saved != media::TimeFormat::MediaTime) {
        return pSeeking->SetTimeFormat(saved);
    }
    return hr;
}

} // namespace

std::int32_t RefTimeToSeconds(media::RefTime rt) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rt / media::kRefTimePerSecond));
}

HResult GetMediaDuration(media::IMediaSeeking* pSeeking, media::RefTime& rtDuration) {
    return WithMediaTime(pSeeking, [&] { return pSeeking->GetDuration(rtDuration); });
}

HResult GetMediaPosition(media::IMediaSeeking* pSeeking, media::RefTime& rtPosition) {
    return WithMediaTime(pSeeking, [&] { return pSeeking->GetCurrentPosition(rtPosition); });
}

HResult SetMediaPosition(media::IMediaSeeking* pSeeking, media::RefTime* pCurrent,
                         unsigned nCurrentFlags, media::RefTime* pStop, unsigned nStopFlags) {
    return WithMediaTime(pSeeking, [&] {
        return pSeeking->SetPositions(pCurrent, nCurrentFlags, pStop, nStopFlags);
    });
}

// ---------------------------------------------------------------- dialog

CPreviewDlg::CPreviewDlg(QWidget* pParent) : QDialog(pParent) {
    // The media framework loads its plugins while the dialog is built and waits for its first
    // tick, instead of inside the first tick's opening.
    media::PrepareMediaFramework();
    setModal(true);
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
    m_pVideoArea = Take<CVideoArea>(built, ids::kCtlVideoArea, this,
                                    [](QWidget* parent) { return new CVideoArea(parent); });
    m_pStartTime = Take<QLineEdit>(built, ids::kCtlStartTime, this, makeEdit);
    m_pEndTime = Take<QLineEdit>(built, ids::kCtlEndTime, this, makeEdit);
    m_pElapsedTime = Take<QLineEdit>(built, ids::kCtlElapsedTime, this, makeEdit);
    m_pDuration = Take<QLineEdit>(built, ids::kCtlDurationTime, this, makeEdit);
    m_pBalance = Take<CTrackBar>(built, ids::kCtlBalance, this, makeBar);
    m_pVolume = Take<CTrackBar>(built, ids::kCtlVolume, this, makeBar);
    m_pPosition = Take<CTrackBar>(built, ids::kCtlPosition, this, makeBar);
    m_pStopButton = Take<QPushButton>(built, ids::kCtlStop, this, makeButton);
    m_pStartButton = Take<QPushButton>(built, ids::kCtlStart, this, makeButton);
    m_pPlayButton = Take<QPushButton>(built, ids::kCtlPlay, this, makeButton);
    m_pPauseButton = Take<QPushButton>(built, ids::kCtlPause, this, makeButton);
    m_pFullButton = Take<QPushButton>(built, ids::kCtlFull, this, makeButton);
    m_pEndButton = Take<QPushButton>(built, ids::kCtlEnd, this, makeButton);
    m_pOkButton = Take<QPushButton>(built, ids::kIdOk, this, makeButton);
    m_pCancelButton = Take<QPushButton>(built, ids::kCtlPreviewCancel, this, makeButton);
    // Enter is OK, as in every dialog of the platform.
    m_pOkButton->setDefault(true);

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
    ReleaseGraph();
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

// ---------------------------------------------------------------- player

HResult CPreviewDlg::BuildGraph() {
    m_bAudioOnly = 0;
    m_pWindow.reset();
    m_pAudio.reset();
    m_pVideo.reset();
    HResult hr = media::CreateFilterGraph(m_pGraph);
    if (Succeeded(hr)) {
        hr = media::QueryInterface(m_pGraph, m_pControl);
    }
    if (Succeeded(hr)) {
        hr = media::QueryInterface(m_pGraph, m_pSeeking);
    }
    if (Succeeded(hr)) {
        hr = media::QueryInterface(m_pGraph, m_pAudio);
    }
    if (Succeeded(hr)) {
        hr = media::QueryInterface(m_pGraph, m_pVideo);
    }
    if (Succeeded(hr)) {
        hr = media::QueryInterface(m_pGraph, m_pWindow);
    }
    if (Succeeded(hr)) {
        hr = media::QueryInterface(m_pGraph, m_pEvent);
    }
    if (Failed(hr)) {
        ReleaseGraph();
        return hr;
    }
    return kResultOk;
}

void CPreviewDlg::ReleaseGraph() {
    StopGraph();
    if (m_pEvent) {
        m_pEvent->SetNotifyWindow(0, 0, 0);
    }
    if (m_pWindow) {
        m_pWindow->put_Visible(false);
        m_pWindow->put_Owner(0);
    }
    m_pVideoArea->SetSource(nullptr);
    m_pControl.reset();
    m_pSeeking.reset();
    m_pWindow.reset();
    m_pAudio.reset();
    m_pVideo.reset();
    m_pEvent.reset();
    m_pGraph.reset();
}

void CPreviewDlg::OpenMedia() {
    // The media layer needs no per-thread initialisation: GStreamer starts once per process.
    HResult hr = BuildGraph();
    if (Failed(hr)) {
        LogPlayerError("Failed to initialize DirectShow!  hr=0x%x\r\n", ResultBits(hr));
        return;
    }
    hr = media::OpenFileInGraph(m_pGraph.get(), m_strFile);
    if (Failed(hr)) {
        LogPlayerError("*** Failed(%08lx) in RenderFile(%s)!\r\n", ResultBitsLong(hr),
                       m_strFile.c_str());
        return;
    }
    m_bRendered = true;
    m_pWindow->put_AutoShow(false);
    if (Failed(m_pWindow->put_MessageDrain(Handle(this)))) {
        m_bAudioOnly = 1; // no video output: the area stays black
    }
    if (m_bAudioOnly == 0) {
        m_pWindow->put_Owner(Handle(m_pVideoArea));
        m_pWindow->put_WindowStyle(kVideoWindowStyle);
    }
    FitVideoWindow();
    if (m_bAudioOnly == 0) {
        m_pWindow->put_Visible(true);
        m_pWindow->SetWindowForeground(true);
        m_pVideoArea->SetSource(m_pWindow);
    }
}

void CPreviewDlg::FitVideoWindow() {
    if (m_bAudioOnly != 0 || !m_pWindow) {
        return;
    }
    const QRect area = m_pVideoArea->rect();
    const HResult hr =
        m_pWindow->SetWindowPosition(area.left(), area.top(), area.width(), area.height());
    if (Failed(hr)) {
        LogPlayerError("Failed to set window position!  hr=0x%x\r\n", ResultBits(hr));
    }
}

HResult CPreviewDlg::RunGraph() {
    if (!m_pControl) {
        return kResultOk;
    }
    const HResult hr = m_pControl->Run();
    if (Failed(hr)) {
        LogPlayerError("\r\n*** Failed(%08lx) in Run()!\r\n", ResultBitsLong(hr));
        return hr;
    }
    m_nPlayState = Running;
    return hr;
}

HResult CPreviewDlg::PauseGraph() {
    if (!m_pControl || m_nPlayState != Running) {
        return kResultOk;
    }
    const HResult hr = m_pControl->Pause();
    if (Failed(hr)) {
        LogPlayerError("\r\n*** Failed(%08lx) in Pause()!\r\n", ResultBitsLong(hr));
        return hr;
    }
    LogPlayerError("*** Media is PAUSED.\r\n");
    m_nPlayState = Paused;
    return hr;
}

HResult CPreviewDlg::StopGraph() {
    if (!m_pControl || m_nPlayState == Stopped) {
        return kResultOk;
    }
    const HResult hr = m_pControl->Stop();
    if (Failed(hr)) {
        LogPlayerError("\r\n*** Failed(%08lx) in Stop()!\r\n", ResultBitsLong(hr));
        return hr;
    }
    m_nPlayState = Stopped;
    return hr;
}

void CPreviewDlg::StopAndRewind() {
    StopGraph();
    if (!m_pControl) {
        return;
    }
    media::FilterState state = media::FilterState::Stopped;
    HResult hr = m_pControl->GetState(kStateTimeoutMs, state);
    if (Failed(hr)) {
        LogPlayerError("Failed to read graph state!  hr=0x%x\r\n", ResultBits(hr));
    }
    media::RefTime rtStart = 0;
    hr = m_pSeeking ? m_pSeeking->SetPositions(&rtStart, media::kSeekingAbsolutePositioning,
                                               nullptr, media::kSeekingNoPositioning)
                    : kResultNoInterface;
    if (Failed(hr)) {
        LogPlayerError("Failed to seek to beginning of media!  hr=0x%x\r\n", ResultBits(hr));
    }
    hr = m_pControl->StopWhenReady();
    if (Failed(hr)) {
        LogPlayerError("Failed in StopWhenReady!  hr=0x%x\r\n", ResultBits(hr));
    }
}

long CPreviewDlg::PollCompletion() {
    if (!m_pEvent) {
        return 0;
    }
    // Frames are painted on this thread, so the poll must not wait: an end that is not yet
    // reported is seen on the next tick.
    long nEventCode = 0;
    m_pEvent->WaitForCompletion(0, nEventCode);
    return nEventCode;
}

void CPreviewDlg::LogPlayerError(const char* szFormat, ...) {
    char text[kLogLineBytes];
    va_list args;
    va_start(args, szFormat);
    std::vsnprintf(text, sizeof(text), szFormat, args);
    va_end(args);
    WriteLogLine("%s", text);
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
    media::RefTime rtDuration = 0;
    GetMediaDuration(m_pSeeking.get(), rtDuration);
    const int nDuration = RefTimeToSeconds(rtDuration);
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
        OpenMedia();
        if (m_bRendered) {
            AfterOpening();
        }
        OnPlay();
        return;
    }
    if (m_nPlayState != Running) {
        return;
    }
    if (PollCompletion() != 0) {
        OnStop();
    } else {
        media::RefTime rtPosition = 0;
        GetMediaPosition(m_pSeeking.get(), rtPosition);
        const int nPosition = RefTimeToSeconds(rtPosition);
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
        media::RefTime rtPosition =
            static_cast<media::RefTime>(m_pPosition->GetPos()) * media::kRefTimePerSecond;
        SetMediaPosition(m_pSeeking.get(), &rtPosition, media::kSeekingAbsolutePositioning, nullptr,
                         media::kSeekingNoPositioning);
    } else if (pBar == m_pBalance) {
        if (m_pAudio) {
            m_pAudio->put_Balance(m_pBalance->GetPos());
        }
    } else if (pBar == m_pVolume) {
        if (m_pAudio) {
            m_pAudio->put_Volume(m_pVolume->GetPos());
        }
    }
}

void CPreviewDlg::EnableButtons(bool bPlay, bool bPause, bool bStop) {
    m_pPlayButton->setEnabled(bPlay);
    m_pPauseButton->setEnabled(bPause);
    m_pStopButton->setEnabled(bStop);
}

void CPreviewDlg::OnPlay() {
    RunGraph();
    EnableButtons(false, true, true);
}

void CPreviewDlg::OnPause() {
    if (m_nPlayState == Paused) {
        RunGraph();
        EnableButtons(false, true, true);
    } else {
        PauseGraph();
        EnableButtons(true, false, true);
    }
}

void CPreviewDlg::OnStop() {
    StopAndRewind();
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
    if (m_bRendered) {
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
    ReleaseGraph();
    m_timer.stop();
    done(QDialog::Accepted);
}

// ---------------------------------------------------------------- window events

bool CPreviewDlg::event(QEvent* e) {
    if (m_pWindow) {
        m_pWindow->NotifyOwnerMessage(Handle(this), static_cast<unsigned>(e->type()), 0, 0);
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
