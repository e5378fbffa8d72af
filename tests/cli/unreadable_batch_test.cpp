// lumicast-batch on files that cannot be read and on names at the file-name limit: every file named
// on the command line ends with exactly one status line (or JSON object) and one cause, and no
// block of the window's general advice follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "common/fake_encoder.h"
#include "common/media.h"
#include "common/testkit.h"

namespace {

class UnreadableBatchTest : public ::testing::Test {
protected:
    void SetUp() override { m_strOut = m_dir.File("out"); }

    clitest::CliRun Run(const std::vector<std::string>& args) {
        clitest::CliCall call;
        call.program = clitest::BatchProgram();
        call.args = {"--jobs", "1", "--output", m_strOut}; // status lines in the files' order
        call.args.insert(call.args.end(), args.begin(), args.end());
        call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")},
                    {"HOME", m_dir.File("home")},
                    {"LUMICAST_LOG", m_dir.File("log.txt")}};
        call.timeoutMs = 120000;
        return clitest::RunCli(call);
    }

    // An MP4 whose index comes last, cut in the middle: a download or copy that stopped.
    std::string CutMp4() {
        const std::string whole = m_dir.File("whole.mp4");
        EXPECT_TRUE(testkit::MakeClip(whole, 2.0, 160, 120, true));
        const std::string cut = m_dir.File("cut off.mp4");
        std::filesystem::copy_file(whole, cut);
        std::filesystem::resize_file(cut, std::filesystem::file_size(whole) / 2);
        return cut;
    }

    static int Count(const std::string& text, const std::string& part) {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
            ++n;
        }
        return n;
    }

    testkit::TempDir m_dir;
    std::string m_strOut;
};

constexpr char kCutCause[] =
    "the file ends before its index: it was cut off while being written or copied";

TEST_F(UnreadableBatchTest, EachUnreadableFileEndsWithItsLineAndCause) {
    const std::string cut = CutMp4();
    const std::string text = m_dir.File("notes.mp4");
    std::ofstream(text) << "not a video\n";
    const std::string good = m_dir.File("good.mp4");
    ASSERT_TRUE(testkit::MakeClip(good, 1.0, 160, 120, true));

    const clitest::CliRun run = Run({cut, text, good});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_EQ(clitest::StatusLines(run.out),
              (std::vector<std::string>{"Error " + cut, "Error " + text,
                                        "Done " + m_strOut + "/good-cvt.mp4"}));
    EXPECT_NE(run.out.find("Error " + cut + "\n  " + kCutCause + "\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Error " + text +
                           "\n  the file is not a video or audio file that can "
                           "be read\n"),
              std::string::npos)
        << run.out;
    // Causes, not the window's advice about players and codecs.
    EXPECT_EQ(run.err.find("Can't playback"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Please note the following reasons"), std::string::npos) << run.err;
    // The log names the file and its cause.
    EXPECT_NE(
        testkit::ReadFile(m_dir.File("log.txt")).find("Cannot read " + cut + ": " + kCutCause),
        std::string::npos);

    const clitest::CliRun json = Run({"--json", cut, good});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_NE(json.out.find("{\"status\": \"Error\", \"source\": \"" + cut +
                            "\", \"output\": null, \"cause\": \"" + kCutCause +
                            "\", \"encoder\": []}\n"),
              std::string::npos)
        << json.out;
    EXPECT_EQ(Count(json.out, "\n"), 2) << json.out;
    EXPECT_TRUE(json.err.empty()) << json.err;
}

// Names of 246 and 254 bytes: every conversion of them gets a name within the 255-byte limit,
// shortened at a whole character, and a second run counts on instead of failing.
TEST_F(UnreadableBatchTest, LongNamesAreShortenedToFitAndFailuresGiveOneCause) {
    const std::string long246 = m_dir.File(std::string(242, 'a') + ".mp4");
    std::string title254;
    while (title254.size() + 2 <= 250) {
        title254 += "\xC3\xA9"; // é
    }
    const std::string long254 = m_dir.File(title254 + ".mp4");
    ASSERT_TRUE(testkit::MakeClip(long246, 1.0, 160, 120, true));
    std::filesystem::copy_file(long246, long254);
    const std::string words = m_dir.File("words.srt");
    std::ofstream(words) << "1\n00:00:00,000 --> 00:00:01,000\nhello\n";
    const std::string subtitles = m_dir.File("words.mkv");
    ASSERT_EQ(testkit::RunProgram(
                  {"/usr/bin/ffmpeg", "-v", "error", "-i", words, "-c:s", "srt", subtitles})
                  .exitCode,
              0);

    for (int round = 0; round < 2; ++round) {
        const clitest::CliRun run = Run({long246, long254, subtitles});
        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        const std::vector<std::string> lines = clitest::StatusLines(run.out);
        ASSERT_EQ(lines.size(), 3U) << run.out;
        EXPECT_EQ(lines[0].rfind("Done ", 0), 0U) << lines[0];
        EXPECT_EQ(lines[1].rfind("Done ", 0), 0U) << lines[1];
        EXPECT_EQ(lines[2].rfind("Error ", 0), 0U) << lines[2];
        // One failure, one cause: the encoder's reason, and no "Unknown file format" block.
        EXPECT_EQ(run.err.find("Unknown file format"), std::string::npos) << run.err;
        EXPECT_EQ(Count(run.out, "Kestrelvx: error: "), 1) << run.out;
    }
    int nOutputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_strOut)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".journal") {
            continue; // the batch's journal
        }
        EXPECT_LE(name.size(), 255U) << name;
        // Cut at a whole character: the name is valid UTF-8 up to its suffix.
        EXPECT_TRUE(name.rfind(std::string(200, 'a'), 0) == 0 || name.rfind("\xC3\xA9", 0) == 0)
            << name;
        EXPECT_TRUE(testkit::ProbeStreams(entry.path().string()).ok) << name;
        ++nOutputs;
    }
    EXPECT_EQ(nOutputs, 4);
    EXPECT_TRUE(std::filesystem::exists(m_strOut + "/" + std::string(242, 'a') + "-cvt[1].mp4") ||
                std::filesystem::exists(m_strOut + "/" + std::string(240, 'a') + "-cvt[1].mp4"));
}

} // namespace
