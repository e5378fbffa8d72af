#pragma once
// The loading dialog (template 137): runs the loading pass on a worker thread while it shows the
// file being probed and the share of files begun. It closes itself when the pass has ended; Enter,
// Escape and the window's close button do nothing while the worker runs.
#include <QPointer>
#include <QString>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "probe/load_host.h"
#include "probe/ui/load_view.h"
#include "ui/worker_dlg.h"

class CPathLabel;
class QProgressBar;

class CLoadSourceDlg : public CWorkerDlg, private ILoadHost {
    Q_OBJECT
public:
    CLoadSourceDlg(ILoadView* pView, std::vector<std::string> paths, QWidget* parent = nullptr);
    ~CLoadSourceDlg() override;
    CLoadSourceDlg(const CLoadSourceDlg&) = delete;
    CLoadSourceDlg& operator=(const CLoadSourceDlg&) = delete;

    // The files that failed in the pass (valid once exec() has returned).
    int FailedCount() const { return m_nFailed; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The 100 ms timer: the current line into its control, and the list painted.
    void Poll() override;

private:
    // ILoadHost, called on the worker thread.
    int RowCount() override;
    void SetProgressText(const std::string& strText) override;
    void SetProgress(int nPercent) override;
    LoadTarget OutputTarget() override;
    int AddSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) override;
    void ShowFailures(const std::string& strMessage) override;
    void Close() override;

    // Reads what the pass needs of the view, then starts the worker.
    void StartPass();
    void OnCloseRequest();
    void PushText();
    void HoldListPaints(bool bHold);
    void PaintList();

    ILoadView* m_pView;
    std::vector<std::string> m_paths;
    CPathLabel* m_pText = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QPointer<QWidget> m_pList; // the view's list, painted by the timer while the pass runs
    std::mutex m_textLock;
    std::string m_strText; // guarded by m_textLock
    bool m_bStarted = false;
    int m_nFailed = 0;
    // Read on the main thread before the worker starts; then the worker's alone.
    LoadTarget m_target;
    int m_nRows = 0;
};
