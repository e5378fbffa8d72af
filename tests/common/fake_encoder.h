#pragma once
// Scripted stand-ins for the encoder, for tests that need exact output or timing.
//
//   testkit::TempDir dir;
//   testkit::WriteFakeEncoder(dir.Path(), "printf 'frame=1 time=10.00 bitrate=1\\n'\nexit 0\n");
//   testkit::ScopedProgramFolder folder(dir.Path()); // "Kestrelvx" is now looked for there first
//
// The script runs under /bin/sh with the encoder's arguments in "$@" ($1 is the access token's
// text "tmk52hsRW&!", then "-i", the input, ...). It writes to standard output or standard error,
// both of which reach the application's pipe.
#include <string>
#include <vector>

namespace testkit {

// Writes an executable /bin/sh script named "Kestrelvx" into dir: "#!/bin/sh\n" followed by the
// body. Replaces an earlier one atomically. Returns the script's path, or "" on failure.
std::string WriteFakeEncoder(const std::string& dir, const std::string& scriptBody);

// Writes an executable /bin/sh script with any name into dir (for helpers a fake encoder calls).
std::string WriteScript(const std::string& dir, const std::string& name,
                        const std::string& scriptBody);

// Points platform::SetProgramFolder at a folder for its lifetime, then back to the default (the
// running program's folder). One at a time per process.
class ScopedProgramFolder {
public:
    explicit ScopedProgramFolder(const std::string& folder);
    ~ScopedProgramFolder();
    ScopedProgramFolder(const ScopedProgramFolder&) = delete;
    ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;
};

// A body for WriteFakeEncoder that records its arguments, each followed by a zero byte, into the
// file at argsFile, then runs `rest`.
std::string RecordArgumentsBody(const std::string& argsFile, const std::string& rest = "");

// The arguments recorded by RecordArgumentsBody, in order.
std::vector<std::string> ReadRecordedArguments(const std::string& argsFile);

// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::string& path);

// Shell lines for a fake encoder: appends the script's own process id, and that of every process
// it starts in the background with `LEFT=$!`-style bookkeeping, to the file ("echo $$ >> file").
std::string RecordPidBody(const std::string& pidFile);

// The process ids in a file, one a line.
std::vector<int> ReadPids(const std::string& pidFile);

// The processes of the list that are still there, running or as zombies (not yet reaped), after
// waiting up to waitMs for them to go (a killed process is reaped by its new parent a moment
// later).
std::vector<int> LeftProcesses(const std::vector<int>& pids, int waitMs = 2000);

// The processes whose parent is `parent`, from /proc.
std::vector<int> ChildProcesses(int parent);

} // namespace testkit
