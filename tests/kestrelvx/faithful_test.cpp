// Files shaped like the ones people have, converted with the real ffmpeg and checked with ffprobe:
// whole files, every stream the source has, the chosen audio track, progressive pictures of the
// right shape, an early end, and the encoder's own reasons and adjustments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <unistd.h>

#include "common/media.h"
#include "common/testkit.h"
#include "kestrelvx/helpers/kestrelvx_runner.h"
#include "kestrelvx/helpers/media_checks.h"

namespace {

using kestrelvx_test::ConversionWords;
using kestrelvx_test::Ffmpeg;
using kestrelvx_test::Messages;
using kestrelvx_test::PictureArea;
using kestrelvx_test::RunKestrelvx;
using kestrelvx_test::VideoField;

struct FieldCount {
    int interlaced = 0;
    int progressive = 0;
};

// How many frames look interlaced (combed) and how many progressive, by ffmpeg's idet filter.
FieldCount Fields(const std::string& path) {
    const testkit::ProgramRun run = Ffmpeg({"-i", path, "-vf", "idet", "-f", "null", "-"});
    const std::regex multi(
        "Multi frame detection: TFF: *([0-9]+) BFF: *([0-9]+) Progressive: *([0-9]+)");
    std::smatch match;
    FieldCount count;
    if (std::regex_search(run.output, match, multi)) {
        count.interlaced = std::atoi(match[1].str().c_str()) + std::atoi(match[2].str().c_str());
        count.progressive = std::atoi(match[3].str().c_str());
    }
    return count;
}

// The last line the encoder wrote.
std::string LastLine(const std::string& output) {
    std::string messages = Messages(output);
    if (!messages.empty()) {
        messages.pop_back();
    }
    const size_t feed = messages.rfind('\n');
    return feed == std::string::npos ? messages : messages.substr(feed + 1);
}

// The sources, each made when a test first needs it (every test runs in a process of its own).
class KestrelvxFaithful : public ::testing::Test {
protected:
    void SetUp() override { m_dir = std::make_unique<testkit::TempDir>(); }
    std::string Clip(const std::string& name) const { return m_dir->File(name); }

