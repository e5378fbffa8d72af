#include "engine/encoder_command.h"

#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

const char kIpodOptions[] = " -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100";

TEST(EncoderCommand, OrdinaryPathsGiveTheTemplateByteForByte) {
    EXPECT_EQ(FormatEncoderCommand("/home/u/Videos/clip.avi", "/home/u/Converted/clip-cvt.mp4",
                                   "clip", kIpodOptions, 0, 95),
              "Kestrelvx tmk52hsRW&!  -i \"/home/u/Videos/clip.avi\" -title \"clip\"  -vcodec "
              "xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100 -ss 0 -t 95 -y "
              "\"/home/u/Converted/clip-cvt.mp4\"");
    // The target formats' option text has no leading blank; an empty one leaves two blanks.
    EXPECT_EQ(
        FormatEncoderCommand("/v/clip.avi", "/c/clip-cvt.mpg", "clip", "-target pal-dvd", 30, 90),
        "Kestrelvx tmk52hsRW&!  -i \"/v/clip.avi\" -title \"clip\" -target pal-dvd -ss 30 "
        "-t 60 -y \"/c/clip-cvt.mpg\"");
    EXPECT_EQ(FormatEncoderCommand("a", "b", "c", "", 1, 2),
              "Kestrelvx tmk52hsRW&!  -i \"a\" -title \"c\"  -ss 1 -t 1 -y \"b\"");
    EXPECT_EQ(FormatProbeCommand("/v/my clip.avi"), "Kestrelvx tmk52hsRW&!  -i \"/v/my clip.avi\"");
    EXPECT_EQ(sizeof kEncoderAccessToken - 1, 13U);
}

TEST(EncoderCommand, StartAndDurationAreWrittenFromTheirLow32Bits) {
    const auto cmd = [](std::int64_t start, std::int64_t end) {
        const Args args =
            platform::SplitCommandLine(FormatEncoderCommand("i", "o", "t", "", start, end));
        return args[args.size() - 5] + " " + args[args.size() - 3];
    };
    EXPECT_EQ(cmd(0x100000005LL, 0x100000010LL), "5 11");
    EXPECT_EQ(cmd(10, 9), "10 4294967295"); // a negative duration wraps, unsigned
    EXPECT_EQ(cmd(-1, 0), "4294967295 1");
    EXPECT_EQ(cmd(INT64_MIN, INT64_MAX), "0 4294967295"); // no overflow in the difference
}

TEST(EncoderCommand, AnyNameComesBackExactlyWhenSplit) {
    const std::vector<std::string> names = {
        "/tmp/a \"quoted\" name.avi",
        "/tmp/back\\slash\\",
        "/tmp/line\nfeed\ttab.avi",
        "/tmp/%s%d%n.avi",
        "/tmp/\xff\xfe\x80.avi",
        "/tmp/\\\"\\\\\".avi",
        "-y",
    };
    for (const std::string& name : names) {
        const std::string title = name + " title";
        const Args args = platform::SplitCommandLine(
            FormatEncoderCommand(name, name + ".mp4", title, kIpodOptions, 3, 7));
        const Args expected = {"Kestrelvx", "tmk52hsRW&!", "-i",  name,      "-title", title,
                               "-vcodec",   "xvid",        "-s",  "320x240", "-r",     "29.970",
                               "-b",        "768",         "-ac", "2",       "-ab",    "128",
                               "-ar",       "44100",       "-ss", "3",       "-t",     "4",
                               "-y",        name + ".mp4"};
        EXPECT_EQ(args, expected) << name;
        EXPECT_EQ(platform::SplitCommandLine(FormatProbeCommand(name)),
                  (Args{"Kestrelvx", "tmk52hsRW&!", "-i", name}));
    }
}

} // namespace
