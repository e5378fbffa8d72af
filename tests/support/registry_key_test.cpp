#include "support/registry_key.h"
#include "support/registry_store.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char kAppKey[] = "Software\\Velmora\\Lumicast";

using testkit::ReadFile;
using testkit::WriteFile;

std::vector<std::string> DamagedCopies(const std::string& folder) {
    std::vector<std::string> copies;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("settings.reg.damaged-", 0) == 0) {
            copies.push_back(entry.path().string());
        }
    }
    return copies;
}

// Points the store at a fresh configuration folder for the length of a test.
class RegistryKeyTest : public ::testing::Test {
protected:
    std::string Folder() const { return m_dir.Path() + "/Velmora/Lumicast"; }
    std::string Store() const { return Folder() + "/settings.reg"; }

    testkit::TempDir m_dir;
    testkit::ScopedEnv m_config{"XDG_CONFIG_HOME", m_dir.Path()};
};

TEST_F(RegistryKeyTest, StoresValuesInTheUsersConfigurationFolder) {
    EXPECT_EQ(RegistryStoreFile(RegistryStoreFolder()), Store());
    {
        RegistryKey key;
        ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessReadWrite), kRegOk);
        EXPECT_EQ(key.SetString("OutputPath", "/home/ann/Videos/"), kRegOk);
        EXPECT_EQ(key.SetDword("Language", 2052), kRegOk);
        EXPECT_EQ(key.SetString("OutputPath", "/srv/media/"), kRegOk); // replaced in place
    }
    EXPECT_EQ(ReadFile(Store()), "Windows Registry Editor Version 5.00\n"
                                 "\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast]\n"
                                 "\"OutputPath\"=\"/srv/media/\"\n"
                                 "\"Language\"=dword:00000804\n"
                                 "\n");
    // No temporary files are left behind.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"settings.reg", "settings.reg.lock"}));

    RegistryKey key;
    ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessReadWrite), kRegOk);
    std::string text = "default";
    std::uint32_t number = 7;
    EXPECT_EQ(key.QueryString("outputpath", text), kRegOk);
    EXPECT_EQ(text, "/srv/media/");
    EXPECT_EQ(key.QueryDword("Language", number), kRegOk);
    EXPECT_EQ(number, 2052U);
    // Another key, another root: other sections, nothing found there.
    RegistryKey other;
    ASSERT_EQ(other.Open(RegistryRoot::ClassesRoot, ".htm", kRegAccessRead), kRegOk);
    text = "default";
    EXPECT_EQ(other.QueryString("OutputPath", text), kRegNotFound);
    EXPECT_EQ(text, "default");
}

TEST_F(RegistryKeyTest, ReadsOfMissingOrOtherTypesLeaveTheDefault) {
    RegistryKey key;
    ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessReadWrite), kRegOk);
    std::uint32_t number = 0xFFFFFFFFU;
    std::string text = "default";
    EXPECT_EQ(key.QueryDword("Language", number), kRegNotFound); // no store file yet
    EXPECT_EQ(key.QueryString("OutputPath", text), kRegNotFound);
    ASSERT_EQ(key.SetString("Language", "2052"), kRegOk);
    ASSERT_EQ(key.SetDword("OutputPath", 5), kRegOk);
    EXPECT_EQ(key.QueryDword("Language", number), kRegTypeMismatch);
    EXPECT_EQ(number, 0xFFFFFFFFU);
    EXPECT_EQ(key.QueryString("OutputPath", text), kRegTypeMismatch);
    EXPECT_EQ(text, "default");
    // An empty text is a value like any other, and a text ends at a zero byte.
    ASSERT_EQ(key.SetString("Empty", ""), kRegOk);
    EXPECT_EQ(key.QueryString("Empty", text), kRegOk);
    EXPECT_EQ(text, "");
    ASSERT_EQ(key.SetString("Cut", std::string("abc\0def", 7)), kRegOk);
    EXPECT_EQ(key.QueryString("Cut", text), kRegOk);
    EXPECT_EQ(text, "abc");
    EXPECT_NE(ReadFile(Store()).find("\"Empty\"=\"\"\n"), std::string::npos);
}

