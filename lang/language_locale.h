#pragma once
// The locale a language identifier stands for, in the form the desktop's translation catalogues
// are named by ("de", "zh_CN"): Qt's own dialogs and the desktop's texts speak the language of
// the interface through it.
#include <cstdint>
#include <string>

namespace lang {

// The locale name of a 16-bit language identifier: the language ("de") for a language whose
// regional variants share one catalogue, the language and the region ("zh_CN", "pt_BR") where
// they differ. "en" for English; empty for an identifier not known here.
std::string LanguageLocaleName(std::uint16_t nLanguage);

} // namespace lang
