#include "cli/option_values.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>

#include "profiles/catalogue.h"

namespace cli {

namespace {

// Position (row + 1) of the first table value equal to the whole number in `text`.
template <class Table>
std::optional<int> PositionOfNumber(const Table& table, std::string_view text) {
    const auto value = ParsePositive(text, 1000000);
    if (!value) {
        return std::nullopt;
    }
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (table[row] == *value) {
            return static_cast<int>(row) + 1;
        }
    }
    return std::nullopt;
}

template <class Table> std::string JoinNumbers(const Table& table) {
    std::string out;
    for (const auto& value : table) {
        if (!out.empty()) {
            out += ", ";
        }
        out += std::to_string(value);
    }
    return out;
}

struct NamedIndex {
    const char* szName;
    int nIndex;
};

constexpr std::array<NamedIndex, 14> kFormatNames = {{
    {"mp4", profiles::kFormatMpeg4},
    {"mpeg-4", profiles::kFormatMpeg4},
    {"mpeg4", profiles::kFormatMpeg4},
    {"mov", profiles::kFormatH264},
    {"h.264", profiles::kFormatH264},
    {"h264", profiles::kFormatH264},
    {"dvd", profiles::kFormatDvd},
    {"vcd", profiles::kFormatVcd},
    {"svcd", profiles::kFormatSvcd},
    {"dv", profiles::kFormatDv},
    {"wmv", profiles::kFormatWmv},
    {"3gp", profiles::kFormat3gp},
    {"ogm", profiles::kFormatOgm},
    {"avi", profiles::kFormatAvi},
}};

constexpr std::array<NamedIndex, 4> kStandardNames = {{
    {"ntsc", profiles::kStandardNtsc},
    {"pal", profiles::kStandardPal},
    {"film", profiles::kStandardFilm},
    {"ntsc-film", profiles::kStandardFilm},
}};

template <std::size_t N>
std::optional<int> IndexByName(const std::array<NamedIndex, N>& names, std::string_view text) {
    for (const NamedIndex& entry : names) {
        if (SameText(entry.szName, text)) {
            return entry.nIndex;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<int> ParsePositive(std::string_view text, int nMax) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > nMax) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> FormatByName(std::string_view text) {
    return IndexByName(kFormatNames, text);
}

std::string FormatNames() {
    return "mp4, mov, dvd, vcd, svcd, dv";
}

std::optional<int> StandardByName(std::string_view text) {
    return IndexByName(kStandardNames, text);
}

std::optional<int> SizePositionByDevice(std::string_view text) {
    for (std::size_t row = 0; row < profiles::kFrameSizes.size(); ++row) {
        const std::string_view label = profiles::kFrameSizes[row].szLabel;
        if (!label.empty() && SameText(label, text)) {
            return static_cast<int>(row) + 1;
        }
    }
    return std::nullopt;
}

std::optional<int> SizePositionBySize(int nWidth, int nHeight) {
    for (std::size_t row = 0; row < profiles::kFrameSizes.size(); ++row) {
        if (profiles::kFrameSizes[row].nWidth == nWidth &&
            profiles::kFrameSizes[row].nHeight == nHeight) {
            return static_cast<int>(row) + 1;
        }
    }
    return std::nullopt;
}

std::optional<int> FrameRatePosition(std::string_view text) {
    // Digits, optionally a point and at most three decimals: "29.97", "29.970".
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() || whole.size() > 3 || fraction.size() > 3 ||
        (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    int nThousandths = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        nThousandths = nThousandths * 10 + (c - '0');
    }
    int nScale = 1000;
    nThousandths *= nScale;
    for (char c : fraction) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        nScale /= 10;
        nThousandths += (c - '0') * nScale;
    }
    for (std::size_t row = 0; row < profiles::kFrameRates.size(); ++row) {
        if (std::lround(profiles::kFrameRates[row] * 1000.0) == nThousandths) {
            return static_cast<int>(row) + 1;
        }
    }
    return std::nullopt;
}

std::optional<int> VideoBitRatePosition(std::string_view text) {
    return PositionOfNumber(profiles::kVideoBitRates, text);
}

std::optional<int> AudioBitRatePosition(std::string_view text) {
    std::array<std::int32_t, profiles::kAudioBitRates.size()> rates{};
    for (std::size_t row = 0; row < rates.size(); ++row) {
        rates[row] = profiles::kAudioBitRates[row].nKbps;
    }
    return PositionOfNumber(rates, text);
}

std::optional<int> ChannelsPosition(std::string_view text) {
    if (SameText(text, "mono")) {
        return PositionOfNumber(profiles::kChannels, "1");
    }
    if (SameText(text, "stereo")) {
        return PositionOfNumber(profiles::kChannels, "2");
    }
    return PositionOfNumber(profiles::kChannels, text);
}

std::optional<int> SampleRatePosition(std::string_view text) {
    return PositionOfNumber(profiles::kSampleRates, text);
}

std::string FrameRateNames() {
    std::string out;
    for (double rate : profiles::kFrameRates) {
        char text[32];
        std::snprintf(text, sizeof(text), "%.3f", rate);
        std::string strRate = text;
        while (strRate.back() == '0') {
            strRate.pop_back();
        }
        if (!out.empty()) {
            out += ", ";
        }
        out += strRate;
    }
    return out;
}

std::string VideoBitRateNames() {
    return JoinNumbers(profiles::kVideoBitRates);
}

std::string AudioBitRateNames() {
    std::string out;
    for (const auto& rate : profiles::kAudioBitRates) {
        if (!out.empty()) {
            out += ", ";
        }
        out += std::to_string(rate.nKbps);
    }
    return out;
}

std::string SampleRateNames() {
    return JoinNumbers(profiles::kSampleRates);
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace cli
