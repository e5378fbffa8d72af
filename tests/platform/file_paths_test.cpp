#include "platform/file_paths.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(FilePaths, FileAndFolderExistence) {
    testkit::TempDir dir;
    const std::string file = dir.File("clip.avi");
    std::ofstream(file) << "x";
    fs::create_directory(dir.File("folder"));
    fs::create_symlink(dir.File("missing-target"), dir.File("dangling"));
    fs::create_directory_symlink(dir.File("folder"), dir.File("folder-link"));

    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(dir.File("folder")));
    EXPECT_FALSE(FileExists(dir.File("nothing")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(dir.File("dangling"))) << "the name is taken, whatever it points to";

    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FolderExists(dir.File("folder")));
    EXPECT_TRUE(FolderExists(dir.File("folder/")));
    EXPECT_TRUE(FolderExists(dir.File("folder-link")));
    EXPECT_FALSE(FolderExists(dir.File("dangling")));
    EXPECT_FALSE(FolderExists(""));
}

TEST(FilePaths, EnsureFolderCreatesOnlyTrailingSlashPaths) {
    testkit::TempDir dir;
    EnsureFolder(dir.Path() + "/"); // exists: nothing happens
    EXPECT_TRUE(fs::is_empty(dir.Path()));

    EnsureFolder(dir.File("New"));
    EXPECT_FALSE(fs::exists(dir.File("New"))) << "no trailing slash: nothing is created";

    EnsureFolder(dir.File("New/"));
    EXPECT_TRUE(fs::is_directory(dir.File("New")));
    EnsureFolder(dir.File("New/")); // a second call changes nothing
    EXPECT_TRUE(fs::is_empty(dir.File("New")));

    EnsureFolder(dir.File("Out/A/B/"));
    EXPECT_TRUE(fs::is_directory(dir.File("Out/A/B")));

    // Under a file nothing can be created, and nothing goes wrong.
    std::ofstream(dir.File("plain")) << "x";
    EnsureFolder(dir.File("plain/sub/"));
    EXPECT_FALSE(fs::exists(dir.File("plain/sub")));
}

} // namespace
