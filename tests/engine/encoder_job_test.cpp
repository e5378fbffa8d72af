#include "engine/encoder_job.h"

#include "common/fake_encoder.h"
#include "common/processes.h"
#include "common/testkit.h"
#include "engine/encoder_command.h"
#include "support/log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The last argument ("-y" output) is where a fake encoder writes its file.
const char kWriteOutput[] = "for a; do out=$a; done\nprintf 'converted' > \"$out\"\n";

// Open descriptors of this process. The log keeps its lock file open for the life of the process,
// so it is opened first: a run may be the first to log.
int CountOpenFds() {
    WriteLogLine("%s", "counting descriptors");
    int n = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++n;
    }
    return n;
}

// A clock that moves a second at every reading: every read of the loop is parsed.
std::uint32_t SecondPerReading() {
    static std::atomic<std::uint32_t> s_nNow{0};
    return s_nNow += 1000;
}

class EncoderJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The log's lock keeps a descriptor from its first use on: take it before counting.
        SetLogPath("");
        WriteLogLine("%s", "");
        SetLogPath(m_dir.File("log.txt"));
    }
    void TearDown() override { SetLogPath(""); }

    std::string Log() const { return testkit::ReadFile(m_dir.File("log.txt")); }

    void Fake(const std::string& body) { testkit::WriteFakeEncoder(m_bin.Path(), body); }

    int Run(std::int64_t start, std::int64_t end) {
        return m_job.Run(m_dir.File("in put.avi"), Output(), "in put", " -vcodec xvid", start, end);
    }
    std::string Output() const { return m_dir.File("out-cvt.mp4"); }

    testkit::TempDir m_dir;
    testkit::TempDir m_bin;
    testkit::ScopedProgramFolder m_folder{m_bin.Path()};
    CEncoderJob m_job;
};

