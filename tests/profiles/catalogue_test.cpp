#include "profiles/catalogue.h"

#include <gtest/gtest.h>

#include "lang/resource_strings.h"

namespace {

using namespace profiles;

std::vector<std::string> Texts(SettingList list) {
    std::vector<std::string> texts;
    for (const auto& item : BuildListItems(list)) {
        texts.push_back(item.strText);
    }
    return texts;
}

TEST(Catalogue, FormatsExtensionsAndTargets) {
    const char* extensions[] = {"mp4", "mov", "mpg", "wmv", "3gp",
                                "ogm", "mpg", "mpg", "mpg", "avi"};
    const char* targets[] = {"", "", "dvd", "", "", "", "vcd", "svcd", "dv", ""};
    for (int f = 0; f < kFormatCount; ++f) {
        EXPECT_EQ(FormatExtension(f), extensions[f]) << f;
        EXPECT_EQ(FormatTargetName(f), targets[f]) << f;
        EXPECT_EQ(kFormats[static_cast<std::size_t>(f)].nControlId, 1004 + f);
        EXPECT_EQ(FormatOfControlId(1004 + f), f);
        EXPECT_EQ(kFormats[static_cast<std::size_t>(f)].bShown, f < 2);
        EXPECT_EQ(FormatHasConversionPath(f), f == 0 || f == 1 || f == 2 || (f >= 6 && f <= 8))
            << f;
        EXPECT_EQ(FormatNeedsPrerequisites(f), f == 3 || f == 5) << f;
    }
    EXPECT_EQ(FormatExtension(-1), "");
    EXPECT_EQ(FormatExtension(10), "");
    EXPECT_EQ(FormatTargetName(10), "");
    EXPECT_FALSE(FormatHasConversionPath(-1));
    EXPECT_EQ(FormatOfControlId(1014), -1);
    EXPECT_EQ(std::string(kFormats[1].szButtonText), "H.264");
    EXPECT_EQ(kStandards[2].nControlId, 1017);
    EXPECT_EQ(std::string(kStandards[2].szButtonText), "NTSC-Film");
}

TEST(Catalogue, LookupsByListPosition) {
    EXPECT_FALSE(FrameSizeAt(0));
    EXPECT_EQ(FrameSizeAt(1)->nWidth, 160);
    EXPECT_EQ(FrameSizeAt(14)->nHeight, 720);
    EXPECT_FALSE(FrameSizeAt(15));
    EXPECT_FALSE(FrameRateAt(-3));
    EXPECT_DOUBLE_EQ(*FrameRateAt(3), 29.97);
    EXPECT_EQ(*VideoBitRateAt(7), 768);
    EXPECT_EQ(*VideoBitRateAt(11), 2500);
    EXPECT_FALSE(VideoBitRateAt(12));
    EXPECT_EQ(*AudioBitRateAt(3), 64);
    EXPECT_EQ(*AudioBitRateAt(8), 160);
    EXPECT_EQ(*ChannelsAt(1), 1);
    EXPECT_FALSE(ChannelsAt(3));
    EXPECT_EQ(*SampleRateAt(2), 44100);
    EXPECT_EQ(VolumeNumberText(0), "");
    EXPECT_EQ(VolumeNumberText(1), "0");
    EXPECT_EQ(VolumeNumberText(4), "192");
    EXPECT_EQ(VolumeNumberText(19), "2048");
    EXPECT_EQ(StandardTargetPrefix(0), "-target ntsc-");
    EXPECT_EQ(StandardTargetPrefix(1), "-target pal-");
    EXPECT_EQ(StandardTargetPrefix(2), "-target film-");
    EXPECT_EQ(StandardTargetPrefix(-1), "-target ntsc-");
    EXPECT_EQ(StandardTargetPrefix(3), "-target ntsc-");
}

TEST(Catalogue, ListItemTexts) {
    SetCurrentResources(nullptr);
    const auto sizes = Texts(SettingList::Size);
    ASSERT_EQ(sizes.size(), 15U);
    EXPECT_EQ(sizes[0], "Keep Original");
    EXPECT_EQ(sizes[1], "160x120 - ");
    EXPECT_EQ(sizes[5], "320x240 - iPod nano");
    EXPECT_EQ(sizes[9], "640x480 - iPhone4 (Recommended)");
    EXPECT_EQ(sizes[12], "960x640 - iPhone4 H.264");
    EXPECT_EQ(sizes[14], "1280x720 - iPad1/2 Best");

    EXPECT_EQ(
        Texts(SettingList::FrameRate),
        (std::vector<std::string>{"Keep Original", "14.985 fps", "23.976 fps", "29.970 fps"}));

    const auto video = Texts(SettingList::VideoBitRate);
    ASSERT_EQ(video.size(), 12U);
    EXPECT_EQ(video[1], "128 kbps");
    EXPECT_EQ(video[7], "768 kbps - Recommended");
    EXPECT_EQ(video[11], "2500 kbps");

    EXPECT_EQ(
        Texts(SettingList::AudioBitRate),
        (std::vector<std::string>{"Keep Original", "32 kbps - Near FM radio", "48 kbps - FM radio",
                                  "64 kbps - Better than FM (Recommended)", "80 kbps - ",
                                  "96 kbps - Near CD quality", "112 kbps - ",
                                  "128 kbps - CD quality", "160 kbps - Better than CD"}));
    EXPECT_EQ(Texts(SettingList::Channels),
              (std::vector<std::string>{"Keep Original", "1 Channel, Mono", "2 Channels, Stereo"}));
    EXPECT_EQ(Texts(SettingList::SampleRate),
              (std::vector<std::string>{"Keep Original", "24000 HZ", "44100 HZ", "48000 HZ"}));

    const auto volume = Texts(SettingList::Volume);
    ASSERT_EQ(volume.size(), 20U);
    EXPECT_EQ(volume[1], "0% - Disable Audio");
    EXPECT_EQ(volume[2], "25%");
    EXPECT_EQ(volume[4], "75%");
    EXPECT_EQ(volume[5], "125%");
    EXPECT_EQ(volume[19], "800%");
}

TEST(Catalogue, ItemDataAndCountsMatchPositions) {
    for (SettingList list : kFillOrder) {
        const auto items = BuildListItems(list);
        ASSERT_EQ(static_cast<int>(items.size()), ListPositionCount(list));
        EXPECT_EQ(items[0].nData, -1);
        for (std::size_t p = 1; p < items.size(); ++p) {
            EXPECT_EQ(items[p].nData, static_cast<int>(p) - 1);
        }
    }
    EXPECT_EQ(ListControlId(SettingList::Size), 1103);
    EXPECT_EQ(ListControlId(SettingList::Volume), 1111);
    EXPECT_EQ(ListControlId(SettingList::Channels), 1112);
}

TEST(Catalogue, ItemTextsFollowTheCurrentLanguage) {
    lang::ResourceSet german;
    german.strings[61337] = "Original";
    german.strings[61336] = "Empfohlen";
    german.strings[61338] = "1 Kanal, Mono";
    german.strings[61339] = "2 Kanäle, Stereo";
    german.strings[61340] = "Ton aus";
    SetCurrentResources(&german);
    EXPECT_EQ(Texts(SettingList::Size)[9], "640x480 - iPhone4 (Empfohlen)");
    EXPECT_EQ(Texts(SettingList::AudioBitRate)[0], "Original");
    EXPECT_EQ(Texts(SettingList::Channels)[2], "2 Kanäle, Stereo");

    // A set without the words still fills every position, with shortened texts.
    lang::ResourceSet empty;
    SetCurrentResources(&empty);
    const auto sizes = Texts(SettingList::Size);
    ASSERT_EQ(sizes.size(), 15U);
    EXPECT_EQ(sizes[0], "");
    EXPECT_EQ(sizes[9], "640x480 - iPhone4 ()");
    SetCurrentResources(nullptr);
}

} // namespace
