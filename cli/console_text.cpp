#include "cli/console_text.h"

#include <algorithm>
#include <cstdio>

namespace cli {

std::string PrintableText(const std::string& text, bool bKeepLineFeeds) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n' && bKeepLineFeeds) {
            out += '\n';
        } else if (byte == '\t' || byte == '\n' || byte == '\r') {
            out += ' ';
        } else if (byte < 0x20 || byte == 0x7F) {
            out += '?';
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            out += '?';
            ++i;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    const auto byteAt = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = byteAt(i);
        // The length of a well-formed UTF-8 sequence starting here, 0 when there is none.
        std::size_t length = 0;
        if (byte < 0x80) {
            length = 1;
        } else if (byte >= 0xC2 && byte <= 0xF4) {
            length = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
            if (i + length > text.size()) {
                length = 0;
            }
            for (std::size_t k = 1; k < length; ++k) {
                if ((byteAt(i + k) & 0xC0) != 0x80) {
                    length = 0;
                }
            }
            // Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
            if (length >= 3) {
                const unsigned char second = byteAt(i + 1);
                if ((byte == 0xE0 && second < 0xA0) || (byte == 0xED && second >= 0xA0) ||
                    (byte == 0xF0 && second < 0x90) || (byte == 0xF4 && second >= 0x90)) {
                    length = 0;
                }
            }
        }
        char escape[16];
        if (length == 0) {
            std::snprintf(escape, sizeof(escape), "\\udc%02x", byte);
            out += escape;
            ++i;
        } else if (length > 1) {
            out.append(text, i, length);
            i += length;
        } else {
            if (byte == '"' || byte == '\\') {
                out += '\\';
                out += static_cast<char>(byte);
            } else if (byte < 0x20 || byte == 0x7F) {
                std::snprintf(escape, sizeof(escape), "\\u%04x", byte);
                out += escape;
            } else {
                out += static_cast<char>(byte);
            }
            ++i;
        }
    }
    return out + "\"";
}

std::string SizeText(std::int64_t nBytes) {
    char text[32];
    if (nBytes < 1024) {
        std::snprintf(text, sizeof(text), "%lld B",
                      static_cast<long long>(std::max<std::int64_t>(nBytes, 0)));
    } else if (nBytes < 1024 * 1024) {
        std::snprintf(text, sizeof(text), "%lld KB", static_cast<long long>(nBytes / 1024));
    } else {
        std::snprintf(text, sizeof(text), "%.1f MB",
                      static_cast<double>(nBytes) / (1024.0 * 1024.0));
    }
    return text;
}

} // namespace cli
