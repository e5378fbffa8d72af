// The conversion dialog's Skip, Cancel All, close box, Enter and Escape while a batch runs, and
// the close box's question when the batch ends under it.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "common/gui/scoped_qt_prompts.h"
#include "controls/percent_bar.h"
#include "engine/ui/convert_dlg.h"
#include "engine/ui/helpers/convert_fixture.h"
#include "ui/prompt_service.h"

using namespace convert_test;

namespace {

// Three sources; `nSlowRow` never ends by itself, so that it can be acted on.
void AddThree(DialogSetup& setup, int nSlowRow) {
    for (int nRow = 0; nRow < 3; ++nRow) {
        const std::string strName = nRow == nSlowRow ? "slow" : "quick";
        setup.m_list.Add(MakeRecord("/v/" + strName + std::to_string(nRow) + ".avi", 0, 10));
    }
}

QStringList Texts(const ScriptedPrompts& prompts) {
    QStringList texts;
    for (const ScriptedPrompts::Record& record : prompts.Records()) {
        texts << record.text;
    }
    return texts;
}

} // namespace

class ConvertCancelTest : public QObject {
    Q_OBJECT

private slots:
    void skipDuringTheSecondOfThree() {
        DialogSetup setup;
        AddThree(setup, 1);
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        Poller press([&] {
            if (!setup.RowRunning(dialog, 1)) {
                return false;
            }
            dialog.SkipButton()->click();
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();
        QVERIFY(press.Done());
        QCOMPARE(setup.m_list.Statuses(),
                 (std::vector<int>{kStatusDone, kStatusSkip, kStatusDone}));
        QCOMPARE(setup.CallCount(), 3);
        QCOMPARE(Texts(setup.m_prompts), QStringList{QString::fromLatin1(kCompleted)});
    }

    void cancelAllDuringTheFirstOfThree() {
        DialogSetup setup;
        AddThree(setup, 0);
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        Poller press([&] {
            if (!setup.RowRunning(dialog, 0)) {
                return false;
            }
            dialog.CancelAllButton()->click(); // no question
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(setup.m_list.Statuses(),
                 (std::vector<int>{kStatusSkip, kStatusSkip, kStatusSkip}));
        QCOMPARE(setup.CallCount(), 1);
        QCOMPARE(Texts(setup.m_prompts), QStringList{QString::fromLatin1(kCanceled)});
        QCOMPARE(setup.m_prompts.At(0).icon, PromptIcon::Information);
        // Every row was refilled with its new status.
        QCOMPARE(setup.m_list.m_fillCounts, (std::vector<int>{2, 1, 1}));
    }

    void cancelAllDuringTheSecondOfThree() {
        DialogSetup setup;
        AddThree(setup, 1);
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        int nOverallWhileSecond = -1;
        int nTicks = 0;
        Poller press([&] {
            if (!setup.RowRunning(dialog, 1) || ++nTicks < 25) {
                return false;
            }
            nOverallWhileSecond = dialog.OverallBar()->GetPos();
            dialog.CancelAllButton()->click();
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();
        QCOMPARE(setup.m_list.Statuses(),
                 (std::vector<int>{kStatusDone, kStatusSkip, kStatusSkip}));
        QCOMPARE(setup.CallCount(), 2);
        QCOMPARE(Texts(setup.m_prompts), QStringList{QString::fromLatin1(kCanceled)});
        // One of three sources done, the second under way: a third of the batch or a little more.
        QVERIFY2(nOverallWhileSecond >= 33 && nOverallWhileSecond < 67,
                 qPrintable(QString::number(nOverallWhileSecond)));
    }

    void firstTicksShowNoEarlierRun() {
        DialogSetup setup;
        setup.m_list.Add(MakeRecord("/v/slow.avi", 0, 10));
        setup.m_job.m_nPercent = 100; // what a completed earlier run leaves
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        QList<int> currents;
        QList<int> overalls;
        Poller watch([&] {
            currents << dialog.CurrentBar()->GetPos();
            overalls << dialog.OverallBar()->GetPos();
            if (currents.size() < 30) {
                return false;
            }
            dialog.CancelAllButton()->click();
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();
        // The slow encoder never ends by itself, so its run shows at most 99: a 100 would be the
        // earlier run's.
        QVERIFY(!currents.contains(100));
        for (int nOverall : overalls) {
            QVERIFY(nOverall >= 0);
        }
    }

    void closeBoxAsksFirst() {
        DialogSetup setup;
        AddThree(setup, 0);
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        int nStep = 0;
        bool bRunningAfterCancel = false;
        bool bFirstCloseRefused = false;
        Poller press([&] {
            if (!setup.RowRunning(dialog, 0)) {
                return false;
            }
            if (nStep == 0) {
                bFirstCloseRefused = !dialog.close(); // answered Cancel: nothing happens
                ++nStep;
                return false;
            }
            if (nStep == 1) {
                bRunningAfterCancel = dialog.isVisible() && !dialog.Batch().m_bCancelAll;
                dialog.close(); // answered OK: as Cancel All
                return true;
            }
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Cancel);
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();
        QVERIFY(bFirstCloseRefused);
        QVERIFY(bRunningAfterCancel);
        QCOMPARE(Texts(setup.m_prompts), (QStringList{QString::fromLatin1(kConfirmCancelAll),
                                                      QString::fromLatin1(kConfirmCancelAll),
                                                      QString::fromLatin1(kCanceled)}));
        QCOMPARE(setup.m_prompts.At(0).icon, PromptIcon::Question);
        QCOMPARE(setup.m_prompts.At(0).buttons, PromptButtons::OkCancel);
        QCOMPARE(setup.m_list.Statuses(),
                 (std::vector<int>{kStatusSkip, kStatusSkip, kStatusSkip}));
        QCOMPARE(setup.m_prompts.Unscripted(), 0);
    }

    void enterAndEscapeActAsTheCloseBox() {
        DialogSetup setup;
        AddThree(setup, 0);
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        int nStep = 0;
        Poller press([&] {
            if (!setup.RowRunning(dialog, 0)) {
                return false;
            }
            switch (nStep++) {
            case 0:
                dialog.SkipButton()->setFocus();
                QTest::keyClick(&dialog, Qt::Key_Return); // Cancel: the batch goes on
                return false;
            case 1:
                QTest::keyClick(&dialog, Qt::Key_Enter); // Cancel again
                return false;
            default:
                QTest::keyClick(&dialog, Qt::Key_Escape); // OK: Cancel All
                return true;
            }
        });
        setup.m_prompts.AnswerMessage(PromptResult::Cancel);
        setup.m_prompts.AnswerMessage(PromptResult::Cancel);
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();
        QCOMPARE(Texts(setup.m_prompts), (QStringList{QString::fromLatin1(kConfirmCancelAll),
                                                      QString::fromLatin1(kConfirmCancelAll),
                                                      QString::fromLatin1(kConfirmCancelAll),
                                                      QString::fromLatin1(kCanceled)}));
        // Enter on the focused Skip button did not press it: the first source was cancelled,
        // not skipped and followed by the second.
        QCOMPARE(setup.CallCount(), 1);
        QCOMPARE(setup.m_list.Statuses(),
                 (std::vector<int>{kStatusSkip, kStatusSkip, kStatusSkip}));
    }

    void secondCloseRequestAfterCancelAllDoesNothing() {
        DialogSetup setup;
        AddThree(setup, 0);
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        bool bClosedWhileWaiting = false;
        Poller second([&] {
            // Runs while Cancel All waits for the worker.
            if (!dialog.Batch().m_bCancelAll || !dialog.isVisible()) {
                return false;
            }
            dialog.close();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            bClosedWhileWaiting = true;
            return true;
        });
        Poller press([&] {
            if (!setup.RowRunning(dialog, 0)) {
                return false;
            }
            dialog.close(); // answered OK
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();
        QVERIFY(bClosedWhileWaiting);
        QCOMPARE(Texts(setup.m_prompts), (QStringList{QString::fromLatin1(kConfirmCancelAll),
                                                      QString::fromLatin1(kCanceled)}));
    }

    void questionClosesWhenTheBatchEnds() {
        // The real message boxes: the batch ends while the close box's question is open.
        DialogSetup setup;
        setup.m_list.Add(MakeRecord("/v/slow.avi", 0, 10));
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        ScopedQtPrompts qtPrompts;
        QPointer<QMessageBox> pQuestion;
        bool bQuestionOpenAtOutcome = true;
        QStringList shown;
        Poller ask([&] {
            if (!setup.RowRunning(dialog, 0)) {
                return false;
            }
            dialog.close(); // returns once the question has gone
            return true;
        });
        bool bAnswered = false;
        Poller end([&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box == nullptr || !box->isVisible()) {
                    continue;
                }
                if (!shown.contains(box->text())) {
                    shown << box->text();
                }
                if (box->text() == QString::fromLatin1(kConfirmCancelAll) && pQuestion.isNull()) {
                    pQuestion = box;
                    dialog.Skip(); // the last source ends: the batch is complete
                    return false;
                }
                if (box->text() == QString::fromLatin1(kCompleted)) {
                    bQuestionOpenAtOutcome = pQuestion.isNull() || pQuestion->isVisible();
                    box->button(QMessageBox::Ok)->click();
                    bAnswered = true;
                    return false;
                }
                if (bAnswered && box == pQuestion) {
                    box->button(QMessageBox::Cancel)->click(); // left open: a fault, not a hang
                    return false;
                }
            }
            return bAnswered;
        });
        QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
        QVERIFY(ask.Done());
        QVERIFY(bAnswered);
        // The question closed before the outcome was shown, answered no: nothing was cancelled.
        QVERIFY(!bQuestionOpenAtOutcome);
        QCOMPARE(shown, (QStringList{QString::fromLatin1(kConfirmCancelAll),
                                     QString::fromLatin1(kCompleted)}));
        QVERIFY(dialog.Batch().m_bFinished);
        QCOMPARE(setup.CallCount(), 1);
        QVERIFY(!dialog.isVisible());
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            QVERIFY(qobject_cast<QMessageBox*>(widget) == nullptr || !widget->isVisible());
        }
    }

    void cancelAllWaitServesTheFailureMessage() {
        // The worker shows its failure message after Cancel All, while the dialog waits for it:
        // the wait serves the message, which comes before "Conversion is canceled.".
        DialogSetup setup;
        setup.m_list.Add(MakeRecord("/v/fail.avi", 0, 3));
        setup.m_list.Add(MakeRecord("/v/slow.avi", 0, 10));
        setup.m_list.Add(MakeRecord("/v/three.avi", 0, 3));
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;
        bool bWaiting = false;
        setup.m_prompts.OnPrompt([&](const ScriptedPrompts::Record& record) {
            if (record.icon == PromptIcon::Warning) {
                bWaiting = dialog.Batch().m_bCancelAll && dialog.isVisible();
            }
        });
        Poller press([&] {
            if (!setup.RowRunning(dialog, 1)) {
                return false;
            }
            dialog.CancelAllButton()->click();
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
        QVERIFY(bWaiting);
        QCOMPARE(setup.m_prompts.Count(), 2);
        QCOMPARE(setup.m_prompts.At(0).icon, PromptIcon::Warning);
        QVERIFY(setup.m_prompts.At(0).text.contains(QStringLiteral("\r\n\n/v/fail.avi\r\n\r\n")));
        QCOMPARE(setup.m_prompts.At(1).text, QString::fromLatin1(kCanceled));
        QCOMPARE(setup.m_list.Statuses(),
                 (std::vector<int>{kStatusError, kStatusSkip, kStatusSkip}));
    }
};

QTEST_MAIN(ConvertCancelTest)
#include "convert_dlg_cancel_test.moc"
