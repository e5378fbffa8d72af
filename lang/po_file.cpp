#include "lang/po_file.h"

#include <charconv>
#include <set>

namespace lang {
namespace {

// ---- Parsing ----------------------------------------------------------------------------------

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

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
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

// ---- Keys ---------------------------------------------------------------------------------------

void MenuSlots(Menu& menu, std::vector<MenuItem>& items, const std::string& strPath,
               const std::string& strTrail, std::vector<TextSlot>& slots) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        MenuItem& item = items[i];
        if (item.bSeparator) {
            continue;
        }
        const std::string strHere =
            strPath.empty() ? std::to_string(i) : strPath + "." + std::to_string(i);
        const std::string strNoteTrail =
            strTrail.empty() ? item.strText : strTrail + " > " + item.strText;
        if (!item.strText.empty()) {
            TextSlot slot;
            slot.strKey = "menu " + std::to_string(menu.nId) +
                          (item.children.empty() && item.nCommand != 0
                               ? " command " + std::to_string(item.nCommand)
                               : " popup " + strHere);
            slot.pText = &item.strText;
            slot.strNote = "Menu: " + strNoteTrail;
            slots.push_back(std::move(slot));
        }
        MenuSlots(menu, item.children, strHere, strNoteTrail, slots);
    }
}

const char* KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Static:
        return "label";
    case ControlKind::Edit:
        return "edit field";
    case ControlKind::Button:
    case ControlKind::DefButton:
        return "button";
    case ControlKind::CheckBox:
        return "check box";
    case ControlKind::RadioButton:
        return "option button";
    case ControlKind::GroupBox:
        return "group box";
    case ControlKind::ComboBox:
        return "list";
    case ControlKind::Hyperlink:
        return "link";
    default:
        return "control";
    }
}

const char* DialogName(int nId) {
    switch (nId) {
    case 100:
        return "About window";
    case 101:
        return "Main form";
    case 106:
        return "Conversion progress";
    case 107:
        return "Preview window";
    case 137:
        return "Loading files";
    case 138:
        return "Start-up help window";
    default:
        return "Dialog";
    }
}

// Strings whose line feeds separate fields rather than lines of a message.
bool LinesAreFields(const std::string& strKey) {
    int nId = 0;
    constexpr std::string_view kPrefix = "string ";
    if (!StartsWith(strKey, kPrefix)) {
        return false;
    }
    const std::string_view digits = std::string_view(strKey).substr(kPrefix.size());
    std::from_chars(digits.data(), digits.data() + digits.size(), nId);
    return nId < 61200 || nId > 61399;
}

int MnemonicCount(std::string_view text) {
    int nCount = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '&') {
            ++i; // "&&" is a plain "&"
            continue;
        }
        ++nCount;
    }
    return nCount;
}

std::string Shortcut(std::string_view text) {
    const std::size_t nTab = text.find('\t');
    return nTab == std::string_view::npos ? std::string() : std::string(text.substr(nTab + 1));
}

std::size_t CountOf(std::string_view text, char c) {
    std::size_t n = 0;
    for (char ch : text) {
        n += ch == c ? 1 : 0;
    }
    return n;
}

// ---- Writing ------------------------------------------------------------------------------------

