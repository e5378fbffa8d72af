#pragma once
// Runs the real lumicast-batch for the tests: its own environment, standard output and standard
// error kept apart, and optionally a signal sent once its output shows a given text.
#include <chrono>
#include <csignal>
#include <map>
#include <string>
#include <vector>

namespace clitest {

struct CliRun {
    int exitCode = -1; // exit status, -1 when it did not exit by itself
    int signal = 0;    // the signal that ended it, 0 if none
    std::string out;   // standard output
    std::string err;   // standard error
    bool bSignalSent = false;
    std::chrono::steady_clock::time_point signalSentAt; // when bSignalSent
    std::chrono::steady_clock::time_point endedAt;      // when the program was seen to end
};

struct CliCall {
    std::string program;                    // path of the program to run
    std::vector<std::string> args;          // arguments after the program
    std::map<std::string, std::string> env; // set on top of this process's environment
    std::string signalWhen;                 // send `signalNumber` once stdout holds this text
    int signalNumber = SIGINT;
    int signalDelayMs = 0; // the signal goes this long after the text was seen
    int timeoutMs = 60000; // killed after this time
};

CliRun RunCli(const CliCall& call);

// The built program: BinDir()/lumicast-batch.
std::string BatchProgram();

// The status lines of a run ("Done /out/a-cvt.mp4", ...), in order.
std::vector<std::string> StatusLines(const std::string& out);

} // namespace clitest
