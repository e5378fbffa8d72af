// The exit question: closing the window, File > Exit and the toolbar's Exit button all ask;
// Cancel keeps the application running with its list, OK closes it.
#include "app/app_start.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"
#include "sources/source_record.h"

#include <QAction>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

class ExitQuestionTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void cancelKeepsWindowAndList();
    void okCloses();
    void exitCommandAndToolbarButtonAsk();

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
    std::unique_ptr<CMainFrame> m_frame;
};

void ExitQuestionTest::init() {
    m_config = std::make_unique<ScopedConfigFolder>();
    WriteHiddenToolTips(); // no help window in these tests
    m_frame = StartApplication();
    QVERIFY(m_frame != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get(), testkit::kPatientMs));
}

void ExitQuestionTest::cleanup() {
    if (m_frame != nullptr && m_frame->isVisible()) {
        ScriptedPrompts prompts;
        prompts.AnswerMessage(PromptResult::Ok);
        m_frame->close();
    }
    m_frame.reset();
    m_config.reset();
}

void ExitQuestionTest::cancelKeepsWindowAndList() {
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strPath = "/tmp/clip.avi";
    record->m_strTitle = "clip";
    record->m_strExt = "avi";
    QVERIFY(m_frame->View()->AppendSource(std::move(record), 0) >= 0);
    QCOMPARE(m_frame->View()->RowCount(), 1);

    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Cancel);
    QVERIFY(!m_frame->close());
    QVERIFY(m_frame->isVisible());
    QCOMPARE(prompts.Count(), 1);
    const ScriptedPrompts::Record& asked = prompts.At(0);
    QCOMPARE(asked.kind, ScriptedPrompts::Kind::Message);
    QCOMPARE(asked.text, QStringLiteral("Thanks for using Lumicast. Sure to exit?"));
    QCOMPARE(asked.buttons, PromptButtons::OkCancel);
    QCOMPARE(asked.icon, PromptIcon::Question);
    QVERIFY(asked.caption.isEmpty()); // the application name
    QCOMPARE(asked.parent.data(), static_cast<QWidget*>(m_frame.get()));
    QVERIFY(asked.bScripted);
    QCOMPARE(m_frame->View()->RowCount(), 1);
}

void ExitQuestionTest::okCloses() {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    QVERIFY(m_frame->close());
    QVERIFY(!m_frame->isVisible());
    QCOMPARE(prompts.Count(), 1);
}

void ExitQuestionTest::exitCommandAndToolbarButtonAsk() {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Cancel);
    m_frame->Action(ids::kCmdExit)->trigger();
    QVERIFY(m_frame->isVisible());
    QCOMPARE(prompts.Count(), 1);

    auto* exitButton = qobject_cast<QToolButton*>(
        m_frame->ToolBar()->widgetForAction(m_frame->Action(ids::kCmdExit)));
    QVERIFY(exitButton != nullptr);
    prompts.AnswerMessage(PromptResult::Cancel);
    QTest::mouseClick(exitButton, Qt::LeftButton);
    QVERIFY(m_frame->isVisible());
    QCOMPARE(prompts.Count(), 2);

    // A question nobody scripted is answered as a closed box: Cancel, so the window stays.
    m_frame->Action(ids::kCmdExit)->trigger();
    QVERIFY(m_frame->isVisible());
    QCOMPARE(prompts.Unscripted(), 1);

    prompts.AnswerMessage(PromptResult::Ok);
    QTest::mouseClick(exitButton, Qt::LeftButton);
    QVERIFY(!m_frame->isVisible());
    QCOMPARE(prompts.Count(), 4);
    QCOMPARE(prompts.Pending(), 0);
}

QTEST_MAIN(ExitQuestionTest)
#include "exit_question_test.moc"
