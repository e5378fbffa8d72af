#pragma once
// The conversion dialog: the modal window a batch runs inside. Opening it starts the batch driver
// on a worker thread; a 100 ms timer shows the current source's and the whole batch's progress,
// the step text and the size of the file being written; Skip Current and Cancel All act on the
// batch; the close box, Enter and Escape ask before they cancel. The dialog is the driver's host:
// each host call from the worker runs on the main thread through a blocking queued invocation.
#include <QString>

#include <memory>

#include "engine/batch_host.h"
#include "lang/resource_set.h"
#include "profiles/conversion_settings.h"
#include "ui/worker_dlg.h"

class CEncoderJob;
class CPathLabel;
class CTimeLeft;
class CPercentBar;
class QLabel;
class QPushButton;

class CConvertDlg : public CWorkerDlg, public IBatchHost {
    Q_OBJECT

public:
    // The dialog of a batch over `pList` (main-thread access to the source list), converting with
    // `job` and the settings read from the form. `pOwner` is the form view.
    CConvertDlg(QWidget* pOwner, std::unique_ptr<IBatchList> pList, CEncoderJob& job,
                const profiles::ConversionSettings& settings);
    ~CConvertDlg() override;
    CConvertDlg(const CConvertDlg&) = delete;
    CConvertDlg& operator=(const CConvertDlg&) = delete;

    // Initialises the dialog (which starts the worker) and runs it modally until the batch has
    // ended. Returns QDialog::Accepted. Runs once per object.
    int DoModal();

    // Skip Current: the current source is ended and the batch goes on.
    void Skip();
    // Cancel All (command 1022, also posted when the batch ends by itself): stops the batch,
    // waits for the worker while serving its requests, marks the sources that were not converted,
    // reports the outcome and ends the dialog. A close-box question still open is closed as
    // answered Cancel first.
    void Finish();
    // The close box, Enter and Escape: asks whether to cancel every task; OK acts as Cancel All.
    void CloseRequest();
    // The 100 ms timer: moves the bars and shows the step and the output size.
    void Tick();

    // The parts of the window, for the tests and the view.
    CPercentBar* OverallBar() const { return m_pOverallBar; }
    CPercentBar* CurrentBar() const { return m_pCurrentBar; }
    CPathLabel* StepLabel() const { return m_pStepLabel; }
    QLabel* SizeLabel() const { return m_pSizeLabel; }
    // The batch's time left ("about 3 minutes left"), once it can be trusted: a label of its own
    // at the right end of the "Overall Progress:" line, where the template has no control.
    QLabel* TimeLeftLabel() const { return m_pTimeLeftLabel; }
    QPushButton* SkipButton() const { return m_pSkipButton; }
    QPushButton* CancelAllButton() const { return m_pCancelAllButton; }

    // IBatchHost, called by the driver on the worker thread.
    BatchState& Batch() override { return m_batch; }
    const profiles::ConversionSettings& Settings() override { return m_settings; }
    int RowCount() override;
    FileMediaFormat* RecordAtRow(int nRow) override;
    void FillRow(int nRow) override;
    void ShowFailureMessage(const std::string& strText) override;
    void BatchEnded(bool bFinished) override;

protected:
    void Poll() override { Tick(); }
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;

private:
    void Initialise();
    // Feeds the current row's progress to the estimate and shows the time left (main thread).
    void ShowTimeLeft(int nPercent);

    std::unique_ptr<IBatchList> m_pList;
    CEncoderJob& m_job;
    const profiles::ConversionSettings m_settings;
    BatchState m_batch;

    CPercentBar* m_pOverallBar = nullptr;
    CPercentBar* m_pCurrentBar = nullptr;
    CPathLabel* m_pStepLabel = nullptr;
    QLabel* m_pSizeLabel = nullptr;
    QLabel* m_pTimeLeftLabel = nullptr;
    QPushButton* m_pSkipButton = nullptr;
    QPushButton* m_pCancelAllButton = nullptr;

    QString m_strSize;                      // the size text; main thread only
    std::unique_ptr<CTimeLeft> m_pTimeLeft; // the batch's time left, fed by Tick (main thread)
    int m_nTimedRow = -1;                   // the row the estimate last saw running
    bool m_bStarted = false;
    bool m_bEnding = false; // Finish has begun
};

// The dialog builder's factory for template 106: percent bars for the progress-bar controls and a
// path label for the step text; nullptr for every other control.
QWidget* CreateConvertControl(const lang::DialogControl& control, QWidget* parent);
