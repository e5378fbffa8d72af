#include "engine/progress_parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Result {
    ProgressUpdate update;
    std::string line;
};

Result Parse(const std::string& text, std::int64_t duration, std::int32_t current = 0) {
    Result r;
    char line[kProgressLineSize];
    std::memset(line, 'x', sizeof line);
    r.update = ParseProgressChunk(text.data(), text.size(), duration, current, line);
    EXPECT_LT(std::strlen(line), kProgressLineSize);
    r.line = line;
    return r;
}

TEST(ProgressParser, PositionGivesPercentOfTheDuration) {
    const auto r =
        Parse("frame=  250 fps= 25 q=3.0 size= 512kB time=10.00 bitrate= 340.2kbits/s\r", 40);
    EXPECT_TRUE(r.update.bChanged);
    EXPECT_EQ(r.update.nPercent, 25);
    EXPECT_TRUE(r.update.bLogLine) << "progress left 0";
    EXPECT_EQ(Parse("time=59.99 ", 60).update.nPercent, 98) << "truncated, never rounded";
    EXPECT_EQ(Parse("time=1 ", 3).update.nPercent, 33);
}

TEST(ProgressParser, AtOrPastTheEndShows99) {
    EXPECT_EQ(Parse("time=40.00 ", 40).update.nPercent, 99);
    EXPECT_EQ(Parse("time=4000 ", 40).update.nPercent, 99);
    EXPECT_EQ(Parse("time=99999999999999999999999 ", 40).update.nPercent, 99);
    EXPECT_EQ(Parse("time=-5 ", 40).update.nPercent, 0) << "never below zero";
}

TEST(ProgressParser, OnlyTheLastLineCountsAndItsFirstTimeField) {
    // Two fields separated only by a carriage return: one line, the first field wins.
    EXPECT_EQ(Parse("frame=1 time=10.00 a\rframe=2 time=30.00 b\r", 40).update.nPercent, 25);
    // A line feed ends a line: an earlier line's field is not looked at.
    EXPECT_FALSE(Parse("frame=1 time=10.00 a\nno field here\r", 40).update.bChanged);
    EXPECT_FALSE(Parse("frame=1 time=10.00 a\n", 40).update.bChanged);
    EXPECT_EQ(Parse("time=1 a\ntime=20 b\r", 40).update.nPercent, 50);
    // The copy of the last line starts at its line feed and is cut to 127 characters.
    EXPECT_EQ(Parse("first\nsecond time=4 x", 40).line, "\nsecond time=4 x");
    EXPECT_EQ(Parse("only time=4 x", 40).line, "only time=4 x");
    const std::string longLine = "head\n" + std::string(300, 'y') + " time=4 ";
    EXPECT_EQ(Parse(longLine, 40).line, "\n" + std::string(126, 'y'));
    EXPECT_EQ(Parse(longLine, 40).update.nPercent, 10) << "the field is found past the copy";
    // The text ends at a zero byte.
    EXPECT_FALSE(Parse(std::string("ab\0 time=10 ", 12), 40).update.bChanged);
}

TEST(ProgressParser, PositionTokenRules) {
    EXPECT_EQ(Parse("time=   12.34 x", 100).update.nPercent, 12) << "leading blanks skipped";
    EXPECT_EQ(Parse("time=12\rframe=3", 100).update.nPercent, 12) << "digits up to another char";
    EXPECT_EQ(Parse("time=abc ", 100).update.nPercent, 0);
    EXPECT_TRUE(Parse("time=abc ", 100).update.bChanged);
    EXPECT_EQ(Parse("time==50 ", 100).update.nPercent, 0) << "the token after the first =";
    EXPECT_EQ(Parse("time=+7 ", 100).update.nPercent, 7);
    EXPECT_FALSE(Parse("time=", 100).update.bChanged) << "no position token";
    EXPECT_FALSE(Parse("time=   ", 100).update.bChanged);
    EXPECT_FALSE(Parse("Time=10 ", 100).update.bChanged);
    EXPECT_FALSE(Parse("time=10 ", 0).update.bChanged) << "no duration";
    EXPECT_EQ(Parse("time=10 ", -40).update.nPercent, 0);
    EXPECT_FALSE(Parse("", 40).update.bChanged);
}

TEST(ProgressParser, LogsAboutOneLinePerTenPercent) {
    EXPECT_TRUE(Parse("time=30 ", 100, 20).update.bLogLine);
    EXPECT_TRUE(Parse("time=21 ", 100, 20).update.bLogLine);
    EXPECT_FALSE(Parse("time=30 ", 100, 25).update.bLogLine) << "25 is no multiple of ten";
    EXPECT_FALSE(Parse("time=30 ", 100, 30).update.bLogLine) << "no rise";
    const auto down = Parse("time=10 ", 100, 50);
    EXPECT_EQ(down.update.nPercent, 10) << "a later line may report an earlier position";
    EXPECT_FALSE(down.update.bLogLine);
}

TEST(ProgressParser, LeadingInteger) {
    EXPECT_EQ(LeadingInteger(" \t-42abc", 8), -42);
    EXPECT_EQ(LeadingInteger("12.99", 5), 12);
    EXPECT_EQ(LeadingInteger("x1", 2), 0);
    EXPECT_EQ(LeadingInteger("-", 1), 0);
    EXPECT_EQ(LeadingInteger("123", 2), 12) << "the length bounds the text";
    EXPECT_EQ(LeadingInteger("99999999999", 11), INT32_MAX);
    EXPECT_EQ(LeadingInteger("-99999999999", 12), INT32_MIN);
}

} // namespace
