#include "profiles/settings.h"
#include "support/registry_key.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using testkit::ReadFile;
using testkit::WriteFile;

// A fresh configuration folder and home folder for every test.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_dir.File("config"));
        fs::create_directories(m_dir.File("home"));
    }
    std::string Store() const { return m_dir.File("config/Velmora/Lumicast/settings.reg"); }
    std::string Default() const { return m_dir.File("home/ConvertedMedia/"); }

    // Writes a value of any type straight through the key wrapper.
    static void PutString(const char* name, const std::string& text) {
        RegistryKey key;
        ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite),
                  kRegOk);
        ASSERT_EQ(key.SetString(name, text), kRegOk);
    }
    static void PutDword(const char* name, std::uint32_t value) {
        RegistryKey key;
        ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kApplicationKeyPath, kRegAccessReadWrite),
                  kRegOk);
        ASSERT_EQ(key.SetDword(name, value), kRegOk);
    }

    testkit::TempDir m_dir;
    testkit::ScopedEnv m_config{"XDG_CONFIG_HOME", m_dir.File("config")};
    testkit::ScopedEnv m_home{"HOME", m_dir.File("home")};
};

TEST_F(SettingsTest, FaultLineNamesTheCauseAndWritesTellWhetherTheyStuck) {
    EXPECT_EQ(SettingsFilePath(), Store());
    EXPECT_EQ(SettingsFaultLine(), ""); // no file yet, and one can be made
    EXPECT_TRUE(WriteLanguageSetting(1031));
    EXPECT_EQ(SettingsFaultLine(), "");
    const std::string cause = "Settings file " + Store();
    const std::string unreadable =
        "); the default settings are used and the file is left as it is.";
    const std::string notWritable = "); changes made in this run will not be kept.";

    // A folder where the file should be: read as the defaults, never replaced.
    fs::remove(Store());
    fs::create_directory(Store());
    EXPECT_EQ(SettingsFaultLine(), cause + " cannot be read (Is a directory" + unreadable);
    EXPECT_FALSE(WriteHiddenToolTips());
    EXPECT_TRUE(fs::is_directory(Store()));
    fs::remove(Store());

    // Damaged lines: named until the next write, which keeps a copy and writes a clean file.
    WriteFile(Store(), "\"Language\"=dword:00000407\nnot a registry line\n");
    EXPECT_EQ(SettingsFaultLine(), cause + " is damaged; the settings that could be read are used, "
                                           "and a copy of the file is kept before it is written "
                                           "again.");
    EXPECT_TRUE(WriteHiddenToolTips());
    EXPECT_EQ(SettingsFaultLine(), "");

    if (geteuid() != 0) { // root reads and writes whatever the modes say
        fs::permissions(Store(), fs::perms::none);
        EXPECT_EQ(SettingsFaultLine(), cause + " cannot be read (Permission denied" + unreadable);
        EXPECT_FALSE(WriteLanguageSetting(1033));
        fs::permissions(Store(), fs::perms::owner_read | fs::perms::owner_write);
        const fs::path folder = fs::path(Store()).parent_path();
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(SettingsFaultLine(),
                  cause + " cannot be written (Permission denied" + notWritable);
        EXPECT_FALSE(WriteOutputPathSetting(m_dir.Path()));
        fs::permissions(folder, fs::perms::owner_all);
    }

    // The folder cannot even be made: a file stands where a folder above it should be.
    WriteFile(m_dir.File("file"), "x");
    setenv("XDG_CONFIG_HOME", m_dir.File("file/config").c_str(), 1);
    EXPECT_EQ(SettingsFaultLine(), "Settings file " +
                                       m_dir.File("file/config/Velmora/Lumicast/settings.reg") +
                                       " cannot be written (Not a directory" + notWritable);
    EXPECT_FALSE(WriteOutputPathSetting(m_dir.Path()));
}

TEST_F(SettingsTest, DefaultsWhenNothingIsStored) {
    EXPECT_FALSE(ReadHiddenToolTips());
    EXPECT_EQ(ReadLanguageSetting(), kNoLanguage);
    EXPECT_EQ(ReadOutputPathSetting(), Default());
    EXPECT_EQ(DefaultOutputFolder(), Default());
    EXPECT_FALSE(fs::exists(Default())); // the folder is made by the conversion, not here
    EXPECT_FALSE(fs::exists(Store()));   // reading writes nothing
}

TEST_F(SettingsTest, HiddenToolTipsOnlyForTrueInAnyCase) {
    WriteHiddenToolTips();
    EXPECT_TRUE(ReadHiddenToolTips());
    EXPECT_NE(ReadFile(Store()).find("\"HiddenToolTips\"=\"TRUE\"\n"), std::string::npos);
    for (const char* text : {"true", "True", "tRUe"}) {
        PutString(kHiddenToolTipsValue, text);
        EXPECT_TRUE(ReadHiddenToolTips()) << text;
    }
    for (const char* text : {"1", "", "TRUE ", "yes", "TRUEX"}) {
        PutString(kHiddenToolTipsValue, text);
        EXPECT_FALSE(ReadHiddenToolTips()) << text;
    }
    PutDword(kHiddenToolTipsValue, 1);
    EXPECT_FALSE(ReadHiddenToolTips());
}

