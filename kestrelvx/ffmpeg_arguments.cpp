#include "kestrelvx/ffmpeg_arguments.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "kestrelvx/subtitle_tracks.h"
#include "kestrelvx/tone_map.h"

namespace kestrelvx {
namespace {

// Quality-based defaults for "Keep Original": FFmpeg's own default bit rate is far too low.
constexpr const char* kMpeg4Quality = "3";
constexpr const char* kH264Quality = "23";
constexpr int kDefaultAudioKbps = 128;
// Deinterlacing keeps the frame rate: each frame becomes one progressive frame.
constexpr const char* kDeinterlace = "bwdif=mode=send_frame:parity=auto:deint=all";

std::string Kbps(int kbps) {
    return std::to_string(kbps) + "k";
}

void Add(std::vector<std::string>& args, std::initializer_list<std::string> words) {
    args.insert(args.end(), words);
}

void Add(std::vector<std::string>& args, const std::vector<std::string>& words) {
    args.insert(args.end(), words.begin(), words.end());
}

int EvenNearest(double value) {
    const long even = 2 * std::lround(value / 2.0);
    return static_cast<int>(std::clamp<long>(even, kMinSide, kMaxSide));
}

// Width over height of the picture as it is meant to be seen, turned as its display matrix says
// (ffmpeg turns the frames before the filters see them); square pixels when the source declares
// no pixel shape.
double DisplayAspect(const StreamFacts& video) {
    if (video.width <= 0 || video.height <= 0) {
        return 4.0 / 3.0;
    }
    double aspect = static_cast<double>(video.width) / static_cast<double>(video.height);
    if (video.sarNum > 0 && video.sarDen > 0) {
        aspect *= static_cast<double>(video.sarNum) / static_cast<double>(video.sarDen);
    }
    return video.SidesSwapped() ? 1.0 / aspect : aspect;
}

const char* H264ProfileName(int profileIdc) {
    switch (profileIdc) {
    case 100:
        return "high";
    case 77:
        return "main";
    default:
        return "baseline";
    }
}

// The coded picture buffer of an H.264 level (ITU-T H.264 Table A-1, MaxCPB in kbit for Baseline
// and Main; High holds 1.25 times as much, Table A-2). A level not listed: no smaller buffer.
int H264LevelBufferKbits(int profileIdc, int level) {
    struct Level {
        int level;
        int cpbKbits;
    };
    static constexpr Level kLevels[] = {{30, 10000}, {31, 14000}, {32, 20000},  {40, 25000},
                                        {41, 62500}, {42, 62500}, {50, 135000}, {51, 240000}};
    for (const Level& entry : kLevels) {
        if (entry.level == level) {
            return profileIdc == 100 ? entry.cpbKbits * 5 / 4 : entry.cpbKbits;
        }
    }
    return std::numeric_limits<int>::max();
}

// The picture filters and the frame size that leaves the encoder.
struct Picture {
    std::string filters;
    int width = 0;
    int height = 0;
};

// The filters between the scaling and the padding: the tone mapping of an HDR picture, after
// the scaling (so that it works on the fewest pixels), which keeps 10 bits for it.
std::string ToneMapAfterScale(const StreamFacts& video) {
    return video.IsHdr() ? ",format=yuv420p10le," + ToneMapFilters(video) : std::string();
}

Picture PlanPicture(const ConvertRequest& request, const StreamFacts& video, bool deinterlace,
                    std::vector<std::string>& notes) {
    Picture picture;
    std::string chain = deinterlace ? std::string(kDeinterlace) + "," : std::string();
    const std::string tone = ToneMapAfterScale(video);
    const double aspect = DisplayAspect(video);
    int width = request.width;
    int height = request.height;
    if (width == 0 && height == 0) {
        // "Keep Original": the source's size as it is shown, its pixel shape kept with it.
        picture.width = (video.SidesSwapped() ? video.height : video.width) & ~1;
        picture.height = (video.SidesSwapped() ? video.width : video.height) & ~1;
        picture.filters = chain + "scale=trunc(iw/2)*2:trunc(ih/2)*2" + tone;
        return picture;
    }
    if (width == 0 || height == 0) {
        if (width == 0) {
            width = EvenNearest(height * aspect);
        } else {
            height = EvenNearest(width / aspect);
        }
        notes.push_back("-s " + (request.width > 0 ? std::to_string(request.width) : "") + "x" +
                        (request.height > 0 ? std::to_string(request.height) : "") +
                        ": the missing side follows the picture's shape, " + std::to_string(width) +
                        "x" + std::to_string(height));
        picture.width = width;
        picture.height = height;
        picture.filters = chain + "scale=" + std::to_string(width) + ":" + std::to_string(height) +
                          tone + ",setsar=1";
        return picture;
    }
    // The whole picture inside the frame, square pixels, black bars on the sides left over.
    int innerWidth = width;
    int innerHeight = height;
    if (aspect > static_cast<double>(width) / height) {
        innerHeight = std::min(height, EvenNearest(width / aspect));
    } else {
        innerWidth = std::min(width, EvenNearest(height * aspect));
    }
    const int left = ((width - innerWidth) / 2) & ~1;
    const int top = ((height - innerHeight) / 2) & ~1;
    picture.width = width;
    picture.height = height;
    picture.filters = chain + "scale=" + std::to_string(innerWidth) + ":" +
                      std::to_string(innerHeight) + tone + ",setsar=1";
    if (innerWidth != width || innerHeight != height) {
        picture.filters += ",pad=" + std::to_string(width) + ":" + std::to_string(height) + ":" +
                           std::to_string(left) + ":" + std::to_string(top) + ":black";
    }
    return picture;
}

void AddVideoRate(const ConvertRequest& request, std::vector<std::string>& args) {
    const bool anyRate = request.videoKbps > 0 || request.toleranceKbps > 0 ||
                         request.maxKbps > 0 || request.minKbps > 0;
    if (request.codec == VideoCodec::H264) {
        // libx264 keeps its constant quality under a -maxrate cap; -b and -bt set a target.
        const int average = request.videoKbps > 0 ? request.videoKbps : request.toleranceKbps;
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
        int average = request.videoKbps;
        for (int candidate : {request.toleranceKbps, request.maxKbps, request.minKbps}) {
            average = average > 0 ? average : candidate;
        }
        Add(args, {"-b:v", Kbps(average)});
    }
    if (request.toleranceKbps > 0) {
        Add(args, {"-bt", Kbps(request.toleranceKbps)});
    }
    if (request.maxKbps > 0) {
        // A limit is kept over a buffer: two seconds at the maximum rate, or the buffer of the
        // H.264 level the device names if that is smaller.
        int bufferKbits = request.maxKbps * 2;
        if (request.codec == VideoCodec::H264 && request.limits.h264Level > 0) {
            bufferKbits = std::min(bufferKbits, H264LevelBufferKbits(request.limits.h264Profile,
                                                                     request.limits.h264Level));
        }
        Add(args, {"-maxrate", Kbps(request.maxKbps), "-bufsize", Kbps(bufferKbits)});
    }
    if (request.minKbps > 0) {
        Add(args, {"-minrate", Kbps(request.minKbps)});
    }
}

// "30000/1001" or "25" as a number.
double RateValue(const std::string& rate) {
    const size_t slash = rate.find('/');
    const double num = std::strtod(rate.c_str(), nullptr);
    const double den =
        slash == std::string::npos ? 1.0 : std::strtod(rate.c_str() + slash + 1, nullptr);
    return den > 0.0 ? num / den : 0.0;
}

// The source's rate divided by the smallest whole number that brings it within the limit
// (60 -> 30, 59.94 -> 29.97, 50 -> 25), as ffmpeg takes it; empty when it is within already.
std::string CappedFrameRate(const StreamFacts& video, double limit) {
    if (limit <= 0.0 || video.rateNum <= 0 || video.rateDen <= 0 ||
        video.frameRate <= limit + 0.01) {
        return {};
    }
    const int divisor = static_cast<int>(std::ceil(video.frameRate / limit - 0.001));
    return std::to_string(video.rateNum) + "/" +
           std::to_string(static_cast<long long>(video.rateDen) * divisor);
}

void AddVideo(ConvertRequest request, const StreamFacts& video, FfmpegPlan& plan) {
    std::vector<std::string>& args = plan.args;
    const DeviceLimits& limits = request.limits;
    const bool deinterlace = video.interlaced;
    if (deinterlace) {
        plan.notes.push_back("the source is interlaced; deinterlaced");
    }
    if (video.IsHdr()) {
        plan.notes.push_back(ToneMapNote(video));
    }
    const Picture picture = PlanPicture(request, video, deinterlace, plan.notes);
    plan.width = picture.width;
    plan.height = picture.height;
    std::string frameRate = request.frameRate;
    if (frameRate.empty()) {
        frameRate = CappedFrameRate(video, limits.fps);
        if (!frameRate.empty()) {
            char text[96];
            std::snprintf(text, sizeof text,
                          "frame rate %.3g fps lowered to %.3g fps for the device", video.frameRate,
                          RateValue(frameRate));
            plan.notes.push_back(text);
        }
    }
    if (limits.videoKbps > 0 && request.videoKbps == 0 && request.toleranceKbps == 0 &&
        request.maxKbps == 0) {
        request.maxKbps = limits.videoKbps;
        request.minKbps = std::min(request.minKbps, request.maxKbps);
    }
    Add(args, {"-map", "0:" + std::to_string(video.index)});
    if (request.codec == VideoCodec::H264) {
        // Constrained Baseline plays on every labelled player; a device of today names its own.
        Add(args, {"-c:v", "libx264", "-profile:v", H264ProfileName(limits.h264Profile)});
        if (limits.h264Level > 0) {
            Add(args, {"-level:v", std::to_string(limits.h264Level / 10) + "." +
                                       std::to_string(limits.h264Level % 10)});
        }
    } else {
        // MPEG-4 Part 2 Simple Profile (profile 0) has no B-frames.
        const int peak =
            std::max(request.videoKbps, std::max(request.toleranceKbps, request.maxKbps));
        Add(args, {"-c:v", "mpeg4", "-profile:v", "0", "-bf", "0"});
        if (picture.width > 0 && picture.height > 0) {
            Add(args, {"-level:v",
                       std::to_string(Mpeg4SimpleLevel(picture.width, picture.height, peak))});
        }
    }
    Add(args, {"-pix_fmt", "yuv420p", "-vf", picture.filters});
    if (video.IsHdr()) {
        Add(args, Bt709Tags());
    }
    if (!frameRate.empty()) {
        Add(args, {"-r", frameRate});
    }
    AddVideoRate(request, args);
}

void AddAudio(const ConvertRequest& request, const StreamFacts& audio, FfmpegPlan& plan) {
    std::vector<std::string>& args = plan.args;
    const DeviceLimits& limits = request.limits;
    Add(args, {"-map", "0:" + std::to_string(audio.index), "-c:a", "aac", "-profile:a", "aac_low"});
    int channels = request.channels;
    if (channels == 0 && limits.channels > 0 && audio.channels > limits.channels) {
        channels = limits.channels;
        plan.notes.push_back(std::to_string(audio.channels) + " audio channels mixed down to " +
                             std::to_string(channels) + " for the device");
    }
    if (channels > 0) {
        Add(args, {"-ac", std::to_string(channels)});
    }
    int kbps = request.audioKbps;
    if (kbps == 0 && limits.audioKbps > 0) {
        kbps = std::min(kDefaultAudioKbps, limits.audioKbps);
    }
    if (kbps > 0) {
        Add(args, {"-b:a", Kbps(kbps)});
    }
    int sampleRate = request.sampleRate;
    if (sampleRate == 0 && limits.sampleRate > 0 && audio.sampleRate > limits.sampleRate) {
        sampleRate = limits.sampleRate;
        plan.notes.push_back("sample rate " + std::to_string(audio.sampleRate) + " Hz lowered to " +
                             std::to_string(sampleRate) + " Hz for the device");
    }
    if (sampleRate > 0) {
        Add(args, {"-ar", std::to_string(sampleRate)});
    }
}

double Seconds(const std::string& text) {
    return text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
}

// Microseconds as ffmpeg takes seconds: "2.500000".
std::string SecondsArgument(int64_t us) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(us) / 1e6);
    return text;
}

