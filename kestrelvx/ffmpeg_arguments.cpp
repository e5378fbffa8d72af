#include "kestrelvx/ffmpeg_arguments.h"

#include <algorithm>

namespace kestrelvx {
namespace {

// Quality-based defaults for "Keep Original": FFmpeg's own default bit rate is far too low.
constexpr const char* kMpeg4Quality = "3";
constexpr const char* kH264Quality = "23";

std::string Kbps(int kbps) {
    return std::to_string(kbps) + "k";
}

void Add(std::vector<std::string>& args, std::initializer_list<std::string> words) {
    args.insert(args.end(), words);
}

// The picture size that leaves the encoder: the size asked for, else the source's rounded down
// to even sides.
void OutputSize(const ConversionSettings& settings, const MediaFacts& source, int& width,
                int& height) {
    width = settings.width;
    height = settings.height;
    if (width == 0 || height == 0) {
        const StreamFacts* video = source.MainVideo();
        width = video != nullptr ? video->width & ~1 : 0;
        height = video != nullptr ? video->height & ~1 : 0;
    }
}

void AddVideoRate(const ConversionSettings& settings, std::vector<std::string>& args) {
    const bool anyRate = settings.videoKbps > 0 || settings.toleranceKbps > 0 ||
                         settings.maxKbps > 0 || settings.minKbps > 0;
    if (settings.codec == VideoCodec::H264) {
        // libx264 keeps its constant quality under a -maxrate cap; -b and -bt set a target.
        const int average = settings.videoKbps > 0 ? settings.videoKbps : settings.toleranceKbps;
        if (average > 0) {
            Add(args, {"-b:v", Kbps(average)});
        } else {
            Add(args, {"-crf", kH264Quality});
        }
    } else if (!anyRate) {
        Add(args, {"-q:v", kMpeg4Quality});
    } else {
        // The MPEG-4 encoder holds limits only in bit-rate mode: the average is the rate
        // given, else the maximum, else the minimum.
        int average = settings.videoKbps;
        for (int candidate : {settings.toleranceKbps, settings.maxKbps, settings.minKbps}) {
            average = average > 0 ? average : candidate;
        }
        Add(args, {"-b:v", Kbps(average)});
    }
    if (settings.toleranceKbps > 0) {
        Add(args, {"-bt", Kbps(settings.toleranceKbps)});
    }
    if (settings.maxKbps > 0) {
        // A limit is kept over a buffer; two seconds at the maximum rate.
        Add(args, {"-maxrate", Kbps(settings.maxKbps), "-bufsize", Kbps(settings.maxKbps * 2)});
    }
    if (settings.minKbps > 0) {
        Add(args, {"-minrate", Kbps(settings.minKbps)});
    }
}

void AddVideo(const ConversionSettings& settings, const MediaFacts& source,
              std::vector<std::string>& args) {
    int width = 0;
    int height = 0;
    OutputSize(settings, source, width, height);
    if (settings.codec == VideoCodec::H264) {
        // Constrained Baseline plays on every labelled player.
        Add(args, {"-c:v", "libx264", "-profile:v", "baseline"});
    } else {
        // MPEG-4 Part 2 Simple Profile (profile 0) has no B-frames.
        const int peak =
            std::max(settings.videoKbps, std::max(settings.toleranceKbps, settings.maxKbps));
        Add(args, {"-c:v", "mpeg4", "-profile:v", "0", "-bf", "0"});
        if (width > 0 && height > 0) {
            Add(args, {"-level:v", std::to_string(Mpeg4SimpleLevel(width, height, peak))});
        }
    }
    Add(args, {"-pix_fmt", "yuv420p"});
    if (settings.width > 0 && settings.height > 0) {
        Add(args, {"-vf", "scale=" + std::to_string(settings.width) + ":" +
                              std::to_string(settings.height)});
    } else {
        Add(args, {"-vf", "scale=trunc(iw/2)*2:trunc(ih/2)*2"});
    }
    if (!settings.frameRate.empty()) {
        Add(args, {"-r", settings.frameRate});
    }
    AddVideoRate(settings, args);
}

void AddAudio(const ConversionSettings& settings, std::vector<std::string>& args) {
    Add(args, {"-c:a", "aac", "-profile:a", "aac_low"});
    if (settings.channels > 0) {
        Add(args, {"-ac", std::to_string(settings.channels)});
    }
    if (settings.audioKbps > 0) {
        Add(args, {"-b:a", Kbps(settings.audioKbps)});
    }
    if (settings.sampleRate > 0) {
        Add(args, {"-ar", std::to_string(settings.sampleRate)});
    }
}

} // namespace

int Mpeg4SimpleLevel(int width, int height, int kbps) {
    struct Level {
        int level;
        int macroblocks;
        int kbps;
    };
    static constexpr Level kLevels[] = {{1, 99, 64},     {2, 396, 128},   {3, 396, 384},
                                        {4, 1200, 4000}, {5, 1620, 8000}, {6, 3600, 12000}};
    const int macroblocks = ((width + 15) / 16) * ((height + 15) / 16);
    for (const Level& level : kLevels) {
        if (macroblocks <= level.macroblocks && kbps <= level.kbps) {
            return level.level;
        }
    }
    return 6;
}

std::vector<std::string> BuildFfmpegArguments(const ConversionSettings& settings,
                                              const MediaFacts& source) {
    std::vector<std::string> args = {
        "ffmpeg",        "-hide_banner", "-nostdin",  "-nostats",
        "-loglevel",     "error",        "-progress", "pipe:" + std::to_string(kProgressDescriptor),
        "-stats_period", "0.25"};
    if (!settings.start.empty()) {
        Add(args, {"-ss", settings.start});
    }
    // The "file:" prefix keeps any name a plain file name ("pipe:1", "concat:a|b", "x:y").
    Add(args, {"-protocol_whitelist", "file", "-i", "file:" + settings.input});
    if (!settings.duration.empty()) {
        Add(args, {"-t", settings.duration});
    }
    Add(args, {"-sn", "-dn"});
    if (!settings.target.empty()) {
        Add(args, {"-target", settings.target});
    } else {
        AddVideo(settings, source, args);
        AddAudio(settings, args);
        Add(args, {"-movflags", "+faststart", "-f", settings.container});
    }
    if (settings.hasTitle) {
        Add(args, {"-metadata", "title=" + settings.title});
    }
    Add(args, {settings.overwrite ? "-y" : "-n", "file:" + settings.output});
    return args;
}

} // namespace kestrelvx
