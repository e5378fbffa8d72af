#include "platform/child_proc.h"

#include "common/fake_encoder.h"
#include "common/processes.h"
#include "common/testkit.h"
#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

int CountOpenFds() {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++n;
    }
    return n;
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[512];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

class ChildProcTest : public ::testing::Test {
protected:
    // Writes a script under `name` into the program folder and returns its command line.
    std::string Script(const std::string& name, const std::string& body) {
        testkit::WriteScript(m_dir.Path(), name, body);
        return name;
    }

    // Starts a child that starts a grandchild that would outlive it, then waits; returns the
    // grandchild's process id (0 when something failed).
    pid_t StartParentOfSleeper(ChildProc& proc) {
        m_strParent = Script("parent", "sleep 600 &\necho $!\nwait\n");
        proc.pszCommandLine = m_strParent.c_str();
        proc.nOptions = kChildProcRedirectOutput;
        char buffer[64] = {};
        if (ChildProcStart(proc) != 0 || read(proc.nOutputFd, buffer, sizeof buffer - 1) <= 0) {
            return 0;
        }
        return static_cast<pid_t>(std::atoi(buffer));
    }

    testkit::TempDir m_dir;
    testkit::ScopedProgramFolder m_folder{m_dir.Path()};
    std::string m_strParent;
};

