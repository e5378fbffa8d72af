#include "platform/program_folder.h"

#include "common/fake_encoder.h"
#include "common/testkit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Changes the current folder for the life of the object.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder)
        : m_old(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentFolder() { std::filesystem::current_path(m_old); }

private:
    std::filesystem::path m_old;
};

TEST(ProgramFolder, DefaultsToTheRunningProgramsFolder) {
    platform::SetProgramFolder("");
    EXPECT_EQ(std::filesystem::path(platform::ProgramFolder()),
              std::filesystem::canonical(testkit::BinDir()));
    {
        // Naming another folder leaves the program's own file where it is.
        testkit::ScopedProgramFolder folder("/opt/somewhere/");
        EXPECT_EQ(platform::ProgramFolder(), "/opt/somewhere");
        EXPECT_EQ(std::filesystem::path(platform::ExecutablePath()).parent_path(),
                  std::filesystem::canonical(testkit::BinDir()));
        EXPECT_TRUE(std::filesystem::is_regular_file(platform::ExecutablePath()));
    }
    EXPECT_EQ(std::filesystem::path(platform::ProgramFolder()),
              std::filesystem::canonical(testkit::BinDir()));
}

TEST(ProgramFolder, SearchOrderIsOwnFolderThenPathNeverTheCurrentFolder) {
    testkit::TempDir own;
    testkit::TempDir onPath;
    testkit::TempDir current;
    const std::string inPath = testkit::WriteFakeEncoder(onPath.Path(), "exit 0\n");
    testkit::WriteFakeEncoder(current.Path(), "exit 0\n");
    testkit::ScopedProgramFolder folder(own.Path());
    ScopedCurrentFolder cwd(current.Path());

    {
        // Empty, "." and relative entries all mean the current folder: never searched.
        testkit::ScopedEnv path("PATH", ":.:./:relative:" + onPath.Path());
        EXPECT_EQ(platform::FindProgram("Kestrelvx"), inPath);
    }
    {
        testkit::ScopedEnv path("PATH", "::.");
        EXPECT_EQ(platform::FindProgram("Kestrelvx"), "");
    }
    // The program folder comes before PATH.
    const std::string inOwn = testkit::WriteFakeEncoder(own.Path(), "exit 0\n");
    {
        testkit::ScopedEnv path("PATH", onPath.Path());
        EXPECT_EQ(platform::FindProgram("Kestrelvx"), inOwn);
    }
    // A name with a "/" is a path; a folder or a file that may not run is no program.
    EXPECT_EQ(platform::FindProgram(inPath), inPath);
    EXPECT_EQ(platform::FindProgram("./Kestrelvx"), "./Kestrelvx");
    EXPECT_EQ(platform::FindProgram(own.Path()), "");
    std::filesystem::permissions(inOwn, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_write);
    {
        testkit::ScopedEnv path("PATH", onPath.Path());
        if (access(inOwn.c_str(), X_OK) != 0) { // root may run anything with an x bit only
            EXPECT_EQ(platform::FindProgram("Kestrelvx"), inPath);
        }
    }
    EXPECT_EQ(platform::FindProgram(""), "");
}

} // namespace
