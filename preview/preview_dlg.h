#pragma once
// The preview dialog: plays one source file and lets the user choose the part of it to convert,
// shown as the selection of the position slider. The caller sets the file and two cells holding
// the part's start and end in whole seconds; OK writes the chosen part into them, every other way
// out leaves them alone.
//
// The dialog drives its preview player (preview_player.h), one graph per dialog. A 100 ms timer
// opens the file on its first tick and starts playing; later ticks look for the end of the media
// and move the slider and the Elapsed Time text.
#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

#include "preview/preview_player.h"

class CTrackBar;
class CVideoArea;
class QLineEdit;
class QPushButton;

class CPreviewDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPreviewDlg(QWidget* pParent = nullptr);
    ~CPreviewDlg() override;
    CPreviewDlg(const CPreviewDlg&) = delete;
    CPreviewDlg& operator=(const CPreviewDlg&) = delete;

    // Runs the dialog modally; it always ends with QDialog::Accepted.
    int DoModal();

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
    const CPreviewPlayer& Player() const { return *m_pPlayer; }

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

    // Made once the video area exists; the window events before that have no video to reach.
    std::unique_ptr<CPreviewPlayer> m_pPlayer;
    std::int32_t m_bOpened = 0;
    bool m_bInitialised = false;
    bool m_bClosing = false;
    QTimer m_timer; // timer 101
};
