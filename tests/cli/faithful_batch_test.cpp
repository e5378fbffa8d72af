// lumicast-batch with the real encoder on files people have: the device's limits, the encoder's
// own reason for a failed file, an early end, and the JSON form a script reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "common/media.h"
#include "common/testkit.h"

namespace {

class FaithfulBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_dir.File("config"));
        std::filesystem::create_directories(m_dir.File("home"));
        m_strOut = m_dir.File("out");
    }

    clitest::CliRun Run(const std::vector<std::string>& args) {
        clitest::CliCall call;
        call.program = clitest::BatchProgram();
        call.args = args;
        call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")},
                    {"HOME", m_dir.File("home")},
                    {"TMPDIR", m_dir.Path()}};
        call.timeoutMs = 120000;
        return clitest::RunCli(call);
    }

    std::string Make(const std::string& name, const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"/usr/bin/ffmpeg", "-hide_banner", "-nostdin", "-y"};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.push_back(m_dir.File(name));
        const testkit::ProgramRun run = testkit::RunProgram(argv, 60000);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return m_dir.File(name);
    }

    // A file with nothing but subtitles: it loads (it has a duration) and cannot be converted.
    std::string SubtitlesOnly() {
        const std::string srt = m_dir.File("words.srt");
        std::ofstream(srt) << "1\n00:00:00,000 --> 00:00:01,000\nhello\n";
        return Make("words.mkv", {"-i", srt, "-c:s", "srt"});
    }

    // The bit rate ffprobe gives for the first stream of a type, in bit/s.
    static long BitRate(const std::string& path, const std::string& stream) {
        const testkit::ProgramRun run =
            testkit::RunProgram({"/usr/bin/ffprobe", "-v", "error", "-select_streams", stream,
                                 "-show_entries", "stream=bit_rate", "-of", "csv=p=0", path});
        return std::atol(run.output.c_str());
    }

    testkit::TempDir m_dir;
    std::string m_strOut;
};

TEST_F(FaithfulBatchTest, DeviceHoldsKeepOriginalWithinItsLimits) {
    const std::string source =
        Make("concert.mp4", {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=60:d=2", "-f", "lavfi",
                             "-i", "sine=d=2,aformat=channel_layouts=5.1:sample_rates=96000",
                             "-c:v", "libx264", "-c:a", "aac", "-b:a", "384k"});
    const clitest::CliRun run = Run({"--device", "iPod nano", "--output", m_strOut, source});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string target = m_strOut + "/concert-cvt.mp4";
    EXPECT_EQ(clitest::StatusLines(run.out), std::vector<std::string>{"Done " + target});
    EXPECT_NE(run.out.find("Done " + target + "\n  Kestrelvx: note: "), std::string::npos)
        << run.out;

    const testkit::MediaInfo info = testkit::ProbeStreams(target);
    const testkit::StreamInfo* video = info.First("video");
    const testkit::StreamInfo* audio = info.First("audio");
    ASSERT_NE(video, nullptr);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(video->width, 320);
    EXPECT_EQ(video->height, 240);
    EXPECT_EQ(video->frameRate, "30/1");
    EXPECT_EQ(audio->channels, 2);
    EXPECT_EQ(audio->sampleRate, 48000);
    EXPECT_LE(BitRate(target, "v:0"), 2500 * 1100L);
    EXPECT_LE(BitRate(target, "a:0"), 160 * 1100L);
    EXPECT_NEAR(info.duration, 2.0, 0.1);
}

TEST_F(FaithfulBatchTest, EachFileEndsWithTheEncodersOwnLines) {
    const std::string words = SubtitlesOnly();
    // A download cut off after 60 % of its bytes, which still claims 6 s.
    const std::string whole = Make(
        "whole.mp4", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:d=6", "-f", "lavfi", "-i",
                      "sine=d=6", "-c:v", "libx264", "-c:a", "aac", "-movflags", "+faststart"});
    const std::string cut = m_dir.File("cut.mp4");
    std::filesystem::copy_file(whole, cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(whole) * 6 / 10);

    const clitest::CliRun run = Run({"--output", m_strOut, words, cut});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    const std::string failed = m_strOut + "/words-cvt.mp4";
    const std::string done = m_strOut + "/cut-cvt.mp4";
    EXPECT_EQ(clitest::StatusLines(run.out),
              (std::vector<std::string>{"Error " + failed, "Done " + done}));
    EXPECT_NE(run.out.find("Error " + failed + "\n  Kestrelvx: error: '" + words +
                           "' holds neither video nor audio\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Done " + done + "\n  Kestrelvx: note: '" + cut + "' ended early"),
              std::string::npos)
        << run.out;
    EXPECT_FALSE(std::filesystem::exists(failed));
    EXPECT_TRUE(testkit::ProbeStreams(done).ok);
    // The notes file lives only as long as the run.
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
        EXPECT_EQ(entry.path().filename().string().rfind("lumicast-batch-", 0), std::string::npos)
            << entry.path();
    }
}

TEST_F(FaithfulBatchTest, JsonLinesKeepEveryByteOfAName) {
    const std::string words = SubtitlesOnly();
    const std::string odd = m_dir.File("two\nlines \"q\" \xff.mp4");
    ASSERT_TRUE(testkit::MakeClip(odd, 1.0, 160, 120, true));

    const clitest::CliRun run = Run({"--json", "--jobs", "1", "--output", m_strOut, odd, words});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    const std::string oddTarget = m_strOut + "/two\\u000alines \\\"q\\\" \\udcff-cvt.mp4";
    const std::string oddSource = m_dir.Path() + "/two\\u000alines \\\"q\\\" \\udcff.mp4";
    const std::string expected =
        "{\"status\": \"Done\", \"source\": \"" + oddSource + "\", \"output\": \"" + oddTarget +
        "\", \"encoder\": []}\n"
        "{\"status\": \"Error\", \"source\": \"" +
        words + "\", \"output\": \"" + m_strOut + "/words-cvt.mp4\", \"encoder\": [\"error: '" +
        words + "' holds neither video nor audio\"]}\n";
    EXPECT_EQ(run.out, expected);
    EXPECT_TRUE(testkit::ProbeStreams(m_strOut + "/two\nlines \"q\" \xff-cvt.mp4").ok);
}

} // namespace
