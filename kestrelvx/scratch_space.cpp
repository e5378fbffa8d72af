#include "kestrelvx/scratch_space.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "kestrelvx/run_verdict.h"

namespace kestrelvx {
namespace {

// Removes every file in the folder and the folder itself. Only system calls: the sweeper runs
// this in a child of a process that may have had threads.
void RemoveFolder(const char* folder) {
    const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        alignas(8) char buffer[4096];
        for (;;) {
            const long count = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
            if (count <= 0) {
                break;
            }
            for (long at = 0; at < count;) {
                // struct linux_dirent64: ino (8), off (8), reclen (2), type (1), name.
                unsigned short length = 0;
                std::memcpy(&length, buffer + at + 16, sizeof length);
                const char* name = buffer + at + 19;
                if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
                    unlinkat(fd, name, 0);
                }
                at += length;
            }
        }
        close(fd);
    }
    rmdir(folder);
}

std::string TemporaryFolderBase() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
}

} // namespace

CScratchSpace::~CScratchSpace() {
    if (!m_strPart.empty()) {
        unlink(m_strPart.c_str());
    }
    if (!m_strFolder.empty()) {
        RemoveFolder(m_strFolder.c_str());
    }
    if (m_nSweeperFd >= 0) {
        close(m_nSweeperFd); // the sweeper finds nothing left and ends
    }
    if (m_nSweeper > 0) {
        int status = 0;
        while (waitpid(m_nSweeper, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

bool CScratchSpace::Create(const std::string& output, std::string& reason) {
    std::string folder = TemporaryFolderBase() + "/kestrelvx-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) {
        reason = "cannot make a temporary folder in '" + TemporaryFolderBase() +
                 "' for the two passes: " + std::strerror(errno);
        return false;
    }
    m_strFolder = folder;
    std::string part = FolderOf(output) + "/.kestrelvx-XXXXXX";
    const int fd = mkostemp(part.data(), O_CLOEXEC);
    if (fd < 0) {
        reason = "cannot write into the folder '" + FolderOf(output) + "': " + std::strerror(errno);
        return false;
    }
    m_strPart = part;
    // mkostemp makes the file private; the output gets the permissions of any new file.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    StartSweeper();
    return true;
}

void CScratchSpace::StartSweeper() {
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return; // the files are still removed when Kestrelvx ends by itself
    }
    const pid_t child = fork();
    if (child == 0) {
        // Nothing of Kestrelvx's stays open here (above all not its output pipe and the write end
        // of this pipe), so that the sweeper holds up no reader and sees the pipe's end.
        setsid();
        const int wait = ends[0];
        close_range(3, static_cast<unsigned>(wait) - 1, 0);
        close_range(static_cast<unsigned>(wait) + 1, ~0U, 0);
        const int devnull = open("/dev/null", O_RDWR);
        for (int fd = 0; fd <= 2 && devnull >= 0; ++fd) {
            dup2(devnull, fd);
        }
        if (devnull > 2) {
            close(devnull);
        }
        for (;;) {
            char byte = 0;
            const ssize_t got = read(wait, &byte, 1);
            if (got == 0 || (got < 0 && errno != EINTR)) {
                break;
            }
        }
        unlink(m_strPart.c_str());
        RemoveFolder(m_strFolder.c_str());
        _exit(0);
    }
    close(ends[0]);
    if (child < 0) {
        close(ends[1]);
        return;
    }
    m_nSweeper = child;
    m_nSweeperFd = ends[1];
}

bool CScratchSpace::Finish(const std::string& output, bool replace, std::string& reason) {
    const int moved = replace ? rename(m_strPart.c_str(), output.c_str())
                              : renameat2(AT_FDCWD, m_strPart.c_str(), AT_FDCWD, output.c_str(),
                                          RENAME_NOREPLACE);
    if (moved != 0) {
        reason = "cannot move the finished output to '" + output + "': " + std::strerror(errno);
        return false;
    }
    m_strPart.clear();
    return true;
}

} // namespace kestrelvx
