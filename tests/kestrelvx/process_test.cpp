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

#include "common/fake_encoder.h"
#include "common/media.h"
#include "common/processes.h"
#include "common/testkit.h"
#include "kestrelvx/helpers/kestrelvx_runner.h"

namespace {

using kestrelvx_test::ConversionWords;
using kestrelvx_test::RunKestrelvx;

// A copy of Kestrelvx with a scripted "ffmpeg" beside it that writes its arguments, one per
// line, to args.txt, runs `then` (shell lines), and ends without writing anything.
class FakeFfmpeg {
public:
    explicit FakeFfmpeg(const std::string& then = "") {
        const std::string kestrelvx = m_dir.File("Kestrelvx");
        std::filesystem::copy_file(testkit::BinDir() + "/Kestrelvx", kestrelvx);
        testkit::WriteScript(m_dir.Path(), "ffmpeg",
                             "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > " +
                                 testkit::ShellQuote(ArgsFile()) + "\n" + then);
    }
    std::string Program() const { return m_dir.File("Kestrelvx"); }
    std::string ArgsFile() const { return m_dir.File("args.txt"); }
    std::string Folder() const { return m_dir.Path(); }
    bool Started() const { return std::filesystem::exists(ArgsFile()); }
    std::vector<std::string> Args() const { return testkit::ReadLines(ArgsFile()); }

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
    // The fake ffmpeg says nothing and ends only once Kestrelvx has written three status lines
    // (or, were none to come, after a minute).
    testkit::TempDir work;
    const std::string output = work.File("output.txt");
    FakeFfmpeg fake("n=0\nwhile [ \"$(grep -o 'time=' " + testkit::ShellQuote(output) +
                    " | wc -l)\" -lt 3 ] && [ $n -lt 1200 ]; do sleep 0.05; n=$((n + 1)); done\n");
    std::string command = "exec " + testkit::ShellQuote(fake.Program()) + " " +
                          testkit::ShellQuote(kestrelvx_test::kToken);
    for (const std::string& word :
         ConversionWords(Clip("clip.mp4"), "x", " -vcodec xvid", 0, 2, Clip("quiet-cvt.mp4"))) {
        command += " " + testkit::ShellQuote(word);
    }
    testkit::RunProgram({"/bin/sh", "-c", command + " > " + testkit::ShellQuote(output) + " 2>&1"},
                        2 * testkit::kPatientMs);
    const std::string text = testkit::ReadFile(output);
    int statusLines = 0;
    for (size_t at = text.find("time="); at != std::string::npos; at = text.find("time=", at + 1)) {
        ++statusLines;
        const size_t end = text.find_first_of("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(text[end], '\r');
    }
    EXPECT_GE(statusLines, 3) << text;
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
    const bool started = testkit::WaitUntil([&] { return testkit::LiveGroupMembers(child) >= 2; });
    kill(child, signo);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(started) << "ffmpeg never started";
    EXPECT_TRUE(testkit::WaitUntil([&] { return testkit::LiveGroupMembers(child) == 0; }))
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
