#pragma once
// The options of a conversion command, checked and turned into typed values.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/encoder_channel.h"
#include "kestrelvx/arguments.h"

namespace kestrelvx {

// The frame sides a command may ask for, and the encoder's frames never leave.
constexpr int kMinSide = 16;
constexpr int kMaxSide = 4096;

enum class VideoCodec { Mpeg4Simple, H264 };

struct ConvertRequest {
    std::string input;
    std::string output;
    bool overwrite = false;
    bool hasTitle = false;
    std::string title;

    // "pal-dvd", "ntsc-vcd", ...; empty when the output is an MPEG-4 or H.264 file.
    std::string target;
    // For MPEG-4 and H.264 outputs: the container ("mp4" or "mov") and the video codec.
    std::string container;
    VideoCodec codec = VideoCodec::Mpeg4Simple;

    // Both 0: the source's size (rounded down to even numbers). One of them 0 ("-s 720x"): that
    // side follows from the other and the picture's shape.
    int width = 0;
    int height = 0;
    std::string frameRate; // as FFmpeg takes it ("30000/1001", "25"); empty: the source's rate
    int videoKbps = 0;     // "-b"
    int toleranceKbps = 0; // "-bt": variable bit rate around this rate
    int maxKbps = 0;
    int minKbps = 0;
    int channels = 0;
    int audioKbps = 0;
    int sampleRate = 0;

    std::string start;    // seconds as given, "" for the beginning
    std::string duration; // seconds as given, "" for up to the end

    // The limits of the device the batch program converts for (none from the window).
    DeviceLimits limits;
    // The most bytes the output may hold (the batch program's size limit), 0 for no limit.
    int64_t targetBytes = 0;
    // What was changed in the options so that they fit together, one sentence each.
    std::vector<std::string> notes;
};

// Checks every value of the command and fills the request. False with a one-line reason when a
// value is out of range or malformed. Variable bit rate limits that do not fit together are
// adjusted, each with a note: a bit rate above -maxrate is lowered to it, one below -minrate raised
// to it, and a -minrate above -maxrate raises -maxrate to it. A size limit (KESTRELVX_TARGET_SIZE)
// sets the bit rates itself: it is refused with a video bit rate or its limits, and for a disc.
bool ReadConvertRequest(const CommandLine& command, ConvertRequest& request, std::string& reason);

} // namespace kestrelvx
