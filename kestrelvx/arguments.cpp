#include "kestrelvx/arguments.h"

#include <array>
#include <string_view>

namespace kestrelvx {
namespace {

constexpr std::array<std::string_view, 15> kValueOptions = {
    "i",       "title", "vcodec", "s",  "r",      "b",  "bt", "maxrate",
    "minrate", "ac",    "ab",     "ar", "target", "ss", "t"};

bool IsValueOption(std::string_view name) {
    for (std::string_view known : kValueOptions) {
        if (known == name) {
            return true;
        }
    }
    return false;
}

} // namespace

CommandKind ParseCommandLine(int argc, const char* const* argv, CommandLine& command,
                             std::string& reason) {
    if (argc < 2 || std::string_view(argv[1]) != kAccessToken) {
        return CommandKind::NoToken;
    }
    bool haveInput = false;
    bool haveOutput = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "-y") {
            if (i + 1 >= argc) {
                reason = "-y needs the output file after it";
                return CommandKind::Invalid;
            }
            if (haveOutput) {
                reason = "more than one output file";
                return CommandKind::Invalid;
            }
            command.output = argv[++i];
            command.overwrite = true;
            haveOutput = true;
            continue;
        }
        if (word.size() > 1 && word[0] == '-') {
            const std::string name(word.substr(1));
            if (!IsValueOption(name)) {
                reason = "unknown option '" + std::string(word) + "'";
                return CommandKind::Invalid;
            }
            if (i + 1 >= argc) {
                reason = "option " + std::string(word) + " needs a value";
                return CommandKind::Invalid;
            }
            const std::string value = argv[++i];
            if (name == "i") {
                if (haveInput) {
                    reason = "option -i given twice";
                    return CommandKind::Invalid;
                }
                command.input = value;
                haveInput = true;
            } else if (!command.options.emplace(name, value).second) {
                reason = "option " + std::string(word) + " given twice";
                return CommandKind::Invalid;
            }
            continue;
        }
        if (haveOutput) {
            reason = "unexpected word '" + std::string(word) + "'";
            return CommandKind::Invalid;
        }
        command.output = std::string(word);
        haveOutput = true;
    }
    if (!haveInput || command.input.empty()) {
        reason = "no input file (-i)";
        return CommandKind::Invalid;
    }
    if (haveOutput && command.output.empty()) {
        reason = "empty output file name";
        return CommandKind::Invalid;
    }
    if (!haveOutput) {
        if (!command.options.empty()) {
            reason = "option -" + command.options.begin()->first + " given without an output file";
            return CommandKind::Invalid;
        }
        return CommandKind::Probe;
    }
    return CommandKind::Convert;
}

} // namespace kestrelvx
