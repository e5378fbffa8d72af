// The preview player over real GStreamer with a generated clip and a silent audio output: the
// play state follows the player's own calls, only what the player reports reaches the log, and
// the seeking functions switch a seeking face to media time for a call and back.
#include "common/media.h"
#include "common/testkit.h"
#include "preview/helpers/preview_steps.h"
#include "preview/preview_player.h"
#include "preview/video_area.h"
#include "support/log.h"

#include <QTest>
#include <QWidget>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

// How often a text stands in the log so far.
int CountInLog(const std::string& path, const std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    const std::string log = content.str();
    int nCount = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++nCount;
    }
    return nCount;
}

// Waits until the graph has settled after a state change or a seek.
void Settle(const CPreviewPlayer& player) {
    media::FilterState state = media::FilterState::Stopped;
    if (player.Control()) {
        player.Control()->GetState(2000, state);
    }
}

// A seeking face that counts in frames until told otherwise and records the formats it is set to.
class FrameSeeking : public media::IMediaSeeking {
public:
    HResult IsFormatSupported(media::TimeFormat format) override {
        return format == media::TimeFormat::MediaTime && m_bMediaTime ? kResultOk : kResultFalse;
    }
    HResult GetTimeFormat(media::TimeFormat& format) override {
        format = m_format;
        return kResultOk;
    }
    HResult SetTimeFormat(media::TimeFormat format) override {
        m_format = format;
        m_sets.push_back(format);
        return kResultOk;
    }
    HResult GetDuration(media::RefTime& duration) override {
        duration = m_format == media::TimeFormat::MediaTime ? 659000000 : 1647;
        return kResultOk;
    }
    HResult GetCurrentPosition(media::RefTime& position) override {
        position = 0;
        return kResultFail;
    }
    HResult SetPositions(media::RefTime* current, unsigned, media::RefTime*, unsigned) override {
        m_seekedTo = current != nullptr ? *current : -1;
        return kResultOk;
    }

    bool m_bMediaTime = true;
    media::TimeFormat m_format = media::TimeFormat::Frame;
    std::vector<media::TimeFormat> m_sets;
    media::RefTime m_seekedTo = -1;
};

} // namespace

class PreviewPlayerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void playStateFollowsTheCallsAndOnlyPausesAreLogged();
    void seekingFunctionsSwitchToMediaTimeAndBack();

private:
    testkit::TempDir m_dir;
    std::string m_strLog;
    std::string m_strClip; // 3 s, picture and sound
};

void PreviewPlayerTest::initTestCase() {
    preview_test::UseSilentAudioOutput();
    m_strLog = m_dir.File("player.log");
    SetLogPath(m_strLog);
    m_strClip = m_dir.File("clip.mp4");
    QVERIFY(testkit::MakeClip(m_strClip, 3.0, 160, 120, true));
}

void PreviewPlayerTest::playStateFollowsTheCallsAndOnlyPausesAreLogged() {
    QWidget drain;
    auto* area = new CVideoArea(&drain);
    area->resize(160, 120);
    const std::string kPaused = "*** Media is PAUSED.\r\n";

    // Without a graph every call does nothing and reports nothing.
    {
        CPreviewPlayer idle(&drain, area);
        QCOMPARE(idle.RunGraph(), kResultOk);
        QCOMPARE(idle.PauseGraph(), kResultOk);
        idle.StopAndRewind();
        idle.SeekTo(2);
        idle.SetVolume(-3000);
        idle.SetBalance(5000);
        QCOMPARE(idle.PlayStateValue(), int(CPreviewPlayer::Stopped));
        QCOMPARE(idle.DurationSeconds(), 0);
        QVERIFY(!idle.HasGraph());
    }
    QCOMPARE(CountInLog(m_strLog, "Failed"), 0);

    CPreviewPlayer player(&drain, area);
    player.OpenMedia(m_strClip);
    QVERIFY(player.IsRendered());
    QVERIFY(!player.IsAudioOnly());
    QCOMPARE(player.DurationSeconds(), 3);

    // Pausing or stopping a graph that does not run does nothing and logs nothing.
    QCOMPARE(player.PauseGraph(), kResultOk);
    QCOMPARE(player.StopGraph(), kResultOk);
    QCOMPARE(player.PlayStateValue(), int(CPreviewPlayer::Stopped));
    QCOMPARE(CountInLog(m_strLog, kPaused), 0);

    // Running from Stopped and from Paused both run; a pause is logged once, a second one is not.
    QVERIFY(Succeeded(player.RunGraph()));
    QCOMPARE(player.PlayStateValue(), int(CPreviewPlayer::Running));
    QVERIFY(Succeeded(player.PauseGraph()));
    QCOMPARE(player.PlayStateValue(), int(CPreviewPlayer::Paused));
    QCOMPARE(player.PauseGraph(), kResultOk);
    QCOMPARE(CountInLog(m_strLog, kPaused), 1);
    QVERIFY(Succeeded(player.RunGraph()));
    QCOMPARE(player.PlayStateValue(), int(CPreviewPlayer::Running));

    // Seeking while paused moves the position to the whole second asked for.
    QVERIFY(Succeeded(player.PauseGraph()));
    player.SeekTo(2);
    Settle(player);
    QCOMPARE(player.PositionSeconds(), 2);

    // Stop and rewind: stopped at the start; a second stop does nothing.
    player.StopAndRewind();
    Settle(player);
    QCOMPARE(player.PlayStateValue(), int(CPreviewPlayer::Stopped));
    QCOMPARE(player.PositionSeconds(), 0);
    QCOMPARE(player.StopGraph(), kResultOk);
    QCOMPARE(CountInLog(m_strLog, kPaused), 2);
    QCOMPARE(CountInLog(m_strLog, "Failed"), 0);

    // Released, the player holds no graph and runs nothing.
    player.ReleaseGraph();
    QVERIFY(!player.HasGraph());
    QCOMPARE(player.RunGraph(), kResultOk);
    QCOMPARE(player.PlayStateValue(), int(CPreviewPlayer::Stopped));
}

void PreviewPlayerTest::seekingFunctionsSwitchToMediaTimeAndBack() {
    FrameSeeking seeking;
    media::RefTime rt = 0;
    QCOMPARE(GetMediaDuration(&seeking, rt), kResultOk);
    QCOMPARE(RefTimeToSeconds(rt), 65); // 65.9 s
    QCOMPARE(seeking.m_format, media::TimeFormat::Frame);
    QCOMPARE(seeking.m_sets.size(), std::size_t(2));

    // A failed read returns at once, still in media time, and leaves the caller's 0.
    rt = 0;
    QCOMPARE(GetMediaPosition(&seeking, rt), kResultFail);
    QCOMPARE(rt, media::RefTime(0));
    QCOMPARE(seeking.m_format, media::TimeFormat::MediaTime);

    media::RefTime rtTo = 20 * media::kRefTimePerSecond;
    QCOMPARE(SetMediaPosition(&seeking, &rtTo, media::kSeekingAbsolutePositioning, nullptr,
                              media::kSeekingNoPositioning),
             kResultOk);
    QCOMPARE(seeking.m_seekedTo, rtTo);

    seeking.m_bMediaTime = false;
    QCOMPARE(GetMediaDuration(&seeking, rt), kResultNoInterface);
    QCOMPARE(GetMediaDuration(nullptr, rt), kResultNoInterface);
    QCOMPARE(RefTimeToSeconds(9999999), 0);
    QCOMPARE(RefTimeToSeconds(-15000000), -1);
}

QTEST_MAIN(PreviewPlayerTest)
#include "preview_player_test.moc"
