// The probe form: one report in the line forms the application parses, or one line of reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "common/media.h"
#include "common/testkit.h"
#include "kestrelvx/helpers/kestrelvx_runner.h"

namespace {

using kestrelvx_test::ReadLikeApplication;
using kestrelvx_test::RunKestrelvx;

class KestrelvxProbe : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<testkit::TempDir>();
        ASSERT_TRUE(testkit::MakeClip(Clip("av.mp4"), 2.0, 160, 120, true));
        ASSERT_TRUE(testkit::MakeClip(Clip("sound.wav"), 2.0, 0, 0, true));
        ASSERT_TRUE(testkit::MakeClip(Clip("short.mp4"), 0.5, 160, 120, false));
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    static std::string Clip(const std::string& name) { return s_dir->File(name); }

    static std::unique_ptr<testkit::TempDir> s_dir;
};

std::unique_ptr<testkit::TempDir> KestrelvxProbe::s_dir;

using kestrelvx_test::MatchesShape;

// "  Duration: 00:00:02.00, start: 0.000000, bitrate: 264 kb/s", with N/A for what is unknown.
bool HasDurationLine(const std::string& report) {
    const std::string line = kestrelvx_test::DurationLine(report);
    for (const char* start : {"#.%%%%%%", "-#.%%%%%%", "N/A"}) {
        for (const char* rate : {"# kb/s", "N/A"}) {
            if (MatchesShape(line, std::string("  Duration: %%:%%:%%.%%, start: ") + start +
                                       ", bitrate: " + rate)) {
                return true;
            }
        }
    }
    return false;
}

TEST(KestrelvxCommandLine, WithoutTheTokenPrintsOneUsageLineAndExits2) {
    for (const std::vector<std::string>& argv :
         {std::vector<std::string>{testkit::BinDir() + "/Kestrelvx"},
          {testkit::BinDir() + "/Kestrelvx", "-i", "x.avi"},
          {testkit::BinDir() + "/Kestrelvx", "tmk52hsRW&", "-i", "x.avi"},
          {testkit::BinDir() + "/Kestrelvx", " tmk52hsRW&! ", "-i", "x.avi"}}) {
        const testkit::ProgramRun run = testkit::RunProgram(argv);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.output.find("usage:"), 0u) << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
    }
}

TEST(KestrelvxCommandLine, MalformedCommandsAreRefusedWithOneLine) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{},
          {"-i"},
          {"-i", "a.avi", "-bogus", "1", "-y", "b.mp4"},
          {"-i", "a.avi", "-s", "320x240", "-s", "320x240", "-y", "b.mp4"},
          {"-i", "a.avi", "-s", "320x240"},
          {"-i", "a.avi", "-y"},
          {"-i", "a.avi", "-y", "b.mp4", "c.mp4"}}) {
        const testkit::ProgramRun run = RunKestrelvx(words);
        EXPECT_EQ(run.exitCode, 2) << run.output;
        EXPECT_EQ(run.output.find("Kestrelvx: "), 0u) << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
    }
}

TEST_F(KestrelvxProbe, VideoWithSoundGivesTheReportLines) {
    const std::string path = Clip("av.mp4");
    const testkit::ProgramRun run = RunKestrelvx({"-i", path});
    EXPECT_NE(run.exitCode, 0);
    const std::string& report = run.output;
    EXPECT_LE(report.size(), 2047u);
    EXPECT_EQ(report.find("Input #0, mov,mp4,m4a,3gp,3g2,mj2, from '" + path + "':\n"), 0u)
        << report;
    EXPECT_TRUE(HasDurationLine(report)) << report;
    EXPECT_NE(report.find("  Duration: 00:00:02.00, start: 0.000000, bitrate: "), std::string::npos)
        << report;
    EXPECT_NE(report.find("\n    Stream #0.0(und): Video: h264, yuv420p, 160x120, "),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\n    Stream #0.1(und): Audio: aac, 44100 Hz, stereo, fltp, "),
              std::string::npos)
        << report;
    EXPECT_EQ(report.back(), '\n');

    const kestrelvx_test::ReportView view = ReadLikeApplication(report);
    EXPECT_EQ(view.seconds, 2);
    EXPECT_EQ(view.durationText, "00:00:02.00 (2 s)");
    EXPECT_TRUE(MatchesShape(view.bitrate, "# kb/s")) << view.bitrate;
    EXPECT_EQ(view.video.find(" h264, yuv420p, 160x120, "), 0u) << view.video;
    EXPECT_NE(view.video.find("25 tbr"), std::string::npos) << view.video;
    EXPECT_EQ(view.audio.find(" aac, 44100 Hz, stereo, fltp, "), 0u) << view.audio;
    EXPECT_TRUE(MatchesShape(view.audio, "* # kb/s")) << view.audio;
}