TEST_F(SettingsTest, LanguageIsStoredAsANumber) {
    WriteLanguageSetting(2052);
    EXPECT_EQ(ReadLanguageSetting(), 2052);
    EXPECT_NE(ReadFile(Store()).find("\"Language\"=dword:00000804\n"), std::string::npos);
    WriteLanguageSetting(kNoLanguage);
    EXPECT_EQ(ReadLanguageSetting(), kNoLanguage);
    EXPECT_NE(ReadFile(Store()).find("\"Language\"=dword:ffffffff\n"), std::string::npos);
    // A text where the number belongs is no language at all, and stays as it is.
    PutString(kLanguageValue, "2052");
    EXPECT_EQ(ReadLanguageSetting(), kNoLanguage);
    EXPECT_NE(ReadFile(Store()).find("\"Language\"=\"2052\"\n"), std::string::npos);
}

TEST_F(SettingsTest, OutputPathOnlyWhenItNamesAnExistingFolder) {
    const std::string videos = m_dir.File("Videos");
    fs::create_directories(videos);
    WriteOutputPathSetting(videos); // the trailing "/" is added
    EXPECT_EQ(ReadOutputPathSetting(), videos + "/");
    WriteOutputPathSetting(videos + "/"); // and not doubled
    EXPECT_EQ(ReadOutputPathSetting(), videos + "/");

    // The folder went away: the default is used, and the store keeps the old text.
    fs::remove(videos);
    EXPECT_EQ(ReadOutputPathSetting(), Default());
    EXPECT_NE(ReadFile(Store()).find("\"OutputPath\"=\"" + videos + "/\""), std::string::npos);

    // A file of that name is not a folder either.
    WriteFile(videos, "not a folder");
    EXPECT_EQ(ReadOutputPathSetting(), Default());

    // Empty, and of another type.
    PutString(kOutputPathValue, "");
    EXPECT_EQ(ReadOutputPathSetting(), Default());
    PutDword(kOutputPathValue, 7);
    EXPECT_EQ(ReadOutputPathSetting(), Default());

    // A hand-written folder without the "/" still gets one, so names can be appended.
    const std::string odd = m_dir.File("a \"quoted\" \\ folder\nwith a line break");
    fs::create_directories(odd);
    PutString(kOutputPathValue, odd);
    EXPECT_EQ(ReadOutputPathSetting(), odd + "/");
}

TEST_F(SettingsTest, DamagedStoreIsReadAsFarAsPossibleAndKeptAside) {
    fs::create_directories(fs::path(Store()).parent_path());
    const std::string header = "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast]\n";
    const std::string damaged[] = {
        header + "\"HiddenToolTips\"=\"true\"\n%%%garbage%%%\n\"Language\"=dword:00000804\n",
        header + "\"HiddenToolTips\"=\"true\"\n\"Language\"=dword:00000804\n\"OutputPath\"=\"/ho",
        header + "\"HiddenToolTips\"=\"true\"\n" + std::string("\0\xff\xfe\x01\x02\n", 6) +
            "\"Language\"=dword:00000804\n",
    };
    int expectedCopies = 0;
    for (const std::string& text : damaged) {
        WriteFile(Store(), text);
        EXPECT_TRUE(ReadHiddenToolTips());
        EXPECT_EQ(ReadLanguageSetting(), 2052);
        EXPECT_EQ(ReadOutputPathSetting(), Default());

        WriteOutputPathSetting(m_dir.Path());
        ++expectedCopies;
        int copies = 0;
        for (const auto& entry : fs::directory_iterator(fs::path(Store()).parent_path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("settings.reg.damaged-", 0) == 0) {
                ++copies;
                EXPECT_EQ(ReadFile(entry.path().string()), text); // the damaged file, whole
                fs::remove(entry.path());
            }
        }
        EXPECT_EQ(copies, 1);
        EXPECT_TRUE(ReadHiddenToolTips());
        EXPECT_EQ(ReadLanguageSetting(), 2052);
        EXPECT_EQ(ReadOutputPathSetting(), m_dir.Path() + "/");
    }
    EXPECT_EQ(expectedCopies, 3);
}

TEST_F(SettingsTest, UnusableStoreMeansDefaultsAndNoCrash) {
    // No configuration folder can be made: every setting reads as its default, writes vanish.
    WriteFile(m_dir.File("file"), "x");
    setenv("XDG_CONFIG_HOME", m_dir.File("file/config").c_str(), 1);
    WriteHiddenToolTips();
    WriteLanguageSetting(1031);
    WriteOutputPathSetting(m_dir.Path());
    EXPECT_FALSE(ReadHiddenToolTips());
    EXPECT_EQ(ReadLanguageSetting(), kNoLanguage);
    EXPECT_EQ(ReadOutputPathSetting(), Default());
}

TEST_F(SettingsTest, WritesFromTwoProcessesBothSurvive) {
    const std::string folders[2] = {m_dir.File("Videos"), m_dir.File("Music")};
    fs::create_directories(folders[0]);
    fs::create_directories(folders[1]);
    // Two processes write their own value over and over, ending at about the same moment; an
    // update lost between them would leave one process's last value missing. Several rounds make
    // such a loss likely where the store is not locked.
    for (int round = 0; round < 6; ++round) {
        pid_t children[2];
        for (int c = 0; c < 2; ++c) {
            children[c] = fork();
            ASSERT_GE(children[c], 0);
            if (children[c] == 0) {
                for (int i = 0; i < 6; ++i) {
                    if (c == 0) {
                        WriteLanguageSetting(1000 * round + i);
                    } else {
                        WriteOutputPathSetting(folders[(round + i) % 2]);
                    }
                }
                _exit(0);
            }
        }
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        EXPECT_EQ(ReadLanguageSetting(), 1000 * round + 5) << round;
        EXPECT_EQ(ReadOutputPathSetting(), folders[(round + 5) % 2] + "/") << round;
    }
}

} // namespace
