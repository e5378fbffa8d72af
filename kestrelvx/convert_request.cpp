#include "kestrelvx/convert_request.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace kestrelvx {
namespace {

constexpr int kMinKbps = 8;
constexpr int kMaxVideoKbps = 100000;
constexpr int kMaxAudioKbps = 512;
constexpr double kMinRate = 1.0;
constexpr double kMaxRate = 120.0;
constexpr int kMaxChannels = 8;
// AAC's sample rates.
constexpr std::array<int, 12> kSampleRates = {8000,  11025, 12000, 16000, 22050, 24000,
                                              32000, 44100, 48000, 64000, 88200, 96000};
constexpr std::array<std::string_view, 3> kStandards = {"ntsc", "pal", "film"};
constexpr std::array<std::string_view, 4> kDiscs = {"dvd", "vcd", "svcd", "dv"};

bool AllDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// A whole decimal number within [low, high].
bool ParseInt(std::string_view text, int low, int high, int& value) {
    if (!AllDigits(text) || text.size() > 9) {
        return false;
    }
    const long parsed = std::strtol(std::string(text).c_str(), nullptr, 10);
    if (parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

// Digits with an optional fraction: "12", "12.5".
bool IsDecimal(std::string_view text) {
    const size_t dot = text.find('.');
    if (dot == std::string_view::npos) {
        return AllDigits(text);
    }
    return AllDigits(text.substr(0, dot)) && AllDigits(text.substr(dot + 1));
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string Extension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return Lower(path.substr(dot + 1));
}

bool ReadSize(const std::string& text, ConvertRequest& request, std::string& reason) {
    const size_t x = text.find('x');
    int width = 0;
    int height = 0;
    // One side may be left out ("720x", "x480"): it then follows the picture's shape.
    const std::string widthText = x == std::string::npos ? text : text.substr(0, x);
    const std::string heightText = x == std::string::npos ? std::string() : text.substr(x + 1);
    if (x == std::string::npos || (widthText.empty() && heightText.empty()) ||
        (!widthText.empty() && !ParseInt(widthText, 1, 1000000, width)) ||
        (!heightText.empty() && !ParseInt(heightText, 1, 1000000, height))) {
        reason = "-s '" + text + "' is not a size written WIDTHxHEIGHT";
        return false;
    }
    // Encoders take even sides only: odd ones are rounded down.
    width &= ~1;
    height &= ~1;
    const auto outside = [](int side) { return side != 0 && (side < kMinSide || side > kMaxSide); };
    if (outside(width) || outside(height)) {
        reason = "-s " + text + " is outside " + std::to_string(kMinSide) + "x" +
                 std::to_string(kMinSide) + " to " + std::to_string(kMaxSide) + "x" +
                 std::to_string(kMaxSide);
        return false;
    }
    request.width = width;
    request.height = height;
    return true;
}

// The NTSC rates 14.985, 23.976, 29.970 (and their multiples) are the exact fractions
// N*1000/1001; other rates go to FFmpeg as thousandths.
bool ReadFrameRate(const std::string& text, ConvertRequest& request, std::string& reason) {
    if (!IsDecimal(text) || text.size() > 12) {
        reason = "-r '" + text + "' is not a frame rate";
        return false;
    }
    const double rate = std::strtod(text.c_str(), nullptr);
    if (rate < kMinRate || rate > kMaxRate) {
        reason = "-r " + text + " is outside 1 to 120 frames per second";
        return false;
    }
    for (int base : {15, 24, 30, 48, 60, 120}) {
        const double ntsc = base * 1000.0 / 1001.0;
        if (std::fabs(rate - ntsc) < 0.002) {
            request.frameRate = std::to_string(base * 1000) + "/1001";
            return true;
        }
    }
    const long thousandths = std::lround(rate * 1000.0);
    if (thousandths % 1000 == 0) {
        request.frameRate = std::to_string(thousandths / 1000);
    } else {
        request.frameRate = std::to_string(thousandths) + "/1000";
    }
    return true;
}

bool ReadKbps(const CommandLine& command, const char* name, int high, int& value,
              std::string& reason) {
    const auto found = command.options.find(name);
    if (found == command.options.end()) {
        return true;
    }
    if (!ParseInt(found->second, kMinKbps, high, value)) {
        reason = std::string("-") + name + " '" + found->second + "' is not a bit rate from " +
                 std::to_string(kMinKbps) + " to " + std::to_string(high) + " kbit/s";
        return false;
    }
    return true;
}

bool ReadSeconds(const CommandLine& command, const char* name, bool mayBeZero, std::string& value,
                 std::string& reason) {
    const auto found = command.options.find(name);
    if (found == command.options.end()) {
        return true;
    }
    const std::string& text = found->second;
    const bool valid = IsDecimal(text) && text.size() <= 16;
    if (!valid || (!mayBeZero && std::strtod(text.c_str(), nullptr) <= 0.0)) {
        reason = std::string("-") + name + " '" + text + "' is not a " +
                 (mayBeZero ? "position" : "length greater than 0") + " in seconds";
        return false;
    }
    value = text;
    return true;
}

bool ReadTarget(const std::string& text, ConvertRequest& request, std::string& reason) {
    const size_t dash = text.find('-');
    bool known = false;
    if (dash != std::string::npos) {
        const std::string_view standard = std::string_view(text).substr(0, dash);
        const std::string_view disc = std::string_view(text).substr(dash + 1);
        bool standardKnown = false;
        for (std::string_view s : kStandards) {
            standardKnown = standardKnown || s == standard;
        }
        for (std::string_view d : kDiscs) {
            known = known || (standardKnown && d == disc);
        }
    }
    if (!known) {
        reason = "-target '" + text +
                 "' is not one of ntsc-, pal- or film- with dvd, vcd, svcd "
                 "or dv";
        return false;
    }
    request.target = text;
    return true;
}

bool ReadOutputKind(const CommandLine& command, ConvertRequest& request, std::string& reason) {
    const auto codec = command.options.find("vcodec");
    if (codec != command.options.end() && codec->second != "xvid" && codec->second != "h264") {
        reason = "-vcodec '" + codec->second + "' is not xvid or h264";
        return false;
    }
    const std::string extension = Extension(request.output);
    if (extension == "mp4" || extension == "m4v") {
        request.container = "mp4";
    } else if (extension == "mov") {
        request.container = "mov";
    } else {
        reason =
            "cannot write '" + extension + "' files: the output must end in .mp4, .m4v or .mov";
        return false;
    }
    // The application writes "-vcodec xvid" for its MPEG-4 format and its H.264 format alike
    // and tells them apart by the output file alone: a .mov output is the H.264 format.
    const bool h264 =
        (codec != command.options.end() && codec->second == "h264") || request.container == "mov";
    request.codec = h264 ? VideoCodec::H264 : VideoCodec::Mpeg4Simple;
    return true;
}

// Limits that contradict each other are made to fit, the way a user who typed them most likely
// meant: the highest rate is a cap, the lowest a floor.
void FitRates(ConvertRequest& request) {
    const auto kbps = [](int value) { return std::to_string(value) + " kbit/s"; };
    if (request.minKbps > 0 && request.maxKbps > 0 && request.minKbps > request.maxKbps) {
        request.notes.push_back("-maxrate " + kbps(request.maxKbps) + " is below -minrate " +
                                kbps(request.minKbps) + "; -maxrate raised to " +
                                kbps(request.minKbps));
        request.maxKbps = request.minKbps;
    }
    int& average = request.videoKbps > 0 ? request.videoKbps : request.toleranceKbps;
    if (average > 0 && request.maxKbps > 0 && average > request.maxKbps) {
        request.notes.push_back("the video bit rate " + kbps(average) + " is above -maxrate " +
                                kbps(request.maxKbps) + "; lowered to " + kbps(request.maxKbps));
        average = request.maxKbps;
    }
    if (average > 0 && request.minKbps > 0 && average < request.minKbps) {
        request.notes.push_back("the video bit rate " + kbps(average) + " is below -minrate " +
                                kbps(request.minKbps) + "; raised to " + kbps(request.minKbps));
        average = request.minKbps;
    }
}

bool ReadCodecOptions(const CommandLine& command, ConvertRequest& request, std::string& reason) {
    const auto& options = command.options;
    if (!ReadOutputKind(command, request, reason)) {
        return false;
    }
    if (const auto size = options.find("s");
        size != options.end() && !ReadSize(size->second, request, reason)) {
        return false;
    }
    if (const auto rate = options.find("r");
        rate != options.end() && !ReadFrameRate(rate->second, request, reason)) {
        return false;
    }
    if (!ReadKbps(command, "b", kMaxVideoKbps, request.videoKbps, reason) ||
        !ReadKbps(command, "bt", kMaxVideoKbps, request.toleranceKbps, reason) ||
        !ReadKbps(command, "maxrate", kMaxVideoKbps, request.maxKbps, reason) ||
        !ReadKbps(command, "minrate", kMaxVideoKbps, request.minKbps, reason) ||
        !ReadKbps(command, "ab", kMaxAudioKbps, request.audioKbps, reason)) {
        return false;
    }
    FitRates(request);
    if (const auto channels = options.find("ac");
        channels != options.end() &&
        !ParseInt(channels->second, 1, kMaxChannels, request.channels)) {
        reason = "-ac '" + channels->second + "' is not a channel count from 1 to " +
                 std::to_string(kMaxChannels);
        return false;
    }
    if (const auto rate = options.find("ar"); rate != options.end()) {
        int value = 0;
        bool known = false;
        if (ParseInt(rate->second, 1, 1000000, value)) {
            for (int allowed : kSampleRates) {
                known = known || allowed == value;
            }
        }
        if (!known) {
            reason = "-ar '" + rate->second + "' is not a sample rate AAC can carry";
            return false;
        }
        request.sampleRate = value;
    }
    return true;
}

// The size limit a batch program sets: whole bytes, at least one kilobyte. Absent or empty: none.
bool ReadTargetSize(ConvertRequest& request, std::string& reason) {
    const char* text = std::getenv(kTargetSizeVariable);
    if (text == nullptr || text[0] == '\0') {
        return true;
    }
    constexpr int64_t kLeastBytes = 1000;
    const std::string_view digits = text;
    if (!AllDigits(digits) || digits.size() > 15 || std::strtoll(text, nullptr, 10) < kLeastBytes) {
        reason = std::string(kTargetSizeVariable) + " '" + text +
                 "' is not a size limit in bytes of at least " + std::to_string(kLeastBytes);
        return false;
    }
    request.targetBytes = std::strtoll(text, nullptr, 10);
    return true;
}

// A size limit decides the video bit rate; a rate or a limit of it given as well contradicts it.
bool CheckTargetSize(const CommandLine& command, const ConvertRequest& request,
                     std::string& reason) {
    if (request.targetBytes == 0) {
        return true;
    }
    if (!request.target.empty()) {
        reason = "a size limit does not apply to -target " + request.target +
                 ", whose bit rates are fixed";
        return false;
    }
    for (const char* rate : {"b", "bt", "maxrate", "minrate"}) {
        if (command.options.count(rate) != 0) {
            reason = std::string("-") + rate +
                     " cannot be combined with a size limit, which sets the video bit rate";
            return false;
        }
    }
    return true;
}

} // namespace

bool ReadConvertRequest(const CommandLine& command, ConvertRequest& request, std::string& reason) {
    request.input = command.input;
    request.output = command.output;
    request.overwrite = command.overwrite;
    if (const char* limits = std::getenv(kLimitsVariable); limits != nullptr) {
        request.limits = ParseDeviceLimits(limits);
    }
    const auto& options = command.options;
    if (const auto title = options.find("title"); title != options.end()) {
        request.hasTitle = true;
        request.title = title->second;
    }
    if (!ReadSeconds(command, "ss", true, request.start, reason) ||
        !ReadSeconds(command, "t", false, request.duration, reason) ||
        !ReadTargetSize(request, reason)) {
        return false;
    }
    if (const auto target = options.find("target"); target != options.end()) {
        // A standard disc output fixes its codecs, size, rate and bit rates itself.
        for (const char* other :
             {"vcodec", "s", "r", "b", "bt", "maxrate", "minrate", "ac", "ab", "ar"}) {
            if (options.count(other) != 0) {
                reason = std::string("-target cannot be combined with -") + other;
                return false;
            }
        }
        return ReadTarget(target->second, request, reason) &&
               CheckTargetSize(command, request, reason);
    }
    return ReadCodecOptions(command, request, reason) && CheckTargetSize(command, request, reason);
}

} // namespace kestrelvx
