// The preview dialog over real GStreamer with generated clips and a silent audio output: opening
// and the segment commands, the button states, the end of the media, Stop, a file with sound only,
// a file that does not open, and the frames in the video area.
#include "common/gui/gui_env.h"
#include "common/media.h"
#include "common/testkit.h"
#include "controls/track_bar.h"
#include "lang/resource_ids.h"
#include "preview/helpers/preview_steps.h"
#include "preview/preview_dlg.h"
#include "preview/video_area.h"
#include "support/log.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

using preview_test::Click;
using preview_test::DragTo;
using preview_test::Enabled;
using preview_test::kOpenWaitMs;

// Play, Pause, Stop as "101": the buttons' enabled states in the order of the state table.
QString Transport(const CPreviewDlg& dlg) {
    QString states;
    for (const int nId : {ids::kCtlPlay, ids::kCtlPause, ids::kCtlStop}) {
        states += Enabled(dlg, nId) ? QLatin1Char('1') : QLatin1Char('0');
    }
    return states;
}

QString Segment(const CPreviewDlg& dlg) {
    int nStart = 0;
    int nEnd = 0;
    dlg.PositionSlider()->GetSelection(nStart, nEnd);
    return QStringLiteral("%1-%2").arg(nStart).arg(nEnd);
}

// Shows the dialog and waits for the first tick to open the file and start playing.
bool ShowAndOpen(CPreviewDlg& dlg) {
    dlg.show();
    return QTest::qWaitFor([&] { return Enabled(dlg, ids::kCtlStop); }, kOpenWaitMs);
}

// How many pixels of the image are close to a colour.
int CountNear(const QImage& image, QRgb colour, int nTolerance = 40) {
    int nCount = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (std::abs(qRed(pixel) - qRed(colour)) <= nTolerance &&
                std::abs(qGreen(pixel) - qGreen(colour)) <= nTolerance &&
                std::abs(qBlue(pixel) - qBlue(colour)) <= nTolerance) {
                ++nCount;
            }
        }
    }
    return nCount;
}

} // namespace

class PreviewDlgTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensWithTheRecordsSegmentAndSelectsAPart();
    void playingToTheEndRewindsAndFramesReachTheArea();
    void soundOnlyFilePlaysWithABlackArea();
    void fileThatDoesNotOpenIsLoggedAndKeepsTheSegment();

private:
    std::unique_ptr<ScopedConfigFolder> m_pConfig;
    testkit::TempDir m_dir;
    std::string m_strLog;
    std::string m_strLong;  // 95 s, picture and sound
    std::string m_strShort; // 2 s, picture and sound
    std::string m_strTone;  // 3 s, sound only
};

void PreviewDlgTest::initTestCase() {
    m_pConfig = std::make_unique<ScopedConfigFolder>();
    preview_test::UseSilentAudioOutput();
    m_strLog = m_dir.File("preview.log");
    SetLogPath(m_strLog);
    m_strLong = m_dir.File("long clip.mp4");
    m_strShort = m_dir.File("short.mp4");
    m_strTone = m_dir.File("tone.wav");
    QVERIFY(testkit::MakeClip(m_strLong, 95.0, 160, 120, true));
    QVERIFY(testkit::MakeClip(m_strShort, 2.0, 160, 120, true));
    QVERIFY(testkit::MakeClip(m_strTone, 3.0, 0, 0, true));
}

