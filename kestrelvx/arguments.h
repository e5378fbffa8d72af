#pragma once
// The shape of the command line: the access token, the input, the options and the output.
#include <map>
#include <string>

#include "engine/encoder_contract.h"

namespace kestrelvx {

// The access token every command line starts with, shared with the application.
inline constexpr const char* kAccessToken = kEncoderToken;

// One line, printed when the token is missing.
inline constexpr const char* kUsage =
    "usage: Kestrelvx <token> -i <input> [-title <text>] [options] [-ss <s>] [-t <s>] -y <output>";

struct CommandLine {
    std::string input;
    std::string output; // empty: no output, the command is a probe
    bool overwrite = false;
    // Options by name without the dash ("title", "vcodec", "s", "r", ...), values as given.
    std::map<std::string, std::string> options;
};

enum class CommandKind { NoToken, Invalid, Probe, Convert };

// Reads argv. Invalid comes with a one-line reason. Every option takes exactly one value;
// "-y" takes the output file and allows replacing it; a word that is not an option is the output
// file without permission to replace it. An option given twice, an unknown option or options
// without an output file make the command line invalid.
CommandKind ParseCommandLine(int argc, const char* const* argv, CommandLine& command,
                             std::string& reason);

} // namespace kestrelvx
