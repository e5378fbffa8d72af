#pragma once
// The fixed catalogue of targets: formats, video standards, frame sizes, frame rates, bit rates,
// channel layouts, sample rates and volume factors, and the list item texts built from them.
// Every settings list is read by position: position 0 is "Keep Original", position p >= 1 stands
// for row p - 1 of the list's table.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace profiles {

// ---- Target formats ---------------------------------------------------------------------------
enum TargetFormat : int {
    kFormatMpeg4 = 0,
    kFormatH264 = 1,
    kFormatDvd = 2,
    kFormatWmv = 3,
    kFormat3gp = 4,
    kFormatOgm = 5,
    kFormatVcd = 6,
    kFormatSvcd = 7,
    kFormatDv = 8,
    kFormatAvi = 9,
};
inline constexpr int kFormatCount = 10;

struct FormatInfo {
    const char* szButtonText; // "MPEG-4"
    int nControlId;           // radio button id on the form (1004..1013)
    bool bShown;              // shown in this product
    const char* szExtension;  // output extension without the dot
    const char* szTargetName; // encoder target name ("dvd"), nullptr when none
};
extern const std::array<FormatInfo, kFormatCount> kFormats;

// True for 0..9.
bool IsValidFormat(int nFormat);
// Output extension of a format; "" for an index out of range.
std::string FormatExtension(int nFormat);
// Encoder target name of a format ("dvd", "vcd", "svcd", "dv"); "" when it has none.
std::string FormatTargetName(int nFormat);
// True for the formats the encoder converts to (0, 1, 2, 6, 7, 8).
bool FormatHasConversionPath(int nFormat);
// True for the formats whose components are checked before converting (3 WMV and 5 OGM).
bool FormatNeedsPrerequisites(int nFormat);
// Format index of a format button id, or -1.
int FormatOfControlId(int nControlId);

// ---- Video standards ---------------------------------------------------------------------------
enum VideoStandard : int { kStandardNtsc = 0, kStandardPal = 1, kStandardFilm = 2 };
inline constexpr int kStandardCount = 3;
struct StandardInfo {
    const char* szButtonText; // "NTSC"
    int nControlId;           // 1015..1017
};
extern const std::array<StandardInfo, kStandardCount> kStandards;
// "-target ntsc-", "-target pal-", "-target film-"; any other value gives "-target ntsc-".
std::string StandardTargetPrefix(int nStandard);

// ---- Tables ------------------------------------------------------------------------------------
struct FrameSize {
    std::int32_t nWidth;
    std::int32_t nHeight;
    const char* szLabel; // device label, "" when none (not translated)
};
extern const std::array<FrameSize, 14> kFrameSizes;
extern const std::array<double, 3> kFrameRates;
extern const std::array<std::int32_t, 11> kVideoBitRates;
struct AudioBitRate {
    std::int32_t nKbps;
    const char* szLabel; // quality label, "" when none (not translated)
};
extern const std::array<AudioBitRate, 8> kAudioBitRates;
extern const std::array<std::int32_t, 2> kChannels;
extern const std::array<std::int32_t, 3> kSampleRates;
extern const std::array<double, 19> kVolumeFactors;

// The values marked "Recommended" in the lists (chosen by value, not by row).
inline constexpr std::int32_t kRecommendedWidth = 640;
inline constexpr std::int32_t kRecommendedHeight = 480;
inline constexpr std::int32_t kRecommendedVideoBitRate = 768;
inline constexpr std::int32_t kRecommendedAudioBitRate = 64;

// ---- Lookups by list position (nullopt for 0 "Keep Original" or out of range) ------------------
std::optional<FrameSize> FrameSizeAt(int nPosition);
std::optional<double> FrameRateAt(int nPosition);
std::optional<std::int32_t> VideoBitRateAt(int nPosition);
std::optional<std::int32_t> AudioBitRateAt(int nPosition);
std::optional<std::int32_t> ChannelsAt(int nPosition);
std::optional<std::int32_t> SampleRateAt(int nPosition);
std::optional<double> VolumeFactorAt(int nPosition);
// The chosen volume factor times 256 written with "%.0f" ("" for "Keep Original"). The encoder
// options do not carry it.
std::string VolumeNumberText(int nPosition);

// ---- List items --------------------------------------------------------------------------------
// The settings lists, in the order the form fills them.
enum class SettingList {
    Size,
    FrameRate,
    VideoBitRate,
    AudioBitRate,
    Channels,
    SampleRate,
    Volume
};
inline constexpr std::array<SettingList, 7> kFillOrder = {
    SettingList::Size,         SettingList::FrameRate, SettingList::VideoBitRate,
    SettingList::AudioBitRate, SettingList::Channels,  SettingList::SampleRate,
    SettingList::Volume};

struct ListItem {
    std::string strText;
    int nData; // -1 for "Keep Original", otherwise the table row
};

// The items of a list in the current interface language: "Keep Original" (data -1), then one
// item per table row (data = row).
std::vector<ListItem> BuildListItems(SettingList list);
// Number of positions of a list (table rows + 1).
int ListPositionCount(SettingList list);
// Control id of a list on the form (1103, 1106, 1107, 1113, 1112, 1114, 1111).
int ListControlId(SettingList list);

} // namespace profiles
