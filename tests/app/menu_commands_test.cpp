// The frame's own menu commands: Help > Contents, the Download items, the greying of items that
// nothing handles, and the keys that no longer reach removed commands. Programs are started on a
// private fake desktop (app/helpers/fake_desktop.h).
#include "app/app_start.h"
#include "app/download_links.h"
#include "app/help_contents.h"
#include "app/helpers/fake_desktop.h"
#include "app/main_frame.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "lang/resource_ids.h"
#include "platform/program_folder.h"
#include "profiles/settings.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <filesystem>
#include <memory>

namespace {

QMenu* MenuTitled(CMainFrame& frame, const QString& strTitle) {
    for (QAction* top : frame.menuBar()->actions()) {
        if (top->text() == strTitle) {
            return top->menu();
        }
    }
    return nullptr;
}

std::vector<std::string> Args(const std::string& strOne) {
    return {strOne};
}

} // namespace

class MenuCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void helpContentsOpensTheManualByItsFullPath();
    void helpContentsWithoutTheHandlerNamesItsPackage();
    void eachDownloadItemOpensItsAddress();
    void downloadWithoutABrowserSaysSo();
    void unhandledItemsAreGreyedAndRemovedKeysAreGone();

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
    std::unique_ptr<CFakeDesktop> m_desktop;
    std::unique_ptr<CMainFrame> m_frame;
};

void MenuCommandsTest::initTestCase() {
    m_config = std::make_unique<ScopedConfigFolder>();
    m_desktop = std::make_unique<CFakeDesktop>();
    WriteHiddenToolTips();
    m_frame = StartApplication();
    QVERIFY(m_frame != nullptr);
}

void MenuCommandsTest::cleanupTestCase() {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    m_frame->close();
    m_frame.reset();
    m_desktop.reset();
    m_config.reset();
}

void MenuCommandsTest::helpContentsOpensTheManualByItsFullPath() {
    ScriptedPrompts prompts;
    const QString strOldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(m_desktop->Folder("empty"))));
    m_desktop->UseHandlerOnPath(true);
    m_frame->Action(ids::kCmdHelpContents)->trigger();
    QDir::setCurrent(strOldCurrent);

    const std::vector<std::string> args = m_desktop->TakeHandlerArgs();
    QCOMPARE(args.size(), std::size_t{1});
    // The manual beside the program, whatever the current folder was.
    QCOMPARE(args[0], platform::ProgramFolder() + "/Lumicast.html");
    QVERIFY(std::filesystem::is_regular_file(args[0]));
    QCOMPARE(prompts.Count(), 0);
}

void MenuCommandsTest::helpContentsWithoutTheHandlerNamesItsPackage() {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    m_desktop->UseHandlerOnPath(false);
    m_frame->OnCommand(ids::kCmdHelpContents);
    m_desktop->UseHandlerOnPath(true);
    QCOMPARE(prompts.Count(), 1);
    QCOMPARE(prompts.Last().text,
             QStringLiteral("Can't find xdg-open. It's included in the xdg-utils package."));
    QCOMPARE(prompts.Last().buttons, PromptButtons::Ok);
    QCOMPARE(prompts.Unscripted(), 0);
    QVERIFY(m_desktop->TakeHandlerArgs(200).empty());
}

void MenuCommandsTest::eachDownloadItemOpensItsAddress() {
    ScriptedPrompts prompts;
    QMenu* download = MenuTitled(*m_frame, QStringLiteral("&Download"));
    QVERIFY(download != nullptr);
    m_frame->UpdateCommandStates();
    QStringList opened;
    int nItems = 0;
    for (QAction* item : download->actions()) {
        if (item->isSeparator()) {
            continue;
        }
        ++nItems;
        const int nCommand = item->data().toInt();
        QVERIFY2(item->isEnabled(), qPrintable(item->text()));
        item->trigger();
        const std::string strExpected = links::DownloadAddress(nCommand, platform::ProgramFolder());
        QVERIFY(!strExpected.empty());
        QCOMPARE(m_desktop->TakeBrowserArgs(), Args(strExpected));
        opened.append(QString::fromStdString(strExpected));
    }
    QCOMPARE(nItems, 10);
    // Ten different pages; the component items open the shipped page at their sections.
    opened.removeDuplicates();
    QCOMPARE(opened.size(), 10);
    QVERIFY(opened.contains(QString::fromStdString(
        links::FileUrl(platform::ProgramFolder() + "/download.html", "oggcodecs"))));
    QVERIFY(opened.contains(QString::fromStdString(
        links::FileUrl(platform::ProgramFolder() + "/download.html", "wmplayer"))));
    QCOMPARE(prompts.Count(), 0);
}

void MenuCommandsTest::downloadWithoutABrowserSaysSo() {
    ScriptedPrompts prompts;
    prompts.AnswerMessage(PromptResult::Ok);
    m_desktop->SetBrowserDefault(false);
    QVERIFY(m_frame->OnCommand(ids::kCmdOggCodec));
    m_desktop->SetBrowserDefault(true);
    QVERIFY(m_desktop->TakeBrowserArgs(300).empty());
    // The page, why it did not open, and what to install.
    QCOMPARE(prompts.Count(), 1);
    const QString strText = prompts.Last().text;
    QVERIFY2(strText.contains(QStringLiteral("no default web browser")), qPrintable(strText));
    QVERIFY(strText.contains(QString::fromStdString(
        links::DownloadAddress(ids::kCmdOggCodec, platform::ProgramFolder()))));
    QVERIFY(strText.contains(QStringLiteral("Install a web browser")));
    QCOMPARE(prompts.Unscripted(), 0);
}

void MenuCommandsTest::unhandledItemsAreGreyedAndRemovedKeysAreGone() {
    ScriptedPrompts prompts;
    m_frame->UpdateCommandStates();
    // Every item the menu shows has a handler; the list commands follow the (empty) list.
    for (QAction* top : m_frame->menuBar()->actions()) {
        for (QAction* item : top->menu()->actions()) {
            if (item->isSeparator()) {
                continue;
            }
            const int nCommand = item->data().toInt();
            const bool bEmptyListCommand =
                nCommand >= ids::kCmdRemove && nCommand <= ids::kCmdConvert;
            QVERIFY2(item->isEnabled() != bEmptyListCommand, qPrintable(item->text()));
            // No accelerator keys: the removed New, Open and Save and the edit keys are gone.
            QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->text()));
        }
    }
    // A command nothing handles, as an item would show it, is greyed on the next update.
    QAction* save = m_frame->Action(ids::kCmdSave);
    QVERIFY(save->isEnabled());
    m_frame->UpdateCommandStates();
    QVERIFY(!save->isEnabled());
    QVERIFY(!m_frame->OnCommand(ids::kCmdSave));

    // The keys the framework's table carried reach nothing: no exit question, no dialog.
    QTest::keyClick(m_frame.get(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(m_frame.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(m_frame.get(), Qt::Key_F6);
    QCOMPARE(prompts.Count(), 0);
    QVERIFY(m_frame->isVisible());
}

QTEST_MAIN(MenuCommandsTest)
#include "menu_commands_test.moc"
