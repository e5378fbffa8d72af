// The window keeps its list while it runs: after its process was killed the next start restores
// the list and says so in the status bar; after a normal exit the list starts empty.
#include "app/app_start.h"
#include "app/list_keeper.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "common/media.h"
#include "common/testkit.h"
#include "profiles/settings.h"
#include "sources/source_record.h"

#include <QFile>
#include <QProcess>
#include <QStatusBar>
#include <QTest>

#include <csignal>

class ListKeeperTest : public QObject {
    Q_OBJECT
private slots:
    void restoredAfterAKillNotAfterANormalExit();
};

void ListKeeperTest::restoredAfterAKillNotAfterANormalExit() {
    ScopedConfigFolder config;
    QVERIFY(WriteHiddenToolTips()); // no help window
    testkit::TempDir media;
    const std::string first = media.File("first clip.mp4");
    const std::string second = media.File("second.mp4");
    QVERIFY(testkit::MakeClip(first, 1.0, 160, 120, true));
    QVERIFY(testkit::MakeClip(second, 1.0, 160, 120, true));
    const QString listFile = QString::fromStdString(CListKeeper::ListFilePath());

    // The window, started with two files, keeps them; then it is killed outright.
    QProcess window;
    window.setProgram(QString::fromStdString(testkit::BinDir() + "/lumicast"));
    window.setArguments({QString::fromStdString(first), QString::fromStdString(second)});
    window.start();
    QVERIFY(window.waitForStarted(30000));
    const auto kept = [&] {
        QFile file(listFile);
        if (!file.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QByteArray text = file.readAll();
        return text.contains(QByteArray::fromStdString(first)) &&
               text.contains(QByteArray::fromStdString(second));
    };
    QTRY_VERIFY_WITH_TIMEOUT(kept(), 120000);
    ::kill(static_cast<pid_t>(window.processId()), SIGKILL);
    QVERIFY(window.waitForFinished(30000));

    // The next start restores the list, as it was, and says so.
    auto frame = StartApplication();
    QVERIFY(frame != nullptr);
    CVelmoraView* pView = frame->View();
    QCOMPARE(pView->RowCount(), 2);
    QCOMPARE(pView->RecordAtRow(0)->m_strPath, first);
    QCOMPARE(pView->RecordAtRow(1)->m_strPath, second);
    QVERIFY(pView->RecordAtRow(0)->m_nDuration >= 1);
    QCOMPARE(pView->RecordAtRow(1)->m_nStatus, int(kStatusReady));
    QCOMPARE(frame->statusBar()->currentMessage(), QString::fromUtf8(CListKeeper::kRestoredText));

    // A part chosen since is kept too.
    pView->RecordAtRow(1)->m_nStart = 0;
    pView->RecordAtRow(1)->m_nEnd = 1;
    pView->FillRow(1);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(listFile), 10000);

    // A normal exit takes the list with it: the next start is empty and says nothing of it.
    {
        ScriptedPrompts prompts;
        prompts.AnswerMessage(PromptResult::Ok);
        QVERIFY(frame->close());
    }
    frame.reset();
    QVERIFY(!QFile::exists(listFile));
    frame = StartApplication();
    QCOMPARE(frame->View()->RowCount(), 0);
    QVERIFY(frame->statusBar()->currentMessage() != QString::fromUtf8(CListKeeper::kRestoredText));
    {
        ScriptedPrompts prompts;
        prompts.AnswerMessage(PromptResult::Ok);
        frame->close();
    }
    frame.reset();
}

QTEST_MAIN(ListKeeperTest)
#include "list_keeper_test.moc"
