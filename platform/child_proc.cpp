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
#include <string>
#include <sys/prctl.h>
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

// In the child between fork and exec: only async-signal-safe calls. The child gets its own process
// group, the default disposition of every signal and no blocked signal, the output pipe as its
// standard output and standard error, no other descriptor of the parent, and it is killed when
// the thread that started it ends, so a program killed outright leaves no child running.
[[noreturn]] void ExecChild(pid_t parent, const char* program, char* const* argv,
                            char* const* environment, int output, const char* folder, int status) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(127); // the parent is already gone
    }
    setpgid(0, 0);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    for (int signo = 1; signo < NSIG; ++signo) {
        sigaction(signo, &standard, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    int error = 0;
    if (output >= 0 && (dup2(output, STDOUT_FILENO) < 0 || dup2(output, STDERR_FILENO) < 0)) {
        error = errno;
    }
    if (error == 0 && folder != nullptr && *folder != '\0' && chdir(folder) != 0) {
        error = errno;
    }
    if (error == 0) {
        close_range(3, static_cast<unsigned>(status) - 1, 0);
        close_range(static_cast<unsigned>(status) + 1, ~0U, 0);
        execve(program, argv, environment);
        error = errno;
    }
    const ssize_t written = write(status, &error, sizeof error);
    static_cast<void>(written);
    _exit(127);
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

    // Tells the parent why the program could not be executed; closed by a successful exec.
    int status[2] = {-1, -1};
    if (pipe2(status, O_CLOEXEC) != 0 || !LiftAboveStandard(status[0]) ||
        !LiftAboveStandard(status[1])) {
        CloseFd(status[0]);
        CloseFd(status[1]);
        CloseFd(fds[0]);
        CloseFd(fds[1]);
        return -1;
    }
    char* const* environment =
        proc.ppszEnvironment != nullptr ? const_cast<char* const*>(proc.ppszEnvironment) : environ;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        ExecChild(parent, program.c_str(), argv.data(), environment, fds[1], proc.pszCurrentFolder,
                  status[1]);
    }
    if (pid > 0) {
        setpgid(pid, pid); // also done by the child: whichever comes first
    }
    // The parent's copy of the write end goes at once, so that the pipe reports its end when the
    // child and everything that inherited the write end have ended.
    CloseFd(fds[1]);
    CloseFd(status[1]);
    int nExecError = 0;
    if (pid > 0) {
        ssize_t n = 0;
        do {
            n = read(status[0], &nExecError, sizeof nExecError);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            nExecError = 0; // the pipe closed on exec: the program runs
        }
    }
    CloseFd(status[0]);
    if (pid <= 0 || nExecError != 0) {
        if (pid > 0) {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
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
