#include "ui/worker_dlg.h"

#include "ui/screen_fit.h"

#include <QEventLoop>
#include <QTimerEvent>

#include <utility>

CWorkerDlg::CWorkerDlg(QWidget* pParent, int nPollMs) : QDialog(pParent), m_nPollMs(nPollMs) {
    KeepOnScreen(this);
}

CWorkerDlg::~CWorkerDlg() {
    m_pollTimer.stop();
    WaitForWorker();
}

void CWorkerDlg::StartWorker(std::function<void()> work) {
    if (m_worker.joinable()) {
        return;
    }
    m_bWorkerRunning = true;
    m_worker = std::thread([this, work = std::move(work)] {
        work();
        // The flag first: a wait that sees it clear joins at once, one that does not is woken.
        m_bWorkerRunning = false;
        emit workerEnded();
    });
    m_pollTimer.start(m_nPollMs, this);
}

void CWorkerDlg::StopPolling() {
    m_pollTimer.stop();
}

void CWorkerDlg::WaitForWorker() {
    if (!m_worker.joinable()) {
        return;
    }
    // The worker may still need the main thread (a row, a message): its calls are served while
    // waiting. The end signal is connected before the flag is read, so it cannot slip between.
    while (m_bWorkerRunning) {
        QEventLoop loop;
        connect(this, &CWorkerDlg::workerEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        if (!m_bWorkerRunning) {
            break;
        }
        loop.exec();
    }
    m_worker.join(); // the procedure has returned: only the thread's end is left
}

void CWorkerDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_pollTimer.timerId()) {
        Poll();
        return;
    }
    QDialog::timerEvent(event);
}
