#include "engine/progress_parser.h"

#include <cstring>
#include <limits>

namespace {

constexpr char kTimeField[] = "time=";
constexpr std::size_t kTimeFieldLength = sizeof kTimeField - 1;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The first occurrence of `needle` in [begin, end), or nullptr.
const char* Find(const char* begin, const char* end, const char* needle, std::size_t n) {
    for (const char* p = begin; p + n <= end; ++p) {
        if (std::memcmp(p, needle, n) == 0) {
            return p;
        }
    }
    return nullptr;
}

} // namespace

std::int32_t LeadingInteger(const char* text, std::size_t length) {
    std::size_t i = 0;
    while (i < length && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit + 1) {
            value = kLimit + 1;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-value);
    }
    return static_cast<std::int32_t>(value > kLimit ? kLimit : value);
}

ProgressUpdate ParseProgressChunk(const char* text, std::size_t length, std::int64_t duration,
                                  std::int32_t currentPercent, char* line) {
    ProgressUpdate update;
    // The text ends at its first zero byte, as a C text would.
    const void* zero = std::memchr(text, '\0', length);
    if (zero != nullptr) {
        length = static_cast<std::size_t>(static_cast<const char*>(zero) - text);
    }
    const char* end = text + length;

    // 1. The last line: from the last line feed (included), but never before the first character.
    const char* start = end;
    while (start > text && *(start - 1) != '\n') {
        --start;
    }
    if (start > text) {
        --start; // the line feed itself belongs to the copy
    }
    std::size_t copied = 0;
    for (const char* p = start; p < end && copied < kProgressLineSize - 1; ++p) {
        line[copied++] = *p;
    }
    line[copied] = '\0';

    // 2. The first "time=" at or after that start.
    const char* field = Find(start, end, kTimeField, kTimeFieldLength);
    if (field == nullptr || duration == 0) {
        return update;
    }

    // 3. Tokens: the field name up to "=", then the position up to the next blank.
    const char* p = field + kTimeFieldLength;
    while (p < end && *p == ' ') {
        ++p;
    }
    if (p == end) {
        return update; // no position token
    }
    const char* tokenEnd = p;
    while (tokenEnd < end && *tokenEnd != ' ') {
        ++tokenEnd;
    }
    const std::int64_t position = LeadingInteger(p, static_cast<std::size_t>(tokenEnd - p));

    // 4. The percent, truncated toward zero, within 0..99.
    std::int64_t percent = position * 100 / duration;
    if (percent < 0) {
        percent = 0;
    } else if (percent > 99) {
        percent = 99;
    }
    update.bChanged = true;
    update.nPercent = static_cast<std::int32_t>(percent);
    update.bLogLine = update.nPercent > currentPercent && currentPercent % 10 == 0;
    return update;
}
