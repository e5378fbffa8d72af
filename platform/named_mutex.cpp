#include "platform/named_mutex.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

std::string RuntimeFolder() {
    for (const char* var : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* dir = std::getenv(var);
        struct stat st {};
        if (dir != nullptr && *dir != '\0' && stat(dir, &st) == 0 && S_ISDIR(st.st_mode)) {
            return dir;
        }
    }
    return "/tmp";
}

namespace {

// Opens the lock file without following a link planted in a shared folder, and only uses a
// regular file that belongs to this user: another user's file could be held by them forever.
int OpenLockFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

CNamedMutex::CNamedMutex(std::string name)
    : m_strLockPath(RuntimeFolder() + "/" + std::move(name) + "-" + std::to_string(getuid()) +
                    ".lock") {}

CNamedMutex::~CNamedMutex() {
    if (m_nFd >= 0) {
        close(m_nFd);
    }
}

void CNamedMutex::lock() {
    m_mutex.lock();
    const pid_t self = getpid();
    if (m_nFd >= 0 && m_nOwnerPid != self) {
        // Inherited through fork: closing this copy leaves the parent's lock alone.
        close(m_nFd);
        m_nFd = -1;
    }
    if (m_nFd < 0) {
        // Opened on first use and kept: the descriptor is private to this process.
        m_nFd = OpenLockFile(m_strLockPath);
        m_nOwnerPid = self;
    }
    if (m_nFd >= 0) {
        while (flock(m_nFd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

void CNamedMutex::unlock() {
    if (m_nFd >= 0) {
        flock(m_nFd, LOCK_UN);
    }
    m_mutex.unlock();
}

} // namespace platform
