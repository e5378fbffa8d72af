#pragma once
// Qt's own texts in the language of the interface: the buttons of every message box (OK, Cancel,
// Yes, No), the file and folder dialogs with their labels and file-type names. They come from
// Qt's translation catalogues (qtbase_<locale>.qm in Qt's translations folder, Debian's
// qt6-translations-l10n), loaded at start-up and again at every language switch.
#include <string>

// Installs Qt's catalogue for a locale ("de", "zh_CN") in place of the one installed before, and
// makes the locale the default one (the file dialog's dates and sizes). An empty locale or English
// goes back to Qt's built-in English texts. False when Qt has no catalogue for the locale: its
// texts are English then.
bool UseQtTranslation(const std::string& strLocale);

// The locale whose catalogue is installed; empty while Qt's texts are English.
std::string QtTranslationLocale();
