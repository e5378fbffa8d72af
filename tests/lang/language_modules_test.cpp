// Finding, listing and selecting language modules, with small test modules (one per fault a real
// module folder may hold) and the German and Chinese modules the build makes.
#include "lang/language_modules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/testkit.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "support/log.h"

namespace fs = std::filesystem;

namespace {

std::string TestModule(const std::string& name) {
    return testkit::BuildDir() + "/tests/lang/modules/LanRes" + name + "Dll.so";
}

// A module folder for one test; the selection goes back to its start state afterwards.
class LanguageModules : public ::testing::Test {
protected:
    void SetUp() override {
        lang::ResetLanguageSelection();
        lang::SetLanguageModuleFolder(m_dir.Path());
    }
    void TearDown() override {
        lang::ResetLanguageSelection();
        lang::SetLanguageModuleFolder("");
    }
    std::string Add(const std::string& testModule, const std::string& fileName = "") {
        const std::string target = m_dir.File(
            fileName.empty() ? fs::path(TestModule(testModule)).filename().string() : fileName);
        fs::copy_file(TestModule(testModule), target);
        return target;
    }
    void AddText(const std::string& fileName, const std::string& text) {
        std::ofstream(m_dir.File(fileName)) << text;
    }
    testkit::TempDir m_dir;
};

std::vector<std::string> Names(const std::vector<lang::LanguageModule>& modules) {
    std::vector<std::string> names;
    for (const auto& module : modules) {
        names.push_back(module.strName);
    }
    return names;
}

TEST_F(LanguageModules, OnlyValidModulesAreListedSortedByNameAfterEnglish) {
    const std::string zulu = Add("Zulu");
    const std::string deutsch = Add("Deutsch");
    Add("OtherVersion");
    Add("NoResourceSet");
    Add("NoExports");
    Add("FakeEnglish");
    Add("Zulu", "LanResZulu.so");      // not the module pattern
    Add("Zulu", "ZuluLanResDll.so.1"); // nor this
    AddText("LanResJunkDll.so", "not a library\n");
    AddText("LanResEmptyDll.so", "");
    fs::create_directory(m_dir.File("LanResFolderDll.so"));

    EXPECT_EQ(Names(lang::ListLanguageModules()),
              (std::vector<std::string>{"&Deutsch", "&Fake English", "&Zulu"}));
    const auto entries = lang::LanguageMenuEntries();
    ASSERT_EQ(entries.size(), 4U);
    EXPECT_EQ(entries[0].nLanguage, 1033);
    EXPECT_EQ(entries[0].strName, "&English");
    EXPECT_EQ(entries[0].strPath, "");
    EXPECT_EQ(entries[1].nLanguage, 1031);
    EXPECT_EQ(entries[1].strPath, deutsch);
    EXPECT_EQ(entries[3].nLanguage, 1077);
    EXPECT_EQ(entries[3].strPath, zulu);

    // Only the low 16 bits of an identifier count.
    EXPECT_EQ(lang::FindLanguageModule(1077), zulu);
    EXPECT_EQ(lang::FindLanguageModule(0x10000U | 1031U), deutsch);
    EXPECT_EQ(lang::FindLanguageModule(1036), ""); // another interface version
    EXPECT_EQ(lang::FindLanguageModule(1040), ""); // lacks an export
    EXPECT_EQ(lang::FindLanguageModule(2052), "");
}

TEST_F(LanguageModules, EmptyOrMissingFolderListsOnlyEnglish) {
    EXPECT_TRUE(lang::ListLanguageModules().empty());
    lang::SetLanguageModuleFolder(m_dir.File("no-such-folder"));
    const auto entries = lang::LanguageMenuEntries();
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].strName, "&English");
}

