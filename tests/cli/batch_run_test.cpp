// lumicast-batch end to end: the real program and the real encoder on generated clips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "common/media.h"
#include "common/testkit.h"
#include "profiles/settings.h"

namespace {

class BatchRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_dir.Path().empty());
        m_strOut = m_dir.File("out");
        std::filesystem::create_directories(m_dir.File("config"));
        std::filesystem::create_directories(m_dir.File("home"));
    }

    clitest::CliRun Run(const std::vector<std::string>& args) {
        clitest::CliCall call;
        call.program = clitest::BatchProgram();
        call.args = args;
        call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")},
                    {"HOME", m_dir.File("home")},
                    {"LUMICAST_LOG", m_dir.File("lumicast.log")}};
        call.timeoutMs = 120000;
        return clitest::RunCli(call);
    }

    std::string Clip(const std::string& name, double seconds, int width = 160, int height = 120) {
        const std::string path = m_dir.File(name);
        EXPECT_TRUE(testkit::MakeClip(path, seconds, width, height, true)) << path;
        return path;
    }

    testkit::TempDir m_dir;
    std::string m_strOut;
};

TEST_F(BatchRunTest, GoodAndBadFileTogether) {
    const std::string good = Clip("good.mp4", 2);
    const std::string bad = m_dir.File("bad.avi");
    std::ofstream(bad) << "this is not a media file\n";

    const clitest::CliRun run = Run({"--output", m_strOut, good, bad});

    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    const std::string target = m_strOut + "/good-cvt.mp4";
    // The file that cannot be read ends at once with its line and cause; the other converts.
    EXPECT_EQ(clitest::StatusLines(run.out),
              (std::vector<std::string>{"Error " + bad, "Done " + target}));
    EXPECT_NE(run.out.find("Error " + bad + "\n  the file is not a video or audio file"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err.find(good), std::string::npos) << run.err;

    const testkit::MediaInfo info = testkit::ProbeStreams(target);
    ASSERT_TRUE(info.ok);
    ASSERT_NE(info.First("video"), nullptr);
    ASSERT_NE(info.First("audio"), nullptr);
    EXPECT_NEAR(info.duration, 2.0, 0.5);
}

TEST_F(BatchRunTest, DeviceChoosesItsFrameSize) {
    const std::string clip = Clip("phone.mp4", 1);
    const clitest::CliRun run = Run({"--device", "iPhone4", "--output", m_strOut + "/", clip});

    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string target = m_strOut + "/phone-cvt.mp4";
    EXPECT_EQ(clitest::StatusLines(run.out), std::vector<std::string>{"Done " + target});
    const testkit::MediaInfo info = testkit::ProbeStreams(target);
    ASSERT_TRUE(info.ok);
    ASSERT_NE(info.First("video"), nullptr);
    EXPECT_EQ(info.First("video")->width, 640);
    EXPECT_EQ(info.First("video")->height, 480);
    // Without a terminal the progress comes as whole lines.
    EXPECT_NE(run.out.find("File 1 of 1: " + clip + " -> " + target + "\n"), std::string::npos);
}

TEST_F(BatchRunTest, StartAndEndCutThePart) {
    const std::string clip = Clip("long.mp4", 6);
    const clitest::CliRun run =
        Run({"--start", "2", "--end", "00:00:05", "--format", "mov", "--output", m_strOut, clip});

    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const testkit::MediaInfo info = testkit::ProbeStreams(m_strOut + "/long-cvt.mov");
    ASSERT_TRUE(info.ok);
    EXPECT_NEAR(info.duration, 3.0, 0.4);
}

TEST_F(BatchRunTest, StartPastTheEndIsRefusedBeforeAnythingRuns) {
    const std::string clip = Clip("short.mp4", 2);
    const clitest::CliRun run = Run({"--start", "10", "--output", m_strOut, clip});

    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_TRUE(clitest::StatusLines(run.out).empty()) << run.out;
    EXPECT_NE(run.err.find("--start is at or past its end"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(m_strOut));
}

TEST_F(BatchRunTest, RefusedValuesRunNothing) {
    const std::string clip = Clip("clip.mp4", 1);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--rate", "30", "--output", m_strOut, clip},
             {"--format", "wmv", "--output", m_strOut, clip},
             {"--device", "Walkman", "--output", m_strOut, clip},
             {"--format", "dvd", "--size", "320x240", "--output", m_strOut, clip},
         }) {
        const clitest::CliRun run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << args[0] << ": " << run.out << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(run.err.rfind("lumicast-batch: ", 0), 0U) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    }
    EXPECT_NE(Run({"--format", "wmv", clip}).err.find("no conversion path"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_strOut));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("lumicast.log")));
}

TEST_F(BatchRunTest, StoredOutputFolderIsTheDefault) {
    const std::string clip = Clip("stored.mp4", 1);
    const std::string stored = m_dir.File("stored-folder");
    std::filesystem::create_directories(stored);
    // The window's Browse button stores the folder; this run of the program reads it.
    {
        const testkit::ScopedEnv config("XDG_CONFIG_HOME", m_dir.File("config"));
        WriteOutputPathSetting(stored);
    }

    const clitest::CliRun run = Run({clip});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(clitest::StatusLines(run.out),
              std::vector<std::string>{"Done " + stored + "/stored-cvt.mp4"});
}

TEST_F(BatchRunTest, InformationalOptions) {
    clitest::CliRun run = Run({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option :
         {"--format", "--standard", "--size", "--device", "--rate", "--video-bitrate", "--vbr",
          "--max", "--min", "--channels", "--audio-bitrate", "--sample-rate", "--start", "--end",
          "--output", "--list-devices", "--version"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
    run = Run({"--list-devices"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("iPhone4          640x480\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("iPod nano        320x240\n"), std::string::npos) << run.out;
    run = Run({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("lumicast-batch ", 0), 0U);
}

} // namespace