    // The path of the source called name, made now.
    std::string Source(const std::string& name) {
        if (std::filesystem::exists(Clip(name))) {
            return Clip(name);
        }
        if (name == "long.mp4" || name == "short.mp4") {
            EXPECT_TRUE(
                testkit::MakeClip(Clip(name), name == "long.mp4" ? 5.92 : 0.4, 160, 120, true));
        } else if (name == "flash.flv") {
            // An H.264 and AAC Flash video with a keyframe every 2 s.
            Make({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:d=6", "-f", "lavfi", "-i",
                  "sine=f=440:d=6", "-c:v", "libx264", "-g", "50", "-c:a", "aac", "-f", "flv",
                  Clip(name)});
        } else if (name == "cover.jpg") {
            Make({"-f", "lavfi", "-i", "color=c=red:size=200x200", "-frames:v", "1", Clip(name)});
        } else if (name == "song.mp3" || name == "song.m4a" || name == "song.flac") {
            // Music with a cover picture.
            const std::string codec = name == "song.mp3"   ? "libmp3lame"
                                      : name == "song.m4a" ? "aac"
                                                           : "flac";
            Make({"-f", "lavfi", "-i", "sine=f=440:d=3", "-i", Source("cover.jpg"), "-map", "0:a",
                  "-map", "1:v", "-c:a", codec, "-c:v", "copy", "-disposition:v:0", "attached_pic",
                  Clip(name)});
        } else if (name == "tv.ts") {
            // A TV recording: a stereo first track and a 5.1 second one.
            Make({"-f",     "lavfi", "-i",      "testsrc2=size=160x120:rate=25:d=2",
                  "-f",     "lavfi", "-i",      "sine=f=440:d=2",
                  "-f",     "lavfi", "-i",      "sine=f=880:d=2,aformat=channel_layouts=5.1",
                  "-map",   "0:v",   "-map",    "1:a",
                  "-map",   "2:a",   "-c:v",    "mpeg2video",
                  "-c:a:0", "mp2",   "-ac:a:0", "2",
                  "-c:a:1", "ac3",   Clip(name)});
        } else if (name == "dual.mka") {
            // Two tracks of which the second is marked as the default.
            Make({"-f", "lavfi", "-i", "sine=f=440:d=1", "-f", "lavfi", "-i",
                  "sine=f=880:d=1,aformat=channel_layouts=5.1", "-map", "0:a", "-map", "1:a",
                  "-c:a", "aac", "-disposition:a:0", "0", "-disposition:a:1", "default",
                  Clip(name)});
        } else if (name == "dvd.mpg") {
            // A DVD-like interlaced picture: two moments woven into each frame, top field first.
            Make({"-f", "lavfi", "-i",
                  "testsrc2=size=720x576:rate=50:d=2,tinterlace=mode=interleave_top,setfield=tff",
                  "-c:v", "mpeg2video", "-flags", "+ilme+ildct", "-top", "1", "-b:v", "4M",
                  Clip(name)});
        } else if (name == "square.mp4") {
            // A 4:3 picture with square pixels.
            Make({"-f", "lavfi", "-i", "color=c=white:size=320x240:rate=25:d=1", "-c:v", "libx264",
                  "-pix_fmt", "yuv420p", Clip(name)});
        } else if (name == "wide.mpg") {
            // A 16:9 picture stored in 720x576 pixels.
            Make({"-f", "lavfi", "-i", "color=c=white:size=720x576:rate=25:d=1,setsar=64/45",
                  "-c:v", "mpeg2video", Clip(name)});
        } else if (name == "cut.mp4") {
            // A download cut off after 60 % of its bytes, which still claims 10 s.
            Make({"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:d=10", "-f", "lavfi", "-i",
                  "sine=d=10", "-c:v", "libx264", "-c:a", "aac", "-movflags", "+faststart",
                  Clip("whole.mp4")});
            const auto size = std::filesystem::file_size(Clip("whole.mp4"));
            std::filesystem::copy_file(Clip("whole.mp4"), Clip(name));
            std::filesystem::resize_file(Clip(name), size * 6 / 10);
        } else {
            ADD_FAILURE() << "no recipe for " << name;
        }
        return Clip(name);
    }

    static void Make(const std::vector<std::string>& args) {
        const testkit::ProgramRun run = Ffmpeg(args);
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }

    // Converts with the application's command line; the run must succeed.
    testkit::ProgramRun Convert(const std::string& input, const std::string& options, int start,
                                int length, const std::string& output) {
        testkit::ProgramRun run =
            RunKestrelvx(ConversionWords(Source(input), "t", options, start, length, Clip(output)));
        EXPECT_EQ(run.exitCode, 0) << input << options << ": " << run.output;
        return run;
    }