void PreviewDlgTest::opensWithTheRecordsSegmentAndSelectsAPart() {
    std::int32_t nStart = 0;
    std::int32_t nEnd = 95;
    CPreviewDlg dlg;
    dlg.m_strFile = m_strLong;
    dlg.m_pnStart = &nStart;
    dlg.m_pnEnd = &nEnd;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Preview and select a part to convert"));
    dlg.show();
    // Before the first tick every transport and segment button is off.
    QCOMPARE(Transport(dlg), QStringLiteral("000"));
    QVERIFY(!Enabled(dlg, ids::kCtlStart) && !Enabled(dlg, ids::kCtlFull));
    QCOMPARE(dlg.VolumeSlider()->GetRangeMin(), -10000);
    QCOMPARE(dlg.VolumeSlider()->GetPageSize(), 2000);
    QCOMPARE(dlg.BalanceSlider()->GetRangeMax(), 10000);
    QCOMPARE(dlg.BalanceSlider()->GetPageSize(), 5000);
    QCOMPARE(dlg.BalanceSlider()->GetPos(), 0);

    QVERIFY(ShowAndOpen(dlg));
    CTrackBar* slider = dlg.PositionSlider();
    QCOMPARE(dlg.Player().PlayStateValue(), int(CPreviewPlayer::Running));
    QCOMPARE(Transport(dlg), QStringLiteral("011"));
    QVERIFY(Enabled(dlg, ids::kCtlStart) && Enabled(dlg, ids::kCtlEnd) &&
            Enabled(dlg, ids::kCtlFull));
    QCOMPARE(slider->GetRangeMin(), 0);
    QCOMPARE(slider->GetRangeMax(), 95);
    QCOMPARE(slider->tickInterval(), 5);
    QCOMPARE(slider->GetLineSize(), 5);
    QCOMPARE(slider->GetPageSize(), 20);
    QCOMPARE(Segment(dlg), QStringLiteral("0-95"));
    QCOMPARE(dlg.StartTimeEdit()->text(), QStringLiteral("00:00:00"));
    QCOMPARE(dlg.EndTimeEdit()->text(), QStringLiteral("00:01:35"));
    QCOMPARE(dlg.DurationEdit()->text(), QStringLiteral("00:01:35"));

    // Escape is swallowed.
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());

    // Pause, then Pause again while paused (the handler; the button is off then), then Pause.
    Click(dlg, ids::kCtlPause);
    QCOMPARE(dlg.Player().PlayStateValue(), int(CPreviewPlayer::Paused));
    QCOMPARE(Transport(dlg), QStringLiteral("101"));
    dlg.OnPause();
    QCOMPARE(dlg.Player().PlayStateValue(), int(CPreviewPlayer::Running));
    QCOMPARE(Transport(dlg), QStringLiteral("011"));
    Click(dlg, ids::kCtlPause);
    QCOMPARE(Transport(dlg), QStringLiteral("101"));

    // Start at 20 s and End at 60 s; the graph follows the slider.
    DragTo(dlg, 20);
    media::RefTime rtPosition = 0;
    QCOMPARE(GetMediaPosition(dlg.Player().Seeking().get(), rtPosition), kResultOk);
    QCOMPARE(RefTimeToSeconds(rtPosition), 20);
    Click(dlg, ids::kCtlStart);
    QCOMPARE(Segment(dlg), QStringLiteral("20-95"));
    DragTo(dlg, 60);
    Click(dlg, ids::kCtlEnd);
    QCOMPARE(Segment(dlg), QStringLiteral("20-60"));
    QCOMPARE(dlg.StartTimeEdit()->text(), QStringLiteral("00:00:20"));
    QCOMPARE(dlg.EndTimeEdit()->text(), QStringLiteral("00:01:00"));

    // End before the start: the old start becomes the end. Start after the end likewise.
    DragTo(dlg, 10);
    Click(dlg, ids::kCtlEnd);
    QCOMPARE(Segment(dlg), QStringLiteral("10-20"));
    DragTo(dlg, 30);
    Click(dlg, ids::kCtlStart);
    QCOMPARE(Segment(dlg), QStringLiteral("20-30"));
    Click(dlg, ids::kCtlFull);
    QCOMPARE(Segment(dlg), QStringLiteral("0-95"));
    QCOMPARE(dlg.EndTimeEdit()->text(), QStringLiteral("00:01:35"));
    DragTo(dlg, 20);
    Click(dlg, ids::kCtlStart);
    DragTo(dlg, 60);
    Click(dlg, ids::kCtlEnd);

    // Stop writes "0", rewinds the slider and the graph.
    Click(dlg, ids::kCtlStop);
    QCOMPARE(dlg.ElapsedTimeEdit()->text(), QStringLiteral("0"));
    QCOMPARE(slider->GetPos(), 0);
    QCOMPARE(Transport(dlg), QStringLiteral("100"));
    QCOMPARE(dlg.Player().PlayStateValue(), int(CPreviewPlayer::Stopped));
    // Ticks while stopped change nothing (a check that a busy machine can only make easier to
    // pass, never fail).
    QTest::qWait(250);
    QCOMPARE(dlg.ElapsedTimeEdit()->text(), QStringLiteral("0"));
    QCOMPARE(Segment(dlg), QStringLiteral("20-60"));

    // OK hands the part back and ends the dialog through Close.
    Click(dlg, ids::kIdOk);
    QCOMPARE(nStart, 20);
    QCOMPARE(nEnd, 60);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.Player().HasGraph());
}

