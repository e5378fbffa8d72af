#pragma once
// What FFmpeg's libraries learn about an input: container, duration, streams.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct AVFormatContext;

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
    // Video: how the container's display matrix shows the stored picture, turned clockwise by
    // 0, 90, 180 or 270 degrees and mirrored or not (ffmpeg shows it so when it decodes).
    int displayTurn = 0;
    bool displayMirrored = false;
    // Video: the colour tags as FFmpeg names them ("bt2020", "smpte2084", "bt2020nc"), empty when
    // not tagged, and the bits of each sample.
    std::string primaries;
    std::string transfer;
    std::string matrix;
    bool fullRange = false;
    int bitDepth = 0;
    // Subtitle: text (SRT, ASS, WebVTT, mov_text, ...) that can be decoded; or pictures (DVD,
    // Blu-ray, DVB subtitles).
    bool textSubtitle = false;
    bool pictureSubtitle = false;
    int channels = 0; // audio only
    int sampleRate = 0;

    // Video shown turned by a quarter: its width is shown as its height.
    bool SidesSwapped() const { return displayTurn == 90 || displayTurn == 270; }
    // Video in high dynamic range: PQ (SMPTE ST 2084) or HLG (ARIB STD-B67).
    bool IsHdr() const { return transfer == "smpte2084" || transfer == "arib-std-b67"; }
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

    // The video stream marked as the default, else the first one; cover art never; or nullptr.
    const StreamFacts* MainVideo() const;
    // The audio stream marked as the default, else the first one, or nullptr.
    const StreamFacts* MainAudio() const;
    // A picture rather than a video: an image format, or one video frame without any audio.
    bool IsStillImage() const;
};

// Opens path as a plain file (no other protocol: a name such as "http:x" or "concat:a|b" stays a
// file name) and reads its stream information. FFmpeg's error code (below 0) on failure; the
// caller closes the context with avformat_close_input.
int OpenMediaFile(const std::string& path, AVFormatContext** context);

// Opens path (as a plain file; no other protocol) and reads its facts. On failure, reason is
// one line naming the file ("<path>: Invalid data found when processing input").
bool ReadMediaFacts(const std::string& path, MediaFacts& facts, std::string& reason);

} // namespace kestrelvx
