// The conversion form with the real ffmpeg: what the outputs hold, the status lines, failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "common/media.h"
#include "common/testkit.h"
#include "kestrelvx/helpers/kestrelvx_runner.h"

namespace {

using kestrelvx_test::ConversionWords;
using kestrelvx_test::RunKestrelvx;

constexpr const char* kIpodOptions =
    " -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100";

class KestrelvxConvert : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<testkit::TempDir>();
        ASSERT_TRUE(testkit::MakeClip(Clip("clip.mp4"), 6.0, 160, 120, true));
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    static std::string Clip(const std::string& name) { return s_dir->File(name); }

    static std::unique_ptr<testkit::TempDir> s_dir;
};

std::unique_ptr<testkit::TempDir> KestrelvxConvert::s_dir;

// The index ("moov") stands before the media data ("mdat").
bool IndexAtFront(const std::string& path) {
    const std::string bytes = testkit::ReadFile(path);
    const size_t moov = bytes.find("moov");
    const size_t mdat = bytes.find("mdat");
    return moov != std::string::npos && mdat != std::string::npos && moov < mdat;
}

// Every piece of output that carries "time=" ends with a carriage return, and the positions
// (seconds) never exceed limit.
void ExpectStatusLines(const std::string& output, double limit) {
    size_t start = 0;
    int statusLines = 0;
    while (start < output.size()) {
        const size_t end = output.find_first_of("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "unterminated output: " << output.substr(start);
        const std::string piece = output.substr(start, end - start);
        const size_t time = piece.find("time=");
        if (time != std::string::npos) {
            ++statusLines;
            EXPECT_EQ(output[end], '\r') << piece;
            EXPECT_EQ(piece.find("frame="), 0u) << piece;
            const std::string value = piece.substr(time + 5, piece.find(' ', time) - time - 5);
            EXPECT_LE(std::strtod(value.c_str(), nullptr), limit) << piece;
            EXPECT_NE(piece.find(' ', time), std::string::npos) << piece;
        }
        start = end + 1;
    }
    EXPECT_GE(statusLines, 1) << output;
}

TEST_F(KestrelvxConvert, IpodOptionsGiveSimpleProfileMpeg4AndAacForThePartAskedFor) {
    const std::string out = Clip("ipod-cvt.mp4");
    const testkit::ProgramRun run =
        RunKestrelvx(ConversionWords(Clip("clip.mp4"), "my clip", kIpodOptions, 2, 3, out));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ExpectStatusLines(run.output, 3.2);
    EXPECT_EQ(run.output.back(), '\n');

    const testkit::MediaInfo info = testkit::ProbeStreams(out);
    ASSERT_TRUE(info.ok);
    const testkit::StreamInfo* video = info.First("video");
    const testkit::StreamInfo* audio = info.First("audio");
    ASSERT_NE(video, nullptr);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(video->codec, "mpeg4");
    EXPECT_EQ(video->profile, "Simple Profile");
    EXPECT_EQ(video->hasBFrames, 0);
    EXPECT_EQ(video->width, 320);
    EXPECT_EQ(video->height, 240);
    EXPECT_EQ(video->frameRate, "30000/1001");
    EXPECT_EQ(audio->codec, "aac");
    EXPECT_EQ(audio->profile, "LC");
    EXPECT_EQ(audio->channels, 2);
    EXPECT_EQ(audio->sampleRate, 44100);
    EXPECT_NEAR(info.duration, 3.0, 0.15);
    EXPECT_EQ(info.tags.at("title"), "my clip");
    EXPECT_TRUE(IndexAtFront(out));
}

TEST_F(KestrelvxConvert, KeepOriginalKeepsSizeAndRate) {
    const std::string out = Clip("keep-cvt.mp4");
    const testkit::ProgramRun run =
        RunKestrelvx(ConversionWords(Clip("clip.mp4"), "keep", " -vcodec xvid", 0, 2, out));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const testkit::MediaInfo info = testkit::ProbeStreams(out);
    const testkit::StreamInfo* video = info.First("video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->codec, "mpeg4");
    EXPECT_EQ(video->width, 160);
    EXPECT_EQ(video->height, 120);
    EXPECT_EQ(video->frameRate, "25/1");
    ASSERT_NE(info.First("audio"), nullptr);
    EXPECT_EQ(info.First("audio")->sampleRate, 44100);
    EXPECT_NEAR(info.duration, 2.0, 0.15);
}

// The H.264 format writes the same option text as MPEG-4; its .mov output tells it apart.
TEST_F(KestrelvxConvert, MovOutputCarriesH264) {
    const std::string out = Clip("phone-cvt.mov");
    const testkit::ProgramRun run = RunKestrelvx(
        ConversionWords(Clip("clip.mp4"), "phone", " -vcodec xvid -s 321x241", 0, 2, out));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const testkit::MediaInfo info = testkit::ProbeStreams(out);
    const testkit::StreamInfo* video = info.First("video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->codec, "h264");
    EXPECT_EQ(video->profile, "Constrained Baseline");
    EXPECT_EQ(video->width, 320);
    EXPECT_EQ(video->height, 240);
    ASSERT_NE(info.First("audio"), nullptr);
    EXPECT_EQ(info.First("audio")->codec, "aac");
    EXPECT_TRUE(IndexAtFront(out));
}

TEST_F(KestrelvxConvert, PalDvdTargetGivesMpeg2ProgramStream) {
    const std::string out = Clip("disc-cvt.mpg");
    const testkit::ProgramRun run =
        RunKestrelvx(ConversionWords(Clip("clip.mp4"), "disc", "-target pal-dvd", 1, 2, out));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const testkit::MediaInfo info = testkit::ProbeStreams(out);
    EXPECT_EQ(info.formatName, "mpeg");
    const testkit::StreamInfo* video = info.First("video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->codec, "mpeg2video");
    EXPECT_EQ(video->width, 720);
    EXPECT_EQ(video->height, 576);
    EXPECT_EQ(video->frameRate, "25/1");
    EXPECT_NE(info.First("audio"), nullptr);
}

TEST_F(KestrelvxConvert, FailuresEndWithAReasonAndNonZeroStatus) {
    const std::string notMedia = Clip("notes.avi");
    std::ofstream(notMedia) << "plain text";
    struct Case {
        std::string input;
        int start;
        std::string output;
        std::string reason;
    };
    for (const Case& c : {Case{notMedia, 0, Clip("a-cvt.mp4"), "not a video or audio file"},
                          Case{Clip("missing.mp4"), 0, Clip("b-cvt.mp4"), "No such file"},
                          Case{Clip("clip.mp4"), 30, Clip("c-cvt.mp4"), "beyond its end"},
                          Case{Clip("clip.mp4"), 0, Clip("clip.mp4"), "input file itself"},
                          Case{Clip("clip.mp4"), 0, Clip("no/such/folder/d.mp4"),
                               "cannot write into the folder"}}) {
        const testkit::ProgramRun run =
            RunKestrelvx(ConversionWords(c.input, "x", kIpodOptions, c.start, 2, c.output));
        EXPECT_NE(run.exitCode, 0) << run.output;
        const size_t reason = run.output.rfind("Kestrelvx: ");
        ASSERT_NE(reason, std::string::npos) << run.output;
        EXPECT_NE(run.output.find(c.reason, reason), std::string::npos) << run.output;
        EXPECT_EQ(run.output.back(), '\n');
    }
    EXPECT_TRUE(testkit::ProbeStreams(Clip("clip.mp4")).ok) << "the input was overwritten";
}

TEST_F(KestrelvxConvert, AnExistingOutputIsReplacedOnlyWithY) {
    const std::string out = Clip("taken.mp4");
    std::ofstream(out) << "earlier";
    std::vector<std::string> words =
        ConversionWords(Clip("clip.mp4"), "x", " -vcodec xvid", 0, 1, out);
    words[words.size() - 2] = out; // "<out>" without "-y" before it
    words.pop_back();
    const testkit::ProgramRun refused = RunKestrelvx(words);
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.output.find("exists"), std::string::npos) << refused.output;
    EXPECT_EQ(testkit::ReadFile(out), "earlier");

    const testkit::ProgramRun replaced =
        RunKestrelvx(ConversionWords(Clip("clip.mp4"), "x", " -vcodec xvid", 0, 1, out));
    EXPECT_EQ(replaced.exitCode, 0) << replaced.output;
    EXPECT_TRUE(testkit::ProbeStreams(out).ok);
}

} // namespace