TEST_F(RegistryKeyTest, AccessFollowsTheOpenFlags) {
    RegistryKey writer;
    ASSERT_EQ(writer.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessWrite), kRegOk);
    EXPECT_EQ(writer.SetDword("Language", 1031), kRegOk);
    std::uint32_t number = 1;
    EXPECT_EQ(writer.QueryDword("Language", number), kRegAccessDenied);
    EXPECT_EQ(number, 1U);
    RegistryKey reader;
    ASSERT_EQ(reader.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessRead), kRegOk);
    EXPECT_EQ(reader.SetDword("Language", 9), kRegAccessDenied);
    EXPECT_EQ(reader.QueryDword("Language", number), kRegOk);
    EXPECT_EQ(number, 1031U);
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.QueryDword("Language", number), kRegInvalidHandle);
    EXPECT_EQ(RegistryKey().SetDword("Language", 1), kRegInvalidHandle);
}

TEST_F(RegistryKeyTest, FailedOpenLeavesAnEmptyWrapper) {
    // The configuration folder lies below a file: no folder can be made there.
    WriteFile(m_dir.File("file"), "x");
    setenv("XDG_CONFIG_HOME", m_dir.File("file/config").c_str(), 1);
    RegistryKey key;
    EXPECT_NE(key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessReadWrite), kRegOk);
    EXPECT_FALSE(key.IsOpen());
    std::uint32_t number = 42;
    std::string text = "default";
    EXPECT_NE(key.QueryDword("Language", number), kRegOk);
    EXPECT_NE(key.QueryString("OutputPath", text), kRegOk);
    EXPECT_EQ(number, 42U);
    EXPECT_EQ(text, "default");
    EXPECT_NE(key.SetDword("Language", 1), kRegOk);
    EXPECT_NE(key.SetString("OutputPath", "/x/"), kRegOk);
    EXPECT_EQ(ReadFile(m_dir.File("file")), "x");

    // Key paths that a section line cannot hold are refused the same way.
    setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
    for (const char* path : {"a\\\\b", "\\Software", "Software\\", "Soft\nware"}) {
        EXPECT_EQ(key.Open(RegistryRoot::LocalMachine, path, kRegAccessReadWrite), kRegInvalidParam)
            << path;
        EXPECT_FALSE(key.IsOpen());
    }
}

