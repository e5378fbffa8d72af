#pragma once
// Translations of the resource set kept as gettext .po files. Every translatable text of the
// English set has a key (the entry's msgctxt): "string 61212", "menu 128 command 32801",
// "menu 128 popup 2", "dialog 101 caption", "dialog 101 control 1002" or, for a control without
// an id of its own, "dialog 101 item 17" (its place in the template). The msgid is the English
// text, the msgstr the translation. The header names the module's language:
//   "X-Lumicast-Language-Id: 1031\n"   the language identifier (decimal)
//   "X-Lumicast-Language-Name: &Deutsch\n"   the Language menu text
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "lang/resource_set.h"

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

// One translatable text of a resource set.
struct TextSlot {
    std::string strKey;
    std::string* pText = nullptr;
    bool bString = false; // a string-table text: formatted printf-style when shown
    std::string strNote;  // where the text appears, for translators
};

// The non-empty texts of a set, in a fixed order (strings, menus, dialogs).
std::vector<TextSlot> TextSlots(ResourceSet& set);

// The template (.pot) for translating the set: every text with its key, msgstr empty.
std::string WritePot(const ResourceSet& english);

// The conversions of a printf-style text in order ("%d", "%02d", "%s"; "%%" is not one). A
// malformed conversion is listed as "%?" so it never matches a good one.
std::vector<std::string> PrintfConversions(std::string_view text);

// What is wrong with a translation of the English set, one message per fault (none: good):
// a header without the language identifier or name; a text of the English set without an entry,
// with a msgid other than the English text, or without a translation (empty or fuzzy); an entry
// the English set no longer has, or a key given twice; a string whose printf conversions differ
// from the English text's; a changed number of line feeds where lines are fields (a command's
// "prompt\ntool tip" and the document string); a changed number of "&" mnemonics; a menu item
// whose shortcut after "\t" differs.
std::vector<std::string> CheckPo(const PoCatalog& po, const ResourceSet& english);

// The language identifier and name of the header; 0 and "" when missing or malformed.
std::uint16_t PoLanguageId(const PoCatalog& po);
std::string PoLanguageName(const PoCatalog& po);

// The English set translated: each text whose entry matches the English msgid and is translated
// takes the translation. A string without one is left out of the set (the loader then logs it
// and shows the empty text); any other text keeps its English words, as the template needs one.
ResourceSet TranslateSet(const PoCatalog& po, const ResourceSet& english);

} // namespace lang
