#include "platform/named_mutex.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string UniqueName() {
    return "lumicast-test-mutex-" + std::to_string(getpid());
}

// The parent holds the lock and marks, just before it lets go, that it is letting go. A waiter
// in another process that gets the lock must find the mark: it cannot have had the lock before.
// The child is forked after the parent opened its lock file, so both start with the same open
// file; a child that reused it would get the lock at once.
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
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::ofstream(mark) << "x";
    mutex.unlock();
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
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
