#include "cli/device_limits.h"

#include <array>

#include "cli/option_values.h"
#include "profiles/catalogue.h"

namespace cli {

namespace {

// MPEG-4 Simple Profile at 640x480 and 2.5 Mbit/s, AAC-LC at 160 kbit/s, 48 kHz, stereo, 30 fps
// on every model. H.264 (Baseline, as the encoder writes it): 768 kbit/s at 320x240 (level 1.3)
// on the iPod nano, 2.5 Mbit/s (level 3.0) on the iPhone 3GS, and level 3.1's 14 Mbit/s (720p)
// on the iPhone 4 and the iPad.
// The devices of today, for any phone of the last ten years: the "1080p phone" plays H.264 High
// Profile level 4.1 at 1920x1080 and 30 fps (Apple's iPhones since the iPhone 5) at the 20 Mbit/s
// Android's compatibility definition asks for 1080p; the "720p phone" Main Profile level 3.1 at
// 1280x720 and 30 fps, which every Android phone must play, at its 8 Mbit/s for 720p. MPEG-4 as
// on the older models.
constexpr std::array<DeviceProfile, 8> kDevices = {{
    {"iPod nano", 0, 0, 0, 0, 768, 2500, 640, 480, 30, 160, 2, 48000},
    {"iPhone 3GS", 0, 0, 0, 0, 2500, 2500, 640, 480, 30, 160, 2, 48000},
    {"iPhone4", 0, 0, 0, 0, 14000, 2500, 640, 480, 30, 160, 2, 48000},
    {"iPhone4 H.264", 0, 0, 0, 0, 14000, 2500, 640, 480, 30, 160, 2, 48000},
    {"iPad1/2", 0, 0, 0, 0, 14000, 2500, 640, 480, 30, 160, 2, 48000},
    {"iPad1/2 Best", 0, 0, 0, 0, 14000, 2500, 640, 480, 30, 160, 2, 48000},
    {"1080p phone", 1920, 1080, 100, 41, 20000, 2500, 640, 480, 30, 160, 2, 48000},
    {"720p phone", 1280, 720, 77, 31, 8000, 2500, 640, 480, 30, 160, 2, 48000},
}};

} // namespace

const DeviceProfile* DeviceByLabel(std::string_view text) {
    for (const DeviceProfile& device : kDevices) {
        if (SameText(device.szLabel, text)) {
            return &device;
        }
    }
    return nullptr;
}

std::span<const DeviceProfile> Devices() {
    return kDevices;
}

DeviceFrame FrameOf(const DeviceProfile& device) {
    if (device.nWidth > 0 && device.nHeight > 0) {
        return {device.nWidth, device.nHeight};
    }
    const auto position = SizePositionByDevice(device.szLabel);
    const auto frame = position ? profiles::FrameSizeAt(*position) : std::nullopt;
    return frame ? DeviceFrame{frame->nWidth, frame->nHeight} : DeviceFrame{};
}

kestrelvx::DeviceLimits LimitsFor(const DeviceProfile& device, int nFormat) {
    kestrelvx::DeviceLimits limits;
    limits.fps = static_cast<double>(device.nMaxFps);
    limits.channels = device.nChannels;
    limits.sampleRate = device.nSampleRate;
    limits.videoKbps = nFormat == profiles::kFormatH264 ? device.nH264Kbps : device.nMpeg4Kbps;
    limits.audioKbps = device.nAudioKbps;
    if (nFormat == profiles::kFormatH264) {
        limits.h264Profile = device.nH264Profile;
        limits.h264Level = device.nH264Level;
    }
    return limits;
}

std::optional<std::string> DeviceRefusal(const DeviceProfile& device, int nFormat, int nWidth,
                                         int nHeight) {
    if (nFormat != profiles::kFormatMpeg4 ||
        (nWidth <= device.nMpeg4Width && nHeight <= device.nMpeg4Height)) {
        return std::nullopt;
    }
    return "the " + std::string(device.szLabel) + " plays MPEG-4 only up to " +
           std::to_string(device.nMpeg4Width) + "x" + std::to_string(device.nMpeg4Height) +
           ", not " + std::to_string(nWidth) + "x" + std::to_string(nHeight) +
           "; add --format mov for H.264";
}

} // namespace cli