void PreviewDlgTest::playingToTheEndRewindsAndFramesReachTheArea() {
    std::int32_t nStart = 0;
    std::int32_t nEnd = 2;
    CPreviewDlg dlg;
    dlg.m_strFile = m_strShort;
    dlg.m_pnStart = &nStart;
    dlg.m_pnEnd = &nEnd;
    QVERIFY(ShowAndOpen(dlg));
    QVERIFY(!dlg.Player().IsAudioOnly());
    QCOMPARE(dlg.DurationEdit()->text(), QStringLiteral("00:00:02"));

    // While it plays, the test pattern's colours are in the area's pixels, the picture scaled to
    // fill the area one way and centred the other way on black.
    QVERIFY(QTest::qWaitFor([&] { return dlg.VideoArea()->PaintedFrames() >= 10; },
                            testkit::kPatientMs));
    const QImage shot = dlg.VideoArea()->grab().toImage();
    const QRect area = dlg.VideoArea()->rect();
    const QRect frame = dlg.VideoArea()->FrameRect();
    QVERIFY(frame.height() == area.height() || frame.width() == area.width());
    QVERIFY(std::abs(frame.center().x() - area.center().x()) <= 1);
    QVERIFY(std::abs(frame.center().y() - area.center().y()) <= 1);
    const int nArea = shot.width() * shot.height();
    QVERIFY(CountNear(shot, qRgb(255, 255, 0)) > nArea / 100); // yellow bar
    QVERIFY(CountNear(shot, qRgb(0, 255, 255)) > nArea / 100); // cyan bar
    QVERIFY(CountNear(shot, qRgb(255, 0, 255)) > nArea / 100); // magenta bar
    const QPoint beside =
        frame.width() < area.width() ? QPoint(1, area.height() / 2) : QPoint(area.width() / 2, 1);
    QCOMPARE(shot.pixel(beside), qRgb(0, 0, 0));

    // At the end the next tick rewinds: slider 0, Play on, Elapsed Time in clock text again.
    QVERIFY(QTest::qWaitFor([&] { return Enabled(dlg, ids::kCtlPlay); }, testkit::kPatientMs));
    QCOMPARE(dlg.PositionSlider()->GetPos(), 0);
    QCOMPARE(dlg.ElapsedTimeEdit()->text(), QStringLiteral("00:00:00"));
    QCOMPARE(Transport(dlg), QStringLiteral("100"));
    QCOMPARE(dlg.Player().PlayStateValue(), int(CPreviewPlayer::Stopped));

    // Play again from the start: the slider moves with the position.
    Click(dlg, ids::kCtlPlay);
    QVERIFY(
        QTest::qWaitFor([&] { return dlg.PositionSlider()->GetPos() >= 1; }, testkit::kPatientMs));
    QCOMPARE(
        dlg.ElapsedTimeEdit()->text(),
        QStringLiteral("00:00:%1").arg(dlg.PositionSlider()->GetPos(), 2, 10, QLatin1Char('0')));
    dlg.close(); // the close box
    QVERIFY(!dlg.isVisible());
    QCOMPARE(nEnd, 2);
}

