#include "platform/command_line.h"

#include <cstddef>

namespace platform {

std::string QuoteArgument(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // The run of backslashes before a quote is doubled, then the quote itself is escaped.
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    // Backslashes before the closing quote would escape it: double them.
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    const char* s = commandLine.c_str(); // stops at a zero byte, as a C text would
    while (IsBlank(*s)) {
        ++s;
    }
    if (*s == '\0') {
        return args;
    }

    // The program name: no escapes, quotes only group.
    std::string program;
    if (*s == '"') {
        ++s;
        while (*s != '\0' && *s != '"') {
            program += *s++;
        }
        if (*s == '"') {
            ++s;
        }
    } else {
        while (*s != '\0' && !IsBlank(*s)) {
            program += *s++;
        }
    }
    args.push_back(std::move(program));

    while (IsBlank(*s)) {
        ++s;
    }
    if (*s == '\0') {
        return args;
    }

    // The remaining arguments. quotes counts the quotes of the current quoted run: odd while a
    // quoted part is open.
    std::string current;
    std::size_t backslashes = 0;
    int quotes = 0;
    while (*s != '\0') {
        if (IsBlank(*s) && quotes == 0) {
            args.push_back(std::move(current));
            current.clear();
            backslashes = 0;
            while (IsBlank(*s)) {
                ++s;
            }
            if (*s == '\0') {
                return args;
            }
        } else if (*s == '\\') {
            current += *s++;
            ++backslashes;
        } else if (*s == '"') {
            if (backslashes % 2 == 0) {
                // 2n backslashes: n of them stay, the quote opens or closes a quoted part.
                current.resize(current.size() - backslashes / 2);
                ++quotes;
            } else {
                // 2n+1 backslashes: n of them stay, followed by a literal quote.
                current.resize(current.size() - backslashes / 2 - 1);
                current += '"';
            }
            ++s;
            backslashes = 0;
            // Further quotes right after: every third one of the run is a literal quote.
            while (*s == '"') {
                if (++quotes == 3) {
                    current += '"';
                    quotes = 0;
                }
                ++s;
            }
            if (quotes == 2) {
                quotes = 0;
            }
        } else {
            current += *s++;
            backslashes = 0;
        }
    }
    args.push_back(std::move(current));
    return args;
}

} // namespace platform
