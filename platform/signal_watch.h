#pragma once
// SIGINT and SIGTERM as Cancel All. The handler only notes the signal and writes one byte into a
// pipe (the self-pipe), both async-signal-safe; the program's polling loop waits on that pipe, so
// the wait doubles as its 100 ms timer. Handlers are installed with SA_RESTART, so the reads and
// waits of the encoder job on other threads simply go on when a signal lands there. Only the
// dispositions change, not the signal mask, so encoder processes started meanwhile still end on
// the signals as usual.
namespace platform {

class CSignalWatch {
public:
    // Installs the handlers (one watch at a time per process).
    CSignalWatch();
    // Puts back the dispositions found at construction.
    ~CSignalWatch();
    CSignalWatch(const CSignalWatch&) = delete;
    CSignalWatch& operator=(const CSignalWatch&) = delete;

    // False when the pipe or the handlers could not be set up.
    bool IsReady() const { return m_bReady; }
    // Waits up to `nTimeoutMs` for a signal and returns the first signal caught so far (also one
    // caught before this call), or 0 when none has come.
    int Wait(int nTimeoutMs);
    // The first signal caught so far, or 0.
    int Caught() const;

private:
    bool m_bReady = false;
};

} // namespace platform