TEST_F(KestrelvxProbe, SoundOnlyFileHasAnAudioLineAndNoVideoLine) {
    const testkit::ProgramRun run = RunKestrelvx({"-i", Clip("sound.wav")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.output.find("Input #0, wav, from '"), 0u) << run.output;
    EXPECT_TRUE(HasDurationLine(run.output)) << run.output;
    EXPECT_EQ(run.output.find("Video:"), std::string::npos) << run.output;
    const kestrelvx_test::ReportView view = ReadLikeApplication(run.output);
    EXPECT_EQ(view.seconds, 2);
    EXPECT_EQ(view.video, "");
    EXPECT_EQ(view.audio, " pcm_s16le, 44100 Hz, stereo, s16, 1411 kb/s");
}

TEST_F(KestrelvxProbe, SubSecondFileReportsItsFraction) {
    const testkit::ProgramRun run = RunKestrelvx({"-i", Clip("short.mp4")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(
        MatchesShape(kestrelvx_test::DurationLine(run.output), "  Duration: 00:00:00.5%, *"))
        << run.output;
    const kestrelvx_test::ReportView view = ReadLikeApplication(run.output);
    EXPECT_EQ(view.seconds, 0);
    EXPECT_EQ(view.video.find(" h264, yuv420p, 160x120"), 0u) << view.video;
}

// An input that cannot be read gets one line with its cause in plain words, not the library's.
TEST_F(KestrelvxProbe, UnreadableInputGivesOneLineWithItsCause) {
    const std::string text = Clip("notes.avi");
    std::ofstream(text) << "this is not a video\n";
    const std::string empty = Clip("empty.mp4");
    std::ofstream(empty).flush();
    // An MP4 whose index comes last, cut in its media data: a download or copy that stopped.
    const std::string whole = Clip("whole.mp4");
    ASSERT_TRUE(testkit::MakeClip(whole, 2.0, 160, 120, true));
    const std::string cut = Clip("cut.mp4");
    std::filesystem::copy_file(whole, cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(whole) / 2);
    struct Case {
        std::string path;
        std::string cause;
    };
    for (const Case& c :
         {Case{text, "the file is not a video or audio file that can be read"},
          Case{Clip("missing.mp4"), "the file cannot be read: No such file or directory"},
          Case{s_dir->Path(), "the file cannot be read: not a regular file"},
          Case{empty, "the file is empty"},
          Case{cut,
               "the file ends before its index: it was cut off while being written or copied"}}) {
        const testkit::ProgramRun run = RunKestrelvx({"-i", c.path});
        EXPECT_NE(run.exitCode, 0);
        EXPECT_EQ(run.output, "Kestrelvx: error: " + c.cause + "\n");
    }
}

// A file name or a tag is the user's text: it must neither break the report's size limit nor
// pass for a report line.
TEST_F(KestrelvxProbe, LongMetadataAndLongPathsStayWithinOneRead) {
    std::string folder = s_dir->Path();
    for (int i = 0; i < 8; ++i) {
        folder += "/" + std::string(200, static_cast<char>('a' + i));
    }
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/tagged.mp4";
    const std::string comment(3000, 'c');
    ASSERT_EQ(
        testkit::Shell(
            "ffmpeg -nostdin -loglevel error -y -i " + testkit::ShellQuote(Clip("av.mp4")) +
            " -c copy -metadata comment=" + comment + " -metadata description=" +
            testkit::ShellQuote("Stream #0.9: Video: fake\nDuration: 09:00:00.00, a: b: 9 kb/s") +
            " " + testkit::ShellQuote(path)),
        0);

    const testkit::ProgramRun run = RunKestrelvx({"-i", path});
    EXPECT_LE(run.output.size(), 2047u);
    EXPECT_TRUE(HasDurationLine(run.output)) << run.output;
    EXPECT_NE(run.output.find("Stream #0.0(und): Video: h264"), std::string::npos);
    EXPECT_NE(run.output.find("Stream #0.1(und): Audio: aac"), std::string::npos);
    EXPECT_EQ(run.output.back(), '\n');
    const kestrelvx_test::ReportView view = ReadLikeApplication(run.output);
    EXPECT_EQ(view.seconds, 2);
    EXPECT_EQ(view.video.find(" h264"), 0u) << view.video;
}

TEST_F(KestrelvxProbe, FileNamesCannotFakeReportLines) {
    const std::string fake = "Duration: 01:00:00.00, start: 0.0, bitrate: 9 kb";
    const std::string named = Clip(fake + ".mp4");
    std::filesystem::copy_file(Clip("av.mp4"), named);
    const testkit::ProgramRun good = RunKestrelvx({"-i", named});
    EXPECT_EQ(ReadLikeApplication(good.output).seconds, 2) << good.output;

    const std::string broken = Clip(fake + " Stream #0.0: Video: x.avi");
    std::ofstream(broken) << "not media";
    const testkit::ProgramRun bad = RunKestrelvx({"-i", broken});
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_EQ(bad.output.find("Duration: "), std::string::npos) << bad.output;
    EXPECT_EQ(bad.output.find("Stream #"), std::string::npos) << bad.output;
    EXPECT_EQ(ReadLikeApplication(bad.output).seconds, 0);
}

} // namespace