void PreviewDlgTest::soundOnlyFilePlaysWithABlackArea() {
    std::int32_t nStart = 0;
    std::int32_t nEnd = 3;
    CPreviewDlg dlg;
    dlg.m_strFile = m_strTone;
    dlg.m_pnStart = &nStart;
    dlg.m_pnEnd = &nEnd;
    QVERIFY(ShowAndOpen(dlg));
    QVERIFY(dlg.Player().IsAudioOnly());
    QCOMPARE(dlg.Player().PlayStateValue(), int(CPreviewPlayer::Running));
    const QImage shot = dlg.VideoArea()->grab().toImage();
    QCOMPARE(CountNear(shot, qRgb(0, 0, 0), 0), shot.width() * shot.height());

    dlg.VolumeSlider()->setValue(-3000);
    dlg.BalanceSlider()->setValue(5000);
    Click(dlg, ids::kCtlPause);
    DragTo(dlg, 1);
    Click(dlg, ids::kCtlStart);
    QCOMPARE(Segment(dlg), QStringLiteral("1-3"));
    QCOMPARE(dlg.StartTimeEdit()->text(), QStringLiteral("00:00:01"));
    Click(dlg, ids::kCtlFull);
    QCOMPARE(Segment(dlg), QStringLiteral("0-3"));
    DragTo(dlg, 2);
    Click(dlg, ids::kCtlEnd);
    Click(dlg, ids::kCtlPlay);
    QCOMPARE(dlg.Player().PlayStateValue(), int(CPreviewPlayer::Running));
    Click(dlg, ids::kIdOk);
    QCOMPARE(nStart, 0);
    QCOMPARE(nEnd, 2);
}

void PreviewDlgTest::fileThatDoesNotOpenIsLoggedAndKeepsTheSegment() {
    const std::string strJunk = m_dir.File("junk (copy).avi");
    {
        std::ofstream out(strJunk, std::ios::binary);
        for (int i = 0; i < 4096; ++i) {
            out.put(static_cast<char>((i * 37) & 0xff));
        }
    }
    std::int32_t nStart = 5;
    std::int32_t nEnd = 9;
    CPreviewDlg dlg;
    dlg.m_strFile = strJunk;
    dlg.m_pnStart = &nStart;
    dlg.m_pnEnd = &nEnd;
    QVERIFY(ShowAndOpen(dlg)); // the automatic Play turns Stop on all the same
    QVERIFY(!dlg.Player().IsRendered());
    QCOMPARE(Transport(dlg), QStringLiteral("011"));
    QVERIFY(!Enabled(dlg, ids::kCtlStart) && !Enabled(dlg, ids::kCtlEnd) &&
            !Enabled(dlg, ids::kCtlFull));
    QVERIFY(dlg.DurationEdit()->text().isEmpty());
    const std::string strLog = testkit::ReadFile(m_strLog);
    QVERIFY2(strLog.find("*** Failed(8000ffff) in RenderFile(" + strJunk + ")!\r\n") !=
                 std::string::npos,
             strLog.c_str());

    // Stop and the sliders only touch the controls; OK hands nothing back.
    Click(dlg, ids::kCtlStop);
    QCOMPARE(Transport(dlg), QStringLiteral("100"));
    QCOMPARE(dlg.ElapsedTimeEdit()->text(), QStringLiteral("0"));
    dlg.VolumeSlider()->setValue(-1000);
    dlg.PositionSlider()->setValue(3);
    Click(dlg, ids::kIdOk);
    QCOMPARE(nStart, 5);
    QCOMPARE(nEnd, 9);
    QVERIFY(!dlg.isVisible());
}

QTEST_MAIN(PreviewDlgTest)
#include "preview_dlg_test.moc"
