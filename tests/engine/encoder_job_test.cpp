#include "engine/encoder_job.h"

#include "common/fake_encoder.h"
#include "common/testkit.h"
#include "engine/encoder_command.h"
#include "support/log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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

bool NoChildren() {
    int status = 0;
    return waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD;
}

// True while any process other than a zombie belongs to the process group.
bool GroupAlive(pid_t group) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream in(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto close = text.rfind(')');
        if (close == std::string::npos || close + 2 >= text.size()) {
            continue;
        }
        char state = 0;
        long ppid = 0;
        long pgrp = 0;
        if (std::sscanf(text.c_str() + close + 2, "%c %ld %ld", &state, &ppid, &pgrp) == 3 &&
            pgrp == group && state != 'Z') {
            return true;
        }
    }
    return false;
}

bool GroupEndsSoon(pid_t group) {
    for (int i = 0; i < 200 && GroupAlive(group); ++i) {
        usleep(10000);
    }
    return !GroupAlive(group);
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
    Fake("sleep 0.7\n"
         "printf 'frame=1 time=10.00 bitrate=1\\r'\n"
         "sleep 0.7\n"
         "printf 'frame=2 time=30.00 x\\rframe=3 time=35.00 y\\r'\n"
         "sleep 0.7\n"
         "printf 'frame=4 time=99.00 z\\r'\n" +
         std::string(kWriteOutput));
    std::set<int> seen;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        while (!done.load()) {
            seen.insert(m_job.m_nPercent.load(std::memory_order_relaxed));
            usleep(5000);
        }
    });
    const int result = Run(0, 40);
    done = true;
    watcher.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m_job.m_nPercent.load(), 100);
    EXPECT_EQ(m_job.m_nDuration.load(), 40);
    // 25 from the first line, 75 from the first field of the second chunk, 99 past the end.
    for (const int percent : seen) {
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
    EXPECT_TRUE(NoChildren());
}

TEST_F(EncoderJobTest, CancelOfASilentEncoderEndsItAtOnceWithItsWholeGroup) {
    const std::string pidFile = m_dir.File("pid");
    Fake("sleep 60 &\n"
         "echo $$ > " +
         testkit::ShellQuote(pidFile) +
         "\n"
         "printf 'time=1 \\r'\n"
         "sleep 2\n"
         "printf 'time=2 \\r'\n"
         "wait\n");
    std::atomic<bool> finished{false};
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread canceller([&] {
        while (!fs::exists(pidFile) && !finished.load()) {
            usleep(10000);
        }
        usleep(300000);
        cancelledAt = std::chrono::steady_clock::now();
        m_job.m_bCancel.store(true, std::memory_order_relaxed);
    });
    const auto started = std::chrono::steady_clock::now();
    const int result = Run(0, 10);
    const auto ended = std::chrono::steady_clock::now();
    finished = true;
    canceller.join();
    EXPECT_EQ(result, 0) << "a cancelled run is no failure";
    EXPECT_EQ(m_job.m_nPercent.load(), 100);
    // The encoder was silent when the cancel came: the run did not wait for its next output.
    EXPECT_LT(ended - cancelledAt, std::chrono::milliseconds(1000));
    EXPECT_LT(ended - started, std::chrono::seconds(30)) << "not held up by the sleeping child";
    const pid_t group = static_cast<pid_t>(std::atoi(testkit::ReadFile(pidFile).c_str()));
    ASSERT_GT(group, 0);
    EXPECT_TRUE(GroupEndsSoon(group)) << "no process of the encoder's group is left";
    EXPECT_TRUE(NoChildren());
}

TEST_F(EncoderJobTest, MissingEncoderFailsWithPercentZeroAndLeaksNothing) {
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath != nullptr ? oldPath : "";
    setenv("PATH", m_dir.Path().c_str(), 1);
    const int fdsBefore = CountOpenFds();
    m_job.m_nPercent = 55;
    EXPECT_EQ(Run(0, 10), -1);
    EXPECT_EQ(m_job.m_nPercent.load(), 0);
    EXPECT_EQ(CountOpenFds(), fdsBefore);
    EXPECT_TRUE(NoChildren());
    setenv("PATH", savedPath.c_str(), 1);
}

TEST_F(EncoderJobTest, EveryDescriptorIsClosedAfterARun) {
    Fake("printf 'time=1 \\r'\n" + std::string(kWriteOutput));
    const int fdsBefore = CountOpenFds();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Run(0, 10), 0);
    }
    EXPECT_EQ(CountOpenFds(), fdsBefore);
    EXPECT_TRUE(NoChildren());
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
    EXPECT_TRUE(NoChildren());
}

TEST_F(EncoderJobTest, AFailedRunLeavesNoOutputAndLogsTheEncodersReason) {
    Fake(std::string(kWriteOutput) + "echo 'Kestrelvx: error: the disk is full' >&2\nexit 1\n");
    EXPECT_EQ(Run(0, 10), -1);
    EXPECT_FALSE(fs::exists(Output())) << "a half-written file under the finished name";
    EXPECT_NE(Log().find("Kestrelvx: error: the disk is full\n"), std::string::npos) << Log();

    // A cancelled run leaves nothing either; a file that stood there before is never removed.
    Fake(std::string(kWriteOutput) + "while :; do echo 'time=1 '; sleep 0.1; done\n");
    std::thread cancel([this] {
        usleep(300000);
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
