#pragma once
// The gettext .po files that hold the translations of the resource set: reading a file into its
// entries, the header fields that name the module's language, and the pieces of the syntax the
// template is written with. Which entry belongs to which text is text_slots.h; what makes a
// translation wrong is po_check.h.
//
// The header names the module's language:
//   "X-Lumicast-Language-Id: 1031\n"   the language identifier (decimal)
//   "X-Lumicast-Language-Name: &Deutsch\n"   the Language menu text
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lang {

struct PoEntry {
    std::string strContext; // msgctxt
    std::string strId;      // msgid
    std::string strText;    // msgstr
    bool bFuzzy = false;    // "#, fuzzy": not to be used
    int nLine = 0;          // line of its msgid, for messages
};

struct PoCatalog {
    std::map<std::string, std::string> header; // fields of the header entry (msgid "")
    std::vector<PoEntry> entries;              // every entry but the header, in file order
};

// Parses a .po file's text. False, with `error` naming the line, on a syntax error.
bool ParsePo(std::string_view text, PoCatalog& catalog, std::string& error);

// The language identifier and name of the header; 0 and "" when missing or malformed.
std::uint16_t PoLanguageId(const PoCatalog& po);
std::string PoLanguageName(const PoCatalog& po);

// A text with the .po escapes (\n, \t, \r, \", \\), as it stands between the quotes.
std::string EscapePoText(std::string_view text);

// A keyword and its quoted text as lines of a .po file, split after each line feed as gettext's
// tools write long texts: "msgid \"a\"\n", or "msgid \"\"\n\"a\\n\"\n\"b\"\n".
std::string PoKeywordLines(const char* szKeyword, std::string_view text);

// The conversions of a printf-style text in order ("%d", "%02d", "%s"; "%%" is not one): what
// gettext's "c-format" flag is about. A malformed conversion is listed as "%?" so it never matches
// a good one.
std::vector<std::string> PrintfConversions(std::string_view text);

} // namespace lang
