// The options of lumicast-batch: what the form would hold for them, and what is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/batch_options.h"
#include "cli/clock_value.h"
#include "profiles/encoder_options.h"

namespace {

struct Parsed {
    bool bOk;
    cli::BatchRequest request;
    std::string strError;
};

Parsed Parse(const std::vector<std::string>& args) {
    Parsed parsed;
    parsed.bOk = cli::ParseBatchOptions(args, parsed.request, parsed.strError);
    return parsed;
}

std::string OptionText(const std::vector<std::string>& args) {
    const Parsed parsed = Parse(args);
    EXPECT_TRUE(parsed.bOk) << parsed.strError;
    return profiles::BuildEncoderOptions(parsed.request.settings);
}

TEST(BatchOptions, NoOptionsKeepEverythingOriginal) {
    const Parsed parsed = Parse({"a.avi", "b.mkv"});
    ASSERT_TRUE(parsed.bOk) << parsed.strError;
    const cli::BatchRequest& request = parsed.request;
    EXPECT_EQ(request.action, cli::BatchAction::Convert);
    EXPECT_EQ(request.files, (std::vector<std::string>{"a.avi", "b.mkv"}));
    EXPECT_EQ(request.settings.m_nFormat, 0);
    EXPECT_EQ(request.settings.m_nSizePos, 0);
    EXPECT_EQ(request.settings.m_strWidth, "0");
    EXPECT_FALSE(request.settings.m_bVariableBitRate);
    EXPECT_TRUE(request.strOutputFolder.empty());
    EXPECT_FALSE(request.start.has_value());
    EXPECT_FALSE(request.end.has_value());
    EXPECT_EQ(profiles::BuildEncoderOptions(request.settings), " -vcodec xvid");
}

TEST(BatchOptions, EveryListSettingReachesTheOptionText) {
    EXPECT_EQ(OptionText({"--device", "iPod nano", "--rate", "29.97", "--video-bitrate", "768",
                          "--channels", "2", "--audio-bitrate", "128", "--sample-rate", "44100",
                          "clip.avi"}),
              " -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100");
    // The same with the "--name=value" form, other spellings and the H.264 target.
    EXPECT_EQ(OptionText({"--format=MOV", "--size=320x240", "--rate=29.970", "--channels=stereo",
                          "clip.avi"}),
              " -vcodec xvid -s 320x240 -r 29.970 -ac 2");
    EXPECT_EQ(OptionText({"--rate", "14.985", "--channels", "mono", "clip.avi"}),
              " -vcodec xvid -r 14.985 -ac 1");
}

TEST(BatchOptions, SizesFromTheTableChooseTheirRowOthersAreTyped) {
    Parsed parsed = Parse({"--device", "iphone4", "x.avi"});
    ASSERT_TRUE(parsed.bOk) << parsed.strError;
    EXPECT_EQ(parsed.request.settings.m_nSizePos, 9); // row 8, 640x480
    EXPECT_EQ(parsed.request.settings.m_strWidth, "640");
    EXPECT_EQ(parsed.request.settings.m_strHeight, "480");

    parsed = Parse({"--device", "iPhone4 H.264", "--format", "mov", "x.avi"});
    ASSERT_TRUE(parsed.bOk) << parsed.strError;
    EXPECT_EQ(parsed.request.settings.m_strWidth, "960");

    parsed = Parse({"--size", "400x300", "x.avi"});
    ASSERT_TRUE(parsed.bOk) << parsed.strError;
    EXPECT_EQ(parsed.request.settings.m_nSizePos, 0);
    EXPECT_EQ(profiles::BuildEncoderOptions(parsed.request.settings), " -vcodec xvid -s 400x300");
}

TEST(BatchOptions, VariableBitRateMirrorsTheForm) {
    EXPECT_EQ(OptionText({"--vbr", "--video-bitrate", "900", "--max", "1200", "x.avi"}),
              " -vcodec xvid -bt 900 -maxrate 1200");
    EXPECT_EQ(OptionText({"--vbr", "--max", "1500", "--min", "300", "x.avi"}),
              " -vcodec xvid -maxrate 1500 -minrate 300");
}

TEST(BatchOptions, TargetFormatsTakeTheStandard) {
    EXPECT_EQ(OptionText({"--format", "dvd", "--standard", "pal", "x.avi"}), "-target pal-dvd");
    EXPECT_EQ(OptionText({"--format", "VCD", "--standard", "film", "x.avi"}), "-target film-vcd");
    EXPECT_EQ(OptionText({"--format", "dv", "x.avi"}), "-target ntsc-dv");
}

TEST(BatchOptions, SegmentInSecondsOrClockText) {
    const Parsed parsed = Parse({"--start", "2", "--end", "00:01:05", "x.avi"});
    ASSERT_TRUE(parsed.bOk) << parsed.strError;
    EXPECT_EQ(parsed.request.start, 2);
    EXPECT_EQ(parsed.request.end, 65);
    EXPECT_TRUE(Parse({"--end", "1", "x.avi"}).bOk);
}

TEST(BatchOptions, InformationalActionsAndFileNames) {
    EXPECT_EQ(Parse({"--rate", "30", "--help"}).request.action, cli::BatchAction::Help);
    EXPECT_EQ(Parse({"-h"}).request.action, cli::BatchAction::Help);
    EXPECT_EQ(Parse({"-V"}).request.action, cli::BatchAction::Version);
    EXPECT_EQ(Parse({"--list-devices"}).request.action, cli::BatchAction::ListDevices);

    const Parsed parsed = Parse({"--output", "out", "--", "--odd name.avi", "-"});
    ASSERT_TRUE(parsed.bOk) << parsed.strError;
    EXPECT_EQ(parsed.request.files, (std::vector<std::string>{"--odd name.avi", "-"}));
    EXPECT_EQ(parsed.request.strOutputFolder, "out");
}

TEST(BatchOptions, RefusesValuesOutsideTheCatalogueAndImpossibleCombinations) {
    struct Case {
        std::vector<std::string> args;
        const char* szMessagePart;
    };
    const std::vector<Case> cases = {
        {{"--format", "wmv", "x"}, "no conversion path"},
        {{"--format", "3gp", "x"}, "no conversion path"},
        {{"--format", "OGM", "x"}, "no conversion path"},
        {{"--format", "avi", "x"}, "no conversion path"},
        {{"--format", "mkv", "x"}, "unknown format"},
        {{"--rate", "30", "x"}, "14.985, 23.976, 29.97"},
        {{"--rate", "29.9", "x"}, "--rate"},
        {{"--video-bitrate", "700", "x"}, "--video-bitrate"},
        {{"--audio-bitrate", "100", "x"}, "--audio-bitrate"},
        {{"--sample-rate", "22050", "x"}, "24000, 44100, 48000"},
        {{"--channels", "6", "x"}, "--channels"},
        {{"--device", "iPhone 5", "x"}, "unknown device"},
        {{"--size", "640", "x"}, "WIDTHxHEIGHT"},
        {{"--size", "0x480", "x"}, "WIDTHxHEIGHT"},
        {{"--size", "-640x480", "x"}, "WIDTHxHEIGHT"},
        {{"--size", "641x480", "x"}, "even"},
        {{"--size", "640x480", "--device", "iPod nano", "x"}, "only one"},
        {{"--device", "iPad1/2", "x"}, "--format mov"},
        {{"--vbr", "--video-bitrate", "768", "--max", "500", "x"}, "--max 500 is below"},
        {{"--vbr", "--video-bitrate", "768", "--min", "900", "x"}, "--min 900 is above"},
        {{"--max", "1000", "x"}, "--vbr"},
        {{"--vbr", "--max", "500", "--min", "800", "x"}, "--min"},
        {{"--vbr", "--max", "fast", "x"}, "--max"},
        {{"--standard", "pal", "x"}, "--standard"},
        {{"--format", "dvd", "--standard", "secam", "x"}, "unknown standard"},
        {{"--format", "dvd", "--size", "640x480", "x"}, "--size"},
        {{"--format", "svcd", "--vbr", "x"}, "--vbr"},
        {{"--start", "5", "--end", "5", "x"}, "--end"},
        {{"--start", "9", "--end", "0:05", "x"}, "--end"},
        {{"--end", "abc", "x"}, "HH:MM:SS"},
        {{"--start", "1.5", "x"}, "--start"},
        {{"--speed", "2", "x"}, "unknown option"},
        {{"-x", "x"}, "unknown option"},
        {{"--vbr=yes", "x"}, "takes no value"},
        {{"x", "--rate"}, "needs a value"},
        {{"--output", "", "x"}, "--output"},
        {{"--rate", "29.97"}, "no files"},
    };
    for (const Case& c : cases) {
        const Parsed parsed = Parse(c.args);
        EXPECT_FALSE(parsed.bOk) << c.args[0] << " " << c.args[1];
        EXPECT_NE(parsed.strError.find(c.szMessagePart), std::string::npos)
            << "message: " << parsed.strError;
    }
}

TEST(ClockText, SecondsAndClockForms) {
    EXPECT_EQ(cli::ParseClockText("95"), 95);
    EXPECT_EQ(cli::ParseClockText("0"), 0);
    EXPECT_EQ(cli::ParseClockText("1:35"), 95);
    EXPECT_EQ(cli::ParseClockText("00:01:35"), 95);
    EXPECT_EQ(cli::ParseClockText("100:00:01"), 360001);
    EXPECT_EQ(cli::ParseClockText("596523:14:07"), 2147483647);
    for (const char* bad : {"", ":", "1:", ":5", "1:60", "1:5", "1:2:3:4", "-5", "+5", "1.5", " 5",
                            "5s", "596523:14:08", "99999999999"}) {
        EXPECT_FALSE(cli::ParseClockText(bad).has_value()) << bad;
    }
}

} // namespace
