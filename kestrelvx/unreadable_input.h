#pragma once
// Why an input cannot be read, as one plain sentence for the user: what is wrong with the file
// (empty, cut off before its index) rather than the library's own words, where that can be told.
#include <string>

namespace kestrelvx {

// The sentence for an MP4 or MOV file that ends before its index (the "moov" box): it was cut off
// while being written or copied.
inline constexpr const char kCutBeforeIndex[] =
    "the file ends before its index: it was cut off while being written or copied";

// The reason to give for an input that FFmpeg's libraries could not open. libraryReason is
// ReadMediaFacts's reason ("<path>: <text>"). Looks at the file itself: an empty file, an MP4 or
// MOV file whose boxes end before its index; otherwise the libraries' text in a plain sentence.
std::string UnreadableInputReason(const std::string& path, const std::string& libraryReason);

// True when the file is an MP4 or MOV file (ISO base media) that holds media data but no index:
// its boxes run past its end, or end without a "moov" box after an "mdat" box.
bool EndsBeforeIndex(const std::string& path);

} // namespace kestrelvx
