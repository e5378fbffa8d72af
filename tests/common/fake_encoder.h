#pragma once
// Scripted stand-ins for the encoder, for tests that need exact output or an encoder that does
// something at a chosen moment.
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

// Shell lines for a fake encoder: appends the script's own process id to the file; a script
// appends those of the processes it starts in the background with `echo $! >> file`.
std::string RecordPidBody(const std::string& pidFile);

// Shell lines that wait until the file exists (a test creates it when it has seen what it
// waited for).
std::string WaitForFileBody(const std::string& file);

// A conversion encoder whose behaviour follows the source's name:
//   "fail"  writes nothing and exits with 1;
//   "slow"  prints a status line every 0.1 s until it is ended: it never ends by itself;
//   "size"  writes an output of 1,263,616 bytes and one status line, then waits for the file
//           `release` before it ends;
//   others  print one status line and write the output at once.
// Every run appends "input|start|duration|output" to the call log before it does anything else,
// so a run is under way once its line is there.
std::string ScriptedEncoderBody(const std::string& callLog, const std::string& release);

} // namespace testkit
