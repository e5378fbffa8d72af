#include "platform/child_proc.h"

#include "platform/command_line.h"
#include "platform/program_folder.h"
#include "platform/tick.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// Moves a descriptor above the three standard ones, so that making it the child's standard output
// never lands on itself. Keeps close-on-exec.
bool LiftAboveStandard(int& fd) {
    if (fd > 2) {
        return true;
    }
    const int lifted = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    close(fd);
    fd = lifted;
    return lifted >= 0;
}

int OpenProcessFd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); // pidfds are close-on-exec
#else
    (void)pid;
    return -1;
#endif
}

void StoreExit(ChildProc& proc, const siginfo_t& info) {
    proc.bEnded = true;
    if (info.si_code == CLD_EXITED) {
        proc.nExitCode = info.si_status;
    } else {
        proc.nExitCode = 128 + info.si_status;
    }
}

// Looks whether the child has ended, without reaping it. Returns true when it has.
bool PeekEnded(ChildProc& proc) {
    if (proc.bEnded) {
        return true;
    }
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(proc.nProcessId), &info, WEXITED | WNOHANG | WNOWAIT) !=
        0) {
        if (errno == ECHILD) {
            // Reaped behind our back (SIGCHLD ignored by someone): gone, status unknown.
            proc.bEnded = true;
            proc.bReaped = true;
            return true;
        }
        return false;
    }
    if (info.si_pid == 0) {
        return false;
    }
    StoreExit(proc, info);
    return true;
}

// Collects the child's exit status, waiting for it.
void Reap(ChildProc& proc) {
    if (proc.bReaped || proc.nProcessId == 0) {
        return;
    }
    int status = 0;
    pid_t r = 0;
    do {
        r = waitpid(proc.nProcessId, &status, 0);
    } while (r < 0 && errno == EINTR);
    if (r == proc.nProcessId && !proc.bEnded) {
        proc.bEnded = true;
        proc.nExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    proc.bReaped = true;
}

void KillGroup(const ChildProc& proc) {
    // While the child is not reaped its process id, and so its group id, cannot be reused.
    if (!proc.bReaped) {
        kill(-proc.nProcessId, SIGKILL);
    }
}

std::vector<pid_t> ThreadsOf(pid_t pid) {
    std::vector<pid_t> threads;
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        threads.push_back(pid);
        return threads;
    }
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long tid = std::strtol(entry->d_name, &end, 10);
        if (tid > 0 && end != nullptr && *end == '\0') {
            threads.push_back(static_cast<pid_t>(tid));
        }
    }
    closedir(dir);
    if (threads.empty()) {
        threads.push_back(pid);
    }
    return threads;
}

bool SetPolicy(pid_t pid, int policy, int priority) {
    sched_param param{};
    param.sched_priority = priority;
    bool ok = true;
    for (const pid_t tid : ThreadsOf(pid)) {
        if (sched_setscheduler(tid, policy, &param) != 0 && errno != ESRCH) {
            ok = false;
        }
    }
    return ok;
}

bool SetGroupNice(pid_t group, int nice) {
    return setpriority(PRIO_PGRP, static_cast<id_t>(group), nice) == 0;
}

} // namespace

ChildProc::~ChildProc() {
    ChildProcClose(*this);
}

int ChildProcStart(ChildProc& proc) {
    if (proc.nProcessId != 0 || proc.pszCommandLine == nullptr) {
        return -1;
    }
    const std::vector<std::string> args = platform::SplitCommandLine(proc.pszCommandLine);
    if (args.empty()) {
        return -1;
    }
    const std::string program = platform::FindProgram(args[0]);
    if (program.empty()) {
        return -1;
    }
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);

    const bool redirect = (proc.nOptions & kChildProcRedirectOutput) != 0;
    int fds[2] = {-1, -1};
    if (redirect) {
        if (pipe2(fds, O_CLOEXEC) != 0) {
            return -1;
        }
        if (!LiftAboveStandard(fds[0]) || !LiftAboveStandard(fds[1])) {
            CloseFd(fds[0]);
            CloseFd(fds[1]);
            return -1;
        }
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    bool ready = true;
    if (redirect) {
        ready = posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO) == 0 &&
                posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO) == 0;
    }
    // Nothing of the parent beyond the three standard descriptors reaches the child, whether or
    // not it was opened close-on-exec.
    ready = ready && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
    if (ready && proc.pszCurrentFolder != nullptr && *proc.pszCurrentFolder != '\0') {
        ready = posix_spawn_file_actions_addchdir_np(&actions, proc.pszCurrentFolder) == 0;
    }
    sigset_t noSignals;
    sigset_t allSignals;
    sigemptyset(&noSignals);
    sigfillset(&allSignals);
    ready = ready && posix_spawnattr_setpgroup(&attr, 0) == 0 &&
            posix_spawnattr_setsigmask(&attr, &noSignals) == 0 &&
            posix_spawnattr_setsigdefault(&attr, &allSignals) == 0 &&
            posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                POSIX_SPAWN_SETSIGDEF) == 0;

    pid_t pid = 0;
    const int spawned =
        ready ? posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ) : -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    // The parent's copy of the write end goes at once, so that the pipe reports its end when the
    // child and everything that inherited the write end have ended.
    CloseFd(fds[1]);
    if (spawned != 0 || pid <= 0) {
        // A program that could not be executed has already been reaped by posix_spawn.
        CloseFd(fds[0]);
        return -1;
    }

    proc.nProcessId = pid;
    proc.nOutputFd = fds[0];
    proc.nProcessFd = OpenProcessFd(pid);
    proc.bEnded = false;
    proc.bReaped = false;
    proc.nExitCode = -1;
    return 0;
}

