#include "preview/preview_player.h"

#include <cstdarg>
#include <cstdio>

#include "media/media_components.h"
#include "media/open_file.h"
#include "preview/video_area.h"
#include "support/log.h"

namespace {

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

// ---------------------------------------------------------------- seeking functions

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

// ---------------------------------------------------------------- player

CPreviewPlayer::CPreviewPlayer(QWidget* pDrain, CVideoArea* pVideoArea)
    : m_pDrain(pDrain), m_pVideoArea(pVideoArea) {
    media::PrepareMediaFramework();
}

CPreviewPlayer::~CPreviewPlayer() {
    ReleaseGraph();
}

HResult CPreviewPlayer::BuildGraph() {
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

void CPreviewPlayer::ReleaseGraph() {
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

void CPreviewPlayer::OpenMedia(const std::string& strFile) {
    // The media layer needs no per-thread initialisation: GStreamer starts once per process.
    HResult hr = BuildGraph();
    if (Failed(hr)) {
        LogPlayerError("Failed to initialize DirectShow!  hr=0x%x\r\n", ResultBits(hr));
        return;
    }
    hr = media::OpenFileInGraph(m_pGraph.get(), strFile);
    if (Failed(hr)) {
        LogPlayerError("*** Failed(%08lx) in RenderFile(%s)!\r\n", ResultBitsLong(hr),
                       strFile.c_str());
        return;
    }
    m_bRendered = true;
    m_pWindow->put_AutoShow(false);
    if (Failed(m_pWindow->put_MessageDrain(Handle(m_pDrain)))) {
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

void CPreviewPlayer::FitVideoWindow() {
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

HResult CPreviewPlayer::RunGraph() {
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

HResult CPreviewPlayer::PauseGraph() {
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

HResult CPreviewPlayer::StopGraph() {
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

void CPreviewPlayer::StopAndRewind() {
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

long CPreviewPlayer::PollCompletion() {
    if (!m_pEvent) {
        return 0;
    }
    // Frames are painted on this thread, so the poll must not wait: an end that is not yet
    // reported is seen on the next tick.
    long nEventCode = 0;
    m_pEvent->WaitForCompletion(0, nEventCode);
    return nEventCode;
}

void CPreviewPlayer::LogPlayerError(const char* szFormat, ...) {
    char text[kLogLineBytes];
    va_list args;
    va_start(args, szFormat);
    std::vsnprintf(text, sizeof(text), szFormat, args);
    va_end(args);
    WriteLogLine("%s", text);
}

std::int32_t CPreviewPlayer::DurationSeconds() const {
    media::RefTime rtDuration = 0; // a failed read leaves 0
    GetMediaDuration(m_pSeeking.get(), rtDuration);
    return RefTimeToSeconds(rtDuration);
}

std::int32_t CPreviewPlayer::PositionSeconds() const {
    media::RefTime rtPosition = 0; // a failed read leaves 0
    GetMediaPosition(m_pSeeking.get(), rtPosition);
    return RefTimeToSeconds(rtPosition);
}

void CPreviewPlayer::SeekTo(std::int32_t nSeconds) {
    media::RefTime rtPosition = static_cast<media::RefTime>(nSeconds) * media::kRefTimePerSecond;
    SetMediaPosition(m_pSeeking.get(), &rtPosition, media::kSeekingAbsolutePositioning, nullptr,
                     media::kSeekingNoPositioning);
}

void CPreviewPlayer::SetVolume(long nVolume) {
    if (m_pAudio) {
        m_pAudio->put_Volume(nVolume);
    }
}

void CPreviewPlayer::SetBalance(long nBalance) {
    if (m_pAudio) {
        m_pAudio->put_Balance(nBalance);
    }
}

void CPreviewPlayer::NotifyOwnerMessage(unsigned nMessage) {
    if (m_pWindow) {
        m_pWindow->NotifyOwnerMessage(Handle(m_pDrain), nMessage, 0, 0);
    }
}
