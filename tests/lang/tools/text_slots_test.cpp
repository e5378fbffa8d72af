// The keys that tie the entries to the English set: the template carries every English text under
// a key of its own, and a module's set takes the translated texts.
#include "lang/tools/text_slots.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lang/resource_strings.h"
#include "lang/tools/helpers/po_catalogs.h"

namespace {

TEST(TextSlots, TemplateRoundTripsEveryEnglishText) {
    lang::PoCatalog pot;
    std::string error;
    ASSERT_TRUE(lang::ParsePo(lang::WritePot(BuiltinEnglish()), pot, error)) << error;
    lang::ResourceSet english = BuiltinEnglish();
    const auto slots = lang::TextSlots(english);
    ASSERT_EQ(pot.entries.size(), slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
        EXPECT_EQ(pot.entries[i].strContext, slots[i].strKey);
        EXPECT_EQ(pot.entries[i].strId, *slots[i].pText); // quotes, tabs and line feeds survive
        EXPECT_EQ(pot.entries[i].strText, "");
    }
    // Every key is distinct, so no translation can land on two texts.
    std::vector<std::string> keys;
    for (const auto& slot : slots) {
        keys.push_back(slot.strKey);
    }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}

TEST(TextSlots, UntranslatedStringsAreLeftOutOtherTextsKeepEnglish) {
    lang::PoCatalog po = LoadCatalog("de.po");
    Entry(po, "string 61337").strText.clear();
    Entry(po, "dialog 101 control 1002").strText.clear();
    const lang::ResourceSet set = lang::TranslateSet(po, BuiltinEnglish());
    EXPECT_EQ(set.nLanguage, 1031);
    EXPECT_EQ(set.strLanguageName, "&Deutsch");
    EXPECT_EQ(set.strings.count(61337), 0U);
    EXPECT_EQ(set.strings.at(61336), "Empfohlen");
    const auto& controls = set.dialogs.at(101).controls;
    EXPECT_TRUE(std::any_of(controls.begin(), controls.end(),
                            [](const auto& c) { return c.strText == "Browse..."; }));
}

} // namespace
