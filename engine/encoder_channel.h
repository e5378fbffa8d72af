#pragma once
// What lumicast-batch and Kestrelvx agree on beyond the command line: environment values that a
// batch program sets for the encoders it starts. The window sets none, so for it nothing changes.
//
// KESTRELVX_LIMITS: the limits of the device a batch converts for, as "name=value" pairs joined by
//   commas: "fps=30,channels=2,samplerate=48000,vkbps=768,akbps=160,profile=100,level=41". A
//   setting the command line leaves at the source's value ("Keep Original") is held within these
//   limits; a setting the command line gives is taken as given. "profile" (the H.264 profile_idc:
//   77 Main, 100 High) and "level" (the H.264 level times ten) apply to H.264 outputs, which are
//   Constrained Baseline without them. Unknown names and malformed values are ignored.
// KESTRELVX_TARGET_SIZE: the most bytes an output may hold, in decimal digits. The encoder works
//   out the bit rates from the part it converts, converts the video in two passes, and never
//   leaves a larger output under the output's name; a value that is not a number of bytes fails
//   the conversion.
// KESTRELVX_NOTES: a file to which the encoder appends the lines that say why a conversion failed
//   or what it changed ("error: ...", "note: ..."), the same lines it writes to its output after
//   "Kestrelvx: ". The batch program reads and empties it after each file.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace kestrelvx {

inline constexpr const char* kLimitsVariable = "KESTRELVX_LIMITS";
inline constexpr const char* kNotesVariable = "KESTRELVX_NOTES";
inline constexpr const char* kTargetSizeVariable = "KESTRELVX_TARGET_SIZE";

// The encoder's exit status when the output could not be written because the disk is full (or
// the file size limit it runs under was reached). Other failures end with 1, a refused command
// line with 2, a stop asked by a signal with 128 + the signal.
inline constexpr int kExitDiskFull = 3;

// A number of bytes as file managers show it, in decimal units with three significant digits at
// most: "512 bytes", "700 kB", "2.1 MB", "1.25 GB". Rounded up when up is true (a size needed),
// else down (a size reached), so that neither reads as within a limit it is not. Both programs
// write the sizes of a size limit this way.
inline std::string DecimalSizeText(std::int64_t bytes, bool up) {
    if (bytes < 1000) {
        return std::to_string(bytes < 0 ? 0 : bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    struct Unit {
        std::int64_t size;
        const char* name;
    };
    static constexpr Unit kUnits[] = {{1000, "kB"}, {1000000, "MB"}, {1000000000, "GB"}};
    std::size_t unit = 0;
    while (unit + 1 < std::size(kUnits) && bytes >= kUnits[unit + 1].size) {
        ++unit;
    }
    std::int64_t scale = 1;
    std::int64_t scaled = 0;
    for (;;) {
        const std::int64_t whole = bytes / kUnits[unit].size;
        scale = whole < 10 ? 100 : whole < 100 ? 10 : 1;
        const std::int64_t product = bytes * scale;
        scaled = product / kUnits[unit].size;
        if (up && product % kUnits[unit].size != 0) {
            ++scaled;
        }
        // 999.6 kB rounded up is 1 MB.
        if (scaled < 1000 * scale || unit + 1 == std::size(kUnits)) {
            break;
        }
        ++unit;
        bytes = kUnits[unit].size;
    }
    std::string text = std::to_string(scaled / scale);
    if (scale > 1) {
        std::string fraction = std::to_string(scale + scaled % scale).substr(1);
        while (!fraction.empty() && fraction.back() == '0') {
            fraction.pop_back();
        }
        if (!fraction.empty()) {
            text += "." + fraction;
        }
    }
    return text + " " + kUnits[unit].name;
}

struct DeviceLimits {
    double fps = 0.0; // 0: no limit
    int channels = 0;
    int sampleRate = 0;
    int videoKbps = 0;
    int audioKbps = 0;
    int h264Profile = 0; // profile_idc: 77 Main, 100 High; 0: Constrained Baseline
    int h264Level = 0;   // level times ten (31, 41); 0: the encoder's own choice

    bool Any() const {
        return fps > 0.0 || channels > 0 || sampleRate > 0 || videoKbps > 0 || audioKbps > 0 ||
               h264Profile > 0 || h264Level > 0;
    }
};

inline std::string FormatDeviceLimits(const DeviceLimits& limits) {
    std::string text;
    const auto add = [&text](const char* name, long value) {
        if (value > 0) {
            text += (text.empty() ? "" : ",") + std::string(name) + "=" + std::to_string(value);
        }
    };
    add("fps", static_cast<long>(limits.fps));
    add("channels", limits.channels);
    add("samplerate", limits.sampleRate);
    add("vkbps", limits.videoKbps);
    add("akbps", limits.audioKbps);
    add("profile", limits.h264Profile);
    add("level", limits.h264Level);
    return text;
}

inline DeviceLimits ParseDeviceLimits(std::string_view text) {
    DeviceLimits limits;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view pair = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        const size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view name = pair.substr(0, equals);
        const std::string_view digits = pair.substr(equals + 1);
        long value = 0;
        bool valid = !digits.empty() && digits.size() <= 7;
        for (char c : digits) {
            valid = valid && c >= '0' && c <= '9';
            value = value * 10 + (c - '0');
        }
        if (!valid || value <= 0) {
            continue;
        }
        const int number = static_cast<int>(value);
        if (name == "fps") {
            limits.fps = static_cast<double>(number);
        } else if (name == "channels") {
            limits.channels = number;
        } else if (name == "samplerate") {
            limits.sampleRate = number;
        } else if (name == "vkbps") {
            limits.videoKbps = number;
        } else if (name == "akbps") {
            limits.audioKbps = number;
        } else if (name == "profile") {
            limits.h264Profile = number;
        } else if (name == "level") {
            limits.h264Level = number;
        }
    }
    return limits;
}

} // namespace kestrelvx
