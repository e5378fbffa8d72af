#include "kestrelvx/seek_point.h"

#include <algorithm>

extern "C" {
#include <libavcodec/packet.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

namespace kestrelvx {
namespace {

constexpr int64_t kFirstLeadUs = 1000000;
// Key frames further apart than this are met by decoding from the beginning.
constexpr int64_t kMostLeadUs = 64000000;
// Packets read after one seek at most, whatever the streams hold.
constexpr int kMostPackets = 200000;

// Whether ffmpeg, seeking as it does to fromUs, reads a key frame of stream shown at or before
// toUs (both on the container's clock, in microseconds).
bool MeetsKeyFrame(AVFormatContext* context, const AVStream* stream, int64_t fromUs, int64_t toUs) {
    if (avformat_seek_file(context, -1, INT64_MIN, fromUs, fromUs, 0) < 0) {
        return false;
    }
    const int64_t limit = av_rescale_q(toUs, AV_TIME_BASE_Q, stream->time_base);
    AVPacket* packet = av_packet_alloc();
    bool met = false;
    for (int read = 0; packet != nullptr && !met && read < kMostPackets; ++read) {
        if (av_read_frame(context, packet) < 0) {
            break;
        }
        if (packet->stream_index == stream->index) {
            const int64_t shown = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            const int64_t decoded = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
            if (decoded != AV_NOPTS_VALUE && decoded > limit) {
                av_packet_unref(packet);
                break;
            }
            met =
                (packet->flags & AV_PKT_FLAG_KEY) != 0 && shown != AV_NOPTS_VALUE && shown <= limit;
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return met;
}

} // namespace

int64_t SeekLeadUs(const std::string& path, const MediaFacts& facts, int64_t startUs) {
    const StreamFacts* video = facts.MainVideo();
    if (video == nullptr || startUs <= 0) {
        return 0;
    }
    AVFormatContext* context = nullptr;
    if (OpenMediaFile(path, &context) < 0) {
        return 0;
    }
    if (video->index < 0 || static_cast<unsigned>(video->index) >= context->nb_streams) {
        avformat_close_input(&context);
        return 0;
    }
    const AVStream* stream = context->streams[video->index];
    // ffmpeg counts a start from the container's first time stamp.
    const int64_t origin = context->start_time != AV_NOPTS_VALUE ? context->start_time : 0;
    int64_t lead = 0;
    while (lead < startUs && lead <= kMostLeadUs &&
           !MeetsKeyFrame(context, stream, origin + startUs - lead, origin + startUs)) {
        lead = lead == 0 ? kFirstLeadUs : lead * 2;
    }
    avformat_close_input(&context);
    return lead <= kMostLeadUs ? std::min(lead, startUs) : startUs;
}

} // namespace kestrelvx
