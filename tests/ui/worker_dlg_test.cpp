// The worker dialog: the poll timer ticks while the worker runs, a main-thread wait for the worker
// serves the worker's blocking calls to the window (a plain join would lock both threads), a
// worker that has already returned is not waited for, and the dialog ends once its worker has.
#include "ui/main_thread.h"
#include "ui/worker_dlg.h"

#include <QStringList>
#include <QTest>

#include <atomic>

namespace {

// A worker that asks the window for something, waits until the timer has polled twice, asks three
// more times and then asks the dialog to close, as the loading pass does.
class CTestWorkerDlg final : public CWorkerDlg {
public:
    CTestWorkerDlg() : CWorkerDlg(nullptr, 10) {}
    ~CTestWorkerDlg() override { WaitForWorker(); }
    CTestWorkerDlg(const CTestWorkerDlg&) = delete;
    CTestWorkerDlg& operator=(const CTestWorkerDlg&) = delete;

    void Start(bool bWaitForPolls, bool bCloseAtEnd) {
        StartWorker([this, bWaitForPolls, bCloseAtEnd] {
            RunOnOwnerThread(this, [this] { served << QStringLiteral("first"); });
            if (bWaitForPolls) {
                m_bPolledTwice.wait(false);
            }
            for (int i = 0; i < 3; ++i) {
                RunOnOwnerThread(this, [this, i] { served << QString::number(i); });
            }
            if (bCloseAtEnd) {
                PostToOwnerThread(this, [this] {
                    WaitForWorker();
                    done(QDialog::Accepted);
                });
            }
        });
    }
    using CWorkerDlg::WaitForWorker;

    QStringList served; // main thread only
    int nPolls = 0;

protected:
    void Poll() override {
        if (++nPolls == 2) {
            m_bPolledTwice = true;
            m_bPolledTwice.notify_one();
        }
    }

private:
    std::atomic<bool> m_bPolledTwice{false};
};

const QStringList kAllServed = {QStringLiteral("first"), QStringLiteral("0"), QStringLiteral("1"),
                                QStringLiteral("2")};

} // namespace

class WorkerDlgTest : public QObject {
    Q_OBJECT
private slots:
    void runsPollsServesAndEnds();
};

void WorkerDlgTest::runsPollsServesAndEnds() {
    // Modal: the worker goes on only after two polls and closes the dialog when it is done.
    {
        CTestWorkerDlg dlg;
        dlg.Start(true, true);
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.served, kAllServed);
        QVERIFY(dlg.nPolls >= 2);
        QVERIFY(!dlg.IsWorkerRunning());
    }
    // A wait straight after the start, outside any loop, while the worker still needs the window.
    {
        CTestWorkerDlg dlg;
        dlg.Start(false, false);
        QVERIFY(dlg.IsWorkerRunning());
        dlg.WaitForWorker();
        QCOMPARE(dlg.served, kAllServed);
        QVERIFY(!dlg.IsWorkerRunning());
        dlg.WaitForWorker(); // joined: returns at once
    }
    // A worker that returned before anyone waited: the wait does not hang for a signal long gone.
    {
        CTestWorkerDlg dlg;
        dlg.Start(false, false);
        QTRY_COMPARE_WITH_TIMEOUT(dlg.served.size(), 4, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.IsWorkerRunning(), 10000);
        QCoreApplication::processEvents(); // the end signal is delivered with no wait to wake
        dlg.WaitForWorker();
        QCOMPARE(dlg.served, kAllServed);
    }
}

QTEST_MAIN(WorkerDlgTest)
#include "worker_dlg_test.moc"
