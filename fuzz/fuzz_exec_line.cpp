// The Exec line of a desktop entry (platform/desktop_entry): any text split into arguments, the
// browser's command cut at its field code and split as the browser start does, and any byte
// strings quoted by the desktop-entry rules, joined and split again, which must give them back.
//
// Input: texts separated by zero bytes (an argument never holds one). The first is the program.
#include "fuzz_check.h"
#include "platform/default_browser.h"
#include "platform/desktop_entry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxArguments = 64;

// An argument as a desktop entry writes it: between double quotes, with ", `, $ and \ escaped by a
// backslash. A "%" inside quotes is no field code, so it stays as it is.
std::string QuoteExecArgument(const std::string& text) {
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '"' || ch == '`' || ch == '$' || ch == '\\') {
            quoted += '\\';
        }
        quoted += ch;
    }
    quoted += '"';
    return quoted;
}

// The field codes a browser's Exec line may carry, bare or quoted.
const char* const kFieldCodes[] = {"%u", "%U", "%f", "%F", "\"%u\"", "%i %c"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::AsText(data, size));

    // 1. The whole input as an Exec line: a success has at least one argument, and the arguments
    // are made of the line's own bytes (escapes and "%%" only ever shorten it).
    std::vector<std::string> split;
    const bool bSplit = platform::SplitExecLine(text, split);
    FUZZ_CHECK(bSplit == !split.empty());
    std::size_t total = 0;
    for (const std::string& arg : split) {
        total += arg.size();
    }
    FUZZ_CHECK(total <= text.size());

    // 2. The browser's command without the address, as the browser start splits it: never longer
    // than the line and a space, and a split that succeeds has a program.
    const std::string command = platform::BrowserCommandLine(text, std::string());
    FUZZ_CHECK(command.size() <= text.size() + 1);
    std::vector<std::string> browser;
    if (platform::SplitExecLine(command, browser)) {
        FUZZ_CHECK(!browser.empty());
    }

    // 3. Quoting and splitting give every text back, whatever blanks separate them and whatever
    // field code follows them.
    const std::vector<std::string> fields = fuzz::SplitAtZero(text, kMaxArguments);
    if (fields.empty()) {
        return 0;
    }
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        static const char* const kSeparators[] = {" ", "\t", "  \t "};
        if (i > 0) {
            line += kSeparators[fields[i].size() % 3];
        }
        line += QuoteExecArgument(fields[i]);
    }
    const std::size_t nCode = fields[0].size() % (std::size(kFieldCodes) + 1);
    if (nCode < std::size(kFieldCodes)) {
        const std::string code = kFieldCodes[nCode];
        line += ' ';
        line += code;
        // A quoted field code is an argument of its own that holds "%u" as it is.
        if (code.front() == '"') {
            std::vector<std::string> withCode;
            FUZZ_CHECK(platform::SplitExecLine(line, withCode));
            FUZZ_CHECK(withCode.size() == fields.size() + 1 && withCode.back() == "%u");
            withCode.pop_back();
            FUZZ_CHECK(withCode == fields);
            return 0;
        }
    }
    std::vector<std::string> back;
    FUZZ_CHECK(platform::SplitExecLine(line, back));
    if (back != fields) {
        std::fprintf(stderr, "exec line: [%s]\n", line.c_str());
        for (std::size_t i = 0; i < back.size(); ++i) {
            std::fprintf(stderr, "  got %zu: [%s]\n", i, back[i].c_str());
        }
    }
    FUZZ_CHECK(back == fields);
    return 0;
}
