#include "support/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(Log, EmptyPathWritesNothing) {
    SetLogPath("");
    WriteLogLine("%s", "nothing");
    EXPECT_TRUE(GetLogPath().empty());
}

TEST(Log, LongMessageCutAndRuntimeTextKept) {
    const auto path = std::filesystem::temp_directory_path() / "lumicast-log-test.txt";
    std::filesystem::remove(path);
    SetLogPath(path.string());
    WriteLogLine("%s", std::string(10000, 'x').c_str());
    WriteLogLine("%s", "Kestrelvx -i \"/tmp/a%s.avi\"");
    SetLogPath("");
    const std::string text = ReadAll(path);
    EXPECT_EQ(text, std::string(8191, 'x') + "\n" + "Kestrelvx -i \"/tmp/a%s.avi\"\n");
    std::filesystem::remove(path);
}

} // namespace