TEST_F(EncoderJobTest, ProgressFollowsTheStatusLinesAndEndsAt100) {
    // Each chunk goes out once the job has shown the percent of the one before, so no two chunks
    // meet in one read; with a clock that moves a second at every reading each read is parsed.
    // (Which reads are parsed by the real clock is tested in progress_reader_test.cpp.)
    const std::string seen = m_dir.File("seen");
    const auto after = [&](const char* percent) {
        return "until grep -qx " + std::string(percent) + " " + testkit::ShellQuote(seen) +
               " 2>/dev/null; do sleep 0.02; done\n";
    };
    const std::string pids = m_dir.File("pids");
    Fake(testkit::RecordPidBody(pids) + "printf 'frame=1 time=10.00 bitrate=1\\r'\n" + after("25") +
         "printf 'frame=2 time=30.00 x\\rframe=3 time=35.00 y\\r'\n" + after("75") +
         "printf 'frame=4 time=99.00 z\\r'\n" + after("99") + std::string(kWriteOutput));
    m_job.m_pfnTick = SecondPerReading;
    std::vector<int> percents;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        while (!done.load()) {
            const int percent = m_job.m_nPercent.load(std::memory_order_relaxed);
            if (percents.empty() || percents.back() != percent) {
                percents.push_back(percent);
                std::ofstream(seen, std::ios::app) << percent << "\n";
            }
            usleep(5000);
        }
    });
    testkit::ProcessWatchdog watchdog(pids); // a job that showed no percent is not waited for
    const int result = Run(0, 40);
    done = true;
    watcher.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m_job.m_nPercent.load(), 100);
    EXPECT_EQ(m_job.m_nDuration.load(), 40);
    // 25 from the first line, 75 from the first field of the second chunk, 99 past the end.
    for (const int percent : percents) {
        EXPECT_TRUE(percent == 0 || percent == 25 || percent == 75 || percent == 99 ||
                    percent == 100)
            << percent;
    }
    const std::string log = Log();
    EXPECT_EQ(log.find("Kestrelvx tmk52hsRW&!  -i \"" + m_dir.File("in put.avi") + "\""), 0U)
        << "the command line is the first line";
    // The first chunk, then the same text again as the line that moved progress off 0.
    EXPECT_NE(log.find("\nframe=1 time=10.00 bitrate=1\r\nframe=1 time=10.00 bitrate=1\r\n"),
              std::string::npos);
    EXPECT_EQ(log.find("frame=4"), std::string::npos) << "75 is no multiple of ten";
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(EncoderJobTest, CancelOfASilentEncoderEndsItWithItsWholeGroup) {
    // The encoder prints one status line and then nothing more, with a child that would hold the
    // pipe open for ten minutes: the run ends only because the cancel does not wait for output.
    const std::string pidFile = m_dir.File("pids");
    Fake("sleep 600 &\n"
         "echo $! >> " +
         testkit::ShellQuote(pidFile) + "\necho $$ >> " + testkit::ShellQuote(pidFile) +
         "\n"
         "printf 'time=1 \\r'\n"
         "wait\n");
    std::thread canceller([&] {
        // The run has cleared the cancel flag before the encoder started.
        testkit::WaitUntil([&] { return testkit::ReadPids(pidFile).size() == 2; });
        m_job.m_bCancel.store(true, std::memory_order_relaxed);
    });
    testkit::ProcessWatchdog watchdog(pidFile);
    const int result = Run(0, 10);
    canceller.join();
    EXPECT_FALSE(watchdog.Fired()) << "the cancelled run waited for the encoder";
    EXPECT_EQ(result, 0) << "a cancelled run is no failure";
    EXPECT_EQ(m_job.m_nPercent.load(), 100);
    const std::vector<int> pids = testkit::ReadPids(pidFile);
    ASSERT_EQ(pids.size(), 2U);
    EXPECT_TRUE(testkit::WaitUntil([&] { return testkit::LiveGroupMembers(pids[1]) == 0; }))
        << "no process of the encoder's group is left";
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(EncoderJobTest, MissingEncoderFailsWithPercentZeroAndLeaksNothing) {
    const testkit::ScopedEnv path("PATH", m_dir.Path());
    const int fdsBefore = CountOpenFds();
    m_job.m_nPercent = 55;
    EXPECT_EQ(Run(0, 10), -1);
    EXPECT_EQ(m_job.m_nPercent.load(), 0);
    EXPECT_EQ(CountOpenFds(), fdsBefore);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(EncoderJobTest, EveryDescriptorIsClosedAfterARun) {
    Fake("printf 'time=1 \\r'\n" + std::string(kWriteOutput));
    const int fdsBefore = CountOpenFds();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Run(0, 10), 0);
    }
    EXPECT_EQ(CountOpenFds(), fdsBefore);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(EncoderJobTest, AFailedEncodeIsReportedAsFailure) {
    Fake(std::string(kWriteOutput) + "exit 1\n");
    EXPECT_EQ(Run(0, 10), -1) << "non-zero exit status";
    EXPECT_EQ(m_job.m_nPercent.load(), 100);
    fs::remove(Output());

    Fake("echo 'cannot open input'\nexit 0\n");
    EXPECT_EQ(Run(0, 10), -1) << "no output file";

    Fake(std::string(kWriteOutput) + "kill -9 $$\n");
    EXPECT_EQ(Run(0, 10), -1) << "ended by a signal";
    fs::remove(Output());

    Fake("for a; do out=$a; done\nmkdir \"$out\"\n");
    EXPECT_EQ(Run(0, 10), -1) << "a folder is no output file";
    fs::remove(Output());

    Fake(kWriteOutput);
    EXPECT_EQ(Run(0, 10), 0);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(EncoderJobTest, AFailedRunLeavesNoOutputAndLogsTheEncodersReason) {
    Fake(std::string(kWriteOutput) + "echo 'Kestrelvx: error: the disk is full' >&2\nexit 1\n");
    EXPECT_EQ(Run(0, 10), -1);
    EXPECT_FALSE(fs::exists(Output())) << "a half-written file under the finished name";
    EXPECT_NE(Log().find("Kestrelvx: error: the disk is full\n"), std::string::npos) << Log();

    // A cancelled run leaves nothing either; a file that stood there before is never removed.
    Fake(std::string(kWriteOutput) + "while :; do echo 'time=1 '; sleep 0.1; done\n");
    std::thread cancel([this] {
        // The encoder writes its output first: the run is under way.
        testkit::WaitUntil([this] { return fs::exists(Output()); });
        m_job.m_bCancel.store(true, std::memory_order_relaxed);
    });
    EXPECT_EQ(Run(0, 10), 0);
    cancel.join();
    EXPECT_FALSE(fs::exists(Output()));
    std::ofstream(Output()) << "kept";
    Fake("exit 1\n");
    EXPECT_EQ(Run(0, 10), -1);
    EXPECT_EQ(testkit::ReadFile(Output()), "kept");
}

TEST_F(EncoderJobTest, HostileNamesReachTheEncoderExactly) {
    const std::string args = m_dir.File("args");
    Fake(testkit::RecordArgumentsBody(args, kWriteOutput));
    const std::string input = m_dir.File("in \"quoted\" \\\" %s\nname\\");
    const std::string title = "in \"quoted\" \\\" %s\nname\\";
    const std::string output = m_dir.File("out \"x\"\\.mp4");
    EXPECT_EQ(m_job.Run(input, output, title, " -vcodec xvid -s 320x240", 5, 9), 0);
    const std::vector<std::string> expected = {"tmk52hsRW&!", "-i",   input, "-title",  title,
                                               "-vcodec",     "xvid", "-s",  "320x240", "-ss",
                                               "5",           "-t",   "4",   "-y",      output};
    EXPECT_EQ(testkit::ReadRecordedArguments(args), expected);
    EXPECT_TRUE(fs::exists(output));
}

TEST_F(EncoderJobTest, ACommandLineLongerThan2047IsNeitherCutNorStarted) {
    const std::string ran = m_dir.File("ran");
    Fake("touch " + testkit::ShellQuote(ran) + "\n" + kWriteOutput);
    const std::string output = Output();
    const std::size_t base = FormatEncoderCommand("", output, "t", "", 0, 10).size();
    const std::string input2047 = std::string(kMaxEncoderCommandLine - base, 'a');
    ASSERT_EQ(FormatEncoderCommand(input2047, output, "t", "", 0, 10).size(), 2047U);

    EXPECT_EQ(m_job.Run(input2047, output, "t", "", 0, 10), 0);
    EXPECT_TRUE(fs::exists(ran)) << "2047 characters still run";
    fs::remove(ran);

    EXPECT_EQ(m_job.Run(input2047 + "a", output, "t", "", 0, 10), -1);
    EXPECT_FALSE(fs::exists(ran));
    EXPECT_NE(Log().find(input2047 + "a\" -title"), std::string::npos)
        << "the refused command line is logged whole";

    EXPECT_EQ(m_job.Run(std::string("a\0b", 3), output, "t", "", 0, 10), -1)
        << "a zero byte would cut the command line";
    EXPECT_FALSE(fs::exists(ran));
}

} // namespace
