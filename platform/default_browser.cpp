#include "platform/default_browser.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "platform/desktop_open.h"

extern char** environ;

namespace platform {

namespace {

int CodeFromErrno(int nError) {
    switch (nError) {
    case ENOENT:
        return kOpenFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return kOpenPathNotFound;
    case EACCES:
    case EPERM:
        return kOpenAccessDenied;
    case ENOMEM:
    case E2BIG:
        return kOpenNoMemory;
    case ENOEXEC:
    case ELIBBAD:
    case EISDIR:
        return kOpenBadFormat;
    case ETXTBSY:
        return kOpenSharingViolation;
    default: // EAGAIN and the like: the system is out of resources
        return kOpenNoCommand;
    }
}

// Why a program path cannot be run before trying: a missing file, or a missing folder on its way.
int CheckProgramPath(const std::string& strPath) {
    struct stat st {};
    if (stat(strPath.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode) ? kOpenBadFormat : kOpenStarted;
    }
    const int nError = errno;
    if (nError == ENOENT) {
        const std::string::size_type nSlash = strPath.find_last_of('/');
        const std::string strFolder = nSlash == 0 ? "/" : strPath.substr(0, nSlash);
        struct stat stFolder {};
        if (!strFolder.empty() && stat(strFolder.c_str(), &stFolder) != 0) {
            return kOpenPathNotFound;
        }
        return kOpenFileNotFound;
    }
    return CodeFromErrno(nError);
}

// Where the first of the given codes begins in the text (npos when none is there).
std::string::size_type FirstOf(const std::string& strText, const char* const* codes,
                               std::size_t nCodes) {
    std::string::size_type nFirst = std::string::npos;
    for (std::size_t n = 0; n < nCodes; ++n) {
        const std::string::size_type nPos = strText.find(codes[n]);
        if (nPos < nFirst) {
            nFirst = nPos;
        }
    }
    return nFirst;
}

} // namespace

std::string BrowserCommandLine(const std::string& strExec, const std::string& strAddress) {
    static const char* const kQuoted[] = {"\"%u\"", "\"%U\"", "\"%f\"", "\"%F\""};
    static const char* const kBare[] = {"%u", "%U", "%f", "%F"};
    std::string::size_type nCut = FirstOf(strExec, kQuoted, 4);
    if (nCut == std::string::npos) {
        nCut = FirstOf(strExec, kBare, 4);
    }
    std::string strCommand = nCut == std::string::npos ? strExec : strExec.substr(0, nCut);
    strCommand += ' ';
    strCommand += strAddress;
    return strCommand;
}

std::string FindDefaultBrowserEntry(const XdgFolders& folders) {
    std::string strEntry = FindDefaultDesktopEntry(folders, "x-scheme-handler/https");
    if (strEntry.empty()) {
        strEntry = FindDefaultDesktopEntry(folders, "text/html");
    }
    return strEntry;
}

int OpenInDefaultBrowser(const std::string& strAddress, const XdgFolders& folders) {
    const std::string strEntry = FindDefaultBrowserEntry(folders);
    std::string strExec;
    if (strEntry.empty() || !ReadDesktopEntryValue(strEntry, "Exec", strExec) ||
        strExec.find_first_not_of(" \t") == std::string::npos) {
        return kOpenNoCommand;
    }
    // The command without the address is split, and the address follows as one argument, so an
    // address holding spaces or quotes reaches the browser whole.
    std::string strCommand = BrowserCommandLine(strExec, std::string());
    std::vector<std::string> args;
    if (!SplitExecLine(strCommand, args)) {
        return kOpenAssocIncomplete;
    }
    args.push_back(strAddress);
    return StartDetachedProgram(args);
}

int OpenInDefaultBrowser(const std::string& strAddress) {
    return OpenInDefaultBrowser(strAddress, XdgFoldersFromEnvironment());
}

int OpenWithDesktopHandler(const std::string& strTarget) {
    const std::string strProgram = FindProgramOnPath(kDesktopHandlerProgram);
    if (strProgram.empty()) {
        return kOpenFileNotFound;
    }
    // A target that begins with "-" would read as an option.
    const std::string strArgument =
        (!strTarget.empty() && strTarget[0] == '-') ? "./" + strTarget : strTarget;
    return StartDetachedProgram({strProgram, strArgument});
}

int StartDetachedProgram(const std::vector<std::string>& args) {
    if (args.empty() || args[0].empty()) {
        return kOpenNoCommand;
    }
    std::string strProgram = args[0];
    if (strProgram.find('/') == std::string::npos) {
        strProgram = FindProgramOnPath(args[0]);
        if (strProgram.empty()) {
            return kOpenFileNotFound;
        }
    } else {
        const int nCheck = CheckProgramPath(strProgram);
        if (nCheck != kOpenStarted) {
            return nCheck;
        }
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
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return kOpenNoCommand;
    }
    if (posix_spawnattr_init(&attr) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return kOpenNoCommand;
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // Its own session: it outlives the application and gets none of its terminal's signals.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);

    pid_t pid = -1;
    const int nError = posix_spawn(&pid, strProgram.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (nError != 0) {
        return CodeFromErrno(nError);
    }
    // Collect its end in the background so it leaves no zombie. Without a thread to spare it stays
    // a zombie until the application ends, which harms nothing else.
    try {
        std::thread([pid] {
            int nStatus = 0;
            while (waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
    }
    return kOpenStarted;
}

} // namespace platform
