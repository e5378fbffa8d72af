#include "lang/tools/text_slots.h"

#include <set>

#include "lang/tools/po_file.h"

namespace lang {
namespace {

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

} // namespace

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
        out += PoKeywordLines("msgctxt", slot.strKey);
        out += PoKeywordLines("msgid", *slot.pText);
        out += "msgstr \"\"\n";
    }
    return out;
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
