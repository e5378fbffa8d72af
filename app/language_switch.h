#pragma once
// The language switch: a Language command selects the language module of its entry, rebuilds the
// menu bar, re-creates the form view in the new language (it takes over the old view's settings
// and sources), stores the choice and, for a language other than English, shows the notice below.
// The commands are CMainFrame's (OnLanguage, RecreateView), kept in language_switch.cpp.
#include <QString>

// Where users send corrections of a translation: the project's address, set when the build is
// configured (LUMICAST_CONTACT); named in the notice after a switch and in the README.
inline constexpr char kTranslationContact[] = LUMICAST_CONTACT;

// The notice shown after a switch to a language other than English (always in English).
QString TranslationNotice();

// Qt's own texts (message box buttons, the file and folder dialogs) follow the current interface
// language; start-up and every switch call it. Where Qt has no translation they stay English, and
// the log says so.
void UseQtTextsOfCurrentLanguage();