std::string Escape(std::string_view text) {
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

// keyword "text", split after each line feed as gettext's tools write long texts.
std::string PoString(const char* szKeyword, std::string_view text) {
    std::string out = szKeyword;
    const std::size_t nFeed = text.find('\n');
    if (nFeed == std::string_view::npos || nFeed + 1 == text.size()) {
        return out + " \"" + Escape(text) + "\"\n";
    }
    out += " \"\"\n";
    std::size_t nPos = 0;
    while (nPos < text.size()) {
        std::size_t nEnd = text.find('\n', nPos);
        nEnd = nEnd == std::string_view::npos ? text.size() : nEnd + 1;
        out += "\"" + Escape(text.substr(nPos, nEnd - nPos)) + "\"\n";
        nPos = nEnd;
    }
    return out;
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
            if (StartsWith(line, "#,") && line.find("fuzzy") != std::string_view::npos) {
                entry.bFuzzy = true;
            }
            continue;
        }
        std::string* pTarget = nullptr;
        std::string_view rest = line;
        if (StartsWith(line, "msgctxt ")) {
            if (field == Field::Text) {
                finish();
            }
            field = Field::Context;
            pTarget = &entry.strContext;
        } else if (StartsWith(line, "msgid ")) {
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
        } else if (StartsWith(line, "msgstr ")) {
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

std::vector<TextSlot> TextSlots(ResourceSet& set) {
    std::vector<TextSlot> slots;
    for (auto& [nId, text] : set.strings) {
        if (text.empty()) {
            continue;
        }
        TextSlot slot;
        slot.strKey = "string " + std::to_string(nId);
        slot.pText = &text;
        slot.bString = true;
        if (nId == 57345) {
            slot.strNote = "Status bar: the message shown when nothing else is";
        } else if (nId >= 59137 && nId <= 59139) {
            slot.strNote = "Status bar: keyboard lock indicator (caps, num, scroll lock)";
        } else if (nId >= 32000 && nId < 61200) {
            slot.strNote = "Status-bar prompt of command " + std::to_string(nId) +
                           " (text after the line feed: its tool tip)";
        } else if (nId == 128) {
            slot.strNote = "Document string: fields separated by line feeds";
        } else {
            slot.strNote = "String " + std::to_string(nId);
        }
        slots.push_back(std::move(slot));
    }
    for (auto& [nId, menu] : set.menus) {
        MenuSlots(menu, menu.items, "", "", slots);
    }
    for (auto& [nId, dialog] : set.dialogs) {
        const std::string strDialog = "dialog " + std::to_string(nId);
        const std::string strNote =
            std::string(DialogName(nId)) + " (template " + std::to_string(nId) + ")";
        if (!dialog.strCaption.empty()) {
            slots.push_back(
                {strDialog + " caption", &dialog.strCaption, false, strNote + ": window title"});
        }
        std::multiset<int> ids;
        for (const DialogControl& c : dialog.controls) {
            ids.insert(c.nId);
        }
        for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
            DialogControl& c = dialog.controls[i];
            if (c.strText.empty()) {
                continue;
            }
            const bool bOwnId = c.nId >= 0 && ids.count(c.nId) == 1;
            TextSlot slot;
            slot.strKey = strDialog + (bOwnId ? " control " + std::to_string(c.nId)
                                              : " item " + std::to_string(i));
            slot.pText = &c.strText;
            slot.strNote = strNote + ": " + KindName(c.kind) + ", " + std::to_string(c.cx) +
                           " dialog units wide";
            slots.push_back(std::move(slot));
        }
    }
    return slots;
}

std::string WritePot(const ResourceSet& english) {
    ResourceSet set = english;
    std::string out = "# Lumicast interface texts.\n"
                      "# Each entry's msgctxt names the resource the text belongs to; the texts\n"
                      "# of a \"string\" entry are formatted printf-style, so their conversions\n"
                      "# (%d, %s ...) must stay the same and in the same order.\n"
                      "#, fuzzy\n"
                      "msgid \"\"\n"
                      "msgstr \"\"\n"
                      "\"Project-Id-Version: Lumicast\\n\"\n"
                      "\"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n\"\n"
                      "\"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n\"\n"
                      "\"Language-Team: LANGUAGE <LL@li.org>\\n\"\n"
                      "\"Language: \\n\"\n"
                      "\"MIME-Version: 1.0\\n\"\n"
                      "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                      "\"Content-Transfer-Encoding: 8bit\\n\"\n"
                      "\"X-Lumicast-Language-Id: \\n\"\n"
                      "\"X-Lumicast-Language-Name: \\n\"\n";
    for (const TextSlot& slot : TextSlots(set)) {
        out += "\n#. " + slot.strNote + "\n";
        if (slot.bString && !PrintfConversions(*slot.pText).empty()) {
            out += "#, c-format\n";
        }
        out += PoString("msgctxt", slot.strKey);
        out += PoString("msgid", *slot.pText);
        out += "msgstr \"\"\n";
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

std::vector<std::string> CheckPo(const PoCatalog& po, const ResourceSet& english) {
    std::vector<std::string> problems;
    const std::uint16_t nLanguage = PoLanguageId(po);
    if (nLanguage == 0) {
        problems.emplace_back("the header has no valid X-Lumicast-Language-Id");
    } else if (nLanguage == 0x0409) {
        problems.emplace_back("the header claims 1033, the built-in English interface");
    }
    if (PoLanguageName(po).empty()) {
        problems.emplace_back("the header has no X-Lumicast-Language-Name");
    }

    std::map<std::string, const PoEntry*> byKey;
    for (const PoEntry& entry : po.entries) {
        const std::string strWhere = "line " + std::to_string(entry.nLine) + ": ";
        if (!byKey.emplace(entry.strContext, &entry).second) {
            problems.push_back(strWhere + "\"" + entry.strContext + "\" is given twice");
        }
    }

    ResourceSet set = english;
    std::set<std::string> englishKeys;
    for (const TextSlot& slot : TextSlots(set)) {
        englishKeys.insert(slot.strKey);
        const std::string& strEnglish = *slot.pText;
        const auto found = byKey.find(slot.strKey);
        if (found == byKey.end()) {
            problems.push_back("\"" + slot.strKey + "\" is missing (English: \"" +
                               Escape(strEnglish) + "\")");
            continue;
        }
        const PoEntry& entry = *found->second;
        const std::string strWhere =
            "line " + std::to_string(entry.nLine) + ", \"" + slot.strKey + "\": ";
        if (entry.strId != strEnglish) {
            problems.push_back(strWhere + "msgid differs from the English text \"" +
                               Escape(strEnglish) + "\"");
            continue;
        }
        if (entry.strText.empty() || entry.bFuzzy) {
            problems.push_back(strWhere + "not translated");
            continue;
        }
        const std::string& strText = entry.strText;
        if (slot.bString && PrintfConversions(strText) != PrintfConversions(strEnglish)) {
            problems.push_back(strWhere + "printf conversions differ from the English text's");
        }
        if (slot.bString && LinesAreFields(slot.strKey) &&
            CountOf(strText, '\n') != CountOf(strEnglish, '\n')) {
            problems.push_back(strWhere + "the line feeds separate fields; their number differs");
        }
        if (MnemonicCount(strText) != MnemonicCount(strEnglish)) {
            problems.push_back(strWhere + "the number of \"&\" mnemonics differs");
        }
        if (StartsWith(slot.strKey, "menu ") && Shortcut(strText) != Shortcut(strEnglish)) {
            problems.push_back(strWhere + "the shortcut after the tab differs");
        }
    }
    for (const PoEntry& entry : po.entries) {
        if (englishKeys.count(entry.strContext) == 0) {
            problems.push_back("line " + std::to_string(entry.nLine) + ": \"" + entry.strContext +
                               "\" is no longer in the English set");
        }
    }
    return problems;
}

ResourceSet TranslateSet(const PoCatalog& po, const ResourceSet& english) {
    ResourceSet set = english;
    set.nLanguage = PoLanguageId(po);
    set.strLanguageName = PoLanguageName(po);
    std::map<std::string, const PoEntry*> byKey;
    for (const PoEntry& entry : po.entries) {
        byKey.emplace(entry.strContext, &entry);
    }
    std::vector<int> untranslated;
    for (const TextSlot& slot : TextSlots(set)) {
        const auto found = byKey.find(slot.strKey);
        const bool bTranslated = found != byKey.end() && !found->second->bFuzzy &&
                                 !found->second->strText.empty() &&
                                 found->second->strId == *slot.pText;
        if (bTranslated) {
            *slot.pText = found->second->strText;
        } else if (slot.bString) {
            untranslated.push_back(std::stoi(slot.strKey.substr(7)));
        }
    }
    for (int nId : untranslated) {
        set.strings.erase(nId);
    }
    return set;
}

} // namespace lang
