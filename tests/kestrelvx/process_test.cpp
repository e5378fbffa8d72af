// How Kestrelvx finds and runs ffmpeg: the program beside it first, an argument list instead of a
// shell, regular status lines, checks before the start, and no ffmpeg left when it is ended.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "common/media.h"
#include "common/testkit.h"
#include "kestrelvx/kestrelvx_runner.h"

namespace {

using kestrelvx_test::ConversionWords;
using kestrelvx_test::RunKestrelvx;

// A copy of Kestrelvx with a scripted "ffmpeg" beside it that writes its arguments, one per
// line, to args.txt, waits, and ends without writing anything.
class FakeFfmpeg {
public:
    explicit FakeFfmpeg(const std::string& pause = "0") {
        const std::string kestrelvx = m_dir.File("Kestrelvx");
        std::filesystem::copy_file(testkit::BinDir() + "/Kestrelvx", kestrelvx);
        std::ofstream(m_dir.File("ffmpeg"))
            << "#!/bin/sh\n"
               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
            << testkit::ShellQuote(ArgsFile()) << "\nsleep " << pause << "\n";
        std::filesystem::permissions(m_dir.File("ffmpeg"), std::filesystem::perms::owner_all);
    }
    std::string Program() const { return m_dir.File("Kestrelvx"); }
    std::string ArgsFile() const { return m_dir.File("args.txt"); }
    std::string Folder() const { return m_dir.Path(); }
    bool Started() const { return std::filesystem::exists(ArgsFile()); }
    std::vector<std::string> Args() const {
        std::vector<std::string> args;
        std::ifstream in(ArgsFile());
        for (std::string line; std::getline(in, line);) {
            args.push_back(line);
        }
        return args;
    }

private:
    testkit::TempDir m_dir;
};

// True when value follows name directly somewhere in args.
bool HasPair(const std::vector<std::string>& args, const std::string& name,
             const std::string& value) {
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name && args[i + 1] == value) {
            return true;
        }
    }
    return false;
}

size_t IndexOf(const std::vector<std::string>& args, const std::string& word) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == word) {
            return i;
        }
    }
    return args.size();
}

class KestrelvxProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<testkit::TempDir>();
        ASSERT_TRUE(testkit::MakeClip(Clip("clip.mp4"), 3.0, 160, 120, true));
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    static std::string Clip(const std::string& name) { return s_dir->File(name); }

    static std::unique_ptr<testkit::TempDir> s_dir;
};

std::unique_ptr<testkit::TempDir> KestrelvxProcess::s_dir;

TEST_F(KestrelvxProcess, FfmpegBesideItGetsEveryOptionAsOneArgument) {
    FakeFfmpeg fake;
    const std::string title = "$(touch pwned) 'it''s' \"a\"; x";
    const std::string out = Clip("opts-cvt.mp4");
    const testkit::ProgramRun run = RunKestrelvx(
        ConversionWords(Clip("clip.mp4"), title,
                        " -vcodec xvid -s 321x241 -r 23.976 -bt 900 -maxrate 1200 -minrate 300 "
                        "-ac 1 -ab 96 -ar 48000",
                        1, 1, out),
        fake.Program());
    ASSERT_TRUE(fake.Started()) << run.output;
    const std::vector<std::string> args = fake.Args();
    EXPECT_TRUE(HasPair(args, "-metadata", "title=" + title));
    EXPECT_TRUE(HasPair(args, "-c:v", "mpeg4"));
    EXPECT_TRUE(HasPair(args, "-bf", "0"));
    EXPECT_TRUE(HasPair(args, "-vf", "scale=320:240,setsar=1"));
    EXPECT_TRUE(HasPair(args, "-r", "24000/1001"));
    EXPECT_TRUE(HasPair(args, "-b:v", "900k"));
    EXPECT_TRUE(HasPair(args, "-bt", "900k"));
    EXPECT_TRUE(HasPair(args, "-maxrate", "1200k"));
    EXPECT_TRUE(HasPair(args, "-minrate", "300k"));
    EXPECT_TRUE(HasPair(args, "-ac", "1"));
    EXPECT_TRUE(HasPair(args, "-b:a", "96k"));
    EXPECT_TRUE(HasPair(args, "-ar", "48000"));
    EXPECT_TRUE(HasPair(args, "-c:a", "aac"));
    EXPECT_TRUE(HasPair(args, "-movflags", "+faststart"));
    EXPECT_TRUE(HasPair(args, "-ss", "1"));
    EXPECT_TRUE(HasPair(args, "-t", "1"));
    EXPECT_LT(IndexOf(args, "-ss"), IndexOf(args, "-i")) << "the start is sought in the input";
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(args.back(), "file:" + out);
    EXPECT_FALSE(std::filesystem::exists(fake.Folder() + "/pwned"));
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    // The fake wrote nothing: that is a failure, whatever its exit status.
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("was not written"), std::string::npos) << run.output;
}

