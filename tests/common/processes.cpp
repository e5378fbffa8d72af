#include "common/processes.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace testkit {

namespace {

struct ProcStat {
    bool bRead = false;
    char state = 0;
    int parent = 0;
    int group = 0;
};

// "pid (comm) state ppid pgrp ...": the name may hold blanks and parentheses; the last ")" ends it.
ProcStat ReadStat(const std::string& pid) {
    ProcStat stat;
    const std::string text = ReadFile("/proc/" + pid + "/stat");
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return stat;
    }
    std::istringstream fields(text.substr(close + 1));
    stat.bRead = static_cast<bool>(fields >> stat.state >> stat.parent >> stat.group);
    return stat;
}

bool Ended(char state) {
    return state == 'Z' || state == 'X';
}

std::vector<std::string> ProcessIds() {
    std::vector<std::string> ids;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) {
            ids.push_back(name);
        }
    }
    return ids;
}

} // namespace

bool NoChildren() {
    int status = 0;
    return waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD;
}

bool IsAlive(int pid) {
    const ProcStat stat = ReadStat(std::to_string(pid));
    return stat.bRead && !Ended(stat.state);
}

int LiveGroupMembers(int group) {
    int count = 0;
    for (const std::string& pid : ProcessIds()) {
        const ProcStat stat = ReadStat(pid);
        if (stat.bRead && stat.group == group && !Ended(stat.state)) {
            ++count;
        }
    }
    return count;
}

std::vector<int> ChildProcesses(int parent) {
    std::vector<int> children;
    for (const std::string& pid : ProcessIds()) {
        const ProcStat stat = ReadStat(pid);
        if (stat.bRead && stat.parent == parent) {
            children.push_back(std::stoi(pid));
        }
    }
    return children;
}

std::vector<int> ReadPids(const std::string& pidFile) {
    std::vector<int> pids;
    std::ifstream in(pidFile);
    for (int pid = 0; in >> pid;) {
        pids.push_back(pid);
    }
    return pids;
}

std::vector<int> LeftProcesses(const std::vector<int>& pids, int waitMs) {
    std::vector<int> left;
    const auto there = [&] {
        left.clear();
        for (int pid : pids) {
            struct stat info {};
            if (pid > 0 && stat(("/proc/" + std::to_string(pid)).c_str(), &info) == 0) {
                left.push_back(pid);
            }
        }
        return left.empty();
    };
    WaitUntil(there, waitMs);
    return left;
}

ProcessWatchdog::ProcessWatchdog(std::string pidFile, int limitMs)
    : m_thread([this, pidFile = std::move(pidFile), limitMs] {
          std::unique_lock<std::mutex> lock(m_mutex);
          if (m_cvStop.wait_for(lock, std::chrono::milliseconds(limitMs),
                                [this] { return m_bStop; })) {
              return;
          }
          m_bFired = true;
          for (int pid : ReadPids(pidFile)) {
              if (pid > 0) {
                  kill(pid, SIGKILL);
              }
          }
      }) {}

ProcessWatchdog::~ProcessWatchdog() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_cvStop.notify_all();
    m_thread.join();
}

} // namespace testkit
