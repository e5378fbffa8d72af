#pragma once
// Turns one chunk of the encoder's console output into a progress figure.
#include <cstddef>
#include <cstdint>

// Size of the copy of a chunk's last line: at most 127 characters and a terminating zero.
inline constexpr std::size_t kProgressLineSize = 128;

struct ProgressUpdate {
    bool bChanged = false;     // the chunk carried a position: nPercent holds the new percent
    std::int32_t nPercent = 0; // the new percent, 0..99
    bool bLogLine = false;     // progress left a multiple of ten: the line copy goes to the log
};

// Parses a chunk of `length` bytes (it may stop earlier at a zero byte). The last line is the
// text after the last line feed (only a line feed ends a line; a carriage return does not), or
// the whole chunk; up to 127 characters of it, from that line feed on, are copied into `line`
// (kProgressLineSize bytes, always terminated). The first "time=" at or after the start of the
// last line gives the position: the token after the "=" up to the next blank (leading blanks
// skipped), read as a leading decimal integer (12.34 gives 12; no digits give 0). The percent is
// position * 100 / duration in 64-bit arithmetic, truncated, kept within 0..99 (a position at or
// past the end shows 99 until the output ends). Without "time=", or with a duration of 0, the
// chunk changes nothing. bLogLine is set when the new percent is above the current one and the
// current one is a multiple of ten. Allocates nothing.
ProgressUpdate ParseProgressChunk(const char* text, std::size_t length, std::int64_t duration,
                                  std::int32_t currentPercent, char* line);

// The leading-integer rule used for encoder numbers: blanks (space, tab, line feed, vertical tab,
// form feed, carriage return) skipped, an optional sign, then decimal digits up to the first other
// character. No digits give 0; values beyond the 32-bit range are held at its ends.
std::int32_t LeadingInteger(const char* text, std::size_t length);
