// The Windows-rule command line (platform/command_line): any text split into arguments, and any
// byte strings quoted, joined and split again, which must give them back.
//
// Input: texts separated by zero bytes (an argument never holds one). The first is the program.
#include "fuzz_check.h"
#include "platform/command_line.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxArguments = 64;

// The program as Windows reads it: bare when it has no blank, tab or quote, else between quotes
// (a quote inside cannot be written, so such a program is replaced).
std::string ProgramText(const std::string& program, std::string& expected) {
    if (!program.empty() && program.find_first_of(" \t\"") == std::string::npos) {
        expected = program;
        return program;
    }
    if (program.find('"') == std::string::npos) {
        expected = program;
        return '"' + program + '"';
    }
    expected = "Kestrelvx";
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::AsText(data, size));

    // 1. The whole input as a command line: it ends at the first zero byte.
    const std::vector<std::string> split = platform::SplitCommandLine(text);
    std::size_t total = 0;
    for (const std::string& arg : split) {
        FUZZ_CHECK(arg.find('\0') == std::string::npos);
        total += arg.size();
    }
    FUZZ_CHECK(total <= text.size());

    // 2. Quoting and splitting give every argument back, whatever blanks separate them.
    const std::vector<std::string> fields = fuzz::SplitAtZero(text, kMaxArguments);
    if (fields.empty()) {
        return 0;
    }
    std::vector<std::string> expected(1);
    std::string commandLine = ProgramText(fields[0], expected[0]);
    for (std::size_t i = 1; i < fields.size(); ++i) {
        static const char* const kSeparators[] = {" ", "\t", "  \t "};
        commandLine += kSeparators[fields[i].size() % 3];
        const std::string quoted = platform::QuoteArgument(fields[i]);
        FUZZ_CHECK(quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"');
        commandLine += quoted;
        expected.push_back(fields[i]);
    }
    if (fields.size() % 2 == 0) {
        commandLine += " \t"; // blanks at the end change nothing
    }
    const std::vector<std::string> back = platform::SplitCommandLine(commandLine);
    if (back != expected) {
        std::fprintf(stderr, "command line: [%s]\n", commandLine.c_str());
        for (std::size_t i = 0; i < back.size(); ++i) {
            std::fprintf(stderr, "  got %zu: [%s]\n", i, back[i].c_str());
        }
    }
    FUZZ_CHECK(back == expected);
    return 0;
}
