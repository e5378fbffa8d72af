#pragma once
// The text form of the settings store: the registry export syntax.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Velmora\Lumicast]
//   "OutputPath"="/home/ann/Videos/"
//   "Language"=dword:00000804
//
// One [section] per key, one line per value: a quoted text ("\\" and "\"" escaped, and a line
// feed or carriage return as "\n" and "\r" so every value stays on its line) or "dword:" with
// eight hex digits. "@" names a key's default value. Values of any other type ("hex:...", with
// their continuation lines) are kept as they were written, so rewriting the file keeps them.
// Key paths and value names compare without regard to ASCII letter case, as registry names do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class RegValueType { String, Dword, Other };

struct RegValue {
    std::string strName; // "" is the default value ("@")
    RegValueType type = RegValueType::String;
    std::string strText;      // String: the text
    std::uint32_t nDword = 0; // Dword: the number
    std::string strRaw;       // Other: everything after "=", continuation lines included
};

struct RegSection {
    std::string strPath; // the whole key path, root name first: HKEY_LOCAL_MACHINE\Software\...
    std::vector<RegValue> values;
};

struct RegDocument {
    std::vector<RegSection> sections;
    // Lines that could not be read (garbage, binary junk, a cut-off last line, values outside any
    // key, a missing header). The values that could be read are all in sections.
    std::size_t nDamagedLines = 0;
    bool IsDamaged() const { return nDamagedLines > 0; }
};

// Reads as much of text as can be read; never fails. Of a value or key written twice, the last
// one wins (keys merge).
RegDocument ParseRegText(std::string_view text);

// The text of a document, header first; every line ends with "\n".
std::string FormatRegText(const RegDocument& doc);

// Case-insensitive look-ups; nullptr when absent.
RegSection* FindRegSection(RegDocument& doc, std::string_view path);
const RegSection* FindRegSection(const RegDocument& doc, std::string_view path);
const RegValue* FindRegValue(const RegSection& section, std::string_view name);

// Sets a value, creating its section when missing; an existing value of that name (any type) is
// replaced in place.
void PutRegValue(RegDocument& doc, std::string_view path, RegValue value);

// True when two names are equal without regard to ASCII letter case.
bool RegNamesEqual(std::string_view a, std::string_view b);
