#pragma once
// What each device of --device plays, as its maker publishes it (the README's device table lists
// the sources). With --device, every setting left at "Keep Original" is held within these limits
// by the encoder; the window's "Keep Original" keeps its meaning.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/encoder_channel.h"

namespace cli {

struct DeviceProfile {
    const char* szLabel; // as the frame size list labels it ("iPod nano"), or its own name
    int nWidth;          // its frame size; 0 for the size of the frame size list's row with its
    int nHeight;         // label
    int nH264Profile;    // profile_idc of its H.264 playback (77 Main, 100 High); 0: Baseline
    int nH264Level;      // ... and its level times ten (31, 41); 0: not named
    int nH264Kbps;       // highest video bit rate of its H.264 playback
    int nMpeg4Kbps;      // ... of its MPEG-4 (Simple Profile) playback
    int nMpeg4Width;     // largest MPEG-4 picture it plays
    int nMpeg4Height;
    int nMaxFps;
    int nAudioKbps; // AAC-LC
    int nChannels;
    int nSampleRate;
};

// The device whose label is text (letter case ignored), or nullptr.
const DeviceProfile* DeviceByLabel(std::string_view text);

// Every device --device takes: those of the frame size list, then the devices of today, which
// only lumicast-batch offers.
std::span<const DeviceProfile> Devices();

struct DeviceFrame {
    int nWidth = 0;
    int nHeight = 0;
};
// The frame size the device is converted for.
DeviceFrame FrameOf(const DeviceProfile& device);

// The limits for the encoder when the device gets the format (profiles::kFormatMpeg4 or
// profiles::kFormatH264); the H.264 profile and level with H.264 only.
kestrelvx::DeviceLimits LimitsFor(const DeviceProfile& device, int nFormat);

// Why the device cannot play the format at width x height, or nullopt when it can: MPEG-4 above
// the device's MPEG-4 size, with the hint to use --format mov.
std::optional<std::string> DeviceRefusal(const DeviceProfile& device, int nFormat, int nWidth,
                                         int nHeight);

} // namespace cli
