#pragma once
#include <mutex>
#include <string>
#include <sys/types.h>

namespace platform {

// A lock shared by every thread of this process and every process that uses the same name:
// an in-process mutex plus flock() on a lock file named after the mutex in the runtime folder.
// The kernel drops a flock when its holder dies, so a crashed holder never leaves it taken.
class CNamedMutex {
public:
    explicit CNamedMutex(std::string name);
    ~CNamedMutex();
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

    void lock();
    void unlock();

    // The lock file this mutex uses ($XDG_RUNTIME_DIR, else the temporary folder).
    const std::string& LockFilePath() const { return m_strLockPath; }

private:
    std::string m_strLockPath;
    std::mutex m_mutex;
    int m_nFd = -1;
    // The process that opened m_nFd. A flock belongs to the open file description, which a
    // forked child shares with its parent, so a child opens the lock file afresh.
    pid_t m_nOwnerPid = -1;
};

// Folder for per-user runtime files: $XDG_RUNTIME_DIR when it is an existing folder, else $TMPDIR,
// else /tmp.
std::string RuntimeFolder();

} // namespace platform
