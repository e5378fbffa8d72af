#include "profiles/conversion_settings.h"
#include "profiles/encoder_options.h"

#include <gtest/gtest.h>

namespace {

using profiles::ConversionSettings;

TEST(ConversionSettings, StartUpConvertsToMpeg4KeepingEverythingOriginal) {
    // What the start-up settings do: the MPEG-4 target with no size, rate or audio option, and
    // the variable bit rate's Max and Min fields closed.
    const ConversionSettings s = ConversionSettings::StartUp();
    EXPECT_EQ(BuildEncoderOptions(s), " -vcodec xvid");
    EXPECT_FALSE(s.EnabledFields().bMaxRate);
    EXPECT_FALSE(s.EnabledFields().bMinRate);
}

TEST(ConversionSettings, SizeChoiceFillsAndClearsWidthAndHeight) {
    ConversionSettings s;
    s.OnSizeChoiceChanged(9); // 640x480
    EXPECT_EQ(s.m_nSizePos, 9);
    EXPECT_EQ(s.m_strWidth, "640");
    EXPECT_EQ(s.m_strHeight, "480");
    s.OnSizeChoiceChanged(0);
    EXPECT_EQ(s.m_strWidth, "0");
    EXPECT_EQ(s.m_strHeight, "0");
    s.OnSizeChoiceChanged(14);
    EXPECT_EQ(s.m_strWidth + "x" + s.m_strHeight, "1280x720");
    s.OnSizeChoiceChanged(15); // out of range: Keep Original
    EXPECT_EQ(s.m_nSizePos, 0);
    EXPECT_EQ(s.m_strWidth + "x" + s.m_strHeight, "0x0");
}

TEST(ConversionSettings, VariableBitRateEnablesMaxAndMinKeepingTheirTexts) {
    ConversionSettings s;
    s.m_strMaxRate = "1500";
    s.OnVariableBitRateToggled(true);
    EXPECT_TRUE(s.EnabledFields().bMaxRate);
    EXPECT_TRUE(s.EnabledFields().bMinRate);
    s.OnVariableBitRateToggled(false);
    EXPECT_FALSE(s.EnabledFields().bMaxRate);
    EXPECT_EQ(s.m_strMaxRate, "1500");
}

TEST(ConversionSettings, MakeSizeConsistent) {
    auto made = [](const char* w, const char* h) {
        ConversionSettings s;
        s.m_strWidth = w;
        s.m_strHeight = h;
        s.MakeSizeConsistent();
        return s.m_strWidth + "|" + s.m_strHeight;
    };
    EXPECT_EQ(made("320", "0"), "0|0");
    EXPECT_EQ(made("0", "240"), "0|0");
    EXPECT_EQ(made("320", ""), "320|"); // an empty text is not "0"
    EXPECT_EQ(made("", "0"), "0|0");
    EXPECT_EQ(made("00", "240"), "00|240"); // nor is "00"
    EXPECT_EQ(made("320", "240"), "320|240");
}

TEST(ConversionSettings, TakeOverCarriesTheChoicesButNotTheFolder) {
    ConversionSettings old;
    old.m_nFormat = 1;
    old.m_nStandard = 2;
    old.OnSizeChoiceChanged(5);
    old.m_strHeight = "250"; // typed over the list's value
    old.m_nFrameRatePos = 3;
    old.m_nVideoBitRatePos = 7;
    old.OnVariableBitRateToggled(true);
    old.m_strMaxRate = "1200";
    old.m_strMinRate = "300";
    old.m_nChannelsPos = 2;
    old.m_nAudioBitRatePos = 6;
    old.m_nSampleRatePos = 2;
    old.m_nVolumePos = 4;
    old.m_strOutputFolder = "/old/";

    ConversionSettings fresh = ConversionSettings::StartUp();
    fresh.m_strOutputFolder = "/stored/";
    fresh.TakeOver(old);
    EXPECT_EQ(fresh.m_nFormat, 1);
    EXPECT_EQ(fresh.m_nStandard, 2);
    EXPECT_EQ(fresh.m_nSizePos, 5);
    EXPECT_EQ(fresh.m_strWidth, "320");
    EXPECT_EQ(fresh.m_strHeight, "250");
    EXPECT_EQ(fresh.m_nFrameRatePos, 3);
    EXPECT_EQ(fresh.m_nVideoBitRatePos, 7);
    EXPECT_TRUE(fresh.m_bVariableBitRate);
    EXPECT_TRUE(fresh.EnabledFields().bMinRate);
    EXPECT_EQ(fresh.m_strMaxRate, "1200");
    EXPECT_EQ(fresh.m_strMinRate, "300");
    EXPECT_EQ(fresh.m_nChannelsPos, 2);
    EXPECT_EQ(fresh.m_nAudioBitRatePos, 6);
    EXPECT_EQ(fresh.m_nSampleRatePos, 2);
    EXPECT_EQ(fresh.m_nVolumePos, 4);
    EXPECT_EQ(fresh.m_strOutputFolder, "/stored/");
}

} // namespace
