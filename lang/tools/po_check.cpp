#include "lang/tools/po_check.h"

#include <charconv>
#include <map>
#include <set>

#include "lang/tools/po_file.h"
#include "lang/tools/text_slots.h"

namespace lang {
namespace {

// Strings whose line feeds separate fields rather than lines of a message.
bool LinesAreFields(const std::string& strKey) {
    int nId = 0;
    constexpr std::string_view kPrefix = "string ";
    if (!strKey.starts_with(kPrefix)) {
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

} // namespace

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
                               EscapePoText(strEnglish) + "\")");
            continue;
        }
        const PoEntry& entry = *found->second;
        const std::string strWhere =
            "line " + std::to_string(entry.nLine) + ", \"" + slot.strKey + "\": ";
        if (entry.strId != strEnglish) {
            problems.push_back(strWhere + "msgid differs from the English text \"" +
                               EscapePoText(strEnglish) + "\"");
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
        if (slot.strKey.starts_with("menu ") && Shortcut(strText) != Shortcut(strEnglish)) {
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

} // namespace lang
