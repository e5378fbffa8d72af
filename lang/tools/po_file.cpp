#include "lang/tools/po_file.h"

#include <charconv>

namespace lang {
namespace {

bool Unquote(std::string_view line, std::string& out) {
    std::size_t nBegin = line.find('"');
    std::size_t nEnd = line.rfind('"');
    if (nBegin == std::string_view::npos || nEnd == nBegin) {
        return false;
    }
    for (std::size_t i = nBegin + 1; i < nEnd; ++i) {
        char c = line[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= nEnd) {
            return false;
        }
        switch (line[i]) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '"':
            out += '"';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            return false;
        }
    }
    // Nothing but blanks may follow the closing quote.
    return line.find_first_not_of(" \t\r", nEnd + 1) == std::string_view::npos;
}

std::string_view Trim(std::string_view s) {
    const std::size_t nBegin = s.find_first_not_of(" \t\r");
    if (nBegin == std::string_view::npos) {
        return {};
    }
    const std::size_t nEnd = s.find_last_not_of(" \t\r");
    return s.substr(nBegin, nEnd - nBegin + 1);
}

void ParseHeader(const std::string& text, std::map<std::string, std::string>& header) {
    std::size_t nPos = 0;
    while (nPos < text.size()) {
        std::size_t nEnd = text.find('\n', nPos);
        if (nEnd == std::string::npos) {
            nEnd = text.size();
        }
        const std::string line = text.substr(nPos, nEnd - nPos);
        const std::size_t nColon = line.find(':');
        if (nColon != std::string::npos) {
            header[std::string(Trim(line.substr(0, nColon)))] =
                std::string(Trim(std::string_view(line).substr(nColon + 1)));
        }
        nPos = nEnd + 1;
    }
}

} // namespace

bool ParsePo(std::string_view text, PoCatalog& catalog, std::string& error) {
    catalog = PoCatalog{};
    enum class Field { None, Context, Id, Text };
    PoEntry entry;
    bool bHaveEntry = false;
    Field field = Field::None;
    int nLineNo = 0;

    auto finish = [&]() -> bool {
        if (bHaveEntry) {
            if (entry.strId.empty() && entry.strContext.empty()) {
                ParseHeader(entry.strText, catalog.header);
            } else {
                catalog.entries.push_back(entry);
            }
        }
        entry = PoEntry{};
        bHaveEntry = false;
        field = Field::None;
        return true;
    };

    std::size_t nPos = 0;
    while (nPos <= text.size()) {
        std::size_t nEnd = text.find('\n', nPos);
        if (nEnd == std::string_view::npos) {
            nEnd = text.size();
        }
        const std::string_view line = Trim(text.substr(nPos, nEnd - nPos));
        nPos = nEnd + 1;
        ++nLineNo;
        const std::string strWhere = "line " + std::to_string(nLineNo) + ": ";
        if (line.empty()) {
            continue;
        }
        if (line[0] == '#') {
            // A comment before an entry's keywords begins it; one after them begins the next.
            if (field == Field::Text) {
                finish();
            }
            // "#~" lines keep an obsolete entry as a comment: nothing of them is read.
            if (line.starts_with("#,") && line.find("fuzzy") != std::string_view::npos) {
                entry.bFuzzy = true;
            }
            continue;
        }
        std::string* pTarget = nullptr;
        std::string_view rest = line;
        if (line.starts_with("msgctxt ")) {
            if (field == Field::Text) {
                finish();
            }
            field = Field::Context;
            pTarget = &entry.strContext;
        } else if (line.starts_with("msgid ")) {
            if (field == Field::Text) {
                finish();
            }
            if (field == Field::Id) {
                error = strWhere + "a second msgid";
                return false;
            }
            field = Field::Id;
            entry.nLine = nLineNo;
            pTarget = &entry.strId;
        } else if (line.starts_with("msgstr ")) {
            if (field != Field::Id) {
                error = strWhere + "msgstr without a msgid";
                return false;
            }
            field = Field::Text;
            pTarget = &entry.strText;
        } else if (line[0] == '"') {
            switch (field) {
            case Field::Context:
                pTarget = &entry.strContext;
                break;
            case Field::Id:
                pTarget = &entry.strId;
                break;
            case Field::Text:
                pTarget = &entry.strText;
                break;
            case Field::None:
                error = strWhere + "text outside an entry";
                return false;
            }
        } else {
            error = strWhere + "unknown keyword (plural forms are not used)";
            return false;
        }
        bHaveEntry = true;
        if (!Unquote(rest, *pTarget)) {
            error = strWhere + "malformed quoted text";
            return false;
        }
    }
    if (field != Field::None && field != Field::Text) {
        error = "the last entry has no msgstr";
        return false;
    }
    return finish();
}

std::uint16_t PoLanguageId(const PoCatalog& po) {
    const auto found = po.header.find("X-Lumicast-Language-Id");
    if (found == po.header.end()) {
        return 0;
    }
    unsigned nId = 0;
    const std::string& value = found->second;
    const auto [pEnd, ec] = std::from_chars(value.data(), value.data() + value.size(), nId);
    if (ec != std::errc() || pEnd != value.data() + value.size() || nId > 0xFFFF) {
        return 0;
    }
    return static_cast<std::uint16_t>(nId);
}

std::string PoLanguageName(const PoCatalog& po) {
    const auto found = po.header.find("X-Lumicast-Language-Name");
    return found != po.header.end() ? found->second : std::string();
}

std::string EscapePoText(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string PoKeywordLines(const char* szKeyword, std::string_view text) {
    std::string out = szKeyword;
    const std::size_t nFeed = text.find('\n');
    if (nFeed == std::string_view::npos || nFeed + 1 == text.size()) {
        return out + " \"" + EscapePoText(text) + "\"\n";
    }
    out += " \"\"\n";
    std::size_t nPos = 0;
    while (nPos < text.size()) {
        std::size_t nEnd = text.find('\n', nPos);
        nEnd = nEnd == std::string_view::npos ? text.size() : nEnd + 1;
        out += "\"" + EscapePoText(text.substr(nPos, nEnd - nPos)) + "\"\n";
        nPos = nEnd;
    }
    return out;
}

std::vector<std::string> PrintfConversions(std::string_view text) {
    std::vector<std::string> conversions;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        const std::size_t nStart = i++;
        if (i < text.size() && text[i] == '%') {
            continue;
        }
        while (i < text.size() &&
               std::string_view("-+ #0'").find(text[i]) != std::string_view::npos) {
            ++i;
        }
        auto skipNumber = [&] {
            if (i < text.size() && text[i] == '*') {
                ++i;
                return;
            }
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                ++i;
            }
        };
        skipNumber();
        if (i < text.size() && text[i] == '.') {
            ++i;
            skipNumber();
        }
        while (i < text.size() &&
               std::string_view("hlLqjzt").find(text[i]) != std::string_view::npos) {
            ++i;
        }
        if (i < text.size() &&
            std::string_view("diouxXcsfFeEgGaApn").find(text[i]) != std::string_view::npos) {
            conversions.emplace_back(text.substr(nStart, i - nStart + 1));
        } else {
            conversions.emplace_back("%?");
            if (i >= text.size()) {
                break;
            }
        }
    }
    return conversions;
}

} // namespace lang
