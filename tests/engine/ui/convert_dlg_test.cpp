// The conversion dialog over batches that run to their end: progress, texts, outcomes and the
// failure message.
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "controls/path_label.h"
#include "controls/percent_bar.h"
#include "engine/ui/convert_dlg.h"
#include "engine/ui/helpers/convert_fixture.h"

using namespace convert_test;

class ConvertDialogTest : public QObject {
    Q_OBJECT

private slots:
    void oneSourceConvertsAndTheDialogCloses() {
        DialogSetup setup;
        setup.m_list.Add(MakeRecord("/videos/clip.avi", 0, 4));
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Convert Video to iPod Video formats"));
        QVERIFY(!dialog.SkipButton()->autoDefault() && !dialog.SkipButton()->isDefault());
        QVERIFY(!dialog.CancelAllButton()->autoDefault());

        int nCurrentAtEnd = -1;
        int nOverallAtEnd = -1;
        bool bVisibleAtEnd = false;
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        setup.m_prompts.OnPrompt([&](const ScriptedPrompts::Record&) {
            nCurrentAtEnd = dialog.CurrentBar()->GetPos();
            nOverallAtEnd = dialog.OverallBar()->GetPos();
            bVisibleAtEnd = dialog.isVisible();
        });
        QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));

        QVERIFY(!dialog.isVisible());
        QCOMPARE(setup.m_prompts.Count(), 1);
        QCOMPARE(setup.m_prompts.At(0).text, QString::fromLatin1(kCompleted));
        QCOMPARE(setup.m_prompts.At(0).icon, PromptIcon::Information);
        QCOMPARE(setup.m_prompts.At(0).buttons, PromptButtons::Ok);
        QVERIFY(setup.m_prompts.At(0).parent == &dialog);
        QCOMPARE(nCurrentAtEnd, 100);
        QCOMPARE(nOverallAtEnd, 100);
        QVERIFY(bVisibleAtEnd);

        FileMediaFormat& record = setup.m_list.Record(0);
        QCOMPARE(record.m_nStatus, int(kStatusDone));
        QCOMPARE(record.m_bConverted, 1);
        QCOMPARE(record.GetTargetPath(), setup.Out() + "clip-cvt.mp4");
        // The worker's fills ran on the main thread: first "Waiting" with the name, then "Done".
        QCOMPARE(setup.m_list.m_fills, (std::vector<std::string>{"0:1", "0:4"}));
        for (bool bMain : setup.m_list.m_fillOnMainThread) {
            QVERIFY(bMain);
        }
        QCOMPARE(dialog.StepLabel()->FullText(),
                 QString::fromStdString("Step 1/1: From \"/videos/clip.avi\" \n          to \"" +
                                        setup.Out() +
                                        "clip-cvt.mp4\" \n          Click \"Skip\" or "
                                        "\"Cancel\" to abort conversion."));
        QCOMPARE(dialog.SizeLabel()->text(), QStringLiteral("0K")); // one byte written

        // Running it again does nothing: the batch is over.
        QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
        QCOMPARE(setup.CallCount(), 1);
    }

    void sizeTextFollowsTheOutputFile() {
        DialogSetup setup;
        setup.m_list.Add(MakeRecord("/v/size.avi", 0, 4));
        setup.m_list.Add(MakeRecord("/v/slow.avi", 0, 10));
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        QStringList firstSizes;
        QString sizeWhileSecondRuns;
        Poller watch([&] {
            if (firstSizes.isEmpty()) {
                // The template's "0k" is gone before any output exists.
                firstSizes << dialog.SizeLabel()->text() << dialog.StepLabel()->FullText();
            }
            // The first encoder ends once the dialog has shown the size of its output.
            if (setup.RowRunning(dialog, 0) && dialog.SizeLabel()->text() == "1234K") {
                setup.Release();
            }
            // The second output does not exist yet (it is never written): at the next tick the
            // first one's size stays.
            if (setup.RowRunning(dialog, 1)) {
                dialog.Tick();
                sizeWhileSecondRuns = dialog.SizeLabel()->text();
                dialog.CancelAllButton()->click();
                return true;
            }
            return false;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();
        QCOMPARE(firstSizes.value(0), QString());
        QCOMPARE(firstSizes.value(1), QString());
        QCOMPARE(sizeWhileSecondRuns, QStringLiteral("1234K"));
        QCOMPARE(setup.m_list.Record(0).m_nStatus, int(kStatusDone));
        QCOMPARE(setup.m_list.Record(1).m_nStatus, int(kStatusSkip));
    }

    void failedSourceIsNamedInOneMessage() {
        DialogSetup setup;
        setup.m_list.Add(MakeRecord("/v/one.avi", 0, 3));
        setup.m_list.Add(MakeRecord("/v/empty segment.avi", 7, 7));
        setup.m_list.Add(MakeRecord("/v/three.avi", 0, 3));
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        auto pDialog = setup.MakeDialog();
        pDialog->DoModal();

        QCOMPARE(setup.m_list.Statuses(),
                 (std::vector<int>{kStatusDone, kStatusError, kStatusDone}));
        QCOMPARE(setup.CallCount(), 2); // the empty segment runs no encoder
        QCOMPARE(setup.m_prompts.Count(), 2);
        const ScriptedPrompts::Record& failure = setup.m_prompts.At(0);
        QCOMPARE(failure.text,
                 QString::fromStdString(std::string(kUnknownFormat) + "\r\n" +
                                        "\n/v/empty segment.avi" + "\r\n\r\n" + kReasons));
        QCOMPARE(failure.icon, PromptIcon::Warning);
        QCOMPARE(failure.buttons, PromptButtons::Ok);
        QCOMPARE(failure.caption, QString()); // the application's name
        QCOMPARE(setup.m_prompts.At(1).text, QString::fromLatin1(kCompleted));
        QCOMPARE(setup.m_prompts.Unscripted(), 0);
    }

    void emptyListEndsAtOnce() {
        DialogSetup setup;
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        auto pDialog = setup.MakeDialog();
        QCOMPARE(pDialog->DoModal(), int(QDialog::Accepted));
        QCOMPARE(setup.m_prompts.Count(), 1);
        QCOMPARE(setup.m_prompts.At(0).text, QString::fromLatin1(kCompleted));
        QCOMPARE(pDialog->OverallBar()->GetPos(), 0);
    }
};

QTEST_MAIN(ConvertDialogTest)
#include "convert_dlg_test.moc"
