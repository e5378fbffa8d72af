// The fixed target tables and the list item texts built from them.
#include "profiles/catalogue.h"

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"

namespace profiles {

const std::array<FormatInfo, kFormatCount> kFormats = {{
    {"MPEG-4", 1004, true, "mp4", nullptr},
    {"H.264", 1005, true, "mov", nullptr},
    {"DVD", 1006, false, "mpg", "dvd"},
    {"WMV", 1007, false, "wmv", nullptr},
    {"3GP", 1008, false, "3gp", nullptr},
    {"OGM", 1009, false, "ogm", nullptr},
    {"VCD", 1010, false, "mpg", "vcd"},
    {"SVCD", 1011, false, "mpg", "svcd"},
    {"DV", 1012, false, "mpg", "dv"},
    {"AVI", 1013, false, "avi", nullptr},
}};

const std::array<StandardInfo, kStandardCount> kStandards = {{
    {"NTSC", 1015},
    {"PAL", 1016},
    {"NTSC-Film", 1017},
}};

const std::array<FrameSize, 14> kFrameSizes = {{
    {160, 120, ""},
    {176, 144, ""},
    {256, 192, ""},
    {320, 180, ""},
    {320, 240, "iPod nano"},
    {480, 320, "iPhone 3GS"},
    {640, 272, ""},
    {640, 360, ""},
    {640, 480, "iPhone4"},
    {720, 306, ""},
    {720, 320, ""},
    {960, 640, "iPhone4 H.264"},
    {1024, 768, "iPad1/2"},
    {1280, 720, "iPad1/2 Best"},
}};

const std::array<double, 3> kFrameRates = {14.985, 23.976, 29.97};

const std::array<std::int32_t, 11> kVideoBitRates = {128, 256, 384,  512,  576, 640,
                                                     768, 900, 1500, 2000, 2500};

const std::array<AudioBitRate, 8> kAudioBitRates = {{
    {32, "Near FM radio"},
    {48, "FM radio"},
    {64, "Better than FM"},
    {80, ""},
    {96, "Near CD quality"},
    {112, ""},
    {128, "CD quality"},
    {160, "Better than CD"},
}};

const std::array<std::int32_t, 2> kChannels = {1, 2};

const std::array<std::int32_t, 3> kSampleRates = {24000, 44100, 48000};

const std::array<double, 19> kVolumeFactors = {0.0, 0.25, 0.5, 0.75, 1.25, 1.5, 1.75,
                                               2.0, 2.25, 2.5, 2.75, 3.0,  3.5, 4.0,
                                               4.5, 5.0,  6.0, 7.0,  8.0};

bool IsValidFormat(int nFormat) {
    return nFormat >= 0 && nFormat < kFormatCount;
}

std::string FormatExtension(int nFormat) {
    return IsValidFormat(nFormat) ? kFormats[static_cast<std::size_t>(nFormat)].szExtension : "";
}

std::string FormatTargetName(int nFormat) {
    if (!IsValidFormat(nFormat)) {
        return "";
    }
    const char* szName = kFormats[static_cast<std::size_t>(nFormat)].szTargetName;
    return szName != nullptr ? szName : "";
}

bool FormatHasConversionPath(int nFormat) {
    return nFormat == kFormatMpeg4 || nFormat == kFormatH264 || !FormatTargetName(nFormat).empty();
}

bool FormatNeedsPrerequisites(int nFormat) {
    return nFormat == kFormatWmv || nFormat == kFormatOgm;
}

int FormatOfControlId(int nControlId) {
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        if (kFormats[i].nControlId == nControlId) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string StandardTargetPrefix(int nStandard) {
    switch (nStandard) {
    case kStandardPal:
        return "-target pal-";
    case kStandardFilm:
        return "-target film-";
    default:
        return "-target ntsc-";
    }
}

namespace {

// Row of a list position in a table of `count` rows, or nullopt for "Keep Original" and positions
// out of range.
std::optional<std::size_t> RowOf(int nPosition, std::size_t count) {
    if (nPosition < 1 || static_cast<std::size_t>(nPosition) > count) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(nPosition - 1);
}

template <class Table> auto At(const Table& table, int nPosition) {
    using Value = typename Table::value_type;
    const auto row = RowOf(nPosition, table.size());
    return row ? std::optional<Value>(table[*row]) : std::optional<Value>();
}

} // namespace

std::optional<FrameSize> FrameSizeAt(int nPosition) {
    return At(kFrameSizes, nPosition);
}
std::optional<double> FrameRateAt(int nPosition) {
    return At(kFrameRates, nPosition);
}
std::optional<std::int32_t> VideoBitRateAt(int nPosition) {
    return At(kVideoBitRates, nPosition);
}
std::optional<std::int32_t> AudioBitRateAt(int nPosition) {
    const auto row = At(kAudioBitRates, nPosition);
    return row ? std::optional<std::int32_t>(row->nKbps) : std::nullopt;
}
std::optional<std::int32_t> ChannelsAt(int nPosition) {
    return At(kChannels, nPosition);
}
std::optional<std::int32_t> SampleRateAt(int nPosition) {
    return At(kSampleRates, nPosition);
}
std::optional<double> VolumeFactorAt(int nPosition) {
    return At(kVolumeFactors, nPosition);
}

std::string VolumeNumberText(int nPosition) {
    const auto factor = VolumeFactorAt(nPosition);
    return factor ? lang::Format("%.0f", *factor * 256.0) : std::string();
}

namespace {

std::string SizeText(const FrameSize& size) {
    if (size.nWidth == kRecommendedWidth && size.nHeight == kRecommendedHeight) {
        return lang::Format("%dx%d - %s (%s)", size.nWidth, size.nHeight, size.szLabel,
                            LoadResString(ids::kStrRecommended));
    }
    return lang::Format("%dx%d - %s", size.nWidth, size.nHeight, size.szLabel);
}

std::string VideoBitRateText(std::int32_t nKbps) {
    if (nKbps == kRecommendedVideoBitRate) {
        return lang::Format("%d kbps - %s", nKbps, LoadResString(ids::kStrRecommended));
    }
    return lang::Format("%d kbps", nKbps);
}

std::string AudioBitRateText(const AudioBitRate& rate) {
    if (rate.nKbps == kRecommendedAudioBitRate) {
        return lang::Format("%d kbps - %s (%s)", rate.nKbps, rate.szLabel,
                            LoadResString(ids::kStrRecommended));
    }
    return lang::Format("%d kbps - %s", rate.nKbps, rate.szLabel);
}

std::string ChannelsText(std::int32_t nChannels) {
    return LoadResString(nChannels == 1 ? ids::kStrMono : ids::kStrStereo);
}

std::string VolumeText(double factor) {
    if (factor == 0.0) {
        return lang::Format("%.0f%% - %s", factor * 100.0, LoadResString(ids::kStrDisableAudio));
    }
    return lang::Format("%.0f%%", factor * 100.0);
}

template <class Table, class MakeText>
std::vector<ListItem> Items(const Table& table, MakeText makeText) {
    std::vector<ListItem> items;
    items.reserve(table.size() + 1);
    items.push_back({LoadResString(ids::kStrKeepOriginal), -1});
    for (std::size_t row = 0; row < table.size(); ++row) {
        items.push_back({makeText(table[row]), static_cast<int>(row)});
    }
    return items;
}

} // namespace

std::vector<ListItem> BuildListItems(SettingList list) {
    switch (list) {
    case SettingList::Size:
        return Items(kFrameSizes, SizeText);
    case SettingList::FrameRate:
        return Items(kFrameRates, [](double rate) { return lang::Format("%2.3f fps", rate); });
    case SettingList::VideoBitRate:
        return Items(kVideoBitRates, VideoBitRateText);
    case SettingList::AudioBitRate:
        return Items(kAudioBitRates, AudioBitRateText);
    case SettingList::Channels:
        return Items(kChannels, ChannelsText);
    case SettingList::SampleRate:
        return Items(kSampleRates, [](std::int32_t hz) { return lang::Format("%d HZ", hz); });
    case SettingList::Volume:
        return Items(kVolumeFactors, VolumeText);
    }
    return {};
}

int ListPositionCount(SettingList list) {
    switch (list) {
    case SettingList::Size:
        return static_cast<int>(kFrameSizes.size()) + 1;
    case SettingList::FrameRate:
        return static_cast<int>(kFrameRates.size()) + 1;
    case SettingList::VideoBitRate:
        return static_cast<int>(kVideoBitRates.size()) + 1;
    case SettingList::AudioBitRate:
        return static_cast<int>(kAudioBitRates.size()) + 1;
    case SettingList::Channels:
        return static_cast<int>(kChannels.size()) + 1;
    case SettingList::SampleRate:
        return static_cast<int>(kSampleRates.size()) + 1;
    case SettingList::Volume:
        return static_cast<int>(kVolumeFactors.size()) + 1;
    }
    return 0;
}

int ListControlId(SettingList list) {
    switch (list) {
    case SettingList::Size:
        return ids::kCtlSizeList;
    case SettingList::FrameRate:
        return ids::kCtlFrameRateList;
    case SettingList::VideoBitRate:
        return ids::kCtlVideoBitRateList;
    case SettingList::AudioBitRate:
        return ids::kCtlAudioBitRateList;
    case SettingList::Channels:
        return ids::kCtlChannelsList;
    case SettingList::SampleRate:
        return ids::kCtlSampleRateList;
    case SettingList::Volume:
        return ids::kCtlVolumeList;
    }
    return 0;
}

} // namespace profiles
