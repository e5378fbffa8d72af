// The start-up help window: shown about one second after a first start, never again once it was
// closed; the Tool Tips command and the form's check box show it on demand.
#include "app/app_start.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kHelpName = QStringLiteral("dlg_%1").arg(ids::kDlgHelp);

void CloseFrame(std::unique_ptr<CMainFrame>& frame) {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    frame->close();
    frame.reset();
}

QAbstractButton* HelpCheckBox(QWidget* help) {
    return help->findChild<QAbstractButton*>(QStringLiteral("ctl_%1").arg(ids::kCtlHelpHideTips));
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void shownOneSecondAfterFirstStartThenNeverAgain();
    void toolTipsCommandShowsItOnDemand();
    void formCheckBoxShowsItAndEndsChecked();
    void showsTheFourSteps();
};

void HelpWindowTest::shownOneSecondAfterFirstStartThenNeverAgain() {
    ScopedConfigFolder config;
    QVERIFY(!ReadHiddenToolTips());
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<CMainFrame> frame = StartApplication();
    // No event has been served yet: the help is due, not shown.
    QVERIFY(!frame->Start().bHiddenHelp);
    QVERIFY(frame->View()->IsHelpTimerActive());
    QVERIFY(VisibleTopLevel(kHelpName) == nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(frame.get(), testkit::kPatientMs));

    QWidget* help = WaitForTopLevel(kHelpName);
    QVERIFY(help != nullptr);
    // The timer is precise and started after the clock: never early, however busy the machine.
    QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!frame->View()->IsHelpTimerActive());
    QVERIFY(help->isModal());
    QCOMPARE(help->parentWidget(), static_cast<QWidget*>(frame.get()));
    // While it shows, the help is not hidden: the menu item is checked, the form's box is not.
    QVERIFY(!frame->HelpHidden());
    QVERIFY(frame->Action(ids::kCmdToolTips)->isChecked());
    QVERIFY(!frame->View()->HiddenHelpCheck());
    QVERIFY(!ReadHiddenToolTips());

    QSignalSpy closed(frame.get(), &CMainFrame::helpWindowClosed);
    QAbstractButton* box = HelpCheckBox(help);
    QVERIFY(box != nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, testkit::kPatientMs);
    QVERIFY(VisibleTopLevel(kHelpName) == nullptr);
    QVERIFY(ReadHiddenToolTips());
    QVERIFY(frame->HelpHidden());
    QVERIFY(!frame->Action(ids::kCmdToolTips)->isChecked());
    QVERIFY(frame->View()->HiddenHelpCheck());
    CloseFrame(frame);

    // The next start finds "HiddenToolTips" = "TRUE".
    frame = StartApplication();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get(), testkit::kPatientMs));
    QVERIFY(frame->Start().bHiddenHelp);
    QVERIFY(!frame->View()->IsHelpTimerActive());
    // Nothing else shows it either: still hidden well past the second (a check that a busy
    // machine can only make easier to pass, never fail).
    QTest::qWait(1500);
    QVERIFY(VisibleTopLevel(kHelpName) == nullptr);
    CloseFrame(frame);
}

void HelpWindowTest::toolTipsCommandShowsItOnDemand() {
    ScopedConfigFolder config;
    WriteHiddenToolTips();
    std::unique_ptr<CMainFrame> frame = StartApplication();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get(), testkit::kPatientMs));
    QVERIFY(frame->HelpHidden());

    frame->Action(ids::kCmdToolTips)->trigger();
    QWidget* help = WaitForTopLevel(kHelpName);
    QVERIFY(help != nullptr);
    QVERIFY(frame->Action(ids::kCmdToolTips)->isChecked());
    QSignalSpy closed(frame.get(), &CMainFrame::helpWindowClosed);
    qobject_cast<QDialog*>(help)->reject();
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, testkit::kPatientMs);
    QVERIFY(!frame->Action(ids::kCmdToolTips)->isChecked());
    QVERIFY(frame->View()->HiddenHelpCheck());
    CloseFrame(frame);
}

void HelpWindowTest::formCheckBoxShowsItAndEndsChecked() {
    ScopedConfigFolder config;
    WriteHiddenToolTips();
    std::unique_ptr<CMainFrame> frame = StartApplication();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get(), testkit::kPatientMs));
    auto* box = qobject_cast<QAbstractButton*>(frame->View()->Control(ids::kCtlHideTips));
    QVERIFY(box != nullptr);
    QVERIFY(box->isChecked());

    // Clicking the checked box shows the help window and unchecks the box.
    QTest::mouseClick(box, Qt::LeftButton);
    QWidget* help = WaitForTopLevel(kHelpName);
    QVERIFY(help != nullptr);
    QVERIFY(!box->isChecked());
    QVERIFY(!frame->HelpHidden());

    QSignalSpy closed(frame.get(), &CMainFrame::helpWindowClosed);
    QTest::mouseClick(HelpCheckBox(help), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, testkit::kPatientMs);
    QVERIFY(box->isChecked());
    QVERIFY(frame->HelpHidden());
    CloseFrame(frame);
}

void HelpWindowTest::showsTheFourSteps() {
    ScopedConfigFolder config;
    WriteHiddenToolTips();
    std::unique_ptr<CMainFrame> frame = StartApplication();
    frame->OnToolTips();
    QWidget* help = WaitForTopLevel(kHelpName);
    QVERIFY(help != nullptr);
    QString text;
    for (QLabel* label : help->findChildren<QLabel*>()) {
        text += label->text();
    }
    QVERIFY(text.startsWith(QStringLiteral("Help 1-2-3-4")));
    QVERIFY(text.contains(QStringLiteral("   4. OK, Convert it.")));
    // No step wraps: the label is wide enough for its longest line.
    for (QLabel* label : help->findChildren<QLabel*>()) {
        for (const QString& line : label->text().split(QLatin1Char('\n'))) {
            QVERIFY2(label->fontMetrics().horizontalAdvance(line) <= label->width(),
                     qPrintable(line));
        }
    }
    QVERIFY(help->windowTitle().isEmpty());
    qobject_cast<QDialog*>(help)->reject();
    QTRY_VERIFY_WITH_TIMEOUT(frame->HelpHidden(), testkit::kPatientMs);
    CloseFrame(frame);
}

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
