#pragma once
// What FFmpeg's libraries learn about an input: container, duration, streams.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrelvx {

enum class StreamKind { Video, Audio, Subtitle, Data, Attachment, Unknown };

struct StreamFacts {
    int index = 0;
    StreamKind kind = StreamKind::Unknown;
    std::string language;    // "und" when the stream has no usable language tag
    std::string description; // "h264, yuv420p, 640x480, 25 tbr", "aac, 44100 Hz, stereo, ..."
    int width = 0;           // video only
    int height = 0;
    bool attachedPicture = false; // cover art stored as a one-picture video stream
    bool isDefault = false;       // the container marks the stream as the one to play
    bool interlaced = false;      // video whose field order says its frames hold two fields
    int sarNum = 0;               // video: the shape of one pixel, 0 when not declared
    int sarDen = 0;
    double frameRate = 0.0; // video: frames per second, 0 when unknown
    int rateNum = 0;        // the same rate as a fraction, 0 when unknown
    int rateDen = 0;
    int64_t frames = 0; // video: frames the container counts, 0 when unknown
    int channels = 0;   // audio only
    int sampleRate = 0;
};

struct MediaFacts {
    std::string formatName; // "avi", "mov,mp4,m4a,3gp,3g2,mj2", ...
    bool hasDuration = false;
    int64_t durationUs = 0;
    bool hasStart = false;
    int64_t startUs = 0;
    int64_t bitRate = 0; // bit/s, 0 when unknown
    std::vector<std::pair<std::string, std::string>> metadata;
    std::vector<StreamFacts> streams;

    // The first real video stream (not cover art), or nullptr.
    const StreamFacts* MainVideo() const;
    // The audio stream marked as the default, else the first one, or nullptr.
    const StreamFacts* MainAudio() const;
    // A picture rather than a video: an image format, or one video frame without any audio.
    bool IsStillImage() const;
};

// Opens path (as a plain file; no other protocol) and reads its facts. On failure, reason is
// one line naming the file ("<path>: Invalid data found when processing input").
bool ReadMediaFacts(const std::string& path, MediaFacts& facts, std::string& reason);

} // namespace kestrelvx
