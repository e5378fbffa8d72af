#include "support/reg_text.h"

#include <cstdio>
#include <utility>

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint32_t HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<std::uint32_t>(LowerAscii(c) - 'a' + 10);
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && RegNamesEqual(s.substr(0, prefix.size()), prefix);
}

// Reads a quoted text at the start of s (which begins with '"'); on success s is left just past
// the closing quote.
bool ReadQuoted(std::string_view& s, std::string& out) {
    out.clear();
    std::size_t i = 1;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < s.size()) {
            const char next = s[i + 1];
            if (next == '\\' || next == '"') {
                out += next;
            } else if (next == 'n') {
                out += '\n';
            } else if (next == 'r') {
                out += '\r';
            } else {
                // A lone backslash (as in a hand-written Windows path) stands for itself.
                out += '\\';
                out += next;
            }
            i += 2;
            continue;
        }
        out += c;
        ++i;
    }
    return false; // no closing quote: the line was cut
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    out += '"';
}

bool ParseDword(std::string_view s, std::uint32_t& value) {
    s = TrimBlanks(s);
    if (s.empty() || s.size() > 8) {
        return false;
    }
    std::uint32_t v = 0;
    for (char c : s) {
        if (!IsHexDigit(c)) {
            return false;
        }
        v = (v << 4) | HexValue(c);
    }
    value = v;
    return true;
}

// "hex:" or "hex(N):" followed by hex bytes, commas, blanks and line continuations.
bool IsHexValue(std::string_view raw) {
    if (!StartsWithNoCase(raw, "hex")) {
        return false;
    }
    std::size_t i = 3;
    if (i < raw.size() && raw[i] == '(') {
        ++i;
        const std::size_t digits = i;
        while (i < raw.size() && IsHexDigit(raw[i])) {
            ++i;
        }
        if (i == digits || i - digits > 8 || i >= raw.size() || raw[i] != ')') {
            return false;
        }
        ++i;
    }
    if (i >= raw.size() || raw[i] != ':') {
        return false;
    }
    for (++i; i < raw.size(); ++i) {
        const char c = raw[i];
        if (!IsHexDigit(c) && c != ',' && !IsBlank(c) && c != '\\' && c != '\n') {
            return false;
        }
    }
    return true;
}

// A line that continues a hex value: bytes, commas and blanks, maybe another continuation.
bool IsHexContinuation(std::string_view line) {
    if (line.empty()) {
        return false;
    }
    for (char c : line) {
        if (!IsHexDigit(c) && c != ',' && !IsBlank(c) && c != '\\') {
            return false;
        }
    }
    return true;
}

// Splits text into lines; a line's "\r" before its "\n" is dropped.
struct Line {
    std::string_view text;
    bool bTerminated = false;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        Line line;
        if (end == std::string_view::npos) {
            line.text = text;
            text = {};
        } else {
            line.text = text.substr(0, end);
            line.bTerminated = true;
            text.remove_prefix(end + 1);
        }
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

void PutIntoSection(RegSection& section, RegValue value) {
    for (RegValue& existing : section.values) {
        if (RegNamesEqual(existing.strName, value.strName)) {
            existing = std::move(value);
            return;
        }
    }
    section.values.push_back(std::move(value));
}

class Parser {
public:
    RegDocument Run(std::string_view text) {
        if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
            text.remove_prefix(kUtf8Bom.size());
        }
        const std::vector<Line> lines = SplitLines(text);
        bool bHeaderSeen = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            // A last line without its line end may have been cut anywhere ("dword:0000" of
            // "dword:0000000a" still looks whole), so it is never trusted.
            if (!lines[i].bTerminated || lines[i].text.find('\0') != std::string_view::npos) {
                ++m_doc.nDamagedLines;
                continue;
            }
            const std::string_view line = TrimBlanks(lines[i].text);
            if (line.empty() || line.front() == ';') {
                continue;
            }
            if (!bHeaderSeen) {
                bHeaderSeen = true;
                if (line == kHeader5 || line == kHeader4) {
                    continue;
                }
                ++m_doc.nDamagedLines; // no header: read on, the rest may still be sound
            }
            if (line.front() == '[') {
                ReadSection(line);
            } else if (!ReadValue(line, lines, i)) {
                ++m_doc.nDamagedLines;
            }
        }
        return std::move(m_doc);
    }

