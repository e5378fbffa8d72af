// A phone clip held upright: its container says the picture is shown turned by 90 degrees. The
// preview shows it as the conversion writes it, upright (taller than wide), and a clip without
// such a mark as stored.
#include "common/gui/gui_env.h"
#include "common/media.h"
#include "common/testkit.h"
#include "lang/resource_ids.h"
#include "preview/helpers/preview_steps.h"
#include "preview/preview_dlg.h"
#include "preview/video_area.h"

#include <QTest>

#include <memory>

namespace {

// Opens the clip in the preview and returns where its frames are painted, once some are.
QRect PaintedFrame(const std::string& strClip) {
    std::int32_t nStart = 0;
    std::int32_t nEnd = 2;
    CPreviewDlg dlg;
    preview_test::SetSource(dlg, strClip, nStart, nEnd);
    dlg.show();
    if (!QTest::qWaitFor([&] { return dlg.VideoArea()->PaintedFrames() >= 3; },
                         preview_test::kOpenWaitMs)) {
        return QRect();
    }
    return dlg.VideoArea()->FrameRect();
}

} // namespace

class PreviewRotationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        m_pConfig = std::make_unique<ScopedConfigFolder>();
        preview_test::UseSilentAudioOutput();
    }

    void clipTaggedAsTurnedShowsUpright() {
        const std::string strStored = m_dir.File("stored.mp4");
        const std::string strTurned = m_dir.File("turned.mp4");
        QVERIFY(testkit::MakeClip(strStored, 2.0, 160, 90, false));
        // The same picture, marked to be shown turned clockwise by 90 degrees.
        const testkit::ProgramRun run = testkit::RunProgram(
            {"/usr/bin/ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", strStored, "-c",
             "copy", "-metadata:s:v:0", "rotate=90", strTurned});
        QVERIFY2(run.exitCode == 0, run.output.c_str());

        const QRect stored = PaintedFrame(strStored);
        QVERIFY(!stored.isEmpty());
        QVERIFY2(stored.width() > stored.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(stored.width()).arg(stored.height())));
        const QRect turned = PaintedFrame(strTurned);
        QVERIFY(!turned.isEmpty());
        QVERIFY2(turned.height() > turned.width(),
                 qPrintable(QStringLiteral("%1x%2").arg(turned.width()).arg(turned.height())));
    }

private:
    std::unique_ptr<ScopedConfigFolder> m_pConfig;
    testkit::TempDir m_dir;
};

QTEST_MAIN(PreviewRotationTest)
#include "preview_rotation_test.moc"
