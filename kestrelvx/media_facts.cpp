#include "kestrelvx/media_facts.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/display.h>
#include <libavutil/error.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
}

namespace kestrelvx {
namespace {

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, text, sizeof text) < 0) {
        return "cannot be read";
    }
    return text;
}

// A rate as the encoder's report shows it: "25", "29.97".
std::string RateText(AVRational rate) {
    const double value = av_q2d(rate);
    const long hundredths = std::lround(value * 100.0);
    char text[32];
    if (hundredths % 100 != 0) {
        std::snprintf(text, sizeof text, "%.2f", value);
    } else {
        std::snprintf(text, sizeof text, "%ld", hundredths / 100);
    }
    return text;
}

bool UsableRate(AVRational rate) {
    return rate.num > 0 && rate.den > 0;
}

std::string Language(const AVStream* stream) {
    const AVDictionaryEntry* tag = av_dict_get(stream->metadata, "language", nullptr, 0);
    if (tag == nullptr || tag->value == nullptr) {
        return "und";
    }
    std::string language = tag->value;
    if (language.empty() || language.size() > 8) {
        return "und";
    }
    for (char c : language) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
        if (!letter) {
            return "und";
        }
    }
    return language;
}

void Append(std::string& text, const std::string& part) {
    if (part.empty()) {
        return;
    }
    if (!text.empty()) {
        text += ", ";
    }
    text += part;
}

std::string BitRateText(int64_t bitRate) {
    if (bitRate <= 0) {
        return {};
    }
    return std::to_string(bitRate / 1000) + " kb/s";
}

int Sign(int32_t value) {
    return value > 0 ? 1 : (value < 0 ? -1 : 0);
}

// The display matrix maps a stored pixel (x, y) to (a*x + c*y, b*x + d*y) on the screen (y
// downwards); its nearest quarter turn, with or without a mirror, is how the picture is shown.
void ReadDisplayMatrix(const AVStream* stream, StreamFacts& facts) {
    size_t size = 0;
    const uint8_t* data = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (data == nullptr || size < 9 * sizeof(int32_t)) {
        return;
    }
    int32_t matrix[9];
    std::memcpy(matrix, data, sizeof matrix);
    const int32_t a = matrix[0];
    const int32_t b = matrix[1];
    const int32_t c = matrix[3];
    const int32_t d = matrix[4];
    const double straight = std::fabs(static_cast<double>(a)) + std::fabs(static_cast<double>(d));
    const double turned = std::fabs(static_cast<double>(b)) + std::fabs(static_cast<double>(c));
    if (straight >= turned) {
        // Upright, upside down, mirrored left-right or top-bottom (a mirror and a half turn).
        const int sa = Sign(a);
        const int sd = Sign(d);
        facts.displayMirrored = sa * sd < 0;
        facts.displayTurn = sd < 0 ? 180 : 0;
    } else {
        // A quarter turn: clockwise when the stored top goes to the right (c < 0), and mirrored
        // (left-right before the turn) when b and c have the same sign.
        facts.displayMirrored = Sign(b) * Sign(c) > 0;
        facts.displayTurn = c < 0 ? 90 : 270;
    }
}

// FFmpeg's name of a colour tag, empty when the stream leaves it open.
std::string TagName(const char* name) {
    if (name == nullptr || std::strcmp(name, "unknown") == 0 ||
        std::strcmp(name, "unspecified") == 0 || std::strcmp(name, "reserved") == 0) {
        return {};
    }
    return name;
}

void ReadColour(const AVCodecParameters* par, StreamFacts& facts) {
    facts.primaries = TagName(av_color_primaries_name(par->color_primaries));
    facts.transfer = TagName(av_color_transfer_name(par->color_trc));
    facts.matrix = TagName(av_color_space_name(par->color_space));
    facts.fullRange = par->color_range == AVCOL_RANGE_JPEG;
    const AVPixFmtDescriptor* pixel = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(par->format));
    facts.bitDepth = pixel != nullptr ? pixel->comp[0].depth : 0;
}