private:
    void ReadSection(std::string_view line) {
        m_nCurrent = kNone;
        if (line.size() < 3 || line.back() != ']' || line[1] == '-') {
            ++m_doc.nDamagedLines; // values up to the next key have no key to go to
            return;
        }
        const std::string_view path = line.substr(1, line.size() - 2);
        for (std::size_t s = 0; s < m_doc.sections.size(); ++s) {
            if (RegNamesEqual(m_doc.sections[s].strPath, path)) {
                m_nCurrent = s;
                return;
            }
        }
        m_doc.sections.push_back(RegSection{std::string(path), {}});
        m_nCurrent = m_doc.sections.size() - 1;
    }

    // Reads a value line; a hex value may take further lines, and i then moves past them.
    bool ReadValue(std::string_view line, const std::vector<Line>& lines, std::size_t& i) {
        if (m_nCurrent == kNone) {
            return false;
        }
        RegValue value;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (line.front() != '"' || !ReadQuoted(line, value.strName)) {
            return false;
        }
        line = TrimBlanks(line);
        if (line.empty() || line.front() != '=') {
            return false;
        }
        line = TrimBlanks(line.substr(1));
        if (!line.empty() && line.front() == '"') {
            value.type = RegValueType::String;
            if (!ReadQuoted(line, value.strText) || !TrimBlanks(line).empty()) {
                return false;
            }
        } else if (StartsWithNoCase(line, "dword:")) {
            value.type = RegValueType::Dword;
            if (!ParseDword(line.substr(6), value.nDword)) {
                return false;
            }
        } else {
            value.type = RegValueType::Other;
            value.strRaw = std::string(line);
            // A line that does not look like more hex bytes is not swallowed: it is read on its
            // own, and the value it should have continued is lost.
            std::size_t next = i;
            while (!value.strRaw.empty() && value.strRaw.back() == '\\') {
                if (next + 1 >= lines.size() || !lines[next + 1].bTerminated ||
                    !IsHexContinuation(TrimBlanks(lines[next + 1].text))) {
                    i = next;
                    return false;
                }
                ++next;
                value.strRaw += '\n';
                value.strRaw += "  ";
                value.strRaw += TrimBlanks(lines[next].text);
            }
            if (!IsHexValue(value.strRaw)) {
                return false;
            }
            i = next;
        }
        PutIntoSection(m_doc.sections[m_nCurrent], std::move(value));
        return true;
    }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    RegDocument m_doc;
    std::size_t m_nCurrent = kNone;
};

} // namespace

bool RegNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

RegDocument ParseRegText(std::string_view text) {
    return Parser().Run(text);
}

std::string FormatRegText(const RegDocument& doc) {
    std::string out(kHeader5);
    out += "\n\n";
    for (const RegSection& section : doc.sections) {
        out += '[';
        out += section.strPath;
        out += "]\n";
        for (const RegValue& value : section.values) {
            if (value.strName.empty()) {
                out += '@';
            } else {
                AppendQuoted(out, value.strName);
            }
            out += '=';
            switch (value.type) {
            case RegValueType::String:
                AppendQuoted(out, value.strText);
                break;
            case RegValueType::Dword: {
                char digits[16];
                std::snprintf(digits, sizeof(digits), "dword:%08x", value.nDword);
                out += digits;
                break;
            }
            case RegValueType::Other:
                out += value.strRaw;
                break;
            }
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

RegSection* FindRegSection(RegDocument& doc, std::string_view path) {
    for (RegSection& section : doc.sections) {
        if (RegNamesEqual(section.strPath, path)) {
            return &section;
        }
    }
    return nullptr;
}

const RegSection* FindRegSection(const RegDocument& doc, std::string_view path) {
    for (const RegSection& section : doc.sections) {
        if (RegNamesEqual(section.strPath, path)) {
            return &section;
        }
    }
    return nullptr;
}

const RegValue* FindRegValue(const RegSection& section, std::string_view name) {
    for (const RegValue& value : section.values) {
        if (RegNamesEqual(value.strName, name)) {
            return &value;
        }
    }
    return nullptr;
}

void PutRegValue(RegDocument& doc, std::string_view path, RegValue value) {
    RegSection* section = FindRegSection(doc, path);
    if (section == nullptr) {
        doc.sections.push_back(RegSection{std::string(path), {}});
        section = &doc.sections.back();
    }
    PutIntoSection(*section, std::move(value));
}
