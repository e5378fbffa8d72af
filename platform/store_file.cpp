#include "platform/store_file.h"

#include "platform/file_paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

CStoreFileLock::CStoreFileLock(const std::string& lockPath, bool bWait) {
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return;
    }
    int rc = 0;
    while ((rc = flock(fd, bWait ? LOCK_EX : LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        close(fd);
        return;
    }
    m_nFd = fd;
}

CStoreFileLock::~CStoreFileLock() {
    if (m_nFd >= 0) {
        // Closing the only descriptor of the open file releases the lock.
        close(m_nFd);
    }
}

namespace {

bool WriteAll(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool ReplaceFileContents(const std::string& path, const std::string& contents) {
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // Keep the mode of the file being replaced, so a user's chosen permissions survive.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        fchmod(fd, st.st_mode & 07777);
    }
    const bool written = WriteAll(fd, contents) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(name.data(), path.c_str()) != 0) {
        unlink(name.data());
        return false;
    }
    // The rename itself reaches the disk with the folder's entry.
    const int dirFd = open(FolderOfPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

int FileReadError(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    struct stat st {};
    const int nError = fstat(fd, &st) != 0 ? errno : (S_ISDIR(st.st_mode) ? EISDIR : 0);
    close(fd);
    return nError;
}

int FolderWriteError(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) {
        return errno;
    }
    if (!S_ISDIR(st.st_mode)) {
        return ENOTDIR;
    }
    // access() asks the kernel with the real ids, and it answers EROFS for a read-only mount.
    return access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

std::string ErrorText(int nError) {
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which may or may not be the buffer.
    const char* text = strerror_r(nError, buffer, sizeof(buffer));
    return text != nullptr ? text : "error " + std::to_string(nError);
}

} // namespace platform