int ChildProcSetPriority(ChildProc& proc, int index) {
    if (proc.nProcessId == 0 || proc.bReaped || index < 0 || index >= 6) {
        return -1;
    }
    const pid_t pid = proc.nProcessId;
    switch (index) {
    case 0:
    case 1:
        if (SetPolicy(pid, SCHED_IDLE, 0)) {
            return 0;
        }
        return SetGroupNice(pid, 19) ? 0 : -1;
    case 2:
        return SetPolicy(pid, SCHED_OTHER, 0) && SetGroupNice(pid, 0) ? 0 : -1;
    case 3:
    case 4:
        return SetPolicy(pid, SCHED_OTHER, 0) && SetGroupNice(pid, -10) ? 0 : -1;
    default:
        return SetPolicy(pid, SCHED_RR, sched_get_priority_min(SCHED_RR)) ? 0 : -1;
    }
}

int ChildProcWait(ChildProc& proc, int timeoutMs) {
    if (proc.nProcessId == 0) {
        return -1;
    }
    if (PeekEnded(proc)) {
        return 0;
    }
    if (timeoutMs == 0) {
        return -1;
    }
    const std::uint32_t begin = platform::TickCount();
    for (;;) {
        int slice = 10; // without process descriptors: look every 10 ms
        if (timeoutMs >= 0) {
            const std::uint32_t spent = platform::TickCount() - begin;
            if (spent >= static_cast<std::uint32_t>(timeoutMs)) {
                return -1;
            }
            const auto left = static_cast<int>(static_cast<std::uint32_t>(timeoutMs) - spent);
            slice = proc.nProcessFd >= 0 ? left : std::min(slice, left);
        } else if (proc.nProcessFd >= 0) {
            slice = -1;
        }
        if (proc.nProcessFd >= 0) {
            // The process descriptor becomes readable when the child ends.
            pollfd pfd{proc.nProcessFd, POLLIN, 0};
            poll(&pfd, 1, slice); // an interrupted wait goes round again
        } else {
            usleep(static_cast<useconds_t>(slice) * 1000U);
        }
        if (PeekEnded(proc)) {
            return 0;
        }
    }
}

int ChildProcTerminate(ChildProc& proc) {
    if (proc.nProcessId == 0 || proc.bReaped) {
        return -1;
    }
    const bool wasRunning = !PeekEnded(proc);
    KillGroup(proc);
    Reap(proc);
    return wasRunning ? 0 : -1;
}

int ChildProcClose(ChildProc& proc) {
    const bool held = proc.nProcessId != 0 || proc.nOutputFd >= 0 || proc.nProcessFd >= 0;
    CloseFd(proc.nOutputFd);
    if (proc.nProcessId != 0 && !proc.bReaped) {
        if (!PeekEnded(proc)) {
            KillGroup(proc);
        }
        Reap(proc);
    }
    CloseFd(proc.nProcessFd);
    proc.nProcessId = 0;
    proc.bReaped = false;
    return held ? 0 : -1;
}

std::int64_t ChildProcQueuedMs(const ChildProc& proc) {
    if (proc.nProcessId == 0 || proc.bReaped) {
        return -1;
    }
    const std::string folder = "/proc/" + std::to_string(proc.nProcessId) + "/task";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return -1;
    }
    std::int64_t totalNs = 0;
    bool any = false;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        // schedstat: time on a processor, time waiting for one (both in ns), time slices.
        const std::string file = folder + "/" + entry->d_name + "/schedstat";
        FILE* in = std::fopen(file.c_str(), "re");
        if (in == nullptr) {
            continue;
        }
        unsigned long long running = 0;
        unsigned long long waiting = 0;
        if (std::fscanf(in, "%llu %llu", &running, &waiting) == 2) {
            totalNs += static_cast<std::int64_t>(waiting);
            any = true;
        }
        std::fclose(in);
    }
    closedir(dir);
    return any ? totalNs / 1000000 : -1;
}
