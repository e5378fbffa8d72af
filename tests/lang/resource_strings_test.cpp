#include "lang/resource_strings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/testkit.h"
#include "support/log.h"

namespace {

// Logs into a temporary file for the life of the object.
class LogCapture {
public:
    LogCapture() : m_strPath(m_dir.File("log.txt")), m_strOld(GetLogPath()) {
        SetLogPath(m_strPath);
    }
    ~LogCapture() { SetLogPath(m_strOld); }
    std::string Text() const { return testkit::ReadFile(m_strPath); }

private:
    testkit::TempDir m_dir;
    std::string m_strPath;
    std::string m_strOld;
};

TEST(ResourceStrings, ExitQuestionFormattedWithTheApplicationName) {
    SetCurrentResources(nullptr);
    EXPECT_EQ(LoadResString(61221, "Lumicast"), "Thanks for using Lumicast. Sure to exit?");
    EXPECT_EQ(LoadResString(61221, std::string("Lumicast")),
              "Thanks for using Lumicast. Sure to exit?");
}

TEST(ResourceStrings, MissingIdGivesEmptyTextAndOneLogLine) {
    SetCurrentResources(nullptr);
    LogCapture log;
    EXPECT_EQ(LoadResString(4242), "");
    EXPECT_EQ(LoadResString(4243, "unused", 5), "");
    EXPECT_EQ(log.Text(), "**Error Loading Resource String:id=4242\n"
                          "**Error Loading Resource String:id=4243\n");
    EXPECT_EQ(FindResString(4242), nullptr);
}

TEST(ResourceStrings, AlwaysFormattedEvenWithoutArguments) {
    lang::ResourceSet set;
    set.strings[1] = "100%% done";
    set.strings[2] = "Step %d/%d: \"%s\"";
    set.strings[3] = "%s%s%s%s%d%f";
    SetCurrentResources(&set);
    EXPECT_EQ(LoadResString(1), "100% done");
    EXPECT_EQ(*FindResString(1), "100%% done"); // the raw text stays as stored
    EXPECT_EQ(LoadResString(2, 1, 3, "/tmp/a b.avi"), "Step 1/3: \"/tmp/a b.avi\"");
    // A text whose conversions do not fit the arguments (a faulty translation) does not crash.
    EXPECT_EQ(LoadResString(2, "x"), "Step x/: \"\"");
    EXPECT_EQ(LoadResString(3, 1, 2.5), "12.5");
    SetCurrentResources(nullptr);
}

TEST(ResourceStrings, CurrentSetSwitchesAndNullMeansBuiltinEnglish) {
    lang::ResourceSet german;
    german.nLanguage = 0x0407;
    german.strings[61337] = "Original beibehalten";
    SetCurrentResources(&german);
    EXPECT_EQ(&CurrentResources(), &german);
    EXPECT_EQ(LoadResString(61337), "Original beibehalten");
    {
        // No fall-back to the built-in texts while another set is current.
        LogCapture log;
        EXPECT_EQ(LoadResString(61336), "");
        EXPECT_NE(log.Text().find("id=61336"), std::string::npos);
    }
    SetCurrentResources(nullptr);
    EXPECT_EQ(&CurrentResources(), &BuiltinEnglish());
    EXPECT_EQ(LoadResString(61337), "Keep Original");
    EXPECT_EQ(BuiltinEnglish().nLanguage, 0x0409);
    EXPECT_EQ(BuiltinEnglish().strLanguageName, "&English");
}

} // namespace
