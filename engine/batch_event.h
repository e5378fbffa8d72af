#pragma once
// An automatic-reset event: Set wakes one waiter, and a successful wait resets it.
#include <chrono>
#include <condition_variable>
#include <mutex>

class CBatchEvent {
public:
    CBatchEvent() = default; // not signalled
    CBatchEvent(const CBatchEvent&) = delete;
    CBatchEvent& operator=(const CBatchEvent&) = delete;

    void Set();
    void Reset();
    // Waits until the event is signalled and resets it.
    void Wait();
    // Waits at most the given time; true (and reset) when the event was signalled.
    bool WaitFor(std::chrono::milliseconds timeout);
    // True (and reset) when the event is signalled now; never waits.
    bool TryWait() { return WaitFor(std::chrono::milliseconds(0)); }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bSignalled = false;
};
