#pragma once
// A modal dialog that runs a worker thread while it is open: the dialog starts the worker, a timer
// polls what the worker leaves for the window, and the dialog closes itself once the worker has
// ended. The worker never touches a widget: it reaches the window through blocking queued calls
// (RunOnOwnerThread) and posted ones (PostToOwnerThread), so a main-thread wait for the worker
// runs an event loop that serves them (WaitForWorker), never a plain blocking wait.
#include <QBasicTimer>
#include <QDialog>

#include <atomic>
#include <functional>
#include <thread>

class CWorkerDlg : public QDialog {
    Q_OBJECT
public:
    // True from StartWorker until the worker's procedure has returned.
    bool IsWorkerRunning() const { return m_bWorkerRunning.load(); }

signals:
    // The worker's procedure has returned; emitted on the worker thread as its last step.
    void workerEnded();

protected:
    // `nPollMs`: the period of the poll timer.
    CWorkerDlg(QWidget* pParent, int nPollMs);
    // A derived dialog ends its worker (WaitForWorker) in its own destructor, while the members the
    // worker uses still exist; here a worker still left is only waited for.
    ~CWorkerDlg() override;
    CWorkerDlg(const CWorkerDlg&) = delete;
    CWorkerDlg& operator=(const CWorkerDlg&) = delete;

    // Starts `work` on the worker thread, then the poll timer. Once per dialog.
    void StartWorker(std::function<void()> work);
    void StopPolling();
    // Returns once the worker's procedure has returned and its thread is joined; until then runs an
    // event loop that serves the worker's calls. Returns at once when there is no worker.
    void WaitForWorker();
    // Each tick of the poll timer, on the main thread.
    virtual void Poll() = 0;

    void timerEvent(QTimerEvent* event) override;

private:
    const int m_nPollMs;
    QBasicTimer m_pollTimer;
    std::thread m_worker;
    std::atomic<bool> m_bWorkerRunning{false};
};
