#pragma once
// Starts a program detached, the way a desktop starts a handler: no shell, its own session (it
// outlives the application and gets none of its terminal's signals), standard input from
// /dev/null. The call does not wait for it; its end is collected on a thread of the launcher's own,
// so it leaves no zombie, and can be reported to the caller.
//
// The outcome is told in the launcher's own terms; the codes a caller shows or logs (an error
// number, the browser launcher's result codes) are made by that caller from it.
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Why a program was not started.
enum class LaunchFault {
    kNone,         // it was started
    kNoHandler,    // nothing to start: no program is set for the job (no default browser)
    kBadCommand,   // the handler's command line cannot be read (an unterminated quote)
    kFileNotFound, // the program does not exist, or a bare name is not in the folders of PATH
    kPathNotFound, // a folder on the program's path does not exist
    kAccessDenied, // the program may not be run
    kNoMemory,     // not enough memory to start it (or its arguments are too long)
    kBadFormat,    // the file is nothing the system can run (a folder, a broken image)
    kBusy,         // the program file is being written
    kNoResources,  // the system is out of processes or another resource
};

struct LaunchResult {
    LaunchFault fault = LaunchFault::kNone;
    int nError = 0; // the system's error number behind the fault, 0 when there is none

    bool Started() const { return fault == LaunchFault::kNone; }
};

// Called once, on the launcher's thread, when a started program has ended: its exit code, or 128
// + the number of the signal that ended it. Whatever it uses must outlive the program.
using LaunchEndFunction = std::function<void(int nExitCode)>;

// Starts args[0] (a path, or a bare name looked for with FindProgramOnPath) with args[1...] as its
// arguments, each passed whole. fnEnd (when given) learns how it ended; it is not called when the
// start failed, nor when no thread could be made to wait for the end.
LaunchResult LaunchDetached(const std::vector<std::string>& args, LaunchEndFunction fnEnd = {});

} // namespace platform