// The input with the part of it that is converted, and how long the output should last. The
// options that end the part after the input are output options, for each output: partOptions.
void AddInputAndPart(const ConvertRequest& request, const MediaFacts& source, int64_t seekLeadUs,
                     bool subtitles, FfmpegPlan& plan, std::vector<std::string>& partOptions) {
    std::vector<std::string>& args = plan.args;
    const double start = Seconds(request.start);
    const double sourceSeconds =
        source.hasDuration ? static_cast<double>(source.durationUs) / 1e6 : 0.0;
    // The caller counts whole seconds: an end at or past the source's last whole second means
    // the end of the source, with its last fraction of a second.
    bool limited = !request.duration.empty();
    if (limited && source.hasDuration &&
        start + Seconds(request.duration) >= std::floor(sourceSeconds)) {
        limited = false;
    }
    // Before the input, ffmpeg seeks and decodes from the first key frame it meets, dropping what
    // comes before the seek point; after it, it drops what comes before the start. A seek lands
    // on a key frame where the container has an index; elsewhere it lands before the start by the
    // lead that meets one, and the rest is dropped after the input. Subtitles read after a seek
    // may begin before it (the container hands out the ones still shown); dropped after the
    // input, they are never written before the start, where the muxer would move every later one.
    const int64_t startUs = std::llround(start * 1e6);
    std::string dropAfterInput;
    if (start > 0.0 && seekLeadUs < startUs) {
        const int64_t lead = std::max<int64_t>(0, seekLeadUs);
        Add(args,
            {"-ss", lead == 0 ? request.start : SecondsArgument(startUs - lead), "-accurate_seek"});
        if (lead > 0 || subtitles) {
            dropAfterInput = SecondsArgument(lead);
        }
    } else if (start > 0.0) {
        dropAfterInput = request.start;
    }
    // The "file:" prefix keeps any name a plain file name ("pipe:1", "concat:a|b", "x:y").
    Add(args, {"-protocol_whitelist", "file", "-i", "file:" + request.input});
    if (!dropAfterInput.empty()) {
        Add(partOptions, {"-ss", dropAfterInput});
    }
    if (limited) {
        Add(partOptions, {"-t", request.duration});
    }
    if (source.hasDuration) {
        const double reach =
            limited ? std::min(sourceSeconds, start + Seconds(request.duration)) : sourceSeconds;
        plan.expectedUs = std::max<int64_t>(0, std::llround((reach - start) * 1e6));
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

FfmpegPlan PlanFfmpegRun(const ConvertRequest& request, const MediaFacts& source,
                         int64_t seekLeadUs, const PassOptions& pass) {
    FfmpegPlan plan;
    std::vector<std::string>& args = plan.args;
    args = {
        "ffmpeg",        "-hide_banner", "-nostdin",  "-nostats",
        "-loglevel",     "error",        "-progress", "pipe:" + std::to_string(kProgressDescriptor),
        "-stats_period", "0.25"};
    const SubtitlePlan subtitles = PlanSubtitles(request.container, request.target, source);
    std::vector<std::string> part;
    AddInputAndPart(request, source, seekLeadUs, subtitles.carried > 0, plan, part);
    const StreamFacts* video = source.MainVideo();
    const StreamFacts* audio = source.MainAudio();
    if (!subtitles.note.empty()) {
        plan.notes.push_back(subtitles.note);
    }
    plan.video = video != nullptr;
    plan.audio = audio != nullptr;
    const std::vector<std::string> passArgs =
        pass.pass > 0 && video != nullptr
            ? std::vector<std::string>{"-pass", std::to_string(pass.pass), "-passlogfile",
                                       pass.logPrefix}
            : std::vector<std::string>{};
    if (pass.pass == 1) {
        // The analysis pass: the video into ffmpeg's pass log only, the sound into a file of its
        // own, each over the same part. The video goes through the output's own muxer (into
        // nothing), which decides the frames as in the second pass: the null muxer would pass
        // every frame's time through where MP4 keeps a constant rate, and the second pass would
        // then meet frames the log does not hold.
        if (video != nullptr) {
            Add(args, part);
            Add(args, {"-dn", "-sn", "-an"});
            AddVideo(request, *video, plan);
            Add(args, passArgs);
            Add(args, {"-f", request.container, "-y", "/dev/null"});
        }
        if (audio != nullptr && !pass.soundFile.empty()) {
            Add(args, part);
            Add(args, {"-dn", "-sn", "-vn"});
            AddAudio(request, *audio, plan);
            Add(args, {"-f", "mp4", "-y", "file:" + pass.soundFile});
        }
        return plan;
    }
    Add(args, part);
    Add(args, {"-dn"});
    if (subtitles.carried == 0) {
        Add(args, {"-sn"});
    }
    if (!request.target.empty()) {
        for (const StreamFacts* stream : {video, audio}) {
            if (stream != nullptr) {
                Add(args, {"-map", "0:" + std::to_string(stream->index)});
            }
        }
        Add(args, subtitles.args);
        Add(args, {"-target", request.target});
        if (video != nullptr && video->IsHdr()) {
            // The disc's own size and rate are applied after these filters.
            plan.notes.push_back(ToneMapNote(*video));
            Add(args, {"-vf", ToneMapFilters(*video)});
            Add(args, Bt709Tags());
        }
    } else {
        if (video != nullptr) {
            AddVideo(request, *video, plan);
            Add(args, passArgs);
        }
        if (audio != nullptr) {
            AddAudio(request, *audio, plan);
        }
        Add(args, subtitles.args);
        Add(args, {"-movflags", "+faststart", "-f", request.container});
    }
    if (request.hasTitle) {
        Add(args, {"-metadata", "title=" + request.title});
    }
    Add(args, {request.overwrite ? "-y" : "-n", "file:" + request.output});
    return plan;
}

double OutputFrameRate(const ConvertRequest& request, const StreamFacts& video) {
    if (!request.frameRate.empty()) {
        return RateValue(request.frameRate);
    }
    const std::string capped = CappedFrameRate(video, request.limits.fps);
    return capped.empty() ? video.frameRate : RateValue(capped);
}

} // namespace kestrelvx
