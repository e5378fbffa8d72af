// The keys of the main window: the list has the focus after start-up, Delete there is the Remove
// command, and the information panel is a Tab stop that shows when it has the focus.
#include "app/app_start.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "lang/resource_ids.h"
#include "profiles/settings.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

namespace {

std::unique_ptr<FileMediaFormat> Record(const std::string& strTitle) {
    auto record = std::make_unique<FileMediaFormat>();
    record->m_strPath = "/media/" + strTitle + ".avi";
    record->m_strTitle = strTitle;
    record->m_strExt = "avi";
    record->m_nDuration = 10;
    record->m_nEnd = 10;
    record->m_strDuration = "00:00:10.00 (10 s)";
    record->m_strBitrate = "1014 kb/s";
    record->m_strTargetFolder = "/out/";
    record->m_strTargetName = strTitle + "-cvt";
    record->m_strTargetExt = "mp4";
    return record;
}

QStringList Names(const CVelmoraView& view) {
    QStringList names;
    for (int nRow = 0; nRow < view.RowCount(); ++nRow) {
        names << view.List()->Text(nRow, 0);
    }
    return names;
}

} // namespace

class ViewKeysTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void listHasTheFocusAndDeleteRemoves();
    void panelIsATabStopThatShowsTheFocus();

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
    std::unique_ptr<CMainFrame> m_frame;
};

void ViewKeysTest::initTestCase() {
    m_config = std::make_unique<ScopedConfigFolder>();
    WriteHiddenToolTips(); // no help window in these tests
    m_frame = StartApplication();
    QVERIFY(m_frame != nullptr);
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), testkit::kPatientMs));
}

void ViewKeysTest::cleanupTestCase() {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    m_frame->close();
    m_frame.reset();
    m_config.reset();
}

void ViewKeysTest::listHasTheFocusAndDeleteRemoves() {
    CVelmoraView& view = *m_frame->View();
    CSourceList* list = view.List();
    QCOMPARE(QApplication::focusWidget(), list);

    for (int i = 0; i < 5; ++i) {
        view.AppendSource(Record("r" + std::to_string(i)), i);
    }
    QAction* remove = m_frame->Action(ids::kCmdRemove);
    QVERIFY(remove->isEnabled());

    // Delete with rows 1 and 3 selected: the Remove command with its rules.
    list->clearSelection();
    list->SetRowSelected(1, true);
    list->SetRowSelected(3, true);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(Names(view), QStringList({"r0.avi", "r2.avi", "r4.avi"}));
    QCOMPARE(list->SelectedRows(), std::vector<int>{1});
    QCOMPARE(list->FocusRow(), 1);
    QVERIFY(view.PanelText().startsWith(QStringLiteral("r2.avi\n")));
    QCOMPARE(view.Records().Size(), 5);
    QVERIFY(view.Records().At(1) == nullptr && view.Records().At(3) == nullptr);

    // Delete elsewhere is not the list's: in the output folder field the rows stay.
    auto* folder = qobject_cast<QLineEdit*>(view.Control(ids::kCtlOutputPath));
    QVERIFY(folder != nullptr);
    const QString strFolder = folder->text();
    folder->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(folder->hasFocus(), testkit::kPatientMs);
    folder->setCursorPosition(0);
    QTest::keyClick(folder, Qt::Key_Delete);
    QCOMPARE(folder->text(), strFolder);
    QCOMPARE(view.RowCount(), 3);

    // The last row removed leaves an empty list: Remove is disabled, and Delete does nothing more.
    list->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(list->hasFocus(), testkit::kPatientMs);
    list->selectAll();
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(view.RowCount(), 0);
    QVERIFY(view.PanelText().isEmpty());
    QVERIFY(!remove->isEnabled());
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(view.RowCount(), 0);

    // The form made anew for another language has the focus in its list too, and Delete there.
    QVERIFY(m_frame->Languages().size() > 1);
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok); // the translation notice
    m_frame->Action(ids::kCmdLanguageFirst + 1)->trigger();
    CVelmoraView& other = *m_frame->View();
    QVERIFY(&other != &view);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), other.List(), testkit::kPatientMs);
    other.AppendSource(Record("again"), 0);
    other.List()->SelectOnly(0);
    QTest::keyClick(other.List(), Qt::Key_Delete);
    QCOMPARE(other.RowCount(), 0);
    m_frame->Action(ids::kCmdLanguageFirst)->trigger(); // English again
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), m_frame->View()->List(),
                              testkit::kPatientMs);
}

void ViewKeysTest::panelIsATabStopThatShowsTheFocus() {
    CVelmoraView& view = *m_frame->View();
    CSourceList* list = view.List();
    auto* panel = qobject_cast<QPlainTextEdit*>(view.Control(ids::kCtlInfoText));
    QVERIFY(panel != nullptr);
    view.AppendSource(Record("clip"), 0);
    view.AppendSource(Record("talk"), 1);
    list->SelectOnly(0);
    QVERIFY(view.PanelText().startsWith(QStringLiteral("clip.avi\n")));

    // Tab from the list reaches the panel.
    QApplication::setCursorFlashTime(0); // a steady text cursor, for the pictures below
    list->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(list->hasFocus(), testkit::kPatientMs);
    const QImage unfocused = panel->grab().toImage();
    for (int i = 0; i < 60 && !panel->hasFocus(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QVERIFY(panel->hasFocus());
    // It shows the focus: the panel looks different while it has it.
    QVERIFY(panel->grab().toImage() != unfocused);

    // The keys select and move in the text; Delete there removes nothing and edits nothing.
    QTest::keyClick(panel, Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(panel->textCursor().hasSelection());
    QTest::keyClick(panel, Qt::Key_Delete);
    QCOMPARE(view.RowCount(), 2);
    QVERIFY(view.PanelText().startsWith(QStringLiteral("clip.avi\n")));
    m_frame->OnCommand(ids::kCmdRemoveAll);
}

QTEST_MAIN(ViewKeysTest)
#include "view_keys_test.moc"
