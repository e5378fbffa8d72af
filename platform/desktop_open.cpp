#include "platform/desktop_open.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {

std::string FindProgramOnPath(const std::string& strName) {
    if (strName.empty() || strName.find('/') != std::string::npos) {
        return std::string();
    }
    const char* pszPath = std::getenv("PATH");
    const std::string strPath = pszPath != nullptr ? pszPath : "/usr/local/bin:/usr/bin:/bin";
    std::string::size_type nStart = 0;
    while (nStart <= strPath.size()) {
        std::string::size_type nEnd = strPath.find(':', nStart);
        if (nEnd == std::string::npos) {
            nEnd = strPath.size();
        }
        const std::string strFolder = strPath.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (strFolder.empty() || strFolder[0] != '/') {
            continue; // the current folder is never searched
        }
        std::string strCandidate = strFolder;
        if (strCandidate.back() != '/') {
            strCandidate += '/';
        }
        strCandidate += strName;
        if (access(strCandidate.c_str(), X_OK) == 0) {
            return strCandidate;
        }
    }
    return std::string();
}

int OpenWithDesktop(const std::string& strTarget) {
    const std::string strProgram = FindProgramOnPath("xdg-open");
    if (strProgram.empty()) {
        return ENOENT;
    }
    // A target that begins with "-" would read as an option.
    const std::string strArgument =
        (!strTarget.empty() && strTarget[0] == '-') ? "./" + strTarget : strTarget;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    if (const int nError = posix_spawn_file_actions_init(&actions); nError != 0) {
        return nError;
    }
    if (const int nError = posix_spawnattr_init(&attr); nError != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return nError;
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // Its own session, so it outlives the application and gets none of its terminal signals.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);

    std::vector<char*> argv;
    std::string strArg0 = strProgram;
    std::string strArg1 = strArgument;
    argv.push_back(strArg0.data());
    argv.push_back(strArg1.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int nError = posix_spawn(&pid, strProgram.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (nError != 0) {
        return nError;
    }
    // Collect its end in the background; the handler it starts is not its child's concern.
    std::thread([pid] {
        int nStatus = 0;
        while (waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

} // namespace platform
