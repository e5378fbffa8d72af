#include "profiles/encoder_options.h"

#include <gtest/gtest.h>

namespace {

using profiles::BuildEncoderOptions;
using profiles::ConversionSettings;

// The iPod settings: 320x240, 29.97 fps, 768 kbit/s, 2 channels, 128 kbit/s, 44100 Hz.
ConversionSettings IPod(int nFormat) {
    ConversionSettings s;
    s.m_nFormat = nFormat;
    s.OnSizeChoiceChanged(5);
    s.m_nFrameRatePos = 3;
    s.m_nVideoBitRatePos = 7;
    s.m_nChannelsPos = 2;
    s.m_nAudioBitRatePos = 7;
    s.m_nSampleRatePos = 2;
    return s;
}

TEST(EncoderOptions, KeepOriginalGivesTheCodecAlone) {
    EXPECT_EQ(BuildEncoderOptions(ConversionSettings::StartUp()), " -vcodec xvid");
}

TEST(EncoderOptions, EverySettingInItsFixedOrder) {
    EXPECT_EQ(BuildEncoderOptions(IPod(0)),
              " -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100");
    // H.264 writes the same options as MPEG-4.
    EXPECT_EQ(BuildEncoderOptions(IPod(1)), BuildEncoderOptions(IPod(0)));

    ConversionSettings s;
    s.m_nFrameRatePos = 1;
    s.m_nChannelsPos = 1;
    s.m_nAudioBitRatePos = 1;
    s.m_nSampleRatePos = 1;
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -r 14.985 -ac 1 -ab 32 -ar 24000");
    s.m_nFrameRatePos = 2;
    s.m_nSampleRatePos = 3;
    s.m_nVolumePos = 19; // the volume gives no option
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -r 23.976 -ac 1 -ab 32 -ar 48000");
}

TEST(EncoderOptions, VariableBitRate) {
    ConversionSettings s;
    s.m_nVideoBitRatePos = 8; // 900
    s.OnVariableBitRateToggled(true);
    s.m_strMaxRate = "1200";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -bt 900 -maxrate 1200");

    s.m_strMinRate = "300";
    s.m_nChannelsPos = 2;
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -bt 900 -maxrate 1200 -minrate 300 -ac 2");

    // Keep Original on the list: only the tolerances.
    s = ConversionSettings{};
    s.OnVariableBitRateToggled(true);
    s.m_strMaxRate = "1500";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -maxrate 1500");

    // "0" and empty give nothing; texts as typed otherwise.
    s.m_strMaxRate = "0";
    s.m_strMinRate = "";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid");
    s.m_strMinRate = "00";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -minrate 00");

    // Off: Max and Min are not read, the list's rate goes out as -b.
    s.OnVariableBitRateToggled(false);
    s.m_strMaxRate = "1500";
    s.m_nVideoBitRatePos = 1;
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -b 128");
}

TEST(EncoderOptions, FrameSizeAsTypedAfterMakingItConsistent) {
    ConversionSettings s;
    s.m_strWidth = "640";
    s.m_strHeight = "0";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid");
    // The caller's record is not changed; it applies the step itself to show it.
    EXPECT_EQ(s.m_strWidth, "640");

    s.m_strWidth = "700";
    s.m_strHeight = "394";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -s 700x394");
    // An empty height is not "0": the option goes out as written.
    s.m_strHeight = "";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -s 700x");
    s.m_strWidth = "0700";
    s.m_strHeight = "00";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid -s 0700x00");
}

TEST(EncoderOptions, TextsThatAreNotNumbersNeverReachTheCommandLine) {
    ConversionSettings s;
    s.m_strWidth = "320 -y -i /etc/passwd";
    s.m_strHeight = "240";
    s.OnVariableBitRateToggled(true);
    s.m_strMaxRate = "1200\" -f";
    s.m_strMinRate = " 300";
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid");
}

TEST(EncoderOptions, TargetFormatsAreOneOptionWithoutLeadingSpace) {
    ConversionSettings s = IPod(2); // the size and rate lists are not read
    s.m_nStandard = 0;
    EXPECT_EQ(BuildEncoderOptions(s), "-target ntsc-dvd");
    s.m_nStandard = 1;
    EXPECT_EQ(BuildEncoderOptions(s), "-target pal-dvd");
    s.m_nFormat = 6;
    s.m_nStandard = 2;
    EXPECT_EQ(BuildEncoderOptions(s), "-target film-vcd");
    s.m_nFormat = 7;
    s.m_nStandard = -1; // any other value means NTSC
    EXPECT_EQ(BuildEncoderOptions(s), "-target ntsc-svcd");
    s.m_nFormat = 8;
    s.m_nStandard = 7;
    EXPECT_EQ(BuildEncoderOptions(s), "-target ntsc-dv");
}

TEST(EncoderOptions, FormatsWithoutConversionPathGiveNothing) {
    for (int f : {3, 4, 5, 9, -1, 10}) {
        EXPECT_EQ(BuildEncoderOptions(IPod(f)), "") << f;
    }
}

TEST(EncoderOptions, ListPositionsOutOfRangeGiveNoOption) {
    ConversionSettings s;
    s.m_nFrameRatePos = 4;
    s.m_nVideoBitRatePos = -2;
    s.m_nChannelsPos = 3;
    s.m_nAudioBitRatePos = 9;
    s.m_nSampleRatePos = 100;
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid");
}

} // namespace
