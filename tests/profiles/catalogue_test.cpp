// The catalogue checked by what its tables must satisfy: every format's button, template control,
// extension and option text agree; every list item shows the value its position gives the
// encoder; the recommended rows are marked once. The texts the form quotes are kept letter for
// letter.
#include "profiles/catalogue.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "profiles/conversion_settings.h"
#include "profiles/encoder_options.h"

namespace {

using namespace profiles;

std::vector<std::string> Texts(SettingList list) {
    std::vector<std::string> texts;
    for (const auto& item : BuildListItems(list)) {
        texts.push_back(item.strText);
    }
    return texts;
}

// The control of the English form template, or nullptr.
const lang::DialogControl* FormControl(int nId) {
    for (const auto& control : BuiltinEnglish().dialogs.at(ids::kDlgForm).controls) {
        if (control.nId == nId) {
            return &control;
        }
    }
    return nullptr;
}

// Each list, the field of the settings that holds its position, and the encoder option it sets
// ("" for the volume, which sets none; the size list fills the width and height fields).
struct ListOption {
    SettingList list;
    int ConversionSettings::*pnPosition;
    const char* szOption;
};
const ListOption kListOptions[] = {
    {SettingList::Size, &ConversionSettings::m_nSizePos, " -s "},
    {SettingList::FrameRate, &ConversionSettings::m_nFrameRatePos, " -r "},
    {SettingList::VideoBitRate, &ConversionSettings::m_nVideoBitRatePos, " -b "},
    {SettingList::AudioBitRate, &ConversionSettings::m_nAudioBitRatePos, " -ab "},
    {SettingList::Channels, &ConversionSettings::m_nChannelsPos, " -ac "},
    {SettingList::SampleRate, &ConversionSettings::m_nSampleRatePos, " -ar "},
    {SettingList::Volume, &ConversionSettings::m_nVolumePos, ""},
};

// The option text for the settings with one list at one position.
std::string OptionsAt(const ListOption& option, int nPosition) {
    ConversionSettings settings;
    if (option.list == SettingList::Size) {
        settings.OnSizeChoiceChanged(nPosition);
    } else {
        settings.*option.pnPosition = nPosition;
    }
    return BuildEncoderOptions(settings);
}

// The value at the start of an item's text: "640x480" of "640x480 - iPhone4", "29.970" of
// "29.970 fps", "25" of "25%".
std::string LeadingValue(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) != 0 ||
                                 text[end] == '.' || text[end] == 'x')) {
        ++end;
    }
    return text.substr(0, end);
}

