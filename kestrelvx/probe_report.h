#pragma once
// The report a probe prints: the input line, the "Duration:" line and one "Stream #" line per
// stream, in the forms the application parses.
#include <cstddef>
#include <string>

#include "kestrelvx/media_facts.h"

namespace kestrelvx {

// The most a report may hold: the application reads it with one read of 2,047 bytes.
inline constexpr size_t kReportLimit = 2047;

// Formats the report for the input at path. The streams a conversion takes (the default video
// track else the first, never cover art; the default audio track else the first) come last, so
// that they are the last video and audio lines; cover art is listed as "Picture:", not "Video:". It
// never exceeds limit bytes: long metadata goes first, then the middle of a long path, then the
// other streams, then the last stream lines; the "Duration:" line always stays and no line is ever
// cut in two. Untrusted text (path, metadata) is kept on its line and cannot fake a "Duration: " or
// a "Stream #" line.
std::string FormatProbeReport(const std::string& path, const MediaFacts& facts,
                              size_t limit = kReportLimit);

// "  Duration: 00:01:35.00, start: 0.000000, bitrate: 1014 kb/s" (no line feed), or with
// "N/A" for what is unknown.
std::string FormatDurationLine(const MediaFacts& facts);

} // namespace kestrelvx
