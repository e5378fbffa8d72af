#include "cli/helpers/cli_process.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/testkit.h"

extern char** environ;

namespace clitest {

namespace {

std::vector<std::string> Environment(const std::map<std::string, std::string>& overrides) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (!overrides.contains(name)) {
            env.push_back(text);
        }
    }
    for (const auto& [name, value] : overrides) {
        env.push_back(name + "=" + value);
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

std::string BatchProgram() {
    return testkit::BinDir() + "/lumicast-batch";
}

CliRun RunCli(const CliCall& call) {
    CliRun run;
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        return run;
    }
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);

    std::vector<std::string> argv = {call.program};
    argv.insert(argv.end(), call.args.begin(), call.args.end());
    std::vector<std::string> env = Environment(call.env);
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(env);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, call.program.c_str(), &actions, nullptr,
                                    argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return run;
    }

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(call.timeoutMs);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int status = 0;
    bool bEnded = false;
    bool bSeen = false; // the moment for the signal has come
    std::chrono::steady_clock::time_point seenAt;
    // Reads until the program has ended and its pipes hold nothing more (a process it left
    // behind may keep them open, so their end is not waited for).
    while (true) {
        if (!bEnded && std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
        }
        if (!bEnded) {
            bEnded = waitpid(pid, &status, WNOHANG) == pid;
        }
        const int ready = poll(fds, 2, bEnded ? 0 : 50);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready <= 0 && bEnded) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof(buffer));
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
        if (fds[0].fd < 0 && fds[1].fd < 0 && bEnded) {
            break;
        }
        const bool bFileSays =
            !call.signalWhenFile.empty() && testkit::ReadLines(call.signalWhenFile).size() >=
                                                static_cast<std::size_t>(call.signalWhenLines);
        const bool bOutputSays =
            !call.signalWhen.empty() && run.out.find(call.signalWhen) != std::string::npos;
        if (!run.bSignalSent && !bSeen && (bFileSays || bOutputSays)) {
            bSeen = true;
            seenAt = std::chrono::steady_clock::now();
        }
        if (bSeen && !run.bSignalSent && !bEnded &&
            std::chrono::steady_clock::now() - seenAt >=
                std::chrono::milliseconds(call.signalDelayMs)) {
            kill(pid, call.signalNumber);
            run.bSignalSent = true;
        }
    }
    for (int fd : {fds[0].fd, fds[1].fd}) {
        if (fd >= 0) {
            close(fd);
        }
    }
    if (!bEnded) {
        kill(pid, SIGKILL);
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
    return run;
}

std::vector<std::string> StatusLines(const std::string& out) {
    std::vector<std::string> lines;
    for (const std::string& line : testkit::SplitLines(out)) {
        for (const char* word : {"Done ", "Skip ", "Error "}) {
            if (line.rfind(word, 0) == 0) {
                lines.push_back(line);
            }
        }
    }
    return lines;
}

} // namespace clitest
