// The Convert command on the real form view: statuses reset, rows refilled, list order after
// Move Up, the dialog of an earlier run discarded, and the component checks of the WMV and OGM
// targets, which offer a download instead of converting.
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "app/convert_command.h"
#include "app/download_links.h"
#include "app/form_settings.h"
#include "app/helpers/fake_desktop.h"
#include "app/velmora_view.h"
#include "engine/ui/convert_dlg.h"
#include "engine/ui/helpers/convert_fixture.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "media/media_components.h"
#include "platform/program_folder.h"
#include "sources/ui/source_list.h"

using namespace convert_test;

namespace {

constexpr int kStatusColumn = 3;
constexpr int kTargetColumn = 1;

// A view with one row per name, records made as the loading pass makes them.
std::unique_ptr<CVelmoraView> ViewWith(const std::vector<std::string>& names,
                                       const std::string& strOut) {
    auto view = std::make_unique<CVelmoraView>();
    view->OnInitialUpdate();
    view->SettingsControls()->SetOutputFolder(QString::fromStdString(strOut));
    int nRow = 0;
    for (const std::string& strName : names) {
        auto record = MakeRecord("/v/" + strName + ".avi", 0, 10);
        record->MakeTargetName(strOut, "mp4", kTargetSuffix);
        view->AppendSource(std::move(record), nRow++);
    }
    return view;
}

} // namespace

class ConvertCommandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config.Path())); }

    void rowsConvertInListOrderAfterMoveUp() {
        DialogSetup setup;
        auto view = ViewWith({"slow", "b", "c"}, setup.Out());
        // Statuses of an earlier batch.
        for (int nRow = 0; nRow < 3; ++nRow) {
            view->RecordAtRow(nRow)->m_nStatus = nRow == 0 ? kStatusError : kStatusDone;
            view->FillRow(nRow);
        }
        // c moves above b: the list reads slow, c, b while the records stay in the order added.
        view->List()->clearSelection();
        view->List()->SetRowSelected(2, true);
        view->OnMoveUp();
        QCOMPARE(view->List()->Text(1, 0), QStringLiteral("c.avi"));

        QStringList statusesWhileFirstRuns;
        Poller press([&] {
            auto* dialog = view->findChild<CConvertDlg*>();
            if (dialog == nullptr || !setup.RowRunning(*dialog, 0)) {
                return false;
            }
            for (int nRow = 0; nRow < 3; ++nRow) {
                statusesWhileFirstRuns << view->List()->Text(nRow, kStatusColumn);
            }
            dialog->SkipButton()->click();
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        QVERIFY(view->OnCommand(32808));

        // Every row was set to "Waiting" before the batch began.
        QCOMPARE(statusesWhileFirstRuns, (QStringList{"Waiting", "Waiting", "Waiting"}));
        const std::vector<std::string> calls = testkit::ReadLines(setup.CallLog());
        QCOMPARE(int(calls.size()), 3);
        QVERIFY(calls[0].rfind("/v/slow.avi|", 0) == 0);
        QVERIFY(calls[1].rfind("/v/c.avi|", 0) == 0);
        QVERIFY(calls[2].rfind("/v/b.avi|", 0) == 0);
        QCOMPARE(view->List()->Text(0, kStatusColumn), QStringLiteral("Skip"));
        QCOMPARE(view->List()->Text(1, kStatusColumn), QStringLiteral("Done"));
        QCOMPARE(view->List()->Text(2, kStatusColumn), QStringLiteral("Done"));
        QCOMPARE(view->List()->Text(1, kTargetColumn), QStringLiteral("c-cvt.mp4"));
        QCOMPARE(setup.m_prompts.Last().text, QString::fromLatin1(kCompleted));
    }

    void earlierDialogIsDiscarded() {
        DialogSetup setup;
        auto view = ViewWith({"a"}, setup.Out());
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        RunConvertCommand(*view);
        const QList<CConvertDlg*> first = view->findChildren<CConvertDlg*>();
        QCOMPARE(first.size(), 1);
        QPointer<CConvertDlg> pFirst = first.front();
        QVERIFY(!pFirst->isVisible());
        QVERIFY(pFirst->parentWidget() == view.get());

        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        RunConvertCommand(*view);
        QVERIFY(pFirst.isNull());
        QCOMPARE(view->findChildren<CConvertDlg*>().size(), 1);
        // The second run found the first output and chose the next name.
        QCOMPARE(view->List()->Text(0, kTargetColumn), QStringLiteral("a-cvt[1].mp4"));
        QCOMPARE(view->List()->Text(0, kStatusColumn), QStringLiteral("Done"));
        QCOMPARE(setup.CallCount(), 2);
    }

    void missingComponentsOfferTheDownloadAndNeverConvert() {
        DialogSetup setup;
        CFakeDesktop desktop;
        // The Windows Media writer and the Ogg muxer count as not installed.
        media::SetHiddenFactories({"asfmux", "oggmux"});
        auto view = ViewWith({"a"}, setup.Out());
        view->RecordAtRow(0)->m_nStatus = kStatusDone;
        view->FillRow(0);

        struct Case {
            int nFormat;
            int nQuestion;
            int nCommand;
            int nNotice;
        };
        const Case cases[] = {
            {3, ids::kStrNeedMediaPlayer, ids::kCmdMediaPlayer, ids::kStrRestartAfterWmp},
            {5, ids::kStrNeedOggCodec, ids::kCmdOggCodec, ids::kStrRestartAfterOgg},
        };
        for (const Case& c : cases) {
            // The form hides these targets; the settings record takes them all the same.
            profiles::ConversionSettings settings = view->Settings();
            settings.m_nFormat = c.nFormat;
            view->SettingsControls()->Show(settings);
            QCOMPARE(view->Settings().m_nFormat, c.nFormat);
            const QString strQuestion = QString::fromStdString(LoadResString(c.nQuestion));

            // Cancel: only the question.
            setup.m_prompts.Clear();
            setup.m_prompts.AnswerMessage(PromptResult::Cancel);
            QVERIFY(view->OnCommand(ids::kCmdConvert));
            QCOMPARE(setup.m_prompts.Count(), 1);
            QCOMPARE(setup.m_prompts.At(0).text, strQuestion);
            QCOMPARE(setup.m_prompts.At(0).buttons, PromptButtons::OkCancel);
            QCOMPARE(setup.m_prompts.At(0).icon, PromptIcon::Question);
            QVERIFY(desktop.TakeBrowserArgs(300).empty());

            // OK: the Download item's page opens, then the restart notice.
            setup.m_prompts.Clear();
            setup.m_prompts.AnswerMessage(PromptResult::Ok);
            setup.m_prompts.AnswerMessage(PromptResult::Ok);
            QVERIFY(view->OnCommand(ids::kCmdConvert));
            QCOMPARE(desktop.TakeBrowserArgs(), std::vector<std::string>{links::DownloadAddress(
                                                    c.nCommand, platform::ProgramFolder())});
            QCOMPARE(setup.m_prompts.Count(), 2);
            QCOMPARE(setup.m_prompts.At(0).text, strQuestion);
            QCOMPARE(setup.m_prompts.At(1).text, QString::fromStdString(LoadResString(c.nNotice)));
            QCOMPARE(setup.m_prompts.At(1).buttons, PromptButtons::Ok);
            QCOMPARE(setup.m_prompts.At(1).icon, PromptIcon::Information);
            QCOMPARE(setup.m_prompts.Unscripted(), 0);

            // Neither way began a conversion: no dialog, no encoder run, the row untouched.
            QVERIFY(view->findChildren<CConvertDlg*>().isEmpty());
            QCOMPARE(setup.CallCount(), 0);
            QCOMPARE(view->List()->Text(0, kStatusColumn), QStringLiteral("Done"));
        }
        media::SetHiddenFactories({});
    }

private:
    testkit::TempDir m_config;
};

QTEST_MAIN(ConvertCommandTest)
#include "convert_command_test.moc"