TEST_F(LanguageModules, SelectingSwitchesTheResourceSetEnglishNeverFromAModule) {
    Add("Zulu");
    Add("Deutsch");
    Add("FakeEnglish");
    Add("OtherVersion");
    EXPECT_EQ(lang::CurrentLanguageId(), 0);
    EXPECT_EQ(&CurrentResources(), &BuiltinEnglish());

    ASSERT_TRUE(lang::SelectLanguage(1077));
    EXPECT_EQ(lang::CurrentLanguageId(), 1077);
    EXPECT_EQ(CurrentResources().nLanguage, 1077);
    EXPECT_EQ(CurrentResources().strLanguageName, "&Zulu");
    EXPECT_EQ(LoadResString(ids::kStrAdd), "Engeza");
    EXPECT_EQ(LoadResString(ids::kStrExitQuestion, "Lumicast"), "&Zulu Lumicast ?");
    const lang::Menu& menu = CurrentResources().menus.at(ids::kMainFrame);
    ASSERT_EQ(menu.items.size(), 2U);
    ASSERT_EQ(menu.items[0].children.size(), 3U);
    EXPECT_EQ(menu.items[0].children[0].strText, "&Engeza");
    EXPECT_TRUE(menu.items[0].children[1].bSeparator);
    EXPECT_TRUE(menu.items[0].children[2].bChecked);
    EXPECT_EQ(menu.items[1].children[0].nCommand, ids::kCmdLanguageFirst);
    EXPECT_EQ(CurrentResources().dialogs.at(ids::kDlgHelp).controls.at(1).kind,
              lang::ControlKind::CheckBox);
    EXPECT_EQ(CurrentResources().toolbar.size(), 3U);

    // The current language again, another version and an unknown one change nothing.
    EXPECT_FALSE(lang::SelectLanguage(1077));
    EXPECT_FALSE(lang::SelectLanguage(1036));
    EXPECT_FALSE(lang::SelectLanguage(4242));
    EXPECT_EQ(lang::CurrentLanguageId(), 1077);
    EXPECT_EQ(LoadResString(ids::kStrAdd), "Engeza");

    ASSERT_TRUE(lang::SelectLanguage(1031));
    EXPECT_EQ(LoadResString(ids::kStrAdd), "Hinzuf\xC3\xBCgen");

    // 1033 is always the built-in set, even with a module claiming it, and even when current.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(lang::SelectLanguage(0x0409));
        EXPECT_EQ(lang::CurrentLanguageId(), 0x0409);
        EXPECT_EQ(&CurrentResources(), &BuiltinEnglish());
    }
    EXPECT_TRUE(lang::SelectLanguage(0x20409)); // low 16 bits
    EXPECT_EQ(&CurrentResources(), &BuiltinEnglish());
}

TEST_F(LanguageModules, EnglishFromIdentifierZeroSucceedsAndCounts) {
    // The first choice of "&English" in a run makes 1033 current though English was in use.
    ASSERT_TRUE(lang::SelectLanguage(1033));
    EXPECT_EQ(lang::CurrentLanguageId(), 1033);
}

TEST_F(LanguageModules, AModuleThatFailsToLoadLeavesEnglishAndTheIdentifier) {
    Add("Zulu");
    Add("Malformed");
    ASSERT_TRUE(lang::SelectLanguage(1077));
    testkit::TempDir logDir;
    const std::string oldLog = GetLogPath();
    SetLogPath(logDir.File("log.txt"));
    EXPECT_FALSE(lang::SelectLanguage(1043));
    SetLogPath(oldLog);
    EXPECT_EQ(&CurrentResources(), &BuiltinEnglish());
    EXPECT_EQ(lang::CurrentLanguageId(), 1077);
    std::stringstream log;
    log << std::ifstream(logDir.File("log.txt")).rdbuf();
    EXPECT_NE(log.str().find("LanResMalformedDll.so"), std::string::npos) << log.str();
}

