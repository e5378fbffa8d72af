// The translations: both .po files cover the English set exactly, and the checks catch the faults
// a translator can make (a missing text, a stale one, a changed printf conversion).
#include "lang/po_file.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "lang/resource_strings.h"

namespace {

lang::PoCatalog LoadCatalog(const std::string& name) {
    std::ifstream in(testkit::SourceDir() + "/lang/po/" + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    lang::PoCatalog catalog;
    std::string error;
    EXPECT_TRUE(lang::ParsePo(ss.str(), catalog, error)) << name << ": " << error;
    return catalog;
}

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

lang::PoEntry& Entry(lang::PoCatalog& po, const std::string& key) {
    auto it = std::find_if(po.entries.begin(), po.entries.end(),
                           [&](const lang::PoEntry& e) { return e.strContext == key; });
    EXPECT_NE(it, po.entries.end()) << key;
    return *it;
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

TEST(PoFile, TemplateRoundTripsEveryEnglishText) {
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

TEST(PoFile, UntranslatedStringsAreLeftOutOtherTextsKeepEnglish) {
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

TEST(PoFile, PrintfConversionsAndSyntaxErrors) {
    EXPECT_EQ(lang::PrintfConversions("%5.2f%% of %-3s, %ld and %*d"),
              (std::vector<std::string>{"%5.2f", "%-3s", "%ld", "%*d"}));
    EXPECT_EQ(lang::PrintfConversions("100%"), (std::vector<std::string>{"%?"}));
    // printf reads "% o" as octal with the space flag: a stray "%" in a translation is caught.
    EXPECT_EQ(lang::PrintfConversions("50% off"), (std::vector<std::string>{"% o"}));

    lang::PoCatalog po;
    std::string error;
    EXPECT_FALSE(lang::ParsePo("msgid \"a\"\nmsgstr \"b\nmsgid \"c\"\n", po, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(lang::ParsePo("msgctxt \"k\"\nmsgid \"a\"\n", po, error));
    ASSERT_TRUE(lang::ParsePo("#~ msgid \"old\"\n#~ msgstr \"alt\"\n\n"
                              "msgctxt \"k\"\nmsgid \"\"\n\"a\\n\"\n\"b\"\nmsgstr \"x\\\"y\"\n",
                              po, error))
        << error;
    ASSERT_EQ(po.entries.size(), 1U); // the obsolete entry is dropped
    EXPECT_EQ(po.entries[0].strId, "a\nb");
    EXPECT_EQ(po.entries[0].strText, "x\"y");
}

} // namespace