TEST_F(RegistryKeyTest, DamagedStoreIsReadAndKeptAsideBeforeItIsRewritten) {
    fs::create_directories(Folder());
    const std::string damaged = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast]\n"
                                "\"HiddenToolTips\"=\"TRUE\"\n" +
                                std::string("\x00\x13\xff garbage\n", 12) +
                                "\"Language\"=dword:00000804\n"
                                "\"OutputPath\"=\"/home/ann/Vi";
    WriteFile(Store(), damaged);
    RegistryKey key;
    ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessReadWrite), kRegOk);
    std::string text;
    std::uint32_t number = 0;
    EXPECT_EQ(key.QueryString("HiddenToolTips", text), kRegOk);
    EXPECT_EQ(text, "TRUE");
    EXPECT_EQ(key.QueryDword("Language", number), kRegOk);
    EXPECT_EQ(number, 0x804U);
    EXPECT_EQ(key.QueryString("OutputPath", text), kRegNotFound);
    EXPECT_TRUE(DamagedCopies(Folder()).empty()); // reading changes nothing

    ASSERT_EQ(key.SetString("OutputPath", "/srv/"), kRegOk);
    const auto copies = DamagedCopies(Folder());
    ASSERT_EQ(copies.size(), 1U);
    EXPECT_EQ(ReadFile(copies[0]), damaged);
    EXPECT_FALSE(ParseRegText(ReadFile(Store())).IsDamaged());
    EXPECT_EQ(key.QueryDword("Language", number), kRegOk); // what was readable survived
    EXPECT_EQ(key.QueryString("HiddenToolTips", text), kRegOk);
    // The repaired store is not copied again.
    ASSERT_EQ(key.SetDword("Language", 1), kRegOk);
    EXPECT_EQ(DamagedCopies(Folder()).size(), 1U);

    // A second damage the same second gets a name of its own.
    WriteFile(Store(), "\x7f"
                       "ELF junk");
    ASSERT_EQ(key.SetDword("Language", 2), kRegOk);
    EXPECT_EQ(DamagedCopies(Folder()).size(), 2U);

    // A store past the size limit is read up to the limit (the values before it survive) and
    // counts as damaged; the limit is exact whatever the pieces it is read in. The bulk is one long
    // comment line (millions of empty lines cost the sanitizer builds most of a minute), and the
    // byte past the limit is a line end, so that only the length makes the store damaged.
    const std::string head = "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast]\n"
                             "\"Language\"=dword:00000003\n";
    const std::string full =
        head + ";" + std::string(kRegistryStoreMaxBytes - head.size() - 2, 'x') + "\n";
    ASSERT_EQ(full.size(), kRegistryStoreMaxBytes);
    WriteFile(Store(), full);
    RegDocument doc;
    ASSERT_EQ(ReadRegistryStore(Store(), doc), StoreRead::Read);
    EXPECT_FALSE(doc.IsDamaged()) << "exactly at the limit";
    WriteFile(Store(), full + "\n");
    ASSERT_EQ(ReadRegistryStore(Store(), doc), StoreRead::Read);
    EXPECT_TRUE(doc.IsDamaged()) << "one byte past the limit";
    EXPECT_EQ(key.QueryDword("Language", number), kRegOk);
    EXPECT_EQ(number, 3U);
}

TEST_F(RegistryKeyTest, UnreadableStoreIsNeverReplaced) {
    // A folder where the file should be: it cannot be read, so it must not be written over.
    fs::create_directories(Store() + "/keep");
    RegistryKey key;
    ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessReadWrite), kRegOk);
    std::string text = "default";
    EXPECT_EQ(key.QueryString("OutputPath", text), kRegCannotRead);
    EXPECT_EQ(text, "default");
    EXPECT_NE(key.SetString("OutputPath", "/srv/"), kRegOk);
    EXPECT_TRUE(fs::is_directory(Store() + "/keep"));
}

TEST_F(RegistryKeyTest, StoreKeptAsALinkStaysALink) {
    fs::create_directories(Folder());
    WriteFile(m_dir.File("dotfiles.reg"), "");
    fs::create_symlink(m_dir.File("dotfiles.reg"), Store());
    RegistryKey key;
    ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessReadWrite), kRegOk);
    ASSERT_EQ(key.SetDword("Language", 3), kRegOk);
    EXPECT_TRUE(fs::is_symlink(Store()));
    EXPECT_NE(ReadFile(m_dir.File("dotfiles.reg")).find("dword:00000003"), std::string::npos);
}

TEST_F(RegistryKeyTest, ConcurrentWritersLoseNothing) {
    constexpr int kEach = 6;
    // Threads of one process...
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kEach; ++i) {
                RegistryKey key;
                key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessReadWrite);
                key.SetDword("t" + std::to_string(t) + "-" + std::to_string(i),
                             static_cast<std::uint32_t>(i));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    // ... and separate processes.
    const std::string helper = testkit::ShellQuote(testkit::BinDir() + "/support_test_helper");
    ASSERT_EQ(testkit::Shell(helper + " set 6 a & " + helper + " set 6 b & wait"), 0);

    RegistryKey key;
    ASSERT_EQ(key.Open(RegistryRoot::LocalMachine, kAppKey, kRegAccessRead), kRegOk);
    for (const std::string prefix : {"t0-", "t1-", "a", "b"}) {
        for (int i = 0; i < kEach; ++i) {
            std::uint32_t number = 999;
            EXPECT_EQ(key.QueryDword(prefix + std::to_string(i), number), kRegOk) << prefix << i;
            EXPECT_EQ(number, static_cast<std::uint32_t>(i));
        }
    }
}

} // namespace
