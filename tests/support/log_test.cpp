#include "support/log.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Takes a time stamp "hh:mm:ss (tick): " off the front of text; false when there is none.
bool TakeStamp(std::string& text) {
    const std::string form = "00:00:00 (";
    if (text.size() < form.size()) {
        return false;
    }
    for (std::size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '0' ? !IsDigit(text[i]) : text[i] != form[i]) {
            return false;
        }
    }
    const int hour = std::stoi(text.substr(0, 2));
    const int minute = std::stoi(text.substr(3, 2));
    const int second = std::stoi(text.substr(6, 2));
    if (hour > 23 || minute > 59 || second > 60) {
        return false;
    }
    std::size_t at = form.size();
    if (at < text.size() && text[at] == '-') {
        ++at;
    }
    const std::size_t digits = at;
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    if (at == digits || text.compare(at, 3, "): ") != 0) {
        return false;
    }
    text.erase(0, at + 3);
    return true;
}

// Logs into a fresh file in a temporary folder for the length of a test.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override { SetLogPath(m_dir.File("log.txt")); }
    void TearDown() override { SetLogPath(""); }
    std::string Text() const { return testkit::ReadFile(m_dir.File("log.txt")); }

    // Every line must be exactly "<tag> <n> <payload of the tag's letter>"; counts lines per tag.
    std::map<std::string, int> CountWholeLines(std::size_t payload) const {
        std::map<std::string, int> counts;
        for (const std::string& line : testkit::SplitLines(Text())) {
            const std::size_t first = line.find(' ');
            const std::size_t second = line.find(' ', first + 1);
            const bool bWhole = first == 1 && second != std::string::npos &&
                                line.substr(second + 1) == std::string(payload, line[0]);
            EXPECT_TRUE(bWhole) << "torn line: " << line.substr(0, 80);
            if (bWhole) {
                ++counts[line.substr(0, 1)];
            }
        }
        return counts;
    }

    testkit::TempDir m_dir;
};

TEST_F(LogTest, EmptyPathWritesNothing) {
    WriteLogLine("%s", "before");
    SetLogPath("");
    WriteLogLine("%s", "nothing");
    EXPECT_TRUE(GetLogPath().empty());
    EXPECT_EQ(Text(), "before\n");
}

TEST_F(LogTest, LongMessagesAreCutAndRuntimeTextIsKept) {
    WriteLogLine("%s", std::string(10000, 'x').c_str());
    WriteLogLine("%s", "Kestrelvx -i \"/tmp/a%s%d%n.avi\" 100%");
    // The cut counts the marker too: 8,191 characters in all, then the time stamp form.
    WriteLogLine("#FILE_LINE#%s", std::string(9000, 'y').c_str());
    const std::string text = Text();
    const std::string plain =
        std::string(8191, 'x') + "\n" + "Kestrelvx -i \"/tmp/a%s%d%n.avi\" 100%\n";
    ASSERT_GE(text.size(), plain.size());
    EXPECT_EQ(text.substr(0, plain.size()), plain);
    std::string stamped = text.substr(plain.size());
    ASSERT_TRUE(TakeStamp(stamped)) << stamped.substr(0, 40);
    EXPECT_EQ(stamped, std::string(8191 - 11, 'y'));
}

TEST_F(LogTest, MarkedMessagesGetATimeStampAndNoLineEnd) {
    WriteLogLine("#FILE_LINE#%s(%d) ", "engine/encoder_job.cpp", 212);
    WriteLogLine("next %s", "line");
    WriteLogLine("#FILE_LINE#");
    WriteLogLine("#FILE_LIN is not the marker");
    std::string text = Text();
    ASSERT_TRUE(TakeStamp(text)) << text;
    const std::string first = "engine/encoder_job.cpp(212) next line\n";
    ASSERT_EQ(text.substr(0, first.size()), first);
    text.erase(0, first.size());
    ASSERT_TRUE(TakeStamp(text)) << text; // exactly the marker: the stamp and nothing more
    EXPECT_EQ(text, "#FILE_LIN is not the marker\n");
}

TEST_F(LogTest, UnwritableLogFileIsSkipped) {
    SetLogPath(m_dir.File("missing-folder/log.txt"));
    WriteLogLine("%s", "lost");
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("missing-folder")));
    SetLogPath(m_dir.File("log.txt"));
    WriteLogLine("%s", "kept");
    EXPECT_EQ(Text(), "kept\n");
}

// Lines longer than the stream buffer reach the file in several writes; only the lock keeps
// another writer's line from landing between them.
TEST_F(LogTest, TwoThreadsWriteWholeLines) {
    constexpr int kLines = 200;
    const auto writer = [](const char* tag) {
        const std::string payload(6000, tag[0]);
        for (int i = 0; i < kLines; ++i) {
            WriteLogLine("%s %d %s", tag, i, payload.c_str());
        }
    };
    std::thread a(writer, "A");
    std::thread b(writer, "B");
    a.join();
    b.join();
    const auto counts = CountWholeLines(6000);
    EXPECT_EQ(counts.at("A"), kLines);
    EXPECT_EQ(counts.at("B"), kLines);
}

TEST_F(LogTest, TwoProcessesWriteWholeLines) {
    const std::string helper = testkit::ShellQuote(testkit::BinDir() + "/support_test_helper");
    const std::string env = "LUMICAST_LOG=" + testkit::ShellQuote(m_dir.File("log.txt")) + " ";
    ASSERT_EQ(testkit::Shell(env + helper + " log 200 P & " + env + helper + " log 200 Q & wait"),
              0);
    const auto counts = CountWholeLines(6000);
    EXPECT_EQ(counts.at("P"), 200);
    EXPECT_EQ(counts.at("Q"), 200);
}

// A child made by fork shares its parent's lock file description; the child must still wait for
// the parent's lock (and the parent for the child's).
TEST_F(LogTest, ForkedChildAndParentWriteWholeLines) {
    WriteLogLine("%s %d %s", "S", 0, std::string(6000, 'S').c_str()); // the lock file is open
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const std::string tag = child == 0 ? "C" : "F";
    const std::string payload(6000, tag[0]);
    for (int i = 0; i < 200; ++i) {
        WriteLogLine("%s %d %s", tag.c_str(), i, payload.c_str());
    }
    if (child == 0) {
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const auto counts = CountWholeLines(6000);
    EXPECT_EQ(counts.at("C"), 200);
    EXPECT_EQ(counts.at("F"), 200);
}

} // namespace
