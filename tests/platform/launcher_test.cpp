// The detached launcher and the desktop's handler started through it: what could not be started is
// told apart, and the end of what was started is reported to the caller.
#include "platform/desktop_open.h"
#include "platform/launcher.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr auto kEndWait = std::chrono::seconds(60);

void WriteScript(const std::string& strPath, const std::string& strBody) {
    std::ofstream(strPath) << "#!/bin/sh\n" << strBody;
    chmod(strPath.c_str(), 0755);
}

std::string ReadFile(const std::string& strPath) {
    std::ifstream file(strPath);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A launch whose end the test waits for.
struct Ended {
    std::shared_ptr<std::promise<int>> promise = std::make_shared<std::promise<int>>();
    std::future<int> future = promise->get_future();

    platform::LaunchEndFunction Function() {
        return [promise = promise](int nExitCode) { promise->set_value(nExitCode); };
    }
    // The exit code, or -1 when the end was not reported in time.
    int Wait() {
        return future.wait_for(kEndWait) == std::future_status::ready ? future.get() : -1;
    }
};

// Sets PATH for the life of the object.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& strValue) {
        const char* pszOld = std::getenv("PATH");
        m_strOld = pszOld != nullptr ? pszOld : "";
        setenv("PATH", strValue.c_str(), 1);
    }
    ~ScopedPath() { setenv("PATH", m_strOld.c_str(), 1); }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    std::string m_strOld;
};

TEST(Launcher, ReportsWhyNotStartedAndHowAStartedProgramEnded) {
    testkit::TempDir dir;
    // Each argument reaches the program whole; its exit status comes back.
    const std::string strRecord = dir.File("args.txt");
    WriteScript(dir.File("prog"),
                "printf '%s\\n' \"$@\" > " + testkit::ShellQuote(strRecord) + "\nexit 3\n");
    Ended exited;
    EXPECT_TRUE(
        platform::LaunchDetached({dir.File("prog"), "a b", "\"c\""}, exited.Function()).Started());
    EXPECT_EQ(exited.Wait(), 3);
    EXPECT_EQ(ReadFile(strRecord), "a b\n\"c\"\n");

    // A program ended by a signal: 128 + the signal.
    Ended killed;
    WriteScript(dir.File("killed"), "kill -TERM $$\n");
    EXPECT_TRUE(platform::LaunchDetached({dir.File("killed")}, killed.Function()).Started());
    EXPECT_EQ(killed.Wait(), 128 + SIGTERM);

    // A bare name is looked for in PATH only.
    {
        ScopedPath path(dir.Path());
        Ended found;
        EXPECT_TRUE(platform::LaunchDetached({"prog"}, found.Function()).Started());
        EXPECT_EQ(found.Wait(), 3);
        const platform::LaunchResult missing = platform::LaunchDetached({"no-such-program"});
        EXPECT_EQ(missing.fault, platform::LaunchFault::kFileNotFound);
        EXPECT_EQ(missing.nError, ENOENT);
    }
    WriteScript(dir.File("not-runnable"), "exit 0\n");
    chmod(dir.File("not-runnable").c_str(), 0644);
    EXPECT_EQ(platform::LaunchDetached({dir.File("not-runnable")}).fault,
              platform::LaunchFault::kAccessDenied);
    EXPECT_EQ(platform::LaunchDetached({dir.Path()}).fault, platform::LaunchFault::kBadFormat);
    EXPECT_EQ(platform::LaunchDetached({dir.File("gone/prog")}).fault,
              platform::LaunchFault::kPathNotFound);
    EXPECT_EQ(platform::LaunchDetached({}).fault, platform::LaunchFault::kNoHandler);
}

TEST(DesktopOpen, MissingXdgOpenIsFileNotFoundAndItsExitStatusIsReported) {
    testkit::TempDir dir;
    ScopedPath path(dir.Path());
    EXPECT_EQ(platform::OpenWithDesktop("/tmp/Lumicast.html").fault,
              platform::LaunchFault::kFileNotFound);

    // A stand-in xdg-open receives the target as its one argument and fails as the real one does
    // for a target without a handler.
    const std::string strRecord = dir.File("target.txt");
    WriteScript(dir.File("xdg-open"),
                "printf '%s|' \"$@\" > " + testkit::ShellQuote(strRecord) + "\nexit 4\n");
    Ended opened;
    EXPECT_TRUE(platform::OpenWithDesktop("/a folder/Lumicast.html", opened.Function()).Started());
    EXPECT_EQ(opened.Wait(), 4);
    EXPECT_EQ(ReadFile(strRecord), "/a folder/Lumicast.html|");
    // A target that would read as an option is passed as a path.
    Ended dashed;
    EXPECT_TRUE(platform::OpenWithDesktop("-v", dashed.Function()).Started());
    EXPECT_EQ(dashed.Wait(), 4);
    EXPECT_EQ(ReadFile(strRecord), "./-v|");
}

} // namespace