TEST_F(LanguageModules, MissingStringGivesEmptyTextAndOneLogLine) {
    Add("Deutsch");
    ASSERT_TRUE(lang::SelectLanguage(1031));
    testkit::TempDir logDir;
    const std::string oldLog = GetLogPath();
    SetLogPath(logDir.File("log.txt"));
    // The module has no exit question: nothing falls back to English.
    EXPECT_EQ(LoadResString(ids::kStrExitQuestion, "Lumicast"), "");
    SetLogPath(oldLog);
    std::stringstream log;
    log << std::ifstream(logDir.File("log.txt")).rdbuf();
    EXPECT_EQ(log.str(), "**Error Loading Resource String:id=61221\n");
}

TEST(LanguageModuleTables, MalformedTablesAreRejected) {
    const LumicastMenuItem items[] = {{0, 0, LUMICAST_MENU_POPUP, "&File"}, {1, 1, 0u, "&Add"}};
    const LumicastMenu menu = {128, 2, items};
    const LumicastControl control = {5, 0, "x", 1, 2, 3, 4, 0u, 0};
    const LumicastDialog dialog = {138, "", "MS Sans Serif", 8, 10, 10, 1, &control};
    LumicastResourceSet good = {LUMICAST_RESOURCE_SET_VERSION,
                                static_cast<uint32_t>(sizeof(LumicastResourceSet)),
                                1031,
                                "&Deutsch",
                                0,
                                nullptr,
                                1,
                                &menu,
                                1,
                                &dialog,
                                0,
                                nullptr};
    lang::ResourceSet set;
    ASSERT_TRUE(lang::ConvertResourceSet(good, set));
    EXPECT_EQ(set.menus.at(128).items.at(0).children.at(0).strText, "&Add");
    EXPECT_EQ(set.dialogs.at(138).controls.at(0).cy, 4);

    LumicastResourceSet bad = good;
    bad.nStringCount = 3; // with no table
    EXPECT_FALSE(lang::ConvertResourceSet(bad, set));
    bad = good;
    bad.nStructSize -= 8;
    EXPECT_FALSE(lang::ConvertResourceSet(bad, set));

    const LumicastMenuItem orphan[] = {{0, 0, 0u, "&File"}, {1, 1, 0u, "&Add"}};
    const LumicastMenu orphanMenu = {128, 2, orphan};
    bad = good;
    bad.pMenus = &orphanMenu; // an item deeper than a pop-up opens
    EXPECT_FALSE(lang::ConvertResourceSet(bad, set));

    const LumicastControl unknown = {5, 99, "x", 1, 2, 3, 4, 0u, 0};
    const LumicastDialog unknownDialog = {138, "", "", 8, 10, 10, 1, &unknown};
    bad = good;
    bad.pDialogs = &unknownDialog;
    EXPECT_FALSE(lang::ConvertResourceSet(bad, set));
}

// The modules the build makes: the English set's shape with every text translated.
void ExpectSameShape(const std::vector<lang::MenuItem>& english,
                     const std::vector<lang::MenuItem>& other) {
    ASSERT_EQ(english.size(), other.size());
    for (std::size_t i = 0; i < english.size(); ++i) {
        EXPECT_EQ(english[i].nCommand, other[i].nCommand);
        EXPECT_EQ(english[i].bSeparator, other[i].bSeparator);
        EXPECT_EQ(english[i].bChecked, other[i].bChecked);
        EXPECT_EQ(english[i].strText.empty(), other[i].strText.empty()) << english[i].strText;
        ExpectSameShape(english[i].children, other[i].children);
    }
}

