#pragma once
// The options of a conversion command, checked and turned into typed values.
#include <string>

#include "kestrelvx/arguments.h"

namespace kestrelvx {

enum class VideoCodec { Mpeg4Simple, H264 };

struct ConversionSettings {
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

    int width = 0; // 0: the source's size (rounded down to even numbers)
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
};

// Checks every value of the command and fills settings. False with a one-line reason when a
// value is out of range, malformed or does not fit with the others.
bool ReadConversionSettings(const CommandLine& command, ConversionSettings& settings,
                            std::string& reason);

} // namespace kestrelvx
