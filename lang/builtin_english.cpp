// The built-in English resource set, assembled once.
#include "lang/english_parts.h"
#include "lang/resource_strings.h"

const lang::ResourceSet& BuiltinEnglish() {
    static const lang::ResourceSet set = [] {
        lang::ResourceSet s;
        s.nLanguage = 0x0409;
        s.strLanguageName = "&English";
        lang::AddEnglishStrings(s);
        lang::AddEnglishMenu(s);
        lang::AddEnglishDialogs(s);
        lang::AddEnglishToolbar(s);
        return s;
    }();
    return set;
}
