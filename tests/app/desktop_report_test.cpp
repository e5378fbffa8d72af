// A desktop with no web browser and no file manager: the default-browser lookup finds nothing (an
// empty mimeapps.list) and xdg-open opens nothing (it ends with status 3). Help Contents, a
// Download item, Go and the About link each tell the user what could not be opened, why and what
// to install. With a browser and a handler, the same commands still open their addresses.
#include "app/about_dlg.h"
#include "app/app_start.h"
#include "app/desktop_report.h"
#include "app/download_links.h"
#include "app/form_settings.h"
#include "app/helpers/fake_desktop.h"
#include "app/helpers/frame_steps.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "controls/hyperlink.h"
#include "lang/resource_ids.h"
#include "platform/program_folder.h"
#include "profiles/settings.h"

#include <QAbstractButton>
#include <QTest>

#include <memory>

namespace {

constexpr int kEndWaitMs = 10000; // xdg-open's end reaches the window from the launcher's thread

bool HasAll(const QString& strText, const QStringList& parts) {
    for (const QString& part : parts) {
        if (!strText.contains(part)) {
            return false;
        }
    }
    return true;
}

} // namespace

class DesktopReportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_config = std::make_unique<ScopedConfigFolder>();
        m_desktop = std::make_unique<CFakeDesktop>();
        WriteHiddenToolTips();
        m_frame = StartApplication();
        QVERIFY(m_frame != nullptr);
        m_strFolder = QString::fromStdString(m_desktop->Folder("output/"));
        m_frame->View()->SettingsControls()->SetOutputFolder(m_strFolder);
    }

    void cleanupTestCase() {
        app_test::CloseFrame(m_frame);
        m_desktop.reset();
        m_config.reset();
    }

    void withoutBrowserOrFileManagerEachCommandSaysWhy() {
        m_desktop->SetBrowserDefault(false);
        m_desktop->UseFailingHandler(3);
        ScriptedPrompts prompts;
        for (int i = 0; i < 4; ++i) {
            prompts.AnswerMessage(PromptResult::Ok);
        }
        const QString strManual =
            QString::fromStdString(platform::ProgramFolder()) + QStringLiteral("/Lumicast.html");

        // Help Contents: xdg-open found no program for the manual.
        m_frame->OnCommand(ids::kCmdHelpContents);
        QTRY_COMPARE_WITH_TIMEOUT(prompts.Count(), 1, kEndWaitMs);
        QVERIFY2(HasAll(prompts.Last().text, {QStringLiteral("The help manual could not be opened"),
                                              QStringLiteral("no program"), strManual,
                                              QStringLiteral("Install a web browser")}),
                 qPrintable(prompts.Last().text));

        // A Download item: no default browser.
        m_frame->OnCommand(ids::kCmdMediaPlayer);
        QCOMPARE(prompts.Count(), 2);
        QVERIFY2(HasAll(prompts.Last().text, {QStringLiteral("no default web browser"),
                                              QString::fromStdString(links::DownloadAddress(
                                                  ids::kCmdMediaPlayer, platform::ProgramFolder())),
                                              QStringLiteral("Install a web browser")}),
                 qPrintable(prompts.Last().text));

        // Go: no file manager for the output folder.
        QTest::mouseClick(qobject_cast<QAbstractButton*>(m_frame->View()->Control(ids::kCtlGo)),
                          Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(prompts.Count(), 3, kEndWaitMs);
        QVERIFY2(HasAll(prompts.Last().text, {QStringLiteral("The folder could not be opened"),
                                              QStringLiteral("no program"), m_strFolder,
                                              QStringLiteral("Install a file manager")}),
                 qPrintable(prompts.Last().text));

        // The About link: nothing is associated with web pages (not "out of memory").
        CAboutDlg about(m_frame.get());
        about.show();
        about.Link()->Follow();
        QCOMPARE(prompts.Count(), 4);
        QVERIFY2(HasAll(prompts.Last().text,
                        {CHyperLink::FailureMessage(31), QStringLiteral("Install a web browser")}),
                 qPrintable(prompts.Last().text));
        QVERIFY(!prompts.Last().text.contains(QStringLiteral("memory")));
        QCOMPARE(prompts.Unscripted(), 0);
    }

    void withBrowserAndHandlerTheAddressesStillOpen() {
        m_desktop->SetBrowserDefault(true);
        m_desktop->UseHandlerOnPath(true);
        ScriptedPrompts prompts;
        m_frame->OnCommand(ids::kCmdMediaPlayer);
        QCOMPARE(m_desktop->TakeBrowserArgs(),
                 std::vector<std::string>{
                     links::DownloadAddress(ids::kCmdMediaPlayer, platform::ProgramFolder())});
        CAboutDlg about(m_frame.get());
        about.show();
        about.Link()->Follow();
        QCOMPARE(m_desktop->TakeBrowserArgs(),
                 std::vector<std::string>{about.Link()->GetURL().toStdString()});
        QVERIFY(about.Link()->IsVisited());
        QCOMPARE(prompts.Count(), 0);
        m_frame->OnCommand(ids::kCmdHelpContents);
        QCOMPARE(m_desktop->TakeHandlerArgs(),
                 std::vector<std::string>{platform::ProgramFolder() + "/Lumicast.html"});
        QTest::mouseClick(qobject_cast<QAbstractButton*>(m_frame->View()->Control(ids::kCtlGo)),
                          Qt::LeftButton);
        QCOMPARE(m_desktop->TakeHandlerArgs(), std::vector<std::string>{m_strFolder.toStdString()});
    }

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
    std::unique_ptr<CFakeDesktop> m_desktop;
    std::unique_ptr<CMainFrame> m_frame;
    QString m_strFolder;
};

QTEST_MAIN(DesktopReportTest)
#include "desktop_report_test.moc"