TEST_F(KestrelvxProcess, BadValuesAreRefusedBeforeFfmpegStarts) {
    FakeFfmpeg fake;
    for (const char* options :
         {" -vcodec xvid -s x", " -vcodec xvid -s 8x8", " -vcodec xvid -s 9000x240",
          " -vcodec xvid -s 320X240", " -vcodec xvid -r 0.000", " -vcodec xvid -r fast",
          " -vcodec xvid -b -768", " -vcodec xvid -b 768k", " -vcodec xvid -b 0",
          " -vcodec xvid -ar 44000", " -vcodec xvid -ac 9", " -vcodec xvid -ab 100000",
          " -vcodec h265", "-target pal-bluray", "-target secam-dvd",
          "-target pal-dvd -s 320x240"}) {
        const testkit::ProgramRun run =
            RunKestrelvx(ConversionWords(Clip("clip.mp4"), "x", options, 0, 2, Clip("bad-cvt.mp4")),
                         fake.Program());
        EXPECT_NE(run.exitCode, 0) << options;
        EXPECT_EQ(run.output.find("Kestrelvx: "), 0u) << options << ": " << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << options << ": " << run.output;
        EXPECT_FALSE(fake.Started()) << options;
    }
    const testkit::ProgramRun zero = RunKestrelvx(
        ConversionWords(Clip("clip.mp4"), "x", " -vcodec xvid", 0, 0, Clip("zero-cvt.mp4")),
        fake.Program());
    EXPECT_NE(zero.exitCode, 0);
    const testkit::ProgramRun avi = RunKestrelvx(
        ConversionWords(Clip("clip.mp4"), "x", " -vcodec xvid", 0, 2, Clip("clip-cvt.avi")),
        fake.Program());
    EXPECT_NE(avi.exitCode, 0);
    EXPECT_FALSE(fake.Started());
}

TEST_F(KestrelvxProcess, StatusLinesKeepComingWhileFfmpegIsSilent) {
    FakeFfmpeg fake("1.5");
    const testkit::ProgramRun run = RunKestrelvx(
        ConversionWords(Clip("clip.mp4"), "x", " -vcodec xvid", 0, 2, Clip("quiet-cvt.mp4")),
        fake.Program());
    int statusLines = 0;
    for (size_t at = run.output.find("time="); at != std::string::npos;
         at = run.output.find("time=", at + 1)) {
        ++statusLines;
        const size_t end = run.output.find_first_of("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(run.output[end], '\r');
    }
    // One every 250 ms; at least one per 500 ms even on a busy machine.
    EXPECT_GE(statusLines, 3) << run.output;
}

TEST_F(KestrelvxProcess, FfmpegIsNeverTakenFromTheCurrentFolder) {
    FakeFfmpeg fake; // its folder holds an "ffmpeg" but becomes only the current folder
    const std::string command =
        "cd " + testkit::ShellQuote(fake.Folder()) + " && PATH=.::relative exec " +
        testkit::ShellQuote(testkit::BinDir() + "/Kestrelvx") + " 'tmk52hsRW&!' -i " +
        testkit::ShellQuote(Clip("clip.mp4")) + " -y " + testkit::ShellQuote(Clip("cwd-cvt.mp4"));
    const testkit::ProgramRun run = testkit::RunProgram({"/bin/sh", "-c", command});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("ffmpeg program was found neither"), std::string::npos) << run.output;
    EXPECT_FALSE(fake.Started());
}

// Processes of a process group that are still alive (zombies have ended).
int LiveMembers(pid_t group) {
    int count = 0;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return -1;
    }
    while (const dirent* entry = readdir(proc)) {
        const std::string name = entry->d_name;
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream in("/proc/" + name + "/stat");
        std::string stat;
        std::getline(in, stat);
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream fields(stat.substr(close + 2));
        char state = 0;
        long parent = 0;
        long pgrp = 0;
        fields >> state >> parent >> pgrp;
        if (pgrp == group && state != 'Z' && state != 'X') {
            ++count;
        }
    }
    closedir(proc);
    return count;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

class KestrelvxEnded : public KestrelvxProcess, public ::testing::WithParamInterface<int> {};

TEST_P(KestrelvxEnded, LeavesNoFfmpegRunning) {
    const int signo = GetParam();
    const std::string input = Clip("long.mp4");
    if (!std::filesystem::exists(input)) {
        ASSERT_TRUE(testkit::MakeClip(input, 20.0, 64, 48, true));
    }
    const std::string log = Clip("ended-" + std::to_string(signo) + ".log");
    std::vector<std::string> words = {testkit::BinDir() + "/Kestrelvx", kestrelvx_test::kToken};
    for (const std::string& word :
         ConversionWords(input, "x", "-target pal-dvd", 0, 20, Clip("ended-cvt.mpg"))) {
        words.push_back(word);
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setpgid(0, 0); // a group of its own, as the application starts it
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    setpgid(child, child);
    const bool started = WaitFor([&] { return LiveMembers(child) >= 2; }, 20000);
    kill(child, signo);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(started) << "ffmpeg never started";
    EXPECT_TRUE(WaitFor([&] { return LiveMembers(child) == 0; }, 5000))
        << "an ffmpeg process outlived Kestrelvx";
    kill(-child, SIGKILL); // in case the check above failed
    if (signo == SIGTERM) {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_NE(text.str().find("Kestrelvx: stopped by signal 15"), std::string::npos)
            << text.str();
    }
}

INSTANTIATE_TEST_SUITE_P(BySignal, KestrelvxEnded, ::testing::Values(SIGTERM, SIGKILL));

} // namespace