void ExpectCompleteTranslation(const lang::ResourceSet& english, const lang::ResourceSet& set) {
    for (const auto& [nId, text] : english.strings) {
        auto found = set.strings.find(nId);
        ASSERT_NE(found, set.strings.end()) << "string " << nId;
        EXPECT_FALSE(found->second.empty()) << "string " << nId;
    }
    EXPECT_EQ(set.strings.size(), english.strings.size());
    ASSERT_EQ(set.menus.size(), english.menus.size());
    ExpectSameShape(english.menus.at(128).items, set.menus.at(128).items);
    ASSERT_EQ(set.dialogs.size(), english.dialogs.size());
    for (const auto& [nId, dialog] : english.dialogs) {
        const lang::DialogTemplate& other = set.dialogs.at(nId);
        EXPECT_EQ(other.cx, dialog.cx);
        EXPECT_EQ(other.cy, dialog.cy);
        EXPECT_EQ(other.strCaption.empty(), dialog.strCaption.empty());
        ASSERT_EQ(other.controls.size(), dialog.controls.size());
        for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
            const auto& a = dialog.controls[i];
            const auto& b = other.controls[i];
            EXPECT_EQ(a.nId, b.nId);
            EXPECT_EQ(a.kind, b.kind);
            EXPECT_EQ(a.style, b.style);
            EXPECT_EQ(a.nMaxLength, b.nMaxLength);
            EXPECT_EQ(std::vector<int>({a.x, a.y, a.cx, a.cy}),
                      std::vector<int>({b.x, b.y, b.cx, b.cy}));
            EXPECT_EQ(a.strText.empty(), b.strText.empty()) << "dialog " << nId << " item " << i;
        }
    }
    ASSERT_EQ(set.toolbar.size(), english.toolbar.size());
    for (std::size_t i = 0; i < english.toolbar.size(); ++i) {
        EXPECT_EQ(set.toolbar[i].nCommand, english.toolbar[i].nCommand);
        EXPECT_EQ(set.toolbar[i].nCaptionId, english.toolbar[i].nCaptionId);
    }
}

TEST(BuiltLanguageModules, GermanAndChineseAreCompleteAndSwitchable) {
    lang::ResetLanguageSelection();
    lang::SetLanguageModuleFolder(testkit::BinDir());
    const auto modules = lang::ListLanguageModules();
    ASSERT_EQ(Names(modules),
              (std::vector<std::string>{"&Deutsch",
                                        "&\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87"}));
    EXPECT_EQ(modules[0].nLanguage, 1031);
    EXPECT_EQ(fs::path(modules[0].strPath).filename(), "LanResGermanDll.so");
    EXPECT_EQ(modules[1].nLanguage, 2052);
    EXPECT_EQ(fs::path(modules[1].strPath).filename(), "LanResChineseDll.so");

    ASSERT_TRUE(lang::SelectLanguage(1031));
    ExpectCompleteTranslation(BuiltinEnglish(), CurrentResources());
    EXPECT_EQ(LoadResString(ids::kStrExitQuestion, "Lumicast"),
              "Vielen Dank, dass Sie Lumicast verwenden. M\xC3\xB6"
              "chten Sie das Programm "
              "wirklich beenden?");
    EXPECT_EQ(LoadResString(ids::kStrKeepOriginal), "Unver\xC3\xA4ndert");
    EXPECT_EQ(LoadResString(ids::kStrDetecting, 2, 5, "a%b.avi"),
              "Die ausgew\xC3\xA4hlten Dateien werden untersucht.\nNr. 2/5: \xE2\x80\x9E"
              "a%b.avi\xE2\x80\x9C");

    ASSERT_TRUE(lang::SelectLanguage(2052));
    ExpectCompleteTranslation(BuiltinEnglish(), CurrentResources());
    EXPECT_EQ(LoadResString(ids::kStrExitQuestion, "Lumicast"),
              "\xE6\x84\x9F\xE8\xB0\xA2\xE4\xBD\xBF\xE7\x94\xA8 Lumicast\xE3\x80\x82"
              "\xE7\xA1\xAE\xE5\xAE\x9A\xE8\xA6\x81\xE9\x80\x80\xE5\x87\xBA\xE5\x90\x97"
              "\xEF\xBC\x9F");
    EXPECT_EQ(CurrentResources().menus.at(128).items.at(2).strText, "\xE8\xAF\xAD\xE8\xA8\x80(&L)");

    ASSERT_TRUE(lang::SelectLanguage(1033));
    EXPECT_EQ(LoadResString(ids::kStrKeepOriginal), "Keep Original");
    lang::ResetLanguageSelection();
    lang::SetLanguageModuleFolder("");
}

} // namespace
