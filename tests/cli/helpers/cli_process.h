#pragma once
// Runs the real lumicast-batch for the tests: its own environment, standard output and standard
// error kept apart, and optionally a signal sent once a file shows that the moment has come.
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
};

struct CliCall {
    std::string program;                    // path of the program to run
    std::vector<std::string> args;          // arguments after the program
    std::map<std::string, std::string> env; // set on top of this process's environment
    // `signalNumber` is sent once the file `signalWhenFile` holds `signalWhenLines` lines (a fake
    // encoder writes them as it starts: the event itself, not a line printed before it), or once
    // standard output holds `signalWhen` (for a test whose outcome holds for any moment after it).
    std::string signalWhenFile;
    int signalWhenLines = 1;
    std::string signalWhen;
    int signalNumber = SIGINT;
    // The signal goes this long after that, for a test that holds for whatever moment it lands.
    int signalDelayMs = 0;
    int timeoutMs = 120000; // killed after this time: only a fault takes so long
};

CliRun RunCli(const CliCall& call);

// The built program: BinDir()/lumicast-batch.
std::string BatchProgram();

// The status lines of a run ("Done /out/a-cvt.mp4", ...), in order.
std::vector<std::string> StatusLines(const std::string& out);

} // namespace clitest
