#pragma once
// Writing to the console pipe the application reads: whole texts, one write where possible.
#include <string>
#include <string_view>

namespace kestrelvx {

// Writes all of text to fd, retrying after interruptions and partial writes. A text shorter
// than the pipe's atomic size goes out in a single write(). False when the write fails
// (for instance EPIPE once the reader has gone).
bool WriteAll(int fd, std::string_view text);

// Writes "Kestrelvx: <text>\n" to standard error in one write, text made safe by SafeText.
void PrintLine(std::string_view text);

// "Kestrelvx: error: <text>": why the command failed, the last line the encoder writes.
void PrintError(std::string_view text);
// "Kestrelvx: note: <text>": something the encoder changed or found, the run goes on.
void PrintNote(std::string_view text);

// Makes untrusted text (file names, metadata, ffmpeg's messages) harmless for the application's
// parsers: every control character (line feeds and carriage returns included) becomes '?', so
// the text stays on its line, and the markers the parsers look for ("Duration:", "Stream #",
// "time=") are broken up, so the text cannot pass for a report or status line.
std::string SafeText(std::string_view text);

// Makes sure descriptors 0, 1 and 2 are open (on /dev/null when the parent closed them), so
// that pipes created later never take their numbers.
void EnsureStandardDescriptors();

} // namespace kestrelvx
