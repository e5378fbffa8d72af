// FFmpeg's libraries, loaded the first time Kestrelvx calls one of their functions. Linking them
// would load them at every start, with the hundred and more libraries they need (the codecs,
// their helpers): about 25 ms before main() on every run, although a conversion whose source was
// probed before (kestrelvx/facts_cache.h) and whose output is an MP4 or MOV file
// (kestrelvx/written_streams.h) never calls them. Each function Kestrelvx uses is defined here
// under its own name and passes the call on to the library's function, found on first use.
// A function used elsewhere must be added here too (the link fails until it is).
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
}

#include "kestrelvx/console.h"

namespace {

#define KESTRELVX_SONAME(name, major) "lib" name ".so." AV_STRINGIFY(major)

enum class Library { Util, Codec, Format };

// The log level asked for; applied when the libraries are loaded, or at once when they are.
int g_nLogLevel = AV_LOG_INFO;
bool g_bLogLevelAsked = false;
bool g_bLoaded = false;

using SetLogLevel = void (*)(int);

void* Handle(Library library) {
    static void* const s_handles[] = {
        dlopen(KESTRELVX_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL),
        dlopen(KESTRELVX_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL),
        dlopen(KESTRELVX_SONAME("avformat", LIBAVFORMAT_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL),
    };
    return s_handles[static_cast<int>(library)];
}

void* Resolve(Library library, const char* szName) {
    void* const handle = Handle(library);
    void* const function = handle != nullptr ? dlsym(handle, szName) : nullptr;
    if (function == nullptr) {
        const char* szWhy = dlerror();
        kestrelvx::PrintError(std::string("FFmpeg's libraries cannot be loaded: ") +
                              (szWhy != nullptr ? szWhy : szName));
        _exit(1);
    }
    if (!g_bLoaded) {
        // The libraries' own messages would break the report's single write.
        g_bLoaded = true;
        if (g_bLogLevelAsked) {
            av_log_set_level(g_nLogLevel);
        }
    }
    return function;
}

template <class Function> Function Find(Library library, const char* szName) {
    return reinterpret_cast<Function>(Resolve(library, szName));
}

} // namespace

extern "C" {

void av_log_set_level(int level) {
    g_nLogLevel = level;
    g_bLogLevelAsked = true;
    if (g_bLoaded) {
        if (void* set = dlsym(Handle(Library::Util), "av_log_set_level")) {
            reinterpret_cast<SetLogLevel>(set)(level);
        }
    }
}

int av_strerror(int errnum, char* errbuf, size_t errbuf_size) {
    static const auto real = Find<decltype(&av_strerror)>(Library::Util, "av_strerror");
    return real(errnum, errbuf, errbuf_size);
}

AVDictionaryEntry* av_dict_get(const AVDictionary* m, const char* key,
                               const AVDictionaryEntry* prev, int flags) {
    static const auto real = Find<decltype(&av_dict_get)>(Library::Util, "av_dict_get");
    return real(m, key, prev, flags);
}

int av_dict_set(AVDictionary** pm, const char* key, const char* value, int flags) {
    static const auto real = Find<decltype(&av_dict_set)>(Library::Util, "av_dict_set");
    return real(pm, key, value, flags);
}

void av_dict_free(AVDictionary** m) {
    static const auto real = Find<decltype(&av_dict_free)>(Library::Util, "av_dict_free");
    real(m);
}

const char* av_get_pix_fmt_name(enum AVPixelFormat pix_fmt) {
    static const auto real =
        Find<decltype(&av_get_pix_fmt_name)>(Library::Util, "av_get_pix_fmt_name");
    return real(pix_fmt);
}

const char* av_get_sample_fmt_name(enum AVSampleFormat sample_fmt) {
    static const auto real =
        Find<decltype(&av_get_sample_fmt_name)>(Library::Util, "av_get_sample_fmt_name");
    return real(sample_fmt);
}

int av_channel_layout_copy(AVChannelLayout* dst, const AVChannelLayout* src) {
    static const auto real =
        Find<decltype(&av_channel_layout_copy)>(Library::Util, "av_channel_layout_copy");
    return real(dst, src);
}

void av_channel_layout_default(AVChannelLayout* ch_layout, int nb_channels) {
    static const auto real =
        Find<decltype(&av_channel_layout_default)>(Library::Util, "av_channel_layout_default");
    real(ch_layout, nb_channels);
}

int av_channel_layout_describe(const AVChannelLayout* channel_layout, char* buf, size_t buf_size) {
    static const auto real =
        Find<decltype(&av_channel_layout_describe)>(Library::Util, "av_channel_layout_describe");
    return real(channel_layout, buf, buf_size);
}

void av_channel_layout_uninit(AVChannelLayout* channel_layout) {
    static const auto real =
        Find<decltype(&av_channel_layout_uninit)>(Library::Util, "av_channel_layout_uninit");
    real(channel_layout);
}

const char* avcodec_get_name(enum AVCodecID id) {
    static const auto real = Find<decltype(&avcodec_get_name)>(Library::Codec, "avcodec_get_name");
    return real(id);
}

int avformat_open_input(AVFormatContext** ps, const char* url, const AVInputFormat* fmt,
                        AVDictionary** options) {
    static const auto real =
        Find<decltype(&avformat_open_input)>(Library::Format, "avformat_open_input");
    return real(ps, url, fmt, options);
}

int avformat_find_stream_info(AVFormatContext* ic, AVDictionary** options) {
    static const auto real =
        Find<decltype(&avformat_find_stream_info)>(Library::Format, "avformat_find_stream_info");
    return real(ic, options);
}

void avformat_close_input(AVFormatContext** s) {
    static const auto real =
        Find<decltype(&avformat_close_input)>(Library::Format, "avformat_close_input");
    real(s);
}

const char* av_color_primaries_name(enum AVColorPrimaries primaries) {
    static const auto real =
        Find<decltype(&av_color_primaries_name)>(Library::Util, "av_color_primaries_name");
    return real(primaries);
}

const char* av_color_transfer_name(enum AVColorTransferCharacteristic transfer) {
    static const auto real =
        Find<decltype(&av_color_transfer_name)>(Library::Util, "av_color_transfer_name");
    return real(transfer);
}

const char* av_color_space_name(enum AVColorSpace space) {
    static const auto real =
        Find<decltype(&av_color_space_name)>(Library::Util, "av_color_space_name");
    return real(space);
}

const AVPixFmtDescriptor* av_pix_fmt_desc_get(enum AVPixelFormat pix_fmt) {
    static const auto real =
        Find<decltype(&av_pix_fmt_desc_get)>(Library::Util, "av_pix_fmt_desc_get");
    return real(pix_fmt);
}

int64_t av_rescale_q(int64_t a, AVRational bq, AVRational cq) {
    static const auto real = Find<decltype(&av_rescale_q)>(Library::Util, "av_rescale_q");
    return real(a, bq, cq);
}

const AVCodecDescriptor* avcodec_descriptor_get(enum AVCodecID id) {
    static const auto real =
        Find<decltype(&avcodec_descriptor_get)>(Library::Codec, "avcodec_descriptor_get");
    return real(id);
}

const AVCodec* avcodec_find_decoder(enum AVCodecID id) {
    static const auto real =
        Find<decltype(&avcodec_find_decoder)>(Library::Codec, "avcodec_find_decoder");
    return real(id);
}

AVPacket* av_packet_alloc(void) {
    static const auto real = Find<decltype(&av_packet_alloc)>(Library::Codec, "av_packet_alloc");
    return real();
}

void av_packet_free(AVPacket** pkt) {
    static const auto real = Find<decltype(&av_packet_free)>(Library::Codec, "av_packet_free");
    real(pkt);
}

void av_packet_unref(AVPacket* pkt) {
    static const auto real = Find<decltype(&av_packet_unref)>(Library::Codec, "av_packet_unref");
    real(pkt);
}

int av_read_frame(AVFormatContext* s, AVPacket* pkt) {
    static const auto real = Find<decltype(&av_read_frame)>(Library::Format, "av_read_frame");
    return real(s, pkt);
}

int avformat_seek_file(AVFormatContext* s, int stream_index, int64_t min_ts, int64_t ts,
                       int64_t max_ts, int flags) {
    static const auto real =
        Find<decltype(&avformat_seek_file)>(Library::Format, "avformat_seek_file");
    return real(s, stream_index, min_ts, ts, max_ts, flags);
}

uint8_t* av_stream_get_side_data(const AVStream* stream, enum AVPacketSideDataType type,
                                 size_t* size) {
    static const auto real =
        Find<decltype(&av_stream_get_side_data)>(Library::Format, "av_stream_get_side_data");
    return real(stream, type, size);
}

} // extern "C"
