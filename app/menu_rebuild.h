#pragma once
// The menu bar as the frame shows it: menu 128 of the current resource set without the commands
// this product does not offer, with the Language menu listing the interface languages and the
// About item naming the application.
#include "lang/language_modules.h"
#include "lang/resource_set.h"

#include <cstdint>
#include <vector>

// One entry of the Language menu (lang::LanguageMenuEntries); entry i carries command 32750 + i.
using LanguageEntry = lang::LanguageModule;

// The built-in English entry, always first in the Language menu.
LanguageEntry BuiltinLanguageEntry();

// Position of the Language menu and of the Help menu among the top-level menus.
inline constexpr std::size_t kLanguageMenuIndex = 2;
inline constexpr std::size_t kHelpMenuIndex = 6;

// Removes every item with one of these commands, wherever it is in the menu.
void RemoveMenuCommands(lang::Menu& menu, const std::vector<int>& commands);

// Menu 128 as shown: New, Open, Save, Save As and the target formats without a conversion path
// removed; the Language menu replaced by `languages` (checked where the identifier equals
// `nCurrentLanguage`); the About item reading "&About Lumicast ...".
lang::Menu RebuiltMenu(const lang::Menu& source, const std::vector<LanguageEntry>& languages,
                       std::uint16_t nCurrentLanguage);