std::string DescribeVideo(const AVStream* stream, StreamFacts& facts) {
    const AVCodecParameters* par = stream->codecpar;
    std::string text = avcodec_get_name(par->codec_id);
    const char* pixel = av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format));
    if (pixel != nullptr) {
        Append(text, pixel);
    }
    if (par->width > 0 && par->height > 0) {
        Append(text, std::to_string(par->width) + "x" + std::to_string(par->height));
        facts.width = par->width;
        facts.height = par->height;
    }
    Append(text, BitRateText(par->bit_rate));
    if (UsableRate(stream->avg_frame_rate)) {
        Append(text, RateText(stream->avg_frame_rate) + " fps");
    }
    if (UsableRate(stream->r_frame_rate)) {
        Append(text, RateText(stream->r_frame_rate) + " tbr");
    }
    if ((stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) {
        text += " (attached pic)";
        facts.attachedPicture = true;
    }
    switch (par->field_order) {
    case AV_FIELD_TT:
    case AV_FIELD_BB:
    case AV_FIELD_TB:
    case AV_FIELD_BT:
        facts.interlaced = true;
        break;
    default:
        break;
    }
    AVRational sar = stream->sample_aspect_ratio;
    if (sar.num <= 0 || sar.den <= 0) {
        sar = par->sample_aspect_ratio;
    }
    if (sar.num > 0 && sar.den > 0) {
        facts.sarNum = sar.num;
        facts.sarDen = sar.den;
    }
    const AVRational rate =
        UsableRate(stream->avg_frame_rate) ? stream->avg_frame_rate : stream->r_frame_rate;
    facts.frameRate = UsableRate(rate) ? av_q2d(rate) : 0.0;
    facts.rateNum = UsableRate(rate) ? rate.num : 0;
    facts.rateDen = UsableRate(rate) ? rate.den : 0;
    facts.frames = stream->nb_frames > 0 ? stream->nb_frames : 0;
    ReadDisplayMatrix(stream, facts);
    ReadColour(par, facts);
    return text;
}

std::string DescribeAudio(const AVStream* stream, StreamFacts& facts) {
    const AVCodecParameters* par = stream->codecpar;
    facts.channels = par->ch_layout.nb_channels > 0 ? par->ch_layout.nb_channels : 0;
    facts.sampleRate = par->sample_rate > 0 ? par->sample_rate : 0;
    std::string text = avcodec_get_name(par->codec_id);
    if (par->sample_rate > 0) {
        Append(text, std::to_string(par->sample_rate) + " Hz");
    }
    if (par->ch_layout.nb_channels > 0) {
        // A count without an order (a plain WAV file) is shown as its usual layout: "mono".
        AVChannelLayout shown{};
        if (par->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&shown, par->ch_layout.nb_channels);
        } else {
            av_channel_layout_copy(&shown, &par->ch_layout);
        }
        char layout[128] = {};
        if (av_channel_layout_describe(&shown, layout, sizeof layout) > 0) {
            Append(text, layout);
        }
        av_channel_layout_uninit(&shown);
    }
    const char* sample = av_get_sample_fmt_name(static_cast<AVSampleFormat>(par->format));
    if (sample != nullptr) {
        Append(text, sample);
    }
    Append(text, BitRateText(par->bit_rate));
    return text;
}

