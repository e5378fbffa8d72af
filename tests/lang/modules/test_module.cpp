// A small language module for the tests, built once per case (TEST_CASE):
//   1 "&Zulu" (1077)          2 "&Deutsch" (1031), lacks string 61221
//   3 another interface version (1036)   4 no GetResourceSet export (1040)
//   5 no exports at all       6 claims 1033 ("&Fake English")
//   7 malformed tables: a menu item deeper than any pop-up (1043)
#include "lang/module_abi.h"

#if TEST_CASE == 1
#define TEST_LANGUAGE 1077u
#define TEST_NAME "&Zulu"
#define TEST_ADD "Engeza"
#elif TEST_CASE == 2
#define TEST_LANGUAGE 1031u
#define TEST_NAME "&Deutsch"
#define TEST_ADD "Hinzuf\303\274gen"
#define TEST_WITHOUT_EXIT_QUESTION
#elif TEST_CASE == 3
#define TEST_LANGUAGE 1036u
#define TEST_NAME "&Ancien"
#define TEST_ADD "Ajouter"
#elif TEST_CASE == 4
#define TEST_LANGUAGE 1040u
#define TEST_NAME "&Italiano"
#define TEST_ADD "Aggiungi"
#elif TEST_CASE == 5
#define TEST_LANGUAGE 1034u
#define TEST_NAME "&Espa\303\261ol"
#define TEST_ADD "Agregar"
#elif TEST_CASE == 6
#define TEST_LANGUAGE 0x0409u
#define TEST_NAME "&Fake English"
#define TEST_ADD "Fake Add"
#elif TEST_CASE == 7
#define TEST_LANGUAGE 1043u
#define TEST_NAME "&Nederlands"
#define TEST_ADD "Toevoegen"
#endif

#if TEST_CASE == 3
#define TEST_VERSION (LUMICAST_RESOURCE_SET_VERSION + 1u)
#else
#define TEST_VERSION LUMICAST_RESOURCE_SET_VERSION
#endif

#if TEST_CASE == 5
#define TEST_EXPORT
#else
#define TEST_EXPORT __attribute__((visibility("default")))
#endif

namespace {

const LumicastString kStrings[] = {
    {61308, TEST_ADD},
#ifndef TEST_WITHOUT_EXIT_QUESTION
    {61221, TEST_NAME " %s ?"},
#endif
    {61323, TEST_NAME " ready"},
};

const LumicastMenuItem kMenu128[] = {
    {0, 0, LUMICAST_MENU_POPUP, "&File"},
    {1, 32801, 0u, "&" TEST_ADD},
#if TEST_CASE == 7
    {3, 57665, 0u, "E&xit"},
#else
    {1, 0, LUMICAST_MENU_SEPARATOR, ""},      {1, 57665, LUMICAST_MENU_CHECKED, "E&xit"},
#endif
    {0, 0, LUMICAST_MENU_POPUP, "&Language"},
    {1, 32750, 0u, "&English"},
};

const LumicastMenu kMenus[] = {{128, sizeof(kMenu128) / sizeof(kMenu128[0]), kMenu128}};

const LumicastControl kDialog138[] = {
    {-1, 0, "Help " TEST_NAME, 7, 7, 218, 60, 0u, 0},
    {1073, 4, "Hide", 7, 74, 80, 10, 1u, 0},
};

const LumicastDialog kDialogs[] = {{138, "", "MS Sans Serif", 8, 232, 92, 2, kDialog138}};

const LumicastToolbarButton kToolbar[] = {{32801, 61308}, {0, 0}, {57665, 61315}};

// Case 4 exports no GetResourceSet, so the set is unused there.
[[maybe_unused]] const LumicastResourceSet kSet = {
    TEST_VERSION,
    static_cast<uint32_t>(sizeof(LumicastResourceSet)),
    TEST_LANGUAGE,
    TEST_NAME,
    static_cast<uint32_t>(sizeof(kStrings) / sizeof(kStrings[0])),
    kStrings,
    1,
    kMenus,
    1,
    kDialogs,
    3,
    kToolbar,
};

} // namespace

extern "C" {
TEST_EXPORT uint32_t GetLanguage(void) {
    return TEST_LANGUAGE;
}
TEST_EXPORT const char* GetLanguageName(void) {
    return TEST_NAME;
}
TEST_EXPORT uint32_t GetResourceSetVersion(void) {
    return TEST_VERSION;
}
#if TEST_CASE != 4
TEST_EXPORT const LumicastResourceSet* GetResourceSet(void) {
    return &kSet;
}
#endif
}
