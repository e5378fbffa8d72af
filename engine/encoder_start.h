#pragma once
// How every encoder run begins, the conversion's and the probe's alike: the command line in a
// fixed buffer (never cut), one pipe for both output streams, and the idle class.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "engine/encoder_command.h"
#include "platform/child_proc.h"

// The command line and its terminating zero.
using EncoderCommandBuffer = std::array<char, kMaxEncoderCommandLine + 1>;

// Copies the command line into the buffer. False, with the buffer untouched, when it is longer
// than kMaxEncoderCommandLine or holds a zero byte: a cut line could name another output or drop
// options, so such a line is never started.
bool CopyEncoderCommand(const std::string& strCommand, EncoderCommandBuffer& buffer);

// Starts the encoder on the buffer's command line with its standard output and standard error in
// one pipe (proc.nOutputFd), then gives it the idle class. Returns 0 when it runs; otherwise the
// start failed and proc holds no process and nothing to read.
int StartEncoder(const EncoderCommandBuffer& buffer, ChildProc& proc);

// The environment of this process with the given "NAME=value" entries put in place of (or beside)
// its own: the texts an encoder's ChildProc points at.
class CEncoderEnvironment {
public:
    explicit CEncoderEnvironment(const std::vector<std::string>& overrides);
    // Null-ended, for ChildProc::ppszEnvironment; valid while this object lives.
    const char* const* Pointers() const { return m_pointers.data(); }

private:
    std::vector<std::string> m_entries;
    std::vector<const char*> m_pointers;
};
