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

NamedMutex::NamedMutex(std::string name)
    : m_strLockPath(RuntimeFolder() + "/" + std::move(name) + "-" + std::to_string(getuid()) +
                    ".lock") {}

NamedMutex::~NamedMutex() {
    if (m_nFd >= 0) {
        close(m_nFd);
    }
}

void NamedMutex::lock() {
    m_mutex.lock();
    if (m_nFd < 0) {
        // Opened on first use and kept: the descriptor is private to this process.
        m_nFd = open(m_strLockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    }
    if (m_nFd >= 0) {
        while (flock(m_nFd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

void NamedMutex::unlock() {
    if (m_nFd >= 0) {
        flock(m_nFd, LOCK_UN);
    }
    m_mutex.unlock();
}

} // namespace platform
