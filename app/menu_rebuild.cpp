#include "app/menu_rebuild.h"

#include "lang/resource_ids.h"
#include "ui/app_name.h"

#include <algorithm>

namespace {

const std::vector<int>& RemovedCommands() {
    static const std::vector<int> s_removed = {
        ids::kCmdNew,    ids::kCmdOpen,    ids::kCmdSave,   ids::kCmdSaveAs, ids::kCmdTgtMov,
        ids::kCmdTgtWmv, ids::kCmdTgt3gp,  ids::kCmdTgtOgm, ids::kCmdTgtAvi, ids::kCmdTgtDvd,
        ids::kCmdTgtVcd, ids::kCmdTgtSvcd, ids::kCmdTgtDv,
    };
    return s_removed;
}

void RemoveFrom(std::vector<lang::MenuItem>& items, const std::vector<int>& commands) {
    std::erase_if(items, [&commands](const lang::MenuItem& item) {
        return item.children.empty() && !item.bSeparator && item.nCommand != 0 &&
               std::find(commands.begin(), commands.end(), item.nCommand) != commands.end();
    });
    for (lang::MenuItem& item : items) {
        RemoveFrom(item.children, commands);
    }
}

void RenameCommand(std::vector<lang::MenuItem>& items, int nCommand, const std::string& text) {
    for (lang::MenuItem& item : items) {
        if (!item.bSeparator && item.children.empty() && item.nCommand == nCommand) {
            item.strText = text;
        }
        RenameCommand(item.children, nCommand, text);
    }
}

} // namespace

LanguageEntry BuiltinLanguageEntry() {
    return LanguageEntry{lang::kEnglishLanguageId, lang::kEnglishLanguageName, std::string()};
}

void RemoveMenuCommands(lang::Menu& menu, const std::vector<int>& commands) {
    RemoveFrom(menu.items, commands);
}

lang::Menu RebuiltMenu(const lang::Menu& source, const std::vector<LanguageEntry>& languages,
                       std::uint16_t nCurrentLanguage) {
    lang::Menu menu = source;
    RemoveMenuCommands(menu, RemovedCommands());

    if (menu.items.size() > kLanguageMenuIndex) {
        std::vector<lang::MenuItem>& entries = menu.items[kLanguageMenuIndex].children;
        entries.clear();
        for (std::size_t i = 0; i < languages.size(); ++i) {
            lang::MenuItem item;
            item.nCommand = ids::kCmdLanguageFirst + static_cast<int>(i);
            item.strText = languages[i].strName;
            item.bChecked = languages[i].nLanguage == nCurrentLanguage;
            entries.push_back(std::move(item));
        }
    }
    if (menu.items.size() > kHelpMenuIndex) {
        // Always in English, whatever the resource set.
        std::string strAbout = "&About ";
        strAbout.append(kAppName).append(" ...");
        RenameCommand(menu.items[kHelpMenuIndex].children, ids::kCmdAbout, strAbout);
    }
    return menu;
}
