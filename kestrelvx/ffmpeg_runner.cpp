#include "kestrelvx/ffmpeg_runner.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "kestrelvx/console.h"
#include "kestrelvx/ffmpeg_arguments.h"
#include "kestrelvx/progress_relay.h"

namespace kestrelvx {
namespace {

constexpr int kPollMs = 50;
constexpr int64_t kStatusPeriodMs = 250;
constexpr int64_t kGraceMs = 3000;
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signo) {
    g_stopSignal = signo;
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: poll() wakes up at once
    for (int signo : kStopSignals) {
        sigaction(signo, &action, nullptr);
    }
    // A vanished reader shows as EPIPE on a write, and ffmpeg is then stopped like on SIGTERM.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

int64_t NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(pid_t parent, const char* program, char* const* argv, int input,
                            int messages, int progress) {
    // ffmpeg dies with Kestrelvx, even when Kestrelvx is killed outright.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(127);
    }
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    for (int signo : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) {
        sigaction(signo, &standard, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // Moved above the standard numbers first, so no dup2() below overwrites another.
    const int in = fcntl(input, F_DUPFD, 10);
    const int out = fcntl(messages, F_DUPFD, 10);
    const int prog = fcntl(progress, F_DUPFD, 10);
    if (in < 0 || out < 0 || prog < 0 || dup2(in, STDIN_FILENO) < 0 ||
        dup2(out, STDOUT_FILENO) < 0 || dup2(out, STDERR_FILENO) < 0 ||
        dup2(prog, kProgressDescriptor) < 0) {
        _exit(127);
    }
    close_range(kProgressDescriptor + 1, ~0U, 0);
    execv(program, argv);
    static const char kText[] = "Kestrelvx: the ffmpeg program could not be started\n";
    const ssize_t ignored = write(STDERR_FILENO, kText, sizeof kText - 1);
    static_cast<void>(ignored);
    _exit(127);
}

// The parent's side of the child's output.
class Relay {
public:
    Relay(int messages, int progress) : m_nMessages(messages), m_nProgress(progress) {}
    ~Relay() {
        CloseFd(m_nMessages);
        CloseFd(m_nProgress);
    }
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;

    // True once ffmpeg has closed both of its outputs (it is ending).
    bool Closed() const { return m_nMessages < 0 && m_nProgress < 0; }

    // Waits up to timeoutMs for output and takes what is there.
    void Wait(int timeoutMs) {
        pollfd fds[2];
        nfds_t count = 0;
        for (int fd : {m_nMessages, m_nProgress}) {
            if (fd >= 0) {
                fds[count++] = pollfd{fd, POLLIN, 0};
            }
        }
        if (count == 0) {
            struct timespec pause {
                0, static_cast<long>(timeoutMs) * 1000000L
            };
            nanosleep(&pause, nullptr);
            return;
        }
        poll(fds, count, timeoutMs);
        Drain();
    }

    // Takes everything that can be read now.
    void Drain() {
        char buffer[4096];
        while (m_nMessages >= 0) {
            const ssize_t n = read(m_nMessages, buffer, sizeof buffer);
            if (n <= 0) {
                if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    CloseFd(m_nMessages);
                }
                break;
            }
            std::vector<std::string> lines;
            m_splitter.Feed(std::string_view(buffer, static_cast<size_t>(n)), lines);
            Pass(lines);
        }
        while (m_nProgress >= 0) {
            const ssize_t n = read(m_nProgress, buffer, sizeof buffer);
            if (n <= 0) {
                if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    CloseFd(m_nProgress);
                }
                break;
            }
            m_state.Feed(std::string_view(buffer, static_cast<size_t>(n)));
        }
    }

    void Finish() {
        std::vector<std::string> lines;
        m_splitter.Flush(lines);
        Pass(lines);
    }

    bool WriteStatus() { return WriteAll(STDERR_FILENO, m_state.StatusLine()); }

    const CProgressState& State() const { return m_state; }
    void SetShare(const ProgressShare& share) { m_state.SetShare(share.offsetUs, share.scale); }
    const std::string& LastMessage() const { return m_strLastMessage; }

private:
    static void CloseFd(int& fd) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }

    void Pass(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            m_strLastMessage = SafeText(line);
            if (!WriteAll(STDERR_FILENO, m_strLastMessage + "\n") && errno == EPIPE &&
                g_stopSignal == 0) {
                g_stopSignal = SIGPIPE;
            }
        }
    }

    int m_nMessages;
    int m_nProgress;
    CLineSplitter m_splitter;
    CProgressState m_state;
    std::string m_strLastMessage;
};

void SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void CloseAll(std::initializer_list<int> fds) {
    for (int fd : fds) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

} // namespace

FfmpegRun RunFfmpeg(const std::string& program, const std::vector<std::string>& args,
                    const ProgressShare& share) {
    FfmpegRun run;
    InstallStopHandlers();
    std::vector<std::string> words = args;
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    int messages[2] = {-1, -1};
    int progress[2] = {-1, -1};
    const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (input < 0 || pipe2(messages, O_CLOEXEC) != 0 || pipe2(progress, O_CLOEXEC) != 0) {
        CloseAll({input, messages[0], messages[1], progress[0], progress[1]});
        run.failure = "cannot create the pipes for ffmpeg";
        return run;
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        ExecChild(parent, program.c_str(), argv.data(), input, messages[1], progress[1]);
    }
    CloseAll({input, messages[1], progress[1]});
    if (child < 0) {
        CloseAll({messages[0], progress[0]});
        run.failure = "cannot start ffmpeg";
        return run;
    }
    SetNonBlocking(messages[0]);
    SetNonBlocking(progress[0]);

    Relay relay(messages[0], progress[0]);
    relay.SetShare(share);
    int64_t lastStatus = NowMs() - kStatusPeriodMs;
    bool termSent = false;
    bool killSent = false;
    int64_t killAt = 0;
    int status = 0;
    for (;;) {
        if (g_stopSignal != 0 && !termSent) {
            run.stopSignal = g_stopSignal;
            kill(child, SIGTERM);
            termSent = true;
            killAt = NowMs() + kGraceMs;
        }
        if (termSent && !killSent && NowMs() >= killAt) {
            kill(child, SIGKILL);
            killSent = true;
        }
        relay.Wait(kPollMs);
        if (NowMs() - lastStatus >= kStatusPeriodMs) {
            lastStatus = NowMs();
            if (!relay.WriteStatus() && errno == EPIPE && g_stopSignal == 0) {
                g_stopSignal = SIGPIPE;
            }
        }
        // Once both outputs are closed ffmpeg is ending: wait for it outright rather than polling
        // (a stop signal interrupts the wait, and the loop handles it).
        const pid_t ended =
            waitpid(child, &status, relay.Closed() && g_stopSignal == 0 ? 0 : WNOHANG);
        if (ended == child) {
            break;
        }
        if (ended < 0 && errno != EINTR) {
            run.failure = "lost track of the ffmpeg process";
            return run;
        }
    }
    relay.Drain();
    relay.Finish();
    relay.WriteStatus();

    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.endSignal = WTERMSIG(status);
    }
    run.frames = relay.State().Frames();
    run.outTimeUs = relay.State().OutTimeUs();
    run.totalBytes = relay.State().TotalBytes();
    run.lastMessage = relay.LastMessage();
    return run;
}

} // namespace kestrelvx
