// The Target column tells the name the conversion will write: choosing another type on the form
// gives every row not yet converted the extension of that type at once (H.264 writes ".mov"); a
// converted row keeps the name of the file that was written.
#include "app/app_start.h"
#include "app/helpers/frame_steps.h"
#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "common/gui/gui_env.h"
#include "common/gui/scripted_prompts.h"
#include "lang/resource_ids.h"
#include "profiles/catalogue.h"
#include "profiles/settings.h"
#include "sources/source_record.h"
#include "sources/ui/source_list.h"

#include <QAbstractButton>
#include <QTest>

#include <memory>

namespace {

QStringList Targets(const CVelmoraView& view) {
    QStringList targets;
    for (int nRow = 0; nRow < view.RowCount(); ++nRow) {
        targets.append(view.List()->Text(nRow, 1));
    }
    return targets;
}

} // namespace

class TargetColumnTest : public QObject {
    Q_OBJECT

private slots:
    void chosenTypeNamesTheRowsNotConverted() {
        ScopedConfigFolder config;
        WriteHiddenToolTips();
        std::unique_ptr<CMainFrame> frame = StartApplication();
        QVERIFY(frame != nullptr);
        CVelmoraView* view = frame->View();
        // The free names chosen when the rows were added (the plain ones were taken).
        app_test::AddSourceRow(*view, "ready", "ready-cvt[1]", kStatusReady);
        app_test::AddSourceRow(*view, "done", "done-cvt[1]", kStatusDone);
        app_test::AddSourceRow(*view, "failed", "failed-cvt[1]", kStatusError);
        QCOMPARE(Targets(*view),
                 QStringList({"ready-cvt[1].mp4", "done-cvt[1].mp4", "failed-cvt[1].mp4"}));

        auto* h264 = qobject_cast<QAbstractButton*>(view->Control(
            profiles::kFormats[static_cast<std::size_t>(profiles::kFormatH264)].nControlId));
        auto* mpeg4 = qobject_cast<QAbstractButton*>(view->Control(
            profiles::kFormats[static_cast<std::size_t>(profiles::kFormatMpeg4)].nControlId));
        QVERIFY(h264 != nullptr && mpeg4 != nullptr);
        QTest::mouseClick(h264, Qt::LeftButton);
        QCOMPARE(view->Settings().m_nFormat, int(profiles::kFormatH264));
        // The name stays (Convert chooses a free one when it runs); the extension follows.
        QCOMPARE(Targets(*view),
                 QStringList({"ready-cvt[1].mov", "done-cvt[1].mp4", "failed-cvt[1].mov"}));
        QCOMPARE(view->RecordAtRow(0)->m_strTargetExt, std::string("mov"));
        QCOMPARE(view->RecordAtRow(1)->m_strTargetExt, std::string("mp4"));

        QTest::mouseClick(mpeg4, Qt::LeftButton);
        QCOMPARE(Targets(*view),
                 QStringList({"ready-cvt[1].mp4", "done-cvt[1].mp4", "failed-cvt[1].mp4"}));

        app_test::CloseFrame(frame);
    }
};

QTEST_MAIN(TargetColumnTest)
#include "target_column_test.moc"