TEST_F(ChildProcTest, BothStreamsReachOnePipeAndEverythingIsReleased) {
    const int fdsBefore = CountOpenFds();
    const std::string command = Script("talk", "echo out; echo err >&2; exit 3\n");
    ChildProc proc{};
    proc.pszCommandLine = command.c_str();
    proc.nOptions = kChildProcRedirectOutput;
    ASSERT_EQ(ChildProcStart(proc), 0);
    EXPECT_GT(proc.nProcessId, 0);
    EXPECT_EQ(getpgid(proc.nProcessId), proc.nProcessId) << "the child leads its own group";
    EXPECT_EQ(fcntl(proc.nOutputFd, F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);

    EXPECT_EQ(ReadAll(proc.nOutputFd), "out\nerr\n");
    EXPECT_EQ(ChildProcWait(proc, -1), 0);
    EXPECT_TRUE(proc.bEnded);
    EXPECT_EQ(proc.nExitCode, 3);
    EXPECT_EQ(ChildProcTerminate(proc), -1) << "it had ended by itself";
    EXPECT_EQ(proc.nExitCode, 3) << "the status seen before terminating is kept";
    EXPECT_EQ(ChildProcClose(proc), 0);
    EXPECT_EQ(proc.nProcessId, 0);
    EXPECT_EQ(proc.nOutputFd, -1);
    EXPECT_EQ(proc.nProcessFd, -1);
    EXPECT_EQ(ChildProcClose(proc), -1) << "nothing left to close";
    EXPECT_EQ(CountOpenFds(), fdsBefore);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(ChildProcTest, RefusedStartsLeaveNothingBehind) {
    const int fdsBefore = CountOpenFds();
    ChildProc empty{};
    EXPECT_EQ(ChildProcStart(empty), -1) << "no command line";
    empty.pszCommandLine = "   ";
    EXPECT_EQ(ChildProcStart(empty), -1) << "blank command line";

    ChildProc missing{};
    missing.pszCommandLine = "NoSuchProgramAnywhere -i \"x\"";
    missing.nOptions = kChildProcRedirectOutput;
    EXPECT_EQ(ChildProcStart(missing), -1);
    EXPECT_EQ(missing.nOutputFd, -1);

    // Found and executable, but its interpreter is missing: the exec itself fails.
    const std::string broken = m_dir.File("broken");
    {
        std::ofstream out(broken);
        out << "#!/nonexistent/interpreter\n";
    }
    std::filesystem::permissions(broken, std::filesystem::perms::owner_all);
    ChildProc failing{};
    failing.pszCommandLine = "broken";
    failing.nOptions = kChildProcRedirectOutput;
    EXPECT_EQ(ChildProcStart(failing), -1);
    EXPECT_EQ(failing.nProcessId, 0);

    // A record that already holds a process is refused.
    const std::string command = Script("idle", "sleep 600\n");
    ChildProc proc{};
    proc.pszCommandLine = command.c_str();
    ASSERT_EQ(ChildProcStart(proc), 0);
    const auto pid = proc.nProcessId;
    EXPECT_EQ(ChildProcStart(proc), -1);
    EXPECT_EQ(proc.nProcessId, pid);
    EXPECT_EQ(ChildProcTerminate(proc), 0);
    EXPECT_EQ(proc.nExitCode, 128 + SIGKILL);
    ChildProcClose(proc);

    EXPECT_EQ(ChildProcTerminate(proc), -1) << "no process held";
    EXPECT_EQ(ChildProcSetPriority(proc, 1), -1) << "no process held";
    EXPECT_EQ(CountOpenFds(), fdsBefore);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(ChildProcTest, ChildInheritsOnlyTheStandardDescriptors) {
    // A descriptor opened without close-on-exec, as a careless library might.
    const int leaky = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 0);
    const std::string command =
        Script("probe-fds", "if [ -e /proc/$$/fd/" + std::to_string(leaky) +
                                " ]; then echo leaked; else echo clean; fi\n");
    ChildProc proc{};
    proc.pszCommandLine = command.c_str();
    proc.nOptions = kChildProcRedirectOutput;
    ASSERT_EQ(ChildProcStart(proc), 0);
    EXPECT_EQ(ReadAll(proc.nOutputFd), "clean\n");
    ChildProcTerminate(proc);
    ChildProcClose(proc);
    close(leaky);
}

TEST_F(ChildProcTest, TerminateEndsTheWholeGroup) {
    ChildProc proc{};
    const pid_t grandchild = StartParentOfSleeper(proc);
    ASSERT_GT(grandchild, 0);
    EXPECT_EQ(getpgid(grandchild), proc.nProcessId);
    EXPECT_EQ(ChildProcWait(proc, 50), -1) << "still running";
    EXPECT_FALSE(proc.bEnded);

    EXPECT_EQ(ChildProcTerminate(proc), 0);
    EXPECT_TRUE(proc.bEnded);
    EXPECT_TRUE(testkit::WaitUntil([&] { return !testkit::IsAlive(grandchild); }));
    EXPECT_EQ(ReadAll(proc.nOutputFd), "") << "every writer of the pipe is gone";
    ChildProcClose(proc);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(ChildProcTest, CloseOrTheRecordsEndEndsAChildThatStillRuns) {
    const std::string command = Script("idle", "sleep 600\n");
    ChildProc proc{};
    proc.pszCommandLine = command.c_str();
    ASSERT_EQ(ChildProcStart(proc), 0);
    const auto pid = proc.nProcessId;
    EXPECT_EQ(proc.nOutputFd, -1) << "no pipe without the option";
    EXPECT_EQ(ChildProcClose(proc), 0);
    EXPECT_FALSE(testkit::IsAlive(pid));
    EXPECT_TRUE(testkit::NoChildren());

    // A record that goes while its child runs ends the child's whole group and closes the pipe.
    const int fdsBefore = CountOpenFds();
    pid_t grandchild = 0;
    {
        ChildProc scoped{};
        grandchild = StartParentOfSleeper(scoped);
        ASSERT_GT(grandchild, 0);
    }
    EXPECT_TRUE(testkit::WaitUntil([&] { return !testkit::IsAlive(grandchild); }));
    EXPECT_EQ(CountOpenFds(), fdsBefore);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(ChildProcTest, PriorityClasses) {
    const std::string command = Script("idle", "sleep 600\n");
    ChildProc proc{};
    proc.pszCommandLine = command.c_str();
    ASSERT_EQ(ChildProcStart(proc), 0);
    EXPECT_EQ(ChildProcSetPriority(proc, 6), -1);
    EXPECT_EQ(ChildProcSetPriority(proc, -1), -1);

    ASSERT_EQ(ChildProcSetPriority(proc, 1), 0);
    const int policy = sched_getscheduler(proc.nProcessId);
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(proc.nProcessId));
    EXPECT_TRUE(policy == SCHED_IDLE || nice == 19) << policy << " " << nice;

    if (geteuid() == 0) {
        // Going back up needs the privilege to raise priority.
        ASSERT_EQ(ChildProcSetPriority(proc, 2), 0);
        EXPECT_EQ(sched_getscheduler(proc.nProcessId), SCHED_OTHER);
        EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(proc.nProcessId)), 0);
    }
    ChildProcTerminate(proc);
    ChildProcClose(proc);
}

TEST_F(ChildProcTest, QueuedTimeIsKnownWhileAProcessIsHeld) {
    ChildProc none{};
    EXPECT_EQ(ChildProcQueuedMs(none), -1);
    const std::string command = Script("idle", "sleep 600\n");
    ChildProc proc{};
    proc.pszCommandLine = command.c_str();
    ASSERT_EQ(ChildProcStart(proc), 0);
    const auto first = ChildProcQueuedMs(proc);
    EXPECT_GE(first, 0);
    EXPECT_GE(ChildProcQueuedMs(proc), first);
    ChildProcTerminate(proc);
    EXPECT_EQ(ChildProcQueuedMs(proc), -1) << "reaped";
    ChildProcClose(proc);
}

TEST_F(ChildProcTest, WaitReportsTheEndWithinItsTime) {
    // The child ends once the test lets it: before, a wait finds it running.
    const std::string go = m_dir.File("go");
    const std::string command = Script("short", testkit::WaitForFileBody(go) + "exit 0\n");
    ChildProc proc{};
    proc.pszCommandLine = command.c_str();
    ASSERT_EQ(ChildProcStart(proc), 0);
    EXPECT_EQ(ChildProcWait(proc, 0), -1);
    EXPECT_EQ(ChildProcWait(proc, 50), -1);
    ASSERT_TRUE(testkit::WriteFile(go, ""));
    EXPECT_EQ(ChildProcWait(proc, testkit::kPatientMs), 0);
    EXPECT_EQ(proc.nExitCode, 0);
    // Seen but not yet reaped: the group id stays the child's own until it is closed.
    EXPECT_EQ(ChildProcWait(proc, 0), 0);
    ChildProcTerminate(proc);
    ChildProcClose(proc);
    EXPECT_TRUE(testkit::NoChildren());
}

TEST_F(ChildProcTest, StartsFromSeveralThreadsAtOnce) {
    const std::string command = Script("talk", "echo hi\n");
    const int fdsBefore = CountOpenFds();
    auto worker = [&command](std::string* out) {
        for (int i = 0; i < 10; ++i) {
            ChildProc proc{};
            proc.pszCommandLine = command.c_str();
            proc.nOptions = kChildProcRedirectOutput;
            if (ChildProcStart(proc) != 0) {
                *out += "start failed;";
                continue;
            }
            *out += ReadAll(proc.nOutputFd);
            ChildProcTerminate(proc);
            ChildProcClose(proc);
        }
    };
    std::string a;
    std::string b;
    std::thread t1(worker, &a);
    std::thread t2(worker, &b);
    t1.join();
    t2.join();
    std::string expected;
    for (int i = 0; i < 10; ++i) {
        expected += "hi\n";
    }
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);
    EXPECT_EQ(CountOpenFds(), fdsBefore);
    EXPECT_TRUE(testkit::NoChildren());
}

} // namespace