TEST(Catalogue, EveryFormatsButtonTemplateExtensionAndOptionsAgree) {
    SetCurrentResources(nullptr);
    std::set<int> controlIds;
    for (int f = 0; f < kFormatCount; ++f) {
        SCOPED_TRACE(f);
        const FormatInfo& format = kFormats[static_cast<std::size_t>(f)];
        EXPECT_TRUE(IsValidFormat(f));
        EXPECT_TRUE(controlIds.insert(format.nControlId).second) << "one button per format";
        EXPECT_EQ(FormatOfControlId(format.nControlId), f);
        // The template has the button, shown exactly when the product offers the format.
        const lang::DialogControl* button = FormControl(format.nControlId);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->kind, lang::ControlKind::RadioButton);
        EXPECT_EQ((button->style & lang::kStyleHidden) == 0, format.bShown);

        // An extension of at most three lower-case letters or digits (a four-byte field).
        const std::string extension = FormatExtension(f);
        EXPECT_FALSE(extension.empty());
        EXPECT_LE(extension.size(), 3U);
        for (char c : extension) {
            EXPECT_TRUE(std::islower(static_cast<unsigned char>(c)) != 0 ||
                        std::isdigit(static_cast<unsigned char>(c)) != 0)
                << extension;
        }

        // The option text: one "-target" for the named targets (an MPEG program stream), the
        // codec and the settings for the others with a conversion path, nothing without one.
        for (int nStandard = 0; nStandard < kStandardCount; ++nStandard) {
            ConversionSettings settings;
            settings.m_nFormat = f;
            settings.m_nStandard = nStandard;
            const std::string options = BuildEncoderOptions(settings);
            EXPECT_EQ(!options.empty(), FormatHasConversionPath(f)) << options;
            if (!FormatTargetName(f).empty()) {
                EXPECT_EQ(options, StandardTargetPrefix(nStandard) + FormatTargetName(f));
                EXPECT_EQ(extension, "mpg");
            } else if (FormatHasConversionPath(f)) {
                EXPECT_EQ(options.rfind(" -vcodec xvid", 0), 0U) << options;
            }
        }
        // A shown format converts without prerequisites; the checked ones have no path.
        if (format.bShown) {
            EXPECT_TRUE(FormatHasConversionPath(f));
            EXPECT_FALSE(FormatNeedsPrerequisites(f));
        }
        if (FormatNeedsPrerequisites(f)) {
            EXPECT_FALSE(FormatHasConversionPath(f));
        }
    }
    // The product offers MPEG-4 and H.264, which write the outputs users see.
    EXPECT_TRUE(kFormats[kFormatMpeg4].bShown && kFormats[kFormatH264].bShown);
    EXPECT_EQ(std::string(kFormats[kFormatH264].szButtonText), "H.264");
    EXPECT_EQ(FormatExtension(kFormatMpeg4), "mp4");
    EXPECT_EQ(FormatExtension(kFormatH264), "mov");

    for (int outside : {-1, kFormatCount}) {
        EXPECT_FALSE(IsValidFormat(outside));
        EXPECT_EQ(FormatExtension(outside), "");
        EXPECT_EQ(FormatTargetName(outside), "");
        EXPECT_FALSE(FormatHasConversionPath(outside));
    }
    EXPECT_EQ(FormatOfControlId(1014), -1);
}

TEST(Catalogue, EveryStandardNamesItsTargetAndHasAHiddenButton) {
    std::set<int> controlIds;
    for (int s = 0; s < kStandardCount; ++s) {
        const StandardInfo& standard = kStandards[static_cast<std::size_t>(s)];
        EXPECT_TRUE(controlIds.insert(standard.nControlId).second);
        const lang::DialogControl* button = FormControl(standard.nControlId);
        ASSERT_NE(button, nullptr) << s;
        EXPECT_TRUE(button->style & lang::kStyleHidden) << s;
        // "-target ntsc-" for "NTSC", "-target film-" for "NTSC-Film".
        std::string word = standard.szButtonText;
        word = word.substr(word.rfind('-') == std::string::npos ? 0 : word.rfind('-') + 1);
        for (char& c : word) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(StandardTargetPrefix(s), "-target " + word + "-") << s;
    }
    EXPECT_EQ(std::string(kStandards[kStandardFilm].szButtonText), "NTSC-Film");
    // Any other value is NTSC.
    EXPECT_EQ(StandardTargetPrefix(-1), StandardTargetPrefix(kStandardNtsc));
    EXPECT_EQ(StandardTargetPrefix(kStandardCount), StandardTargetPrefix(kStandardNtsc));
}

