// The conversion dialog's time left: it appears once the speed can be trusted, said as people say
// it, in a place of its own that moves none of the template's controls.
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "controls/path_label.h"
#include "controls/percent_bar.h"
#include "engine/ui/convert_dlg.h"
#include "engine/ui/helpers/convert_fixture.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "ui/dialog_builder.h"

using namespace convert_test;

namespace {

// Converts 10 s in 4 s, a status line every 0.1 s, then writes the output.
constexpr char kSteadyEncoder[] = R"SH(for a in "$@"; do out=$a; done
i=0
while [ $i -lt 40 ]; do
  i=$((i + 1))
  printf 'frame=%d time=%d.%02d bitrate=1\r' $i $((i / 4)) $((i % 4 * 25))
  sleep 0.1
done
echo converted > "$out"
exit 0
)SH";

} // namespace

class ConvertDialogTimeLeftTest : public QObject {
    Q_OBJECT

private slots:
    void timeLeftShowsWithoutMovingTheTemplate() {
        DialogSetup setup;
        QVERIFY(!testkit::WriteFakeEncoder(setup.m_bin.Path(), kSteadyEncoder).empty());
        setup.m_list.Add(MakeRecord("/v/first.avi", 0, 10));
        setup.m_list.Add(MakeRecord("/v/second.avi", 0, 10));
        auto pDialog = setup.MakeDialog();
        CConvertDlg& dialog = *pDialog;

        // The template built alone: every control of the dialog keeps that place and size.
        QDialog plain;
        const BuiltDialog built = BuildFromTemplate(
            &plain, CurrentResources().dialogs.at(ids::kDlgConvert), &CreateConvertControl);
        QCOMPARE(dialog.size(), plain.size());
        const std::pair<int, QWidget*> parts[] = {{ids::kCtlOverallBar, dialog.OverallBar()},
                                                  {ids::kCtlCurrentBar, dialog.CurrentBar()},
                                                  {ids::kCtlStepText, dialog.StepLabel()},
                                                  {ids::kCtlSizeText, dialog.SizeLabel()},
                                                  {ids::kCtlSkipCurrent, dialog.SkipButton()},
                                                  {ids::kCtlCancelAll, dialog.CancelAllButton()}};
        for (const auto& [nId, pWidget] : parts) {
            QVERIFY(built.controls.contains(nId));
            QCOMPARE(pWidget->geometry(), built.controls.value(nId)->geometry());
        }
        // It overlaps no other widget of the dialog, labels without an id included.
        const QRect place = dialog.TimeLeftLabel()->geometry();
        QVERIFY(dialog.rect().contains(place));
        for (QWidget* pChild :
             dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (pChild != dialog.TimeLeftLabel() && pChild->isVisible()) {
                QVERIFY2(!pChild->geometry().intersects(place),
                         qPrintable(pChild->metaObject()->className()));
            }
        }

        QStringList seen;
        Poller watch([&] {
            const QString text = dialog.TimeLeftLabel()->text();
            if (seen.isEmpty() || seen.back() != text) {
                seen << text;
            }
            if (text.isEmpty()) {
                return false;
            }
            dialog.CancelAllButton()->click();
            return true;
        });
        setup.m_prompts.AnswerMessage(PromptResult::Ok);
        dialog.DoModal();

        // Nothing until it could be trusted, then the time as people say it.
        QCOMPARE(seen.value(0), QString());
        QVERIFY2(seen.size() == 2, qPrintable(seen.join('|')));
        QVERIFY2(seen.back() == QStringLiteral("a few seconds left") ||
                     seen.back().contains(QRegularExpression("^about \\d+ seconds left$")),
                 qPrintable(seen.back()));
        // Once the batch has ended, while its outcome shows, nothing is left.
        QCOMPARE(dialog.TimeLeftLabel()->text(), QString());
    }
};

QTEST_MAIN(ConvertDialogTimeLeftTest)
#include "convert_dlg_time_left_test.moc"
