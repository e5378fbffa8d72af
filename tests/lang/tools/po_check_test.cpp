// The translations: both .po files cover the English set exactly, and the checks catch the faults
// a translator can make (a missing text, a stale one, a changed printf conversion).
#include "lang/tools/po_check.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lang/resource_strings.h"
#include "lang/tools/helpers/po_catalogs.h"

namespace {

std::string Joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const auto& problem : problems) {
        text += problem + "\n";
    }
    return text;
}

bool Mentions(const std::vector<std::string>& problems, const std::string& a,
              const std::string& b) {
    return std::any_of(problems.begin(), problems.end(), [&](const std::string& p) {
        return p.find(a) != std::string::npos && p.find(b) != std::string::npos;
    });
}

class RealTranslation : public ::testing::TestWithParam<const char*> {};

TEST_P(RealTranslation, CoversTheEnglishSetExactly) {
    const lang::PoCatalog po = LoadCatalog(GetParam());
    EXPECT_EQ(Joined(lang::CheckPo(po, BuiltinEnglish())), "");
}

TEST_P(RealTranslation, ChecksCatchMissingStaleAndMistranslatedTexts) {
    const lang::PoCatalog good = LoadCatalog(GetParam());

    lang::PoCatalog po = good; // a text the English set has is missing
    po.entries.erase(std::find_if(po.entries.begin(), po.entries.end(),
                                  [](const auto& e) { return e.strContext == "string 61340"; }));
    EXPECT_TRUE(Mentions(lang::CheckPo(po, BuiltinEnglish()), "string 61340", "missing"));

    po = good; // one the English set no longer has
    po.entries.push_back({"string 61999", "Gone", "Weg", false, 9999});
    EXPECT_TRUE(Mentions(lang::CheckPo(po, BuiltinEnglish()), "string 61999", "no longer"));

    po = good; // a conversion of another type, one left out, one added
    std::string& text = Entry(po, "string 61212").strText;
    const std::size_t nPos = text.find("%s");
    ASSERT_NE(nPos, std::string::npos);
    for (const char* replacement : {"%d", "", "%s %s", "%-s"}) {
        std::string changed = text;
        changed.replace(nPos, 2, replacement);
        lang::PoCatalog bad = po;
        Entry(bad, "string 61212").strText = changed;
        EXPECT_TRUE(Mentions(lang::CheckPo(bad, BuiltinEnglish()), "string 61212", "printf"))
            << replacement;
    }

    po = good; // translated from an English text that has since changed
    Entry(po, "string 61221").strId = "Thanks for using %s.";
    EXPECT_TRUE(Mentions(lang::CheckPo(po, BuiltinEnglish()), "string 61221", "msgid differs"));

    po = good; // untranslated or fuzzy
    Entry(po, "string 61337").strText.clear();
    Entry(po, "dialog 101 control 1002").bFuzzy = true;
    const auto problems = lang::CheckPo(po, BuiltinEnglish());
    EXPECT_TRUE(Mentions(problems, "string 61337", "not translated"));
    EXPECT_TRUE(Mentions(problems, "dialog 101 control 1002", "not translated"));

    po = good; // a tool tip lost after the prompt, a lost mnemonic
    Entry(po, "string 32801").strText = "Add files";
    Entry(po, "menu 128 popup 0").strText = "File";
    const auto more = lang::CheckPo(po, BuiltinEnglish());
    EXPECT_TRUE(Mentions(more, "string 32801", "line feeds"));
    EXPECT_TRUE(Mentions(more, "menu 128 popup 0", "mnemonic"));
}

INSTANTIATE_TEST_SUITE_P(Po, RealTranslation, ::testing::Values("de.po", "zh_CN.po"));

} // namespace
