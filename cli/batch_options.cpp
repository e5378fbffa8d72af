#include "cli/batch_options.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>
#include <thread>

#include "cli/clock_value.h"
#include "cli/device_limits.h"
#include "cli/option_values.h"
#include "cli/target_size.h"
#include "profiles/catalogue.h"

namespace cli {

namespace {

// Largest frame side and bit rate the options take; beyond them no encoder run makes sense.
constexpr int kMaxSide = 8192;
constexpr int kMaxKbps = 100000;

struct OptionInfo {
    const char* szName;
    bool bTakesValue;
};

constexpr std::array<OptionInfo, 22> kOptions = {{
    {"format", true},   {"standard", true},      {"size", true},          {"device", true},
    {"rate", true},     {"video-bitrate", true}, {"vbr", false},          {"max", true},
    {"min", true},      {"channels", true},      {"audio-bitrate", true}, {"sample-rate", true},
    {"start", true},    {"end", true},           {"output", true},        {"json", false},
    {"jobs", true},     {"resume", false},       {"list-devices", false}, {"help", false},
    {"version", false}, {"target-size", true},
}};

const OptionInfo* FindOption(std::string_view name) {
    for (const OptionInfo& option : kOptions) {
        if (name == option.szName) {
            return &option;
        }
    }
    return nullptr;
}

// The options as given: name -> value (the last one counts when an option is repeated).
using RawOptions = std::map<std::string, std::string, std::less<>>;

bool Refuse(std::string& strError, const std::string& message) {
    strError = message;
    return false;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Splits the arguments into options and files; refuses unknown options and missing values.
bool ScanArguments(const std::vector<std::string>& args, RawOptions& raw,
                   std::vector<std::string>& files, std::string& strError) {
    bool bOnlyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (bOnlyFiles || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            bOnlyFiles = true;
            continue;
        }
        if (arg == "-h") {
            raw["help"] = "";
            continue;
        }
        if (arg == "-V") {
            raw["version"] = "";
            continue;
        }
        if (arg.compare(0, 2, "--") != 0) {
            return Refuse(strError, "unknown option " + Quoted(arg) + " (see --help)");
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
        const OptionInfo* option = FindOption(name);
        if (option == nullptr) {
            return Refuse(strError, "unknown option " + Quoted("--" + name) + " (see --help)");
        }
        if (!option->bTakesValue) {
            if (equals != std::string::npos) {
                return Refuse(strError, "--" + name + " takes no value");
            }
            raw[name] = "";
        } else if (equals != std::string::npos) {
            raw[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            raw[name] = args[++i];
        } else {
            return Refuse(strError, "--" + name + " needs a value (see --help)");
        }
    }
    return true;
}

// A list setting: the position of the value, or a refusal naming the values the list holds.
bool TakePosition(const RawOptions& raw, const char* szName,
                  std::optional<int> (*lookup)(std::string_view), const std::string& strChoices,
                  int& nPosition, std::string& strError) {
    const auto found = raw.find(szName);
    if (found == raw.end()) {
        return true;
    }
    const auto position = lookup(found->second);
    if (!position) {
        return Refuse(strError, "--" + std::string(szName) + " " + Quoted(found->second) +
                                    " is not offered; choose one of " + strChoices);
    }
    nPosition = *position;
    return true;
}

// A size of the table is chosen from the list; any other is typed into the fields.
void ChooseFrameSize(profiles::ConversionSettings& settings, int nWidth, int nHeight) {
    if (const auto position = SizePositionBySize(nWidth, nHeight)) {
        settings.OnSizeChoiceChanged(*position);
    } else {
        settings.m_strWidth = std::to_string(nWidth);
        settings.m_strHeight = std::to_string(nHeight);
    }
}

bool TakeSize(const RawOptions& raw, BatchRequest& request, std::string& strError) {
    profiles::ConversionSettings& settings = request.settings;
    const auto size = raw.find("size");
    const auto device = raw.find("device");
    if (size != raw.end() && device != raw.end()) {
        return Refuse(strError, "--size and --device both set the frame size; give only one");
    }
    if (device != raw.end()) {
        const DeviceProfile* profile = DeviceByLabel(device->second);
        const DeviceFrame frame = profile != nullptr ? FrameOf(*profile) : DeviceFrame{};
        if (frame.nWidth == 0) {
            return Refuse(strError, "unknown device " + Quoted(device->second) +
                                        " (--list-devices shows the devices)");
        }
        ChooseFrameSize(settings, frame.nWidth, frame.nHeight);
        if (const auto refusal =
                DeviceRefusal(*profile, settings.m_nFormat, frame.nWidth, frame.nHeight)) {
            return Refuse(strError, *refusal);
        }
        request.deviceLimits = LimitsFor(*profile, settings.m_nFormat);
    }
    if (size != raw.end()) {
        const std::string& text = size->second;
        const std::size_t x = text.find_first_of("xX");
        const auto width = ParsePositive(text.substr(0, x), kMaxSide);
        const auto height =
            x == std::string::npos ? std::nullopt : ParsePositive(text.substr(x + 1), kMaxSide);
        if (!width || !height) {
            return Refuse(strError, "--size " + Quoted(text) +
                                        " is not a frame size; write WIDTHxHEIGHT, for example "
                                        "640x480, each side 1 to " +
                                        std::to_string(kMaxSide));
        }
        if (*width % 2 != 0 || *height % 2 != 0) {
            return Refuse(strError, "--size " + Quoted(text) +
                                        ": the encoder needs an even width and height");
        }
        ChooseFrameSize(settings, *width, *height);
    }
    return true;
}

bool TakeVariableBitRate(const RawOptions& raw, profiles::ConversionSettings& settings,
                         std::string& strError) {
    const bool bVbr = raw.contains("vbr");
    std::optional<int> limits[2];
    const char* names[2] = {"max", "min"};
    for (int i = 0; i < 2; ++i) {
        const auto found = raw.find(names[i]);
        if (found == raw.end()) {
            continue;
        }
        if (!bVbr) {
            return Refuse(strError, "--" + std::string(names[i]) + " needs --vbr");
        }
        limits[i] = ParsePositive(found->second, kMaxKbps);
        if (!limits[i]) {
            return Refuse(strError, "--" + std::string(names[i]) + " " + Quoted(found->second) +
                                        " is not a bit rate; give kbit/s from 1 to " +
                                        std::to_string(kMaxKbps));
        }
    }
    if (limits[0] && limits[1] && *limits[1] > *limits[0]) {
        return Refuse(strError, "--min must not be above --max");
    }
    // The encoder would lower the bit rate to --max or raise it to --min: say so before anything
    // runs instead.
    if (const auto rate = profiles::VideoBitRateAt(settings.m_nVideoBitRatePos)) {
        if (limits[0] && *limits[0] < *rate) {
            return Refuse(strError, "--max " + std::to_string(*limits[0]) +
                                        " is below the --video-bitrate of " +
                                        std::to_string(*rate) +
                                        "; give a --max of at least that or a lower bit rate");
        }
        if (limits[1] && *limits[1] > *rate) {
            return Refuse(strError, "--min " + std::to_string(*limits[1]) +
                                        " is above the --video-bitrate of " +
                                        std::to_string(*rate) +
                                        "; give a --min of at most that or a higher bit rate");
        }
    }
    settings.OnVariableBitRateToggled(bVbr);
    settings.m_strMaxRate = limits[0] ? std::to_string(*limits[0]) : std::string();
    settings.m_strMinRate = limits[1] ? std::to_string(*limits[1]) : std::string();
    return true;
}

bool TakeFormat(const RawOptions& raw, profiles::ConversionSettings& settings,
                std::string& strError) {
    if (const auto found = raw.find("format"); found != raw.end()) {
        const auto format = FormatByName(found->second);
        if (!format) {
            return Refuse(strError, "unknown format " + Quoted(found->second) + "; choose one of " +
                                        FormatNames());
        }
        if (!profiles::FormatHasConversionPath(*format)) {
            return Refuse(strError,
                          std::string("the format ") +
                              profiles::kFormats[static_cast<std::size_t>(*format)].szButtonText +
                              " has no conversion path; choose one of " + FormatNames());
        }
        settings.m_nFormat = *format;
    }
    const bool bTarget = !profiles::FormatTargetName(settings.m_nFormat).empty();
    if (const auto found = raw.find("standard"); found != raw.end()) {
        if (!bTarget) {
            return Refuse(strError, "--standard applies only to the dvd, vcd, svcd and dv formats");
        }
        const auto standard = StandardByName(found->second);
        if (!standard) {
            return Refuse(strError, "unknown standard " + Quoted(found->second) +
                                        "; choose one of ntsc, pal, film");
        }
        settings.m_nStandard = *standard;
    }
    if (bTarget) {
        // These formats carry their own frame and audio settings; nothing else is read for them.
        for (const char* name : {"size", "device", "rate", "video-bitrate", "vbr", "max", "min",
                                 "channels", "audio-bitrate", "sample-rate", "target-size"}) {
            if (raw.contains(name)) {
                return Refuse(strError, "--" + std::string(name) + " does not apply to the " +
                                            raw.at("format") + " format, which sets its own " +
                                            "video and audio settings");
            }
        }
    }
    return true;
}

bool TakeSegment(const RawOptions& raw, BatchRequest& request, std::string& strError) {
    for (const char* name : {"start", "end"}) {
        const auto found = raw.find(name);
        if (found == raw.end()) {
            continue;
        }
        const auto seconds = ParseClockText(found->second);
        if (!seconds) {
            return Refuse(strError, "--" + std::string(name) + " " + Quoted(found->second) +
                                        " is not a time; give seconds (95) or HH:MM:SS (00:01:35)");
        }
        (name[0] == 's' ? request.start : request.end) = *seconds;
    }
    if (request.end && *request.end <= request.start.value_or(0)) {
        return Refuse(strError, "--end must come after --start");
    }
    return true;
}

// --target-size sets the video bit rate itself, so none may be given with it.
bool TakeTargetSize(const RawOptions& raw, BatchRequest& request, std::string& strError) {
    const auto found = raw.find("target-size");
    if (found == raw.end()) {
        return true;
    }
    for (const char* name : {"video-bitrate", "vbr"}) {
        if (raw.contains(name)) {
            return Refuse(strError, "--target-size sets the video bit rate itself; leave out --" +
                                        std::string(name));
        }
    }
    request.targetBytes = ParseTargetSize(found->second);
    if (!request.targetBytes) {
        return Refuse(strError, "--target-size " + Quoted(found->second) +
                                    " is not a size from 1K to 1000G; give it with its unit, for "
                                    "example 25M, 8MB or 700K (decimal: 1M is 1000000 bytes)");
    }
    return true;
}

bool TakeJobs(const RawOptions& raw, BatchRequest& request, std::string& strError) {
    const auto found = raw.find("jobs");
    if (found == raw.end()) {
        return true;
    }
    if (found->second == "auto") {
        request.nJobs = kJobsAuto;
        return true;
    }
    const auto jobs = ParsePositive(found->second, kMaxJobs);
    if (!jobs) {
        return Refuse(strError, "--jobs " + Quoted(found->second) +
                                    " is not a number of encoders; give 1 to " +
                                    std::to_string(kMaxJobs) + " or auto");
    }
    request.nJobs = *jobs;
    return true;
}

} // namespace

int EncodersAtOnce(int nJobs, int nFiles) {
    int n = nJobs;
    if (n == kJobsAuto) {
        n = static_cast<int>(std::thread::hardware_concurrency());
    }
    return std::max(1, std::min(n, std::max(nFiles, 1)));
}

bool ParseBatchOptions(const std::vector<std::string>& args, BatchRequest& request,
                       std::string& strError) {
    request = BatchRequest{};
    RawOptions raw;
    if (!ScanArguments(args, raw, request.files, strError)) {
        return false;
    }
    if (raw.contains("help")) {
        request.action = BatchAction::Help;
        return true;
    }
    if (raw.contains("version")) {
        request.action = BatchAction::Version;
        return true;
    }
    if (raw.contains("list-devices")) {
        request.action = BatchAction::ListDevices;
        return true;
    }

    profiles::ConversionSettings& settings = request.settings;
    if (!TakeFormat(raw, settings, strError) || !TakeSize(raw, request, strError) ||
        !TakePosition(raw, "rate", FrameRatePosition, FrameRateNames(), settings.m_nFrameRatePos,
                      strError) ||
        !TakePosition(raw, "video-bitrate", VideoBitRatePosition, VideoBitRateNames(),
                      settings.m_nVideoBitRatePos, strError) ||
        !TakeVariableBitRate(raw, settings, strError) ||
        !TakePosition(raw, "channels", ChannelsPosition, "1 (mono), 2 (stereo)",
                      settings.m_nChannelsPos, strError) ||
        !TakePosition(raw, "audio-bitrate", AudioBitRatePosition, AudioBitRateNames(),
                      settings.m_nAudioBitRatePos, strError) ||
        !TakePosition(raw, "sample-rate", SampleRatePosition, SampleRateNames(),
                      settings.m_nSampleRatePos, strError) ||
        !TakeSegment(raw, request, strError) || !TakeTargetSize(raw, request, strError) ||
        !TakeJobs(raw, request, strError)) {
        return false;
    }
    if (const auto found = raw.find("output"); found != raw.end()) {
        if (found->second.empty()) {
            return Refuse(strError, "--output needs a folder");
        }
        request.strOutputFolder = found->second;
    }
    request.bJson = raw.contains("json");
    request.bResume = raw.contains("resume");
    if (request.files.empty()) {
        return Refuse(strError, "no files to convert (see --help)");
    }
    return true;
}

} // namespace cli
