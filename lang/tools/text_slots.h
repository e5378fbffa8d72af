#pragma once
// Which .po entry belongs to which text of the resource set. Every translatable text of the
// English set has a key, the entry's msgctxt: "string 61212", "menu 128 command 32801",
// "menu 128 popup 2", "dialog 101 caption", "dialog 101 control 1002" or, for a control without
// an id of its own, "dialog 101 item 17" (its place in the template). The msgid is the English
// text, the msgstr the translation.
#include <string>
#include <vector>

#include "lang/resource_set.h"
#include "lang/tools/po_file.h"

namespace lang {

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

// The English set translated: each text whose entry matches the English msgid and is translated
// takes the translation. A string without one is left out of the set (the loader then logs it
// and shows the empty text); any other text keeps its English words, as the template needs one.
ResourceSet TranslateSet(const PoCatalog& po, const ResourceSet& english);

} // namespace lang
