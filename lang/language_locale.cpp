#include "lang/language_locale.h"

namespace lang {

namespace {

struct LocaleRow {
    std::uint16_t nLanguage;
    const char* pszLocale;
};

// Identifiers whose region decides the catalogue, looked up first.
constexpr LocaleRow kRegional[] = {
    {0x0804, "zh_CN"}, {0x1004, "zh_CN"}, {0x0404, "zh_TW"}, {0x0C04, "zh_TW"},
    {0x1404, "zh_TW"}, {0x0416, "pt_BR"}, {0x0816, "pt_PT"},
};

// The other languages by their primary language (the low 10 bits of the identifier).
constexpr LocaleRow kPrimary[] = {
    {0x01, "ar"}, {0x02, "bg"}, {0x03, "ca"}, {0x05, "cs"}, {0x06, "da"}, {0x07, "de"},
    {0x08, "el"}, {0x09, "en"}, {0x0A, "es"}, {0x0B, "fi"}, {0x0C, "fr"}, {0x0D, "he"},
    {0x0E, "hu"}, {0x10, "it"}, {0x11, "ja"}, {0x12, "ko"}, {0x13, "nl"}, {0x14, "nb"},
    {0x15, "pl"}, {0x16, "pt"}, {0x19, "ru"}, {0x1B, "sk"}, {0x1D, "sv"}, {0x1F, "tr"},
    {0x22, "uk"}, {0x24, "sl"}, {0x2A, "vi"},
};

} // namespace

std::string LanguageLocaleName(std::uint16_t nLanguage) {
    for (const LocaleRow& row : kRegional) {
        if (row.nLanguage == nLanguage) {
            return row.pszLocale;
        }
    }
    const auto nPrimary = static_cast<std::uint16_t>(nLanguage & 0x03FFU);
    for (const LocaleRow& row : kPrimary) {
        if (row.nLanguage == nPrimary) {
            return row.pszLocale;
        }
    }
    return std::string();
}

} // namespace lang
