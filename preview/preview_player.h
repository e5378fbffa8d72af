#pragma once
// The preview player: one filter graph of the media layer for one file, built, run, paused,
// stopped and sought on the user-interface thread, its video drawn into the preview dialog's video
// area. The preview dialog drives it. Its public unit of time is the whole second; the graph's is
// the media time of 100 ns. Every failure goes only to the diagnostic log, never to the user.
#include <cstdint>
#include <memory>
#include <string>

#include "media/media_interfaces.h"

class CVideoArea;
class QWidget;

class CPreviewPlayer {
public:
    enum PlayState { Stopped = 0, Paused = 1, Running = 2 };

    // `pDrain` gets the input on the video (the dialog); `pVideoArea` shows the video. Both outlive
    // the player. The media framework loads its plugins here, so that the first opening does not.
    CPreviewPlayer(QWidget* pDrain, CVideoArea* pVideoArea);
    ~CPreviewPlayer();
    CPreviewPlayer(const CPreviewPlayer&) = delete;
    CPreviewPlayer& operator=(const CPreviewPlayer&) = delete;

    // Creates the graph and asks it for its six faces; at the first that fails the graph is
    // released and that step's result returned.
    HResult BuildGraph();
    // Stops and releases the graph; safe when nothing was built.
    void ReleaseGraph();
    // Builds the graph, renders `strFile` into it and sets up the video window. Its outcome shows
    // only in the log and in IsRendered / IsAudioOnly.
    void OpenMedia(const std::string& strFile);
    // Sizes the video window to the video area.
    void FitVideoWindow();
    // 0 when they did nothing; a failure leaves the play state as it was.
    HResult RunGraph();
    HResult PauseGraph();
    HResult StopGraph();
    // Stops, rewinds to the start and cues the first frame.
    void StopAndRewind();
    // The end-of-media event code, or 0. Does not wait: the next tick looks again.
    long PollCompletion();
    // Formats like printf into one diagnostic log entry of at most 515 characters.
    void LogPlayerError(const char* szFormat, ...) __attribute__((format(printf, 2, 3)));

    // The duration and the playing position in whole seconds; 0 when they cannot be read.
    std::int32_t DurationSeconds() const;
    std::int32_t PositionSeconds() const;
    // Seeks to a whole second; nothing without a graph.
    void SeekTo(std::int32_t nSeconds);
    // Volume (hundredths of a decibel, 0 loudest, -10,000 silent) and balance (-10,000 to 10,000);
    // skipped without a graph.
    void SetVolume(long nVolume);
    void SetBalance(long nBalance);
    // Hands a message of the drain window to the video window, when there is one.
    void NotifyOwnerMessage(unsigned nMessage);

    int PlayStateValue() const { return m_nPlayState; }
    bool IsAudioOnly() const { return m_bAudioOnly != 0; }
    bool HasGraph() const { return m_pGraph != nullptr; }
    // The file rendered: the graph plays it and knows its duration.
    bool IsRendered() const { return m_bRendered; }
    const std::shared_ptr<media::IMediaSeeking>& Seeking() const { return m_pSeeking; }
    const std::shared_ptr<media::IMediaControl>& Control() const { return m_pControl; }

private:
    QWidget* m_pDrain;
    CVideoArea* m_pVideoArea;
    std::shared_ptr<media::IGraphBuilder> m_pGraph;
    std::shared_ptr<media::IMediaSeeking> m_pSeeking;
    std::shared_ptr<media::IMediaControl> m_pControl;
    std::shared_ptr<media::IMediaEventEx> m_pEvent;
    std::shared_ptr<media::IBasicAudio> m_pAudio;
    std::shared_ptr<media::IBasicVideo> m_pVideo;
    std::shared_ptr<media::IVideoWindow> m_pWindow;
    std::int32_t m_bAudioOnly = 0;
    std::int32_t m_nPlayState = Stopped;
    bool m_bRendered = false;
};

// The seeking functions: each switches the seeking face to media time for the call and back to
// the format it had afterwards. E_NOINTERFACE without a face or when media time is not offered.
HResult GetMediaDuration(media::IMediaSeeking* pSeeking, media::RefTime& rtDuration);
HResult GetMediaPosition(media::IMediaSeeking* pSeeking, media::RefTime& rtPosition);
HResult SetMediaPosition(media::IMediaSeeking* pSeeking, media::RefTime* pCurrent,
                         unsigned nCurrentFlags, media::RefTime* pStop, unsigned nStopFlags);

// Whole seconds of a media time, truncated toward zero (the low 32 bits as a signed value).
std::int32_t RefTimeToSeconds(media::RefTime rt);