    std::unique_ptr<testkit::TempDir> m_dir;
};

TEST_F(KestrelvxFaithful, WholeFilesWithEveryStreamTheSourceHas) {
    const testkit::MediaInfo flash = testkit::ProbeStreams(Source("flash.flv"));
    Convert("flash.flv", " -vcodec xvid", 0, static_cast<int>(flash.duration), "flash-cvt.mp4");
    const testkit::MediaInfo out = testkit::ProbeStreams(Clip("flash-cvt.mp4"));
    ASSERT_NE(out.First("video"), nullptr) << "the picture of the Flash video was lost";
    ASSERT_NE(out.First("audio"), nullptr);
    EXPECT_NEAR(out.First("video")->duration, 6.0, 0.1);
    EXPECT_NEAR(out.First("audio")->duration, 6.0, 0.1) << "sound lost at the start";

    // A start other than 0 begins exactly there, between keyframes.
    Convert("flash.flv", " -vcodec xvid", 1, 2, "flash-part-cvt.mp4");
    const testkit::MediaInfo part = testkit::ProbeStreams(Clip("flash-part-cvt.mp4"));
    ASSERT_NE(part.First("video"), nullptr);
    EXPECT_NEAR(part.First("video")->duration, 2.0, 0.1);
    EXPECT_NEAR(part.First("audio")->duration, 2.0, 0.1);

    // The record's whole seconds (5 of 5.92, and the started second of 0.4) reach the end.
    Convert("long.mp4", " -vcodec xvid", 0, 5, "long-cvt.mp4");
    EXPECT_NEAR(testkit::ProbeStreams(Clip("long-cvt.mp4")).duration, 5.92, 0.1);
    Convert("short.mp4", " -vcodec xvid", 0, 1, "short-cvt.mp4");
    const testkit::MediaInfo shortOut = testkit::ProbeStreams(Clip("short-cvt.mp4"));
    EXPECT_NEAR(shortOut.duration, 0.4, 0.1);
    EXPECT_NE(shortOut.First("video"), nullptr);
}

TEST_F(KestrelvxFaithful, MusicWithACoverBecomesSoundOnly) {
    for (const char* name : {"song.mp3", "song.m4a", "song.flac"}) {
        // The application's file information shows sound and no video.
        const kestrelvx_test::ReportView report =
            kestrelvx_test::ReadLikeApplication(RunKestrelvx({"-i", Source(name)}).output);
        EXPECT_EQ(report.seconds, 3) << name;
        EXPECT_EQ(report.video, "") << name;
        EXPECT_NE(report.audio, "") << name;
        const std::string out = std::string(name) + "-cvt.mp4";
        Convert(name, " -vcodec xvid -ab 128", 0, 3, out);
        const testkit::MediaInfo info = testkit::ProbeStreams(Clip(out));
        ASSERT_TRUE(info.ok) << name;
        EXPECT_EQ(info.First("video"), nullptr) << name;
        ASSERT_NE(info.First("audio"), nullptr) << name;
        EXPECT_NEAR(info.duration, 3.0, 0.1) << name;
    }
}

TEST_F(KestrelvxFaithful, TheDefaultAudioTrackElseTheFirst) {
    // The track that is converted is the one the application's file information shows.
    const kestrelvx_test::ReportView report =
        kestrelvx_test::ReadLikeApplication(RunKestrelvx({"-i", Source("tv.ts")}).output);
    EXPECT_NE(report.audio.find("stereo"), std::string::npos) << report.audio;
    Convert("tv.ts", " -vcodec xvid", 0, 2, "tv-cvt.mp4");
    const testkit::MediaInfo tv = testkit::ProbeStreams(Clip("tv-cvt.mp4"));
    ASSERT_NE(tv.First("audio"), nullptr);
    EXPECT_EQ(tv.First("audio")->channels, 2) << "the first track is the stereo one";
    EXPECT_NE(tv.First("video"), nullptr);

    Convert("dual.mka", " -vcodec xvid", 0, 1, "dual-cvt.mp4");
    const testkit::MediaInfo dual = testkit::ProbeStreams(Clip("dual-cvt.mp4"));
    ASSERT_NE(dual.First("audio"), nullptr);
    EXPECT_EQ(dual.First("audio")->channels, 6) << "the second track is marked as the default";
}

TEST_F(KestrelvxFaithful, InterlacedSourceComesOutProgressive) {
    const FieldCount source = Fields(Source("dvd.mpg"));
    ASSERT_GT(source.interlaced, 4 * source.progressive) << "the test source is not combed";
    const testkit::ProgramRun run = Convert("dvd.mpg", " -vcodec xvid", 0, 2, "dvd-cvt.mp4");
    EXPECT_NE(run.output.find("Kestrelvx: note: "), std::string::npos) << run.output;
    const FieldCount out = Fields(Clip("dvd-cvt.mp4"));
    EXPECT_GT(out.progressive, 4 * out.interlaced)
        << out.progressive << " progressive, " << out.interlaced << " combed frames";
}

TEST_F(KestrelvxFaithful, ThePictureKeepsItsShapeInsideTheChosenFrame) {
    // 4:3 in 640x360: the whole picture 480 wide, black bars of 80 on each side.
    Convert("square.mp4", " -vcodec xvid -s 640x360", 0, 1, "square-cvt.mp4");
    const testkit::MediaInfo pillar = testkit::ProbeStreams(Clip("square-cvt.mp4"));
    ASSERT_NE(pillar.First("video"), nullptr);
    EXPECT_EQ(pillar.First("video")->width, 640);
    EXPECT_EQ(pillar.First("video")->height, 360);
    EXPECT_EQ(VideoField(Clip("square-cvt.mp4"), "sample_aspect_ratio"), "1:1");
    EXPECT_EQ(PictureArea(Clip("square-cvt.mp4")), "480:360:80:0");

    // 16:9 stored in 720x576 pixels, in 640x480 (H.264): 640x360 with bars of 60 above and below.
    Convert("wide.mpg", " -vcodec xvid -s 640x480", 0, 1, "wide-cvt.mov");
    EXPECT_EQ(VideoField(Clip("wide-cvt.mov"), "sample_aspect_ratio"), "1:1");
    EXPECT_EQ(PictureArea(Clip("wide-cvt.mov")), "640:360:0:60");

    // One side given: the other follows the shape.
    const testkit::ProgramRun run =
        Convert("square.mp4", " -vcodec xvid -s 720x", 0, 1, "w-cvt.mp4");
    EXPECT_NE(run.output.find("Kestrelvx: note: -s 720x"), std::string::npos) << run.output;
    const testkit::MediaInfo scaled = testkit::ProbeStreams(Clip("w-cvt.mp4"));
    ASSERT_NE(scaled.First("video"), nullptr);
    EXPECT_EQ(scaled.First("video")->width, 720);
    EXPECT_EQ(scaled.First("video")->height, 540);
}

TEST_F(KestrelvxFaithful, ACutDownloadIsConvertedAsFarAsItGoes) {
    const testkit::ProgramRun run = Convert("cut.mp4", " -vcodec xvid", 0, 10, "cut-cvt.mp4");
    EXPECT_NE(Messages(run.output).find("Kestrelvx: note: '" + Clip("cut.mp4") + "' ended early"),
              std::string::npos)
        << run.output;
    const testkit::MediaInfo info = testkit::ProbeStreams(Clip("cut-cvt.mp4"));
    EXPECT_GT(info.duration, 3.0);
    EXPECT_LT(info.duration, 9.0);
}

TEST_F(KestrelvxFaithful, FailuresEndWithTheEncodersReasonAndLeaveNoFile) {
    const std::string empty = Clip("subtitles.srt");
    std::ofstream(empty) << "1\n00:00:00,000 --> 00:00:01,000\nhello\n";
    struct Case {
        std::string input;
        int start;
        std::string output;
        std::string reason;
    };
    std::vector<Case> cases = {{Source("short.mp4"), 30, Clip("late-cvt.mp4"),
                                "lies beyond its end: '" + Clip("short.mp4")},
                               {Source("cover.jpg"), 0, Clip("still-cvt.mp4"), "is a still image"},
                               {empty, 0, Clip("empty-cvt.mp4"), "holds neither video nor audio"}};
    const std::string locked = Clip("locked");
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_exec);
    if (geteuid() != 0) {
        cases.push_back({Clip("short.mp4"), 0, locked + "/x-cvt.mp4", "Permission denied"});
    }
    for (const Case& c : cases) {
        const testkit::ProgramRun run =
            RunKestrelvx(ConversionWords(c.input, "x", " -vcodec xvid", c.start, 2, c.output));
        EXPECT_EQ(run.exitCode, 1) << run.output;
        const std::string last = LastLine(run.output);
        EXPECT_EQ(last.find("Kestrelvx: error: "), 0u) << run.output;
        EXPECT_NE(last.find(c.reason), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(c.output)) << c.output;
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

TEST_F(KestrelvxFaithful, RateLimitsThatContradictEachOtherAreAdjustedAndSaid) {
    struct Case {
        const char* options;
        const char* note;
    };
    for (const Case& c :
         {Case{" -vcodec xvid -b 768 -maxrate 500", "rate 768 kbit/s is above -maxrate 500 kbit/s"},
          Case{" -vcodec xvid -bt 900 -maxrate 1500 -minrate 2000",
               "-maxrate 1500 kbit/s is below -minrate 2000 kbit/s"}}) {
        const testkit::ProgramRun run = Convert("short.mp4", c.options, 0, 1, "rates-cvt.mp4");
        EXPECT_NE(Messages(run.output).find(c.note), std::string::npos) << run.output;
        EXPECT_TRUE(testkit::ProbeStreams(Clip("rates-cvt.mp4")).ok);
    }
}

} // namespace
