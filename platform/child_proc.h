#pragma once
// A child process whose standard output and standard error go into one pipe that the parent
// reads. Create the record empty ("ChildProc proc{};"), fill the command line and the options,
// start it, read nOutputFd, then terminate and close it. Every operation returns 0 for success and
// -1 for failure. The record owns what it holds: when it goes, a child still running is ended
// with its group and the pipe is closed (ChildProcClose), so no path out of a caller leaves a
// process or a descriptor behind; a caller whose order of steps matters still calls
// ChildProcTerminate and ChildProcClose itself.
//
// The command line is one text; it is split into arguments by the Windows command-line rules
// (platform/command_line.h) and its first token names the program, which is looked for by
// platform::FindProgram (the program folder first, then PATH, never the current folder). The
// child runs in a process group of its own, so that ending it also ends every process it started;
// its standard input is the parent's; it inherits no other descriptor of the parent. It is killed
// when the thread that started it ends (the parent's callers wait for their child first), so a
// program that is killed outright or crashes leaves no child running.
#include <cstdint>

// Option: the child's standard output and standard error both go into one pipe (nOutputFd).
// Without it the child writes to the parent's own standard output and standard error.
inline constexpr std::uint32_t kChildProcRedirectOutput = 0x1;

struct ChildProc {
    ChildProc() = default;
    ~ChildProc();
    ChildProc(const ChildProc&) = delete;
    ChildProc& operator=(const ChildProc&) = delete;

    const char* pszCommandLine = nullptr;   // the whole command line; not owned
    const char* pszCurrentFolder = nullptr; // null: the child starts in the parent's folder
    // The child's environment ("NAME=value" texts, ended by a null pointer); null: the parent's.
    // Not owned.
    const char* const* ppszEnvironment = nullptr;
    int nOutputFd = -1;  // the parent's (read) end of the output pipe; close-on-exec
    int nProcessFd = -1; // a process descriptor (pidfd) of the child when the system has them
    std::int32_t nProcessId = 0; // 0 when no process is held; also the child's process group
    std::uint32_t nOptions = 0;  // kChildProcRedirectOutput
    bool bEnded = false;         // the child has been seen to end (ChildProcWait, Terminate, Close)
    bool bReaped = false;        // its exit status has been collected
    std::int32_t nExitCode = -1; // once ended: its exit code, or 128 + the signal that ended it
};

// Starts the program of the record. Fails when the record already holds a process, has no command
// line or an empty one, when the program is not found or cannot be run, or when the pipe cannot be
// made; then nothing is left running and no descriptor is left open.
int ChildProcStart(ChildProc& proc);

// Sets the child's priority class by index: 0 and 1 idle (SCHED_IDLE, or nice 19 where that is
// refused), 2 normal, 3 and 4 high (nice -10), 5 real-time (SCHED_RR). Index 6 or more, or below
// 0, is refused; the classes above normal fail without the privilege to raise priority. The
// scheduling class is set on every thread the child has; nice values on its whole process group.
int ChildProcSetPriority(ChildProc& proc, int index);

// Waits up to timeoutMs milliseconds (a negative value: without a limit) for the child to end and
// then stores bEnded and nExitCode. The child is not reaped yet, so its process group stays its
// own until ChildProcTerminate or ChildProcClose. Returns 0 when the child has ended, -1 when it
// is still running after the wait or the record holds no process.
int ChildProcWait(ChildProc& proc, int timeoutMs);

// Ends the child and every process of its group (SIGKILL to the group) and reaps the child.
// Returns 0 when the child was still running and has been ended, -1 when the record holds no
// process or the child had already ended (what is left of its group is ended all the same).
int ChildProcTerminate(ChildProc& proc);

// Milliseconds the child's threads have spent ready to run but waiting for a processor, since it
// started: time in which a child at a low priority class made no progress through no fault of its
// own. -1 when the record holds no process or the system does not tell.
std::int64_t ChildProcQueuedMs(const ChildProc& proc);

// Closes the pipe and the process descriptor, reaps the child, and clears the process fields
// (bEnded and nExitCode are kept for the caller). A child that is still running is ended first,
// with its group, since a child that is let go unreaped would stay behind as a zombie. Returns 0
// when the record held a process or a descriptor, -1 when it held nothing.
int ChildProcClose(ChildProc& proc);
