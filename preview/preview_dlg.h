#pragma once
// The preview dialog: plays one source file and lets the user choose the part of it to convert,
// shown as the selection of the position slider. The caller sets the file and two cells holding
// the part's start and end in whole seconds; OK writes the chosen part into them, every other way
// out leaves them alone.
//
// The player lives in the dialog: one filter graph of the media layer per dialog, built, run,
// paused, stopped and sought on the user-interface thread. The graph's failures go only to the
// diagnostic log. A 100 ms timer opens the file on its first tick and starts playing; later ticks
// look for the end of the media and move the slider and the Elapsed Time text.
#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

#include "media/media_interfaces.h"

class CTrackBar;
class CVideoArea;
class QLineEdit;
class QPushButton;

class CPreviewDlg : public QDialog {
    Q_OBJECT

public:
    enum PlayState { Stopped = 0, Paused = 1, Running = 2 };

    explicit CPreviewDlg(QWidget* pParent = nullptr);
    ~CPreviewDlg() override;
    CPreviewDlg(const CPreviewDlg&) = delete;
    CPreviewDlg& operator=(const CPreviewDlg&) = delete;

    // Runs the dialog modally; it always ends with QDialog::Accepted.
    int DoModal();

    // ---- Player -------------------------------------------------------------------------------
    // Creates the graph and asks it for its six faces; at the first that fails the graph is
    // released and that step's result returned.
    HResult BuildGraph();
    // Stops and releases the graph; safe when nothing was built.
    void ReleaseGraph();
    // Builds the graph, renders m_strFile into it and sets up the video window; on success the
    // dialog shows the duration and sets the slider (AfterOpening). Outcome: the log and members.
    void OpenMedia();
    // Sizes the video window to the video area.
    void FitVideoWindow();
    HResult RunGraph();
    HResult PauseGraph();
    HResult StopGraph();
    // Stops, rewinds to the start and cues the first frame.
    void StopAndRewind();
    // The end-of-media event code, or 0. Does not wait: the next tick looks again.
    long PollCompletion();
    // Formats like printf into one diagnostic log entry of at most 515 characters.
    void LogPlayerError(const char* szFormat, ...) __attribute__((format(printf, 2, 3)));

    // ---- Handlers -------------------------------------------------------------------------------
    void OnTimer();
    void OnHScroll(CTrackBar* pBar);
    void OnPlay();
    void OnPause();
    void OnStop();
    void OnSetStart();
    void OnSetEnd();
    void OnFull();
    void OnOK();
    void OnClose();

    // ---- Parts, for the view and the tests ----------------------------------------------------
    CVideoArea* VideoArea() const { return m_pVideoArea; }
    QLineEdit* StartTimeEdit() const { return m_pStartTime; }
    QLineEdit* EndTimeEdit() const { return m_pEndTime; }
    QLineEdit* ElapsedTimeEdit() const { return m_pElapsedTime; }
    QLineEdit* DurationEdit() const { return m_pDuration; }
    CTrackBar* BalanceSlider() const { return m_pBalance; }
    CTrackBar* VolumeSlider() const { return m_pVolume; }
    CTrackBar* PositionSlider() const { return m_pPosition; }
    QPushButton* Button(int nId) const;
    int PlayStateValue() const { return m_nPlayState; }
    bool IsAudioOnly() const { return m_bAudioOnly != 0; }
    bool HasGraph() const { return m_pGraph != nullptr; }
    bool IsRendered() const { return m_bRendered; }
    const std::shared_ptr<media::IMediaSeeking>& Seeking() const { return m_pSeeking; }
    const std::shared_ptr<media::IMediaControl>& Control() const { return m_pControl; }

    // Set by the caller before the dialog is shown.
    std::string m_strFile;
    std::int32_t* m_pnStart = nullptr;
    std::int32_t* m_pnEnd = nullptr;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void OnInitDialog();
    void AfterOpening();
    void UpdateTimeTexts();
    void SetSelectionAround(int nKept);
    void EnableButtons(bool bPlay, bool bPause, bool bStop);

    CVideoArea* m_pVideoArea = nullptr;
    QLineEdit* m_pStartTime = nullptr;
    QLineEdit* m_pEndTime = nullptr;
    QLineEdit* m_pElapsedTime = nullptr;
    QLineEdit* m_pDuration = nullptr;
    CTrackBar* m_pBalance = nullptr;
    CTrackBar* m_pVolume = nullptr;
    CTrackBar* m_pPosition = nullptr;
    QPushButton* m_pStopButton = nullptr;
    QPushButton* m_pStartButton = nullptr;
    QPushButton* m_pPlayButton = nullptr;
    QPushButton* m_pPauseButton = nullptr;
    QPushButton* m_pFullButton = nullptr;
    QPushButton* m_pEndButton = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;

    std::shared_ptr<media::IGraphBuilder> m_pGraph;
    std::shared_ptr<media::IMediaSeeking> m_pSeeking;
    std::shared_ptr<media::IMediaControl> m_pControl;
    std::shared_ptr<media::IMediaEventEx> m_pEvent;
    std::shared_ptr<media::IBasicAudio> m_pAudio;
    std::shared_ptr<media::IBasicVideo> m_pVideo;
    std::shared_ptr<media::IVideoWindow> m_pWindow;
    std::int32_t m_bAudioOnly = 0;
    std::int32_t m_bOpened = 0;
    std::int32_t m_nPlayState = Stopped;
    bool m_bRendered = false; // the file rendered: the slider holds its duration and segment
    bool m_bInitialised = false;
    bool m_bClosing = false;
    QTimer m_timer; // timer 101
};

// The seeking functions: each switches the seeking face to media time for the call and back to
// the format it had afterwards. E_NOINTERFACE without a face or when media time is not offered.
HResult GetMediaDuration(media::IMediaSeeking* pSeeking, media::RefTime& rtDuration);
HResult GetMediaPosition(media::IMediaSeeking* pSeeking, media::RefTime& rtPosition);
HResult SetMediaPosition(media::IMediaSeeking* pSeeking, media::RefTime* pCurrent,
                         unsigned nCurrentFlags, media::RefTime* pStop, unsigned nStopFlags);

// Whole seconds of a media time, truncated toward zero (the low 32 bits as a signed value).
std::int32_t RefTimeToSeconds(media::RefTime rt);
