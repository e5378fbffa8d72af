#include "platform/signal_watch.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace platform {

namespace {

int g_pipe[2] = {-1, -1};
// Lock-free, so the handler may touch it; it is also read from the polling thread.
std::atomic<int> g_nCaught{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction g_oldInt {};
struct sigaction g_oldTerm {};

extern "C" void OnSignal(int nSignal) {
    const int nSavedErrno = errno;
    int nNone = 0;
    g_nCaught.compare_exchange_strong(nNone, nSignal);
    const char byte = 1;
    // A full pipe already holds a wake-up; the result does not matter.
    [[maybe_unused]] const ssize_t nWritten = write(g_pipe[1], &byte, 1);
    errno = nSavedErrno;
}

bool MakePipe() {
    if (pipe(g_pipe) != 0) {
        return false;
    }
    for (int fd : g_pipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    return true;
}

} // namespace

CSignalWatch::CSignalWatch() {
    g_nCaught = 0;
    if (!MakePipe()) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_bReady =
        sigaction(SIGINT, &action, &g_oldInt) == 0 && sigaction(SIGTERM, &action, &g_oldTerm) == 0;
}

CSignalWatch::~CSignalWatch() {
    sigaction(SIGINT, &g_oldInt, nullptr);
    sigaction(SIGTERM, &g_oldTerm, nullptr);
    for (int& fd : g_pipe) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

int CSignalWatch::Wait(int nTimeoutMs) {
    if (g_nCaught != 0) {
        return g_nCaught;
    }
    // Without a pipe the wait is a plain sleep; a signal still shows at the next call.
    pollfd entry{g_pipe[0], POLLIN, 0};
    if (poll(&entry, g_pipe[0] >= 0 ? 1 : 0, nTimeoutMs) > 0) {
        char drain[16];
        while (read(g_pipe[0], drain, sizeof(drain)) > 0) {
        }
    }
    // An interrupted poll (EINTR) comes back early; the caller simply waits again.
    return g_nCaught;
}

int CSignalWatch::Caught() const {
    return g_nCaught;
}

} // namespace platform
