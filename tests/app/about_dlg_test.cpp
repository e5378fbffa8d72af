// The About dialog: its texts with this program's own version (the test program carries the
// project's version record, as lumicast does), the icon, and the home-page link that opens in the
// default browser or reports its failure through the prompt service.
#include "app/about_dlg.h"
#include "app/desktop_report.h"
#include "app/download_links.h"
#include "app/helpers/fake_desktop.h"
#include "app/main_frame.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "common/testkit.h"
#include "controls/hyperlink.h"
#include "lang/resource_ids.h"
#include "platform/program_folder.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fstream>

class AboutDlgTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_config = std::make_unique<ScopedConfigFolder>(); }
    void cleanupTestCase() { m_config.reset(); }
    void showsItsTextsIconAndLink();
    void versionIsZeroWithoutAVersionRecord();
    void linkOpensTheHomePageOrReportsWhyNot();
    void aboutCommandRunsTheDialogModally();

private:
    std::unique_ptr<ScopedConfigFolder> m_config;
};

void AboutDlgTest::showsItsTextsIconAndLink() {
    CAboutDlg dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About Lumicast"));
    QVERIFY(dialog.ProductLabel() != nullptr && dialog.VersionLabel() != nullptr);
    QCOMPARE(dialog.ProductLabel()->text(), QStringLiteral("Lumicast ( tm )"));
    QCOMPARE(dialog.VersionLabel()->text(), QStringLiteral("Version " LUMICAST_TEST_VERSION));
    QCOMPARE(CAboutDlg::VersionText(platform::ExecutablePath()),
             QStringLiteral("Version " LUMICAST_TEST_VERSION));

    bool bIcon = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        bIcon = bIcon || !label->pixmap().isNull();
    }
    QVERIFY(bIcon);

    CHyperLink* link = dialog.Link();
    QVERIFY(link != nullptr);
    const QString strHome =
        QString::fromStdString(links::HomePageAddress(platform::ProgramFolder(), "Lumicast"));
    QCOMPARE(link->GetURL(), strHome);
    QCOMPARE(link->text(), strHome);
    QCOMPARE(link->toolTip(), strHome);
    // The whole address is inside the dialog.
    QVERIFY(link->geometry().right() < dialog.width());
    QVERIFY(link->width() >= link->fontMetrics().horizontalAdvance(strHome));

    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("ctl_%1").arg(ids::kIdOk));
    QVERIFY(ok != nullptr);
    ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
}

void AboutDlgTest::versionIsZeroWithoutAVersionRecord() {
    testkit::TempDir dir;
    std::ofstream(dir.File("plain.txt")) << "no version here\n";
    QCOMPARE(CAboutDlg::VersionText(dir.File("plain.txt")), QStringLiteral("Version 0.0.0"));
    QCOMPARE(CAboutDlg::VersionText(dir.File("missing")), QStringLiteral("Version 0.0.0"));
    QCOMPARE(CAboutDlg::VersionText(std::string()), QStringLiteral("Version 0.0.0"));
}

void AboutDlgTest::linkOpensTheHomePageOrReportsWhyNot() {
    CFakeDesktop desktop;
    ScriptedPrompts prompts;
    CAboutDlg dialog;
    dialog.show();
    CHyperLink* link = dialog.Link();
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(desktop.TakeBrowserArgs(), std::vector<std::string>{link->GetURL().toStdString()});
    QVERIFY(link->IsVisited());
    QCOMPARE(prompts.Count(), 0);

    // No default browser: the failure goes through the prompt service as a warning, naming the
    // cause (nothing is associated with web pages, not a lack of memory) and what to install.
    desktop.SetBrowserDefault(false);
    prompts.AnswerMessage(PromptResult::Ok);
    link->Follow();
    QCOMPARE(prompts.Count(), 1);
    QCOMPARE(prompts.Last().text,
             CHyperLink::FailureMessage(31) + QStringLiteral("\n\n") + InstallBrowserAdvice());
    QVERIFY(prompts.Last().text.startsWith(QStringLiteral("Can't open link:\n\n")));
    QCOMPARE(prompts.Last().icon, PromptIcon::Warning);
    QVERIFY(prompts.Last().parent == link);
}

void AboutDlgTest::aboutCommandRunsTheDialogModally() {
    CMainFrame frame;
    QString strSeen;
    bool bModal = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<CAboutDlg*>(WaitForTopLevel(QStringLiteral("dlg_100")));
        if (dialog == nullptr) {
            return;
        }
        strSeen = dialog->VersionLabel()->text();
        bModal = dialog->isModal() && dialog->parentWidget() == &frame;
        dialog->accept();
    });
    QVERIFY(frame.OnCommand(ids::kCmdAbout));
    QCOMPARE(strSeen, QStringLiteral("Version " LUMICAST_TEST_VERSION));
    QVERIFY(bModal);
}

QTEST_MAIN(AboutDlgTest)
#include "about_dlg_test.moc"
