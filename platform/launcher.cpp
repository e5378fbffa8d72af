#include "platform/launcher.h"

#include "platform/program_folder.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

LaunchResult Failure(LaunchFault fault, int nError) {
    return LaunchResult{fault, nError};
}

LaunchResult FailureFromErrno(int nError) {
    switch (nError) {
    case ENOENT:
        return Failure(LaunchFault::kFileNotFound, nError);
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return Failure(LaunchFault::kPathNotFound, nError);
    case EACCES:
    case EPERM:
        return Failure(LaunchFault::kAccessDenied, nError);
    case ENOMEM:
    case E2BIG:
        return Failure(LaunchFault::kNoMemory, nError);
    case ENOEXEC:
    case ELIBBAD:
    case EISDIR:
        return Failure(LaunchFault::kBadFormat, nError);
    case ETXTBSY:
        return Failure(LaunchFault::kBusy, nError);
    default: // EAGAIN and the like
        return Failure(LaunchFault::kNoResources, nError);
    }
}

// Why a program path cannot be run, found before trying: a missing file, a missing folder on its
// way (the start itself reports both as ENOENT), or a folder in its place.
LaunchResult CheckProgramPath(const std::string& strPath) {
    struct stat st {};
    if (stat(strPath.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode) ? Failure(LaunchFault::kBadFormat, EISDIR) : LaunchResult{};
    }
    const int nError = errno;
    if (nError != ENOENT) {
        return FailureFromErrno(nError);
    }
    const std::string::size_type nSlash = strPath.find_last_of('/');
    const std::string strFolder = nSlash == 0 ? "/" : strPath.substr(0, nSlash);
    struct stat stFolder {};
    if (!strFolder.empty() && stat(strFolder.c_str(), &stFolder) != 0) {
        return Failure(LaunchFault::kPathNotFound, nError);
    }
    return Failure(LaunchFault::kFileNotFound, nError);
}

int ExitCodeOf(int nStatus) {
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
}

// Collects the program's end on a thread of its own. Without a thread to spare it stays a zombie
// until the application ends, which harms nothing else, and its end is not reported.
void CollectEnd(pid_t pid, LaunchEndFunction fnEnd) {
    try {
        std::thread([pid, fnEnd = std::move(fnEnd)] {
            int nStatus = 0;
            pid_t r = 0;
            do {
                r = waitpid(pid, &nStatus, 0);
            } while (r < 0 && errno == EINTR);
            if (r == pid && fnEnd) {
                fnEnd(ExitCodeOf(nStatus));
            }
        }).detach();
    } catch (const std::system_error&) {
    }
}

} // namespace

LaunchResult LaunchDetached(const std::vector<std::string>& args, LaunchEndFunction fnEnd) {
    if (args.empty() || args[0].empty()) {
        return Failure(LaunchFault::kNoHandler, 0);
    }
    std::string strProgram = args[0];
    if (strProgram.find('/') == std::string::npos) {
        strProgram = FindProgramOnPath(args[0]);
        if (strProgram.empty()) {
            return Failure(LaunchFault::kFileNotFound, ENOENT);
        }
    } else if (const LaunchResult check = CheckProgramPath(strProgram); !check.Started()) {
        return check;
    }

    std::vector<std::string> argCopies = args;
    std::vector<char*> argv;
    argv.reserve(argCopies.size() + 1);
    for (std::string& strArg : argCopies) {
        argv.push_back(strArg.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    if (const int nError = posix_spawn_file_actions_init(&actions); nError != 0) {
        return FailureFromErrno(nError);
    }
    if (const int nError = posix_spawnattr_init(&attr); nError != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return FailureFromErrno(nError);
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);

    pid_t pid = -1;
    const int nError = posix_spawn(&pid, strProgram.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (nError != 0) {
        return FailureFromErrno(nError);
    }
    CollectEnd(pid, std::move(fnEnd));
    return LaunchResult{};
}

} // namespace platform
