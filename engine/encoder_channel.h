#pragma once
// What lumicast-batch and Kestrelvx agree on beyond the command line: two environment values that
// a batch program sets for the encoders it starts. The window sets neither, so for it nothing
// changes.
//
// KESTRELVX_LIMITS: the limits of the device a batch converts for, as "name=value" pairs joined by
//   commas: "fps=30,channels=2,samplerate=48000,vkbps=768,akbps=160". A setting the command line
//   leaves at the source's value ("Keep Original") is held within these limits; a setting the
//   command line gives is taken as given. Unknown names and malformed values are ignored.
// KESTRELVX_NOTES: a file to which the encoder appends the lines that say why a conversion failed
//   or what it changed ("error: ...", "note: ..."), the same lines it writes to its output after
//   "Kestrelvx: ". The batch program reads and empties it after each file.
#include <string>
#include <string_view>

namespace kestrelvx {

inline constexpr const char* kLimitsVariable = "KESTRELVX_LIMITS";
inline constexpr const char* kNotesVariable = "KESTRELVX_NOTES";

// The encoder's exit status when the output could not be written because the disk is full (or
// the file size limit it runs under was reached). Other failures end with 1, a refused command
// line with 2, a stop asked by a signal with 128 + the signal.
inline constexpr int kExitDiskFull = 3;

struct DeviceLimits {
    double fps = 0.0; // 0: no limit
    int channels = 0;
    int sampleRate = 0;
    int videoKbps = 0;
    int audioKbps = 0;

    bool Any() const {
        return fps > 0.0 || channels > 0 || sampleRate > 0 || videoKbps > 0 || audioKbps > 0;
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
        }
    }
    return limits;
}

} // namespace kestrelvx