TEST(Catalogue, EveryListItemShowsTheValueItsPositionGivesTheEncoder) {
    SetCurrentResources(nullptr);
    std::set<int> controlIds;
    ASSERT_EQ(std::size(kListOptions), kFillOrder.size());
    for (const ListOption& option : kListOptions) {
        const SettingList list = option.list;
        const int nList = static_cast<int>(list);
        SCOPED_TRACE(nList);
        const auto items = BuildListItems(list);
        ASSERT_EQ(static_cast<int>(items.size()), ListPositionCount(list));
        ASSERT_GE(items.size(), 3U);
        // The list is on the form.
        EXPECT_TRUE(controlIds.insert(ListControlId(list)).second);
        ASSERT_NE(FormControl(ListControlId(list)), nullptr);

        // Position 0 keeps the source's value and gives no option.
        EXPECT_EQ(items[0].strText, "Keep Original");
        EXPECT_EQ(items[0].nData, -1);
        const std::string keep = OptionsAt(option, 0);
        EXPECT_EQ(keep, " -vcodec xvid");

        std::set<std::string> texts;
        for (std::size_t p = 1; p < items.size(); ++p) {
            const int nPosition = static_cast<int>(p);
            SCOPED_TRACE(items[p].strText);
            EXPECT_EQ(items[p].nData, nPosition - 1);
            EXPECT_TRUE(texts.insert(items[p].strText).second) << "each item once";
            const std::string value = LeadingValue(items[p].strText);
            ASSERT_FALSE(value.empty());
            if (list == SettingList::Volume) {
                // The volume gives no option: its number is the factor times 256.
                EXPECT_EQ(OptionsAt(option, nPosition), keep);
                const double percent = std::stod(value);
                char number[32];
                std::snprintf(number, sizeof number, "%.0f", percent * 256.0 / 100.0);
                EXPECT_EQ(VolumeNumberText(nPosition), number);
            } else {
                EXPECT_NE(OptionsAt(option, nPosition).find(option.szOption + value),
                          std::string::npos)
                    << OptionsAt(option, nPosition);
            }
        }
    }
    // Out of range, the lookups give nothing.
    EXPECT_FALSE(FrameSizeAt(0));
    EXPECT_FALSE(FrameSizeAt(ListPositionCount(SettingList::Size)));
    EXPECT_FALSE(FrameRateAt(-3));
    EXPECT_FALSE(VideoBitRateAt(ListPositionCount(SettingList::VideoBitRate)));
    EXPECT_FALSE(ChannelsAt(ListPositionCount(SettingList::Channels)));
    EXPECT_EQ(VolumeNumberText(0), "");
}

TEST(Catalogue, TheRecommendedRowsAreMarkedOnce) {
    SetCurrentResources(nullptr);
    const auto marked = [](SettingList list) {
        std::vector<std::string> found;
        for (const std::string& text : Texts(list)) {
            if (text.find("Recommended") != std::string::npos) {
                found.push_back(text);
            }
        }
        return found;
    };
    EXPECT_EQ(marked(SettingList::Size),
              std::vector<std::string>{"640x480 - iPhone4 (Recommended)"});
    EXPECT_EQ(marked(SettingList::VideoBitRate),
              std::vector<std::string>{"768 kbps - Recommended"});
    EXPECT_EQ(marked(SettingList::AudioBitRate),
              std::vector<std::string>{"64 kbps - Better than FM (Recommended)"});
    for (SettingList list : {SettingList::FrameRate, SettingList::Channels, SettingList::SampleRate,
                             SettingList::Volume}) {
        EXPECT_TRUE(marked(list).empty());
    }
    EXPECT_EQ(Texts(SettingList::Volume)[1], "0% - Disable Audio");
    EXPECT_EQ(Texts(SettingList::Channels),
              (std::vector<std::string>{"Keep Original", "1 Channel, Mono", "2 Channels, Stereo"}));
}

TEST(Catalogue, ItemTextsFollowTheCurrentLanguage) {
    lang::ResourceSet german;
    german.strings[ids::kStrKeepOriginal] = "Original";
    german.strings[ids::kStrRecommended] = "Empfohlen";
    german.strings[ids::kStrMono] = "1 Kanal, Mono";
    german.strings[ids::kStrStereo] = "2 Kanäle, Stereo";
    german.strings[ids::kStrDisableAudio] = "Ton aus";
    SetCurrentResources(&german);
    EXPECT_EQ(Texts(SettingList::Size)[9], "640x480 - iPhone4 (Empfohlen)");
    EXPECT_EQ(Texts(SettingList::AudioBitRate)[0], "Original");
    EXPECT_EQ(Texts(SettingList::Channels)[2], "2 Kanäle, Stereo");

    // A set without the words still fills every position, with shortened texts.
    lang::ResourceSet empty;
    SetCurrentResources(&empty);
    const auto sizes = Texts(SettingList::Size);
    ASSERT_EQ(static_cast<int>(sizes.size()), ListPositionCount(SettingList::Size));
    EXPECT_EQ(sizes[0], "");
    EXPECT_EQ(sizes[9], "640x480 - iPhone4 ()");
    SetCurrentResources(nullptr);
}

} // namespace
