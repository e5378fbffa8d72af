#include "app/media_check.h"

#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "support/log.h"

#include <gst/gst.h>

#include <array>

namespace {

// Playback itself, the two converters the preview chain uses, the sink the video area draws from,
// an audio output, and the FFmpeg decoders most sources need.
constexpr std::array<const char*, 6> kNeededElements = {"playbin", "videoconvert",  "audioconvert",
                                                        "appsink", "autoaudiosink", "avdec_h264"};

bool ElementExists(const char* name) {
    GstElementFactory* factory = gst_element_factory_find(name);
    if (factory == nullptr) {
        return false;
    }
    gst_object_unref(factory);
    return true;
}

bool CheckMediaFramework() {
    GError* error = nullptr;
    if (gst_init_check(nullptr, nullptr, &error) == FALSE) {
        WriteLogLine("Media framework: GStreamer failed to initialise: %s",
                     error != nullptr && error->message != nullptr ? error->message : "");
        if (error != nullptr) {
            g_error_free(error);
        }
        return false;
    }
    bool bAll = true;
    for (const char* name : kNeededElements) {
        if (!ElementExists(name)) {
            WriteLogLine("Media framework: GStreamer element %s is missing", name);
            bAll = false;
        }
    }
    return bAll;
}

} // namespace

bool MediaFrameworkAvailable() {
    static const bool s_bAvailable = CheckMediaFramework();
    return s_bAvailable;
}

QString MediaFrameworkPackages() {
    return QStringLiteral("gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav");
}

QString MediaFrameworkTip() {
    return QString::fromStdString(
        LoadResString(ids::kStrMediaFrameworkTip, MediaFrameworkPackages().toStdString()));
}
