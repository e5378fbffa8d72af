#include "media/media_components.h"

#include "support/log.h"

#include <gst/gst.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>

namespace media {
namespace {

std::mutex g_hiddenLock;
std::vector<std::string> g_hidden;

std::mutex g_sinkLock;
bool g_bDesktopAudioChecked = false;
bool g_bDesktopAudioWorks = false;

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names;
    std::string current;
    for (const char c : text) {
        if (c == ',' || std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!current.empty()) {
                names.push_back(current);
            }
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        names.push_back(current);
    }
    return names;
}

std::string ToLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A real-time silent output: it drops the sound but keeps to the clock.
GstElement* MakeSilentSink() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink != nullptr) {
        g_object_set(sink, "sync", TRUE, nullptr);
    }
    return sink;
}

// Whether the desktop's automatic output opens a real device: autoaudiosink falls back to a
// fake sink of its own when nothing works, so the chosen child tells.
bool DesktopAudioWorks() {
    std::lock_guard<std::mutex> lock(g_sinkLock);
    if (g_bDesktopAudioChecked) {
        return g_bDesktopAudioWorks;
    }
    g_bDesktopAudioChecked = true;
    GstElement* probe = gst_element_factory_make("autoaudiosink", nullptr);
    if (probe == nullptr) {
        WriteLogLine("Media: no automatic audio output; sound plays to a silent output");
        return false;
    }
    gst_object_ref_sink(probe);
    bool bWorks = false;
    if (gst_element_set_state(probe, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
        GstIterator* it = gst_bin_iterate_elements(reinterpret_cast<GstBin*>(probe));
        GValue item = G_VALUE_INIT;
        bool bFakeOnly = true;
        bool bAny = false;
        while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
            auto* child = static_cast<GstElement*>(g_value_get_object(&item));
            GstElementFactory* factory = gst_element_get_factory(child);
            const char* name =
                factory != nullptr ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)) : "";
            bAny = true;
            if (std::string(name) != "fakesink" && std::string(name) != "fakeaudiosink") {
                bFakeOnly = false;
            }
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(it);
        bWorks = bAny && !bFakeOnly;
    }
    gst_element_set_state(probe, GST_STATE_NULL);
    gst_object_unref(probe);
    if (!bWorks) {
        WriteLogLine("Media: no working desktop audio output; sound plays to a silent output");
    }
    g_bDesktopAudioWorks = bWorks;
    return bWorks;
}

// The features the preview of a common file loads, in the order opening it needs them: the file
// reader and automatic decoding, type finding, the usual demuxers and parsers, the decoders (one
// plugin holds most of them), then the outputs. A name not installed is passed over.
constexpr const char* kWarmFeatures[] = {
    "filesrc",   "decodebin",       "typefind",      "qtdemux",  "matroskademux",  "avidemux",
    "h264parse", "mpeg4videoparse", "avdec_h264",    "aacparse", "mpegaudioparse", "videoconvert",
    "appsink",   "audioconvert",    "audioresample", "volume",   "audiopanorama",  "autoaudiosink"};

void LoadFeature(const char* name) {
    GstPluginFeature* feature = gst_registry_lookup_feature(gst_registry_get(), name);
    if (feature == nullptr) {
        return;
    }
    if (GstPluginFeature* loaded = gst_plugin_feature_load(feature)) {
        gst_object_unref(loaded);
    }
    gst_object_unref(feature);
}

void WarmUp() {
    if (!InitMediaFramework()) {
        return;
    }
    // The type finders live in a plugin of their own, found by no element name; opening needs
    // them right after the file reader.
    if (GstPlugin* plugin = gst_plugin_load_by_name("typefindfunctions")) {
        gst_object_unref(plugin);
    }
    for (const char* name : kWarmFeatures) {
        LoadFeature(name);
    }
    const char* env = std::getenv("LUMICAST_AUDIO_SINK");
    if ((env == nullptr || *env == '\0') && FactoryAvailable("autoaudiosink")) {
        DesktopAudioWorks();
    }
}

// The warm-up thread; joined when the process ends so that it never outlives the objects it uses.
struct WarmUpThread {
    std::thread thread;
    ~WarmUpThread() {
        if (thread.joinable()) {
            thread.join();
        }
    }
};

} // namespace

void PrepareMediaFramework() {
    static WarmUpThread s_warmUp;
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        try {
            s_warmUp.thread = std::thread(&WarmUp);
        } catch (const std::system_error&) {
            // No thread to spare: the first graph loads what it needs itself.
        }
    });
}

bool InitMediaFramework() {
    static const bool s_bStarted = [] {
        GError* error = nullptr;
        if (gst_init_check(nullptr, nullptr, &error) == FALSE) {
            WriteLogLine("Media: GStreamer failed to start: %s",
                         error != nullptr && error->message != nullptr ? error->message : "");
            if (error != nullptr) {
                g_error_free(error);
            }
            return false;
        }
        return true;
    }();
    return s_bStarted;
}

bool FactoryHidden(const std::string& factory) {
    if (const char* env = std::getenv("LUMICAST_MEDIA_HIDE"); env != nullptr) {
        for (const std::string& name : SplitNames(env)) {
            if (name == factory) {
                return true;
            }
        }
    }
    std::lock_guard<std::mutex> lock(g_hiddenLock);
    return std::find(g_hidden.begin(), g_hidden.end(), factory) != g_hidden.end();
}

void SetHiddenFactories(const std::vector<std::string>& factories) {
    std::lock_guard<std::mutex> lock(g_hiddenLock);
    g_hidden = factories;
}

bool FactoryAvailable(const std::string& factory) {
    if (!InitMediaFramework() || FactoryHidden(factory)) {
        return false;
    }
    GstElementFactory* found = gst_element_factory_find(factory.c_str());
    if (found == nullptr) {
        return false;
    }
    gst_object_unref(found);
    return true;
}

const char* SourceFactoryForClassId(const std::string& classId) {
    const std::string wanted = ToLower(classId);
    for (const SourceFilterInfo& info : {kRealMediaSource, kWindowsMediaSource, kQuickTimeSource}) {
        if (ToLower(info.classId) == wanted) {
            return info.factory;
        }
    }
    return nullptr;
}

GstElement* CreateAudioSinkElement() {
    if (!InitMediaFramework()) {
        return nullptr;
    }
    if (const char* env = std::getenv("LUMICAST_AUDIO_SINK"); env != nullptr && *env != '\0') {
        GError* error = nullptr;
        GstElement* chosen = nullptr;
        if (FactoryAvailable(env)) {
            chosen = gst_element_factory_make(env, nullptr);
        } else {
            chosen = gst_parse_bin_from_description(env, TRUE, &error);
        }
        if (error != nullptr) {
            g_error_free(error);
        }
        if (chosen != nullptr) {
            return chosen;
        }
        WriteLogLine("Media: the audio output \"%s\" cannot be made; using the default", env);
    }
    if (FactoryAvailable("autoaudiosink") && DesktopAudioWorks()) {
        if (GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr)) {
            return sink;
        }
    }
    return MakeSilentSink();
}

void GetWindowsMediaVersion(int& major, int& minor) {
    const bool bRuntime = FactoryAvailable("avenc_wmv2") && FactoryAvailable("avenc_wmav2");
    major = bRuntime ? 9 : 0;
    minor = 0;
}

bool WindowsMediaWriterAvailable() {
    return FactoryAvailable("asfmux");
}

bool OggCodecAvailable() {
    return FactoryAvailable("oggmux") && FactoryAvailable("vorbisenc") &&
           FactoryAvailable("theoraenc");
}

} // namespace media
