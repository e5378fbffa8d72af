// Playing an opened file: control and state, seeking and position, duration, completion, the
// frames handed to the painter, volume and balance, and a file with sound only. Runs without a
// sound device and without a display.
#include "media/helpers/media_clips.h"
#include "media/open_file.h"

#include "common/testkit.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace media;

namespace {

struct Player {
    mediatest::Graph graph;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<IMediaSeeking> seeking;
    std::shared_ptr<IMediaEventEx> events;
    std::shared_ptr<IBasicAudio> audio;
    std::shared_ptr<IVideoWindow> window;
    HResult hrOpen = kResultFail;

    explicit Player(const std::string& path) : graph(mediatest::NewGraph()) {
        if (!graph.builder) {
            return;
        }
        QueryInterface(graph.builder, control);
        QueryInterface(graph.builder, seeking);
        QueryInterface(graph.builder, events);
        QueryInterface(graph.builder, audio);
        QueryInterface(graph.builder, window);
        hrOpen = OpenFileInGraph(graph.builder.get(), path);
    }

    RefTime Position() {
        RefTime position = -1;
        EXPECT_TRUE(Succeeded(seeking->GetCurrentPosition(position)));
        return position;
    }

    FilterState Settled() {
        FilterState state = FilterState::Stopped;
        EXPECT_EQ(control->GetState(testkit::kPatientMs, state), kResultOk);
        return state;
    }

    void SeekTo(RefTime time) {
        ASSERT_EQ(seeking->SetPositions(&time, kSeekingAbsolutePositioning, nullptr,
                                        kSeekingNoPositioning),
                  kResultOk);
    }

    double Property(const char* element, const char* property) {
        GstElement* found =
            gst_bin_get_by_name(reinterpret_cast<GstBin*>(graph.impl->Pipeline()), element);
        if (found == nullptr) {
            return -100.0;
        }
        GValue value = G_VALUE_INIT;
        g_object_get_property(reinterpret_cast<GObject*>(found), property, &value);
        const double result =
            G_VALUE_HOLDS_FLOAT(&value) ? g_value_get_float(&value) : g_value_get_double(&value);
        g_value_unset(&value);
        gst_object_unref(found);
        return result;
    }
};

constexpr RefTime kFrame = kRefTimePerSecond / 25;

} // namespace

TEST(PlaybackTest, ControlStateSeekingAndFramesFollowEachOther) {
    Player player(mediatest::Clip("play.mp4", 3.0));
    ASSERT_TRUE(Succeeded(player.hrOpen));
    EXPECT_EQ(player.Settled(), FilterState::Stopped);

    // The first frame is cued by opening: BGRx rows of width * 4 bytes.
    auto frame = player.window->LatestFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 160);
    EXPECT_EQ(frame->height, 128);
    EXPECT_EQ(frame->stride, 640);
    EXPECT_EQ(frame->pixels.size(), 640u * 128u);
    EXPECT_EQ(frame->time, 0);
    long width = 0;
    long height = 0;
    EXPECT_EQ(player.graph.impl->GetVideoSize(width, height), kResultOk);
    EXPECT_EQ(width, 160);

    std::atomic<int> frames{0};
    player.window->SetFrameCallback([&] { ++frames; });
    EXPECT_TRUE(Succeeded(player.control->Run()));
    EXPECT_EQ(player.Settled(), FilterState::Running);
    EXPECT_TRUE(testkit::WaitUntil([&] { return player.Position() > 0 && frames.load() > 3; }))
        << "the position moves and frames reach the painter while running";

    EXPECT_TRUE(Succeeded(player.control->Pause()));
    EXPECT_EQ(player.Settled(), FilterState::Paused);
    const RefTime paused = player.Position();
    // Nothing may move while paused: a while later the position is where it was (a check that a
    // slow machine can only make easier to pass, never fail).
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_NEAR(static_cast<double>(player.Position()), static_cast<double>(paused),
                static_cast<double>(kFrame));
    long code = -1;
    EXPECT_EQ(player.events->WaitForCompletion(100, code), kVfwWrongState);
    EXPECT_EQ(code, 0);

    // Seeking to one second while paused: the position and the shown frame move there.
    player.SeekTo(kRefTimePerSecond);
    EXPECT_EQ(player.Settled(), FilterState::Paused);
    EXPECT_NEAR(static_cast<double>(player.Position()), 1e7, static_cast<double>(kFrame));
    EXPECT_NEAR(static_cast<double>(player.window->LatestFrame()->time), 1e7,
                static_cast<double>(kFrame));

    // Stop keeps the position; stop and rewind cues the first frame again.
    EXPECT_EQ(player.control->Stop(), kResultOk);
    EXPECT_EQ(player.Settled(), FilterState::Stopped);
    player.SeekTo(0);
    EXPECT_TRUE(Succeeded(player.control->StopWhenReady()));
    EXPECT_EQ(player.Settled(), FilterState::Stopped);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.window->LatestFrame()->time, 0);

    // The seeking faces the preview relies on.
    EXPECT_EQ(player.seeking->IsFormatSupported(TimeFormat::MediaTime), kResultOk);
    EXPECT_EQ(player.seeking->IsFormatSupported(TimeFormat::Frame), kResultFalse);
    TimeFormat format = TimeFormat::None;
    EXPECT_EQ(player.seeking->GetTimeFormat(format), kResultOk);
    EXPECT_EQ(format, TimeFormat::MediaTime);
}

