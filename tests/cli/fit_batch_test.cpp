// lumicast-batch --target-size with the real encoder: outputs just under the limit that play (also
// from Matroska with subtitles, after a first result over the limit), limits that cannot be met
// refused before anything is converted, the devices of today, and no temporary file left behind
// after Ctrl-C. The outputs are 640x360 MPEG-4 where the check allows, so that the two passes stay
// quick on a small machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "cli/helpers/cli_process.h"
#include "common/media.h"
#include "common/testkit.h"

namespace {

namespace fs = std::filesystem;

class FitBatchTest : public ::testing::Test {
protected:
    // A 30 s 720p clip with sound, and a 2-minute one (only ever refused, so its frames are few).
    static void SetUpTestSuite() {
        s_clips = std::make_unique<testkit::TempDir>();
        ASSERT_TRUE(testkit::MakeClip(Clip("talk.mp4"), 30.0, 1280, 720, true));
        // The same in Matroska with a subtitle track of about 560 kB: the budget leaves no room
        // for it, so the first result is over the limit.
        std::ofstream srt(Clip("words.srt"));
        for (int cue = 0; cue < 300; ++cue) {
            char times[64];
            std::snprintf(times, sizeof times, "00:00:%02d,%03d --> 00:00:%02d,%03d", cue / 10,
                          cue % 10 * 100, (cue + 1) / 10, (cue + 1) % 10 * 100);
            srt << cue + 1 << "\n" << times << "\n";
            for (int word = 0; word < 200; ++word) {
                srt << "word" << cue << ' ';
            }
            srt << "\n\n";
        }
        srt.close();
        Make(Clip("talk.mkv"), {"-i", Clip("talk.mp4"), "-i", Clip("words.srt"), "-map", "0",
                                "-map", "1", "-c", "copy", "-c:s", "srt"});
        Make(Clip("lecture.mp4"),
             {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=5:d=120", "-f", "lavfi", "-i",
              "sine=d=120", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"});
    }
    static void TearDownTestSuite() { s_clips.reset(); }
    static std::string Clip(const std::string& name) { return s_clips->File(name); }

    static void Make(const std::string& path, const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"/usr/bin/ffmpeg", "-hide_banner", "-nostdin", "-y",
                                         "-loglevel",       "error"};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.push_back(path);
        const testkit::ProgramRun run = testkit::RunProgram(argv, 120000);
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }

    void SetUp() override {
        fs::create_directories(m_dir.File("config"));
        fs::create_directories(m_dir.File("tmp"));
    }

    clitest::CliRun Run(const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& env = {},
                        const std::string& signalWhen = "") {
        clitest::CliCall call;
        call.program = clitest::BatchProgram();
        call.args = args;
        call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")}, {"TMPDIR", m_dir.File("tmp")}};
        call.env.insert(env.begin(), env.end());
        call.signalWhen = signalWhen;
        call.timeoutMs = 300000;
        return clitest::RunCli(call);
    }

    std::string Out(const std::string& name) const { return m_dir.File("out") + "/" + name; }

    // What is in the output folder but the batch's journal, and the encoders' temporary folders.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(m_dir.File("out"), error)) {
            const std::string name = entry.path().filename().string();
            if (!name.starts_with(".lumicast-batch-") || !name.ends_with(".journal")) {
                names.push_back(name);
            }
        }
        for (const auto& entry : fs::directory_iterator(m_dir.File("tmp"), error)) {
            if (entry.path().filename().string().rfind("kestrelvx-", 0) == 0) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    // The output holds between 90 % and 100 % of the limit, and plays: a video and a sound stream
    // of the length converted, every frame decoded without a complaint.
    static void ExpectFitsAndPlays(const std::string& path, std::int64_t limit, double seconds) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(fs::exists(path));
        const auto bytes = static_cast<std::int64_t>(fs::file_size(path));
        EXPECT_LE(bytes, limit);
        EXPECT_GE(bytes, limit * 9 / 10);
        const testkit::MediaInfo info = testkit::ProbeStreams(path);
        ASSERT_NE(info.First("video"), nullptr);
        ASSERT_NE(info.First("audio"), nullptr);
        EXPECT_EQ(info.First("video")->width, 640);
        EXPECT_NEAR(info.duration, seconds, 0.2);
        const testkit::ProgramRun decode = testkit::RunProgram(
            {"/usr/bin/ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "null", "-"});
        EXPECT_EQ(decode.exitCode, 0);
        EXPECT_EQ(decode.output, "");
    }

    static std::string StreamField(const std::string& path, const std::string& stream,
                                   const std::string& field) {
        const testkit::ProgramRun run =
            testkit::RunProgram({"/usr/bin/ffprobe", "-v", "error", "-select_streams", stream,
                                 "-show_entries", "stream=" + field, "-of", "csv=p=0", path});
        return run.output.substr(0, run.output.find('\n'));
    }

    static std::unique_ptr<testkit::TempDir> s_clips;
    testkit::TempDir m_dir;
};

std::unique_ptr<testkit::TempDir> FitBatchTest::s_clips;

TEST_F(FitBatchTest, EachOutputLandsJustUnderItsLimitAndPlays) {
    // Two files to 2 MB: the 30 s clip fits, the 2-minute one would need more than 2 MB. The
    // status lines come in the order the files end.
    clitest::CliRun run = Run({"--target-size", "2M", "--size", "640x360", "--output",
                               m_dir.File("out"), Clip("talk.mp4"), Clip("lecture.mp4")});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    std::vector<std::string> lines = clitest::StatusLines(run.out);
    ASSERT_EQ(lines.size(), 2U) << run.out;
    std::sort(lines.begin(), lines.end());
    const std::string done = "Done " + Out("talk-cvt.mp4") + " (";
    EXPECT_EQ(lines[0].rfind(done, 0), 0U) << run.out;
    EXPECT_TRUE(std::regex_match(lines[0].substr(done.size()),
                                 std::regex(R"(1\.\d+ MB, 9\d % of the 2 MB limit\))")))
        << run.out;
    EXPECT_EQ(lines[1], "Error " + Out("lecture-cvt.mp4"));
    ExpectFitsAndPlays(Out("talk-cvt.mp4"), 2000000, 30.0);

    // 5 MB from Matroska with its subtitles, told in the JSON form: the first result is over the
    // limit and converted once more.
    run = Run({"--json", "--target-size", "5MB", "--size", "640x360", "--output",
               m_dir.File("five"), Clip("talk.mkv")});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string five = m_dir.File("five") + "/talk-cvt.mp4";
    ExpectFitsAndPlays(five, 5000000, 30.0);
    EXPECT_NE(testkit::ProbeStreams(five).First("subtitle"), nullptr);
    EXPECT_NE(run.out.find("was over the limit of 5 MB; converting once more"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"size\": " + std::to_string(fs::file_size(five)) +
                           ", \"target_size\": 5000000"),
              std::string::npos)
        << run.out;

    // Seconds 10 to 20 to 1 MB.
    run = Run({"--target-size", "1M", "--size", "640x360", "--start", "10", "--end", "20",
               "--output", m_dir.File("part"), Clip("talk.mp4")});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    ExpectFitsAndPlays(m_dir.File("part") + "/talk-cvt.mp4", 1000000, 10.0);

    // No pass log, sound or half-made output stays behind.
    for (const std::string& name : Leftovers()) {
        EXPECT_EQ(name, "talk-cvt.mp4");
    }
}

TEST_F(FitBatchTest, ALimitThatCannotBeMetFailsWithTheSizeItNeeds) {
    // ffmpeg as the encoder finds it on PATH, noting each run.
    const std::string bin = m_dir.File("bin");
    fs::create_directories(bin);
    std::ofstream(bin + "/ffmpeg")
        << "#!/bin/sh\necho run >> " << m_dir.File("runs.txt") << "\nexec /usr/bin/ffmpeg \"$@\"\n";
    fs::permissions(bin + "/ffmpeg", fs::perms::owner_all);
    const std::map<std::string, std::string> path = {{"PATH", bin + ":/usr/bin:/bin"}};

    // Two minutes in 400 kB: refused before anything is converted, naming the size it needs.
    clitest::CliRun run =
        Run({"--json", "--target-size", "400K", "--output", m_dir.File("out"), Clip("lecture.mp4")},
            path);
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_EQ(run.out.rfind("{\"status\": \"Error\", ", 0), 0U) << run.out;
    EXPECT_NE(run.out.find("\"target_size\": 400000"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\"size\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"error: '" + Clip("lecture.mp4") + "' cannot fit in 400 kB"),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(std::regex_search(
        run.out,
        std::regex(R"(' cannot fit in 400 kB and stay watchable: its 120 s need at least )"
                   R"(2\.\d+ MB for 100 kbit/s of video and 32 kbit/s of sound; a )"
                   R"(smaller frame size, such as 320x180, looks better at so few bits")")))
        << run.out;
    EXPECT_FALSE(fs::exists(m_dir.File("runs.txt")));

    // The 720p clip as MPEG-4 in 2 MB: the analysis shows MPEG-4 cannot get that small.
    run = Run({"--target-size", "2M", "--output", m_dir.File("out"), Clip("talk.mp4")}, path);
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_NE(run.out.find("Error " + Out("talk-cvt.mp4") + "\n  Kestrelvx: error: '" +
                           Clip("talk.mp4") +
                           "' cannot fit in 2 MB as MPEG-4 video at 1280x720: that needs about "),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(std::regex_search(
        run.out, std::regex(R"(at 1280x720: that needs about \d+ kbit/s of video, about [0-9.]+ )"
                            R"(MB in all; a smaller frame size, or H\.264, needs fewer bits\n)")))
        << run.out;
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});

    // A size limit sets the video bit rate: one given as well is refused before anything runs.
    for (const std::vector<std::string>& rate :
         {std::vector<std::string>{"--video-bitrate", "768"}, std::vector<std::string>{"--vbr"}}) {
        std::vector<std::string> args = {"--target-size", "2M", "--output", m_dir.File("out")};
        args.insert(args.end(), rate.begin(), rate.end());
        args.push_back(Clip("talk.mp4"));
        run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_NE(run.err.find("--target-size sets the video bit rate itself"), std::string::npos)
            << run.err;
    }
}

TEST_F(FitBatchTest, DevicesOfTodayKeepTheirCapsUnderALimit) {
    const std::string concert = m_dir.File("concert.mp4");
    Make(concert, {"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=60:d=2", "-f", "lavfi", "-i",
                   "sine=d=2,aformat=channel_layouts=5.1:sample_rates=96000", "-c:v", "libx264",
                   "-preset", "ultrafast", "-c:a", "aac", "-b:a", "384k"});
    // 20 MB for 2 s would be 80 Mbit/s: the device's 8 Mbit/s holds.
    clitest::CliRun run = Run({"--device", "720p phone", "--format", "mov", "--target-size", "20M",
                               "--output", m_dir.File("out"), concert});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string phone = Out("concert-cvt.mov");
    EXPECT_NE(run.out.find("the device plays at most 8000 kbit/s of video"), std::string::npos)
        << run.out;
    EXPECT_LE(fs::file_size(phone), 20000000U);
    const testkit::MediaInfo info = testkit::ProbeStreams(phone);
    ASSERT_NE(info.First("video"), nullptr);
    ASSERT_NE(info.First("audio"), nullptr);
    EXPECT_EQ(info.First("video")->profile, "Main");
    EXPECT_EQ(StreamField(phone, "v:0", "level"), "31");
    EXPECT_EQ(info.First("video")->width, 1280);
    EXPECT_EQ(info.First("video")->height, 720);
    EXPECT_EQ(info.First("video")->frameRate, "30/1");
    // At most 8 Mbit/s over the level's buffer of 14 Mbit, where the limit alone would allow 80.
    const double videoBits = std::stod(StreamField(phone, "v:0", "bit_rate")) * info.duration;
    EXPECT_LE(videoBits, (8000.0 * info.duration + 14000.0) * 1000.0);
    EXPECT_EQ(info.First("audio")->channels, 2);
    EXPECT_EQ(info.First("audio")->sampleRate, 48000);

    // The 1080p phone plays High Profile level 4.1; MPEG-4 it plays only up to 640x480.
    run = Run({"--device", "1080p phone", "--output", m_dir.File("out"), concert});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("add --format mov"), std::string::npos) << run.err;
    const std::string still = m_dir.File("still.mp4");
    Make(still, {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=10:d=1", "-c:v", "libx264",
                 "-preset", "ultrafast"});
    run = Run({"--device", "1080p PHONE", "--format", "mov", "--output", m_dir.File("out"), still});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const testkit::MediaInfo tall = testkit::ProbeStreams(Out("still-cvt.mov"));
    ASSERT_NE(tall.First("video"), nullptr);
    EXPECT_EQ(tall.First("video")->profile, "High");
    EXPECT_EQ(StreamField(Out("still-cvt.mov"), "v:0", "level"), "41");
    EXPECT_EQ(tall.First("video")->width, 1920);
    EXPECT_EQ(tall.First("video")->height, 1080);
}

TEST_F(FitBatchTest, CtrlCLeavesNoTemporaryFileBehind) {
    // Stopped in the second pass: ffmpeg is reached through a stand-in that runs the analysis
    // pass for real, and for the second pass says so in a file and hangs until it is ended, as a
    // long pass would. The engine ends the encoder's whole process group at once.
    const std::string strMarker = m_dir.File("second-pass");
    const std::string strWrapper = m_dir.File("wrapper/ffmpeg");
    const std::string strSecondPass =
        "  echo started > " + testkit::ShellQuote(strMarker) + "\n  exec sleep 600;;\n";
    testkit::WriteFile(strWrapper, "#!/bin/sh\ncase \" $* \" in *\" -pass 2 \"*)\n" +
                                       strSecondPass + "esac\nexec /usr/bin/ffmpeg \"$@\"\n");
    fs::permissions(strWrapper, fs::perms::owner_all);
    const char* pszPath = std::getenv("PATH");
    clitest::CliCall call;
    call.program = clitest::BatchProgram();
    call.args = {"--target-size", "1M", "--size",   "640x360",         "--start",       "10",
                 "--end",         "20", "--output", m_dir.File("out"), Clip("talk.mp4")};
    call.env = {{"XDG_CONFIG_HOME", m_dir.File("config")},
                {"TMPDIR", m_dir.File("tmp")},
                {"PATH", m_dir.File("wrapper") + ":" + (pszPath ? pszPath : "/usr/bin:/bin")}};
    call.signalWhenFile = strMarker;
    call.timeoutMs = 300000;
    const clitest::CliRun run = clitest::RunCli(call);
    ASSERT_TRUE(run.bSignalSent) << run.out << run.err;
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    // The encoder's sweeper removes the pass log and the sound of the first pass after it.
    testkit::WaitUntil([&] { return Leftovers().empty(); });
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

} // namespace
