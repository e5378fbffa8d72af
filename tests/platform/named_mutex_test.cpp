#include "platform/named_mutex.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string UniqueName() {
    return "lumicast-test-mutex-" + std::to_string(getpid());
}

// True once the process waits for a lock on a file (the kernel lists the waiter with "->").
bool WaitsForALock(pid_t pid) {
    std::istringstream locks(testkit::ReadFile("/proc/locks"));
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number;
        std::string arrow;
        std::string kind;
        std::string advisory;
        std::string mode;
        long holder = 0;
        if (fields >> number >> arrow >> kind >> advisory >> mode >> holder && arrow == "->" &&
            holder == pid) {
            return true;
        }
    }
    return false;
}

// The parent holds the lock and lets go only once the child waits for it, marking just before
// that it is letting go. The child, when it gets the lock, must find the mark: it cannot have
// had the lock before. The child is forked after the parent opened its lock file, so both start
// with the same open file; a child that reused it would get the lock at once.
TEST(CNamedMutex, ForkedChildWaitsForTheParent) {
    testkit::TempDir dir;
    const std::string mark = dir.File("released");
    platform::CNamedMutex mutex(UniqueName());
    mutex.lock();
    mutex.unlock();

    int toChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char c = 0;
        if (read(toChild[0], &c, 1) != 1) {
            _exit(3);
        }
        mutex.lock();
        const bool bAfterRelease = std::filesystem::exists(mark);
        mutex.unlock();
        _exit(bAfterRelease ? 0 : 1);
    }
    mutex.lock();
    ASSERT_EQ(write(toChild[1], "x", 1), 1);
    const bool bChildWaits = testkit::WaitUntil([child] { return WaitsForALock(child); });
    std::ofstream(mark) << "x";
    mutex.unlock();
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_TRUE(bChildWaits) << "the child did not wait for the lock the parent held";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child took the lock while the parent held it";
    close(toChild[0]);
    close(toChild[1]);
    std::filesystem::remove(mutex.LockFilePath());
}

TEST(CNamedMutex, LockFileIsPerUserInTheRuntimeFolder) {
    platform::CNamedMutex mutex("ZURURER");
    EXPECT_EQ(mutex.LockFilePath(),
              platform::RuntimeFolder() + "/ZURURER-" + std::to_string(getuid()) + ".lock");
}

} // namespace