TEST(PlaybackTest, PlaysToTheEndInRealTimeAndReportsCompletion) {
    Player player(mediatest::Clip("end.mp4", 1.5));
    ASSERT_TRUE(Succeeded(player.hrOpen));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Succeeded(player.control->Run()));
    long code = 0;
    const HResult hr = player.events->WaitForCompletion(testkit::kPatientMs, code);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(hr, kResultOk);
    EXPECT_EQ(code, kEcComplete);
    // The silent output keeps to the clock: the clip takes at least as long as it lasts. (A lower
    // bound: a busy machine only makes the playback longer.)
    EXPECT_GE(elapsed, std::chrono::milliseconds(1300));

    // After a rewind the old end is not reported again.
    ASSERT_EQ(player.control->Stop(), kResultOk);
    player.SeekTo(0);
    ASSERT_TRUE(Succeeded(player.control->Run()));
    EXPECT_EQ(player.events->WaitForCompletion(200, code), kResultAbort);
    EXPECT_EQ(code, 0);
}

TEST(PlaybackTest, DurationOfA95SecondClip) {
    Player player(mediatest::Clip("long.mkv", 95.0));
    ASSERT_TRUE(Succeeded(player.hrOpen));
    RefTime duration = 0;
    ASSERT_EQ(player.seeking->GetDuration(duration), kResultOk);
    EXPECT_EQ(duration / kRefTimePerSecond, 95);
    // A seek near the end lands there.
    player.SeekTo(90 * kRefTimePerSecond);
    player.Settled();
    EXPECT_EQ(player.Position() / kRefTimePerSecond, 90);
}

TEST(PlaybackTest, VolumeAndBalanceReachTheAudioElements) {
    Player player(mediatest::Clip("clip.mp4"));
    ASSERT_TRUE(Succeeded(player.hrOpen));
    EXPECT_DOUBLE_EQ(player.Property("lumicast-volume", "volume"), 1.0);
    EXPECT_EQ(player.audio->put_Volume(-2000), kResultOk); // -20 dB
    EXPECT_NEAR(player.Property("lumicast-volume", "volume"), 0.1, 1e-6);
    EXPECT_EQ(player.audio->put_Volume(-10000), kResultOk);
    EXPECT_DOUBLE_EQ(player.Property("lumicast-volume", "volume"), 0.0);
    EXPECT_EQ(player.audio->put_Volume(1), kResultInvalidArg);
    EXPECT_EQ(player.audio->put_Volume(-10001), kResultInvalidArg);
    long volume = 0;
    EXPECT_EQ(player.audio->get_Volume(volume), kResultOk);
    EXPECT_EQ(volume, -10000);

    EXPECT_EQ(player.audio->put_Balance(5000), kResultOk);
    EXPECT_NEAR(player.Property("lumicast-balance", "panorama"), 0.5, 1e-6);
    EXPECT_EQ(player.audio->put_Balance(-10000), kResultOk);
    EXPECT_NEAR(player.Property("lumicast-balance", "panorama"), -1.0, 1e-6);
    EXPECT_EQ(player.audio->put_Balance(10001), kResultInvalidArg);

    // Levels set before an output exists are applied when it is made.
    Player later(mediatest::Clip("clip.mkv"));
    ASSERT_TRUE(Succeeded(later.hrOpen));
    later.audio->put_Volume(-4000);
    ASSERT_EQ(later.control->Stop(), kResultOk);
    RemoveAllFilters(later.graph.builder.get());
    EXPECT_EQ(later.audio->put_Volume(-4000), kResultNotImpl);
    ASSERT_TRUE(Succeeded(OpenFileInGraph(later.graph.builder.get(), mediatest::Clip("clip.mkv"))));
    EXPECT_NEAR(later.Property("lumicast-volume", "volume"), 0.01, 1e-6);
}

TEST(PlaybackTest, SoundOnlyFileHasNoVideoWindowButPlaysAndSeeks) {
    Player player(mediatest::Clip("tone3.wav", 3.0));
    ASSERT_TRUE(Succeeded(player.hrOpen));
    EXPECT_EQ(player.window->put_MessageDrain(1), kResultNoInterface);
    EXPECT_EQ(player.window->SetWindowPosition(0, 0, 10, 10), kResultNoInterface);
    EXPECT_FALSE(player.window->LatestFrame());
    EXPECT_TRUE(Succeeded(player.control->Run()));
    EXPECT_EQ(player.Settled(), FilterState::Running);
    EXPECT_TRUE(testkit::WaitUntil([&] { return player.Position() > 0; }));
    EXPECT_TRUE(Succeeded(player.control->Pause()));
    player.SeekTo(2 * kRefTimePerSecond);
    player.Settled();
    EXPECT_NEAR(static_cast<double>(player.Position()), 2e7, 1e5);
    RefTime duration = 0;
    EXPECT_EQ(player.seeking->GetDuration(duration), kResultOk);
    EXPECT_EQ(duration / kRefTimePerSecond, 3);
}

TEST(PlaybackTest, EmptyGraphAnswersWithoutASource) {
    mediatest::Graph graph = mediatest::NewGraph();
    std::shared_ptr<IMediaSeeking> seeking;
    std::shared_ptr<IMediaControl> control;
    ASSERT_EQ(QueryInterface(graph.builder, seeking), kResultOk);
    ASSERT_EQ(QueryInterface(graph.builder, control), kResultOk);
    RefTime value = 0;
    EXPECT_EQ(seeking->GetDuration(value), kResultNotImpl);
    EXPECT_EQ(
        seeking->SetPositions(&value, kSeekingAbsolutePositioning, nullptr, kSeekingNoPositioning),
        kResultNotImpl);
    EXPECT_TRUE(Succeeded(control->Run()));
    EXPECT_EQ(graph.builder->RemoveFilter(nullptr), kResultPointer);
    EXPECT_EQ(control->Stop(), kResultOk);
}
