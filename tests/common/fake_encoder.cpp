#include "common/fake_encoder.h"

#include "common/testkit.h"
#include "platform/program_folder.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace testkit {

std::string WriteScript(const std::string& dir, const std::string& name,
                        const std::string& scriptBody) {
    const std::string path = dir + "/" + name;
    const std::string temporary = path + ".part";
    const std::string text = "#!/bin/sh\n" + scriptBody;
    // Close-on-exec, so that no process started meanwhile keeps the script open for writing
    // (which would make running it fail with "text file busy").
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
    if (fd < 0) {
        return {};
    }
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (!written || chmod(temporary.c_str(), 0755) != 0 ||
        std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return {};
    }
    return path;
}

std::string WriteFakeEncoder(const std::string& dir, const std::string& scriptBody) {
    return WriteScript(dir, "Kestrelvx", scriptBody);
}

ScopedProgramFolder::ScopedProgramFolder(const std::string& folder) {
    platform::SetProgramFolder(folder);
}

ScopedProgramFolder::~ScopedProgramFolder() {
    platform::SetProgramFolder("");
}

std::string RecordArgumentsBody(const std::string& argsFile, const std::string& rest) {
    return "for a in \"$@\"; do printf '%s\\000' \"$a\"; done > " + ShellQuote(argsFile) + "\n" +
           rest;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace testkit

namespace testkit {

std::vector<std::string> ReadRecordedArguments(const std::string& argsFile) {
    const std::string text = ReadFile(argsFile);
    std::vector<std::string> args;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') {
            args.push_back(text.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    return args;
}

std::string RecordPidBody(const std::string& pidFile) {
    return "echo $$ >> " + ShellQuote(pidFile) + "\n";
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
    for (int waited = 0;; waited += 50) {
        std::vector<int> left;
        for (int pid : pids) {
            struct stat info {};
            if (pid > 0 && stat(("/proc/" + std::to_string(pid)).c_str(), &info) == 0) {
                left.push_back(pid);
            }
        }
        if (left.empty() || waited >= waitMs) {
            return left;
        }
        usleep(50000);
    }
}

std::vector<int> ChildProcesses(int parent) {
    std::vector<int> children;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        // "pid (comm) state ppid ...": the name may hold blanks and parentheses; the last ")"
        // ends it.
        const std::string stat = ReadFile(entry.path().string() + "/stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream fields(stat.substr(close + 1));
        std::string state;
        int ppid = 0;
        if (fields >> state >> ppid && ppid == parent) {
            children.push_back(std::stoi(name));
        }
    }
    return children;
}

} // namespace testkit
