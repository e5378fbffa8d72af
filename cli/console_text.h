#pragma once
// Texts as lumicast-batch writes them: to a terminal, into JSON, shortened to a width.
#include <cstddef>
#include <cstdint>
#include <string>

namespace cli {

// A text as a JSON string, quotes included. Bytes that are not UTF-8 become the escapes
// "\udc80" to "\udcff" (the byte plus 0xDC00, as Python's "surrogateescape" reads them back), so
// a file name keeps every byte.
std::string JsonString(const std::string& text);

// A text as it may go to a terminal: control characters (C0, DEL and the UTF-8 forms of C1,
// which could steer the terminal or split a status line) become "?"; line feeds are kept when
// asked, other blanks become a space.
std::string PrintableText(const std::string& text, bool bKeepLineFeeds);

// "512 B", "14 KB", "3.2 MB".
std::string SizeText(std::int64_t nBytes);

} // namespace cli