StreamFacts DescribeStream(const AVStream* stream) {
    StreamFacts facts;
    facts.index = stream->index;
    facts.language = Language(stream);
    facts.isDefault = (stream->disposition & AV_DISPOSITION_DEFAULT) != 0;
    switch (stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        facts.kind = StreamKind::Video;
        facts.description = DescribeVideo(stream, facts);
        break;
    case AVMEDIA_TYPE_AUDIO:
        facts.kind = StreamKind::Audio;
        facts.description = DescribeAudio(stream, facts);
        break;
    case AVMEDIA_TYPE_SUBTITLE: {
        facts.kind = StreamKind::Subtitle;
        const AVCodecID id = stream->codecpar->codec_id;
        facts.description = avcodec_get_name(id);
        const AVCodecDescriptor* codec = avcodec_descriptor_get(id);
        facts.pictureSubtitle = codec != nullptr && (codec->props & AV_CODEC_PROP_BITMAP_SUB) != 0;
        facts.textSubtitle = codec != nullptr && (codec->props & AV_CODEC_PROP_TEXT_SUB) != 0 &&
                             !facts.pictureSubtitle && avcodec_find_decoder(id) != nullptr;
        break;
    }
    case AVMEDIA_TYPE_DATA:
        facts.kind = StreamKind::Data;
        facts.description = avcodec_get_name(stream->codecpar->codec_id);
        break;
    case AVMEDIA_TYPE_ATTACHMENT:
        facts.kind = StreamKind::Attachment;
        facts.description = avcodec_get_name(stream->codecpar->codec_id);
        break;
    default:
        facts.kind = StreamKind::Unknown;
        facts.description = "unknown";
        break;
    }
    return facts;
}

void CollectFacts(const AVFormatContext* context, MediaFacts& facts) {
    facts.formatName = context->iformat != nullptr ? context->iformat->name : "unknown";
    if (context->duration != AV_NOPTS_VALUE && context->duration >= 0) {
        facts.hasDuration = true;
        facts.durationUs = context->duration;
    }
    if (context->start_time != AV_NOPTS_VALUE) {
        facts.hasStart = true;
        facts.startUs = context->start_time;
    }
    facts.bitRate = context->bit_rate > 0 ? context->bit_rate : 0;
    const AVDictionaryEntry* tag = nullptr;
    while ((tag = av_dict_get(context->metadata, "", tag, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        facts.metadata.emplace_back(tag->key != nullptr ? tag->key : "",
                                    tag->value != nullptr ? tag->value : "");
    }
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        facts.streams.push_back(DescribeStream(context->streams[i]));
    }
}

} // namespace

const StreamFacts* MediaFacts::MainVideo() const {
    const StreamFacts* first = nullptr;
    for (const StreamFacts& stream : streams) {
        if (stream.kind != StreamKind::Video || stream.attachedPicture) {
            continue;
        }
        if (stream.isDefault) {
            return &stream;
        }
        first = first != nullptr ? first : &stream;
    }
    return first;
}

const StreamFacts* MediaFacts::MainAudio() const {
    const StreamFacts* first = nullptr;
    for (const StreamFacts& stream : streams) {
        if (stream.kind != StreamKind::Audio) {
            continue;
        }
        if (stream.isDefault) {
            return &stream;
        }
        first = first != nullptr ? first : &stream;
    }
    return first;
}

bool MediaFacts::IsStillImage() const {
    const StreamFacts* video = MainVideo();
    if (video == nullptr || MainAudio() != nullptr) {
        return false;
    }
    const std::string& name = formatName;
    const bool imageFormat =
        name == "image2" || (name.size() > 5 && name.compare(name.size() - 5, 5, "_pipe") == 0);
    return imageFormat || video->frames == 1 || (!hasDuration && video->frameRate <= 0.0);
}

int OpenMediaFile(const std::string& path, AVFormatContext** context) {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    // The "file:" prefix keeps a name such as "http:x" or "concat:a|b" a plain file name.
    int rc = avformat_open_input(context, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (rc < 0) {
        return rc;
    }
    rc = avformat_find_stream_info(*context, nullptr);
    if (rc < 0) {
        avformat_close_input(context);
    }
    return rc;
}

bool ReadMediaFacts(const std::string& path, MediaFacts& facts, std::string& reason) {
    // A named pipe or a device would block the open or never end; only plain files are media.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        reason = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = path + ": not a regular file";
        return false;
    }
    AVFormatContext* context = nullptr;
    const int rc = OpenMediaFile(path, &context);
    if (rc < 0) {
        reason = path + ": " + ErrorText(rc);
        return false;
    }
    CollectFacts(context, facts);
    avformat_close_input(&context);
    return true;
}

} // namespace kestrelvx
