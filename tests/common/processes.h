#pragma once
// What is left of the processes a test started: by process id, by process group, by parent.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/testkit.h"

namespace testkit {

// True when this process has no child, running or unreaped.
bool NoChildren();

// True while the process exists and has not ended (a zombie has ended).
bool IsAlive(int pid);

// The processes of the group that have not ended.
int LiveGroupMembers(int group);

// The processes whose parent is `parent`, from /proc.
std::vector<int> ChildProcesses(int parent);

// The process ids in a file, one a line.
std::vector<int> ReadPids(const std::string& pidFile);

// The processes of the list that are still there, running or as zombies (not yet reaped), after
// waiting up to waitMs for them to go (a killed process is reaped by its new parent a moment
// later).
std::vector<int> LeftProcesses(const std::vector<int>& pids, int waitMs = kPatientMs);

// Kills the processes recorded in a pid file when it is still there after limitMs: a test whose
// code under test wrongly waits for a hung process then fails instead of hanging. The limit is
// generous; a passing test never meets it.
class ProcessWatchdog {
public:
    explicit ProcessWatchdog(std::string pidFile, int limitMs = kPatientMs);
    ~ProcessWatchdog();
    ProcessWatchdog(const ProcessWatchdog&) = delete;
    ProcessWatchdog& operator=(const ProcessWatchdog&) = delete;
    // True once it had to kill them.
    bool Fired() const { return m_bFired.load(); }

private:
    std::mutex m_mutex;
    std::condition_variable m_cvStop;
    bool m_bStop = false;
    std::atomic<bool> m_bFired{false};
    std::thread m_thread;
};

} // namespace testkit
