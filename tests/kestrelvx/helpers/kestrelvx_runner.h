#pragma once
// Running Kestrelvx in tests, and reading its report the way the application does.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/media.h"

namespace kestrelvx_test {

inline constexpr const char* kToken = "tmk52hsRW&!";

// Kestrelvx from the build (or program, when given) with the token and then words.
testkit::ProgramRun RunKestrelvx(const std::vector<std::string>& words,
                                 const std::string& program = "");

// The conversion command line the application writes, split into words: the input, the title,
// the option text (split at blanks), the start and length, and "-y" with the output.
std::vector<std::string> ConversionWords(const std::string& input, const std::string& title,
                                         const std::string& options, int start, int length,
                                         const std::string& output);

// What the application takes from a probe report.
struct ReportView {
    int64_t seconds = 0;
    std::string durationText; // "00:00:02.00 (2 s)", "0 (0 s)" when unparsable
    std::string bitrate;      // "264 kb/s", "" when missing
    std::string video;        // the text after the second colon of the last video line
    std::string audio;
};
ReportView ReadLikeApplication(const std::string& report);

// Whether text has the shape: '%' stands for one digit, '#' for one or more digits, '*' for any
// text; every other character stands for itself.
bool MatchesShape(std::string_view text, std::string_view shape);

// The report's "Duration:" line (without its line feed), "" when there is none.
std::string DurationLine(const std::string& report);

} // namespace kestrelvx_test
