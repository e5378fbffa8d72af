#include "media/filter_graph.h"

#include "media/media_components.h"
#include "support/log.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <chrono>
#include <cmath>
#include <cstring>

namespace media {
namespace {

// How long rendering may take to find the streams of a file and cue its first frame.
constexpr long kRenderTimeoutMs = 15000;
// How long a demuxer may read before it shows its first stream.
constexpr long kFirstStreamTimeoutMs = 3000;
// How long a seek waits for an unfinished state change before it is sent.
constexpr long kSettleTimeoutMs = 1000;

// decodebin's answers to "autoplug-select".
constexpr int kAutoplugTry = 0;
constexpr int kAutoplugSkip = 2;

GstElement* Make(const char* factory, const char* name = nullptr) {
    if (FactoryHidden(factory)) {
        return nullptr;
    }
    GstElement* element = gst_element_factory_make(factory, name);
    if (element != nullptr) {
        gst_object_ref_sink(element);
    }
    return element;
}

void UnrefAll(std::vector<GstElement*>& elements) {
    for (GstElement* element : elements) {
        if (element != nullptr) {
            gst_object_unref(element);
        }
    }
    elements.clear();
}

bool AllMade(const std::vector<GstElement*>& elements) {
    for (GstElement* element : elements) {
        if (element == nullptr) {
            return false;
        }
    }
    return true;
}

GObject* Obj(void* instance) {
    return static_cast<GObject*>(instance);
}

template <class F> void Connect(GstElement* element, const char* signal, F* callback, void* data) {
    g_signal_connect_data(Obj(element), signal, reinterpret_cast<GCallback>(callback), data,
                          nullptr, static_cast<GConnectFlags>(0));
}

// Keeps hidden factories out of automatic decoding too, so a hidden demuxer or decoder is missing
// everywhere.
int OnAutoplugSelect(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer) {
    const char* name = gst_plugin_feature_get_name(reinterpret_cast<GstPluginFeature*>(factory));
    return name != nullptr && FactoryHidden(name) ? kAutoplugSkip : kAutoplugTry;
}

void OnDemuxPadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto* source = static_cast<CGraphFilter*>(data);
    if (CFilterGraph* graph = source->Graph()) {
        graph->OnDemuxPad(*source, pad);
    }
}

void OnNoMorePadsSignal(GstElement*, gpointer data) {
    auto* source = static_cast<CGraphFilter*>(data);
    if (CFilterGraph* graph = source->Graph()) {
        graph->OnNoMorePads(*source);
    }
}

// A demuxer that reaches the end of its input has shown every stream it will show (a RealMedia
// demuxer given something else reads it all and says nothing).
GstPadProbeReturn OnDemuxInputEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
    GstEvent* event = gst_pad_probe_info_get_event(info);
    if (event != nullptr && GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
        OnNoMorePadsSignal(nullptr, data);
    }
    return GST_PAD_PROBE_OK;
}

void OnDecodedPadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto* filter = static_cast<CGraphFilter*>(data);
    if (CFilterGraph* graph = filter->Graph()) {
        graph->OnDecodedPad(pad);
    }
}

GstFlowReturn OnNewPreroll(GstAppSink* sink, gpointer data) {
    GstSample* sample = gst_app_sink_pull_preroll(sink);
    if (sample != nullptr) {
        static_cast<CFilterGraph*>(data)->OnVideoSample(sample);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

GstFlowReturn OnNewSample(GstAppSink* sink, gpointer data) {
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (sample != nullptr) {
        static_cast<CFilterGraph*>(data)->OnVideoSample(sample);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

// The result code for an error GStreamer reported.
HResult CodeForError(const GError* error) {
    if (error == nullptr) {
        return kResultFail;
    }
    if (error->domain == GST_RESOURCE_ERROR) {
        switch (error->code) {
        case GST_RESOURCE_ERROR_NOT_FOUND:
            return kResultFileNotFound;
        case GST_RESOURCE_ERROR_OPEN_READ:
        case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
        case GST_RESOURCE_ERROR_NOT_AUTHORIZED:
            return kResultAccessDenied;
        default:
            return kResultFail;
        }
    }
    if (error->domain == GST_STREAM_ERROR) {
        switch (error->code) {
        case GST_STREAM_ERROR_TYPE_NOT_FOUND:
            return kVfwUnknownFileType;
        case GST_STREAM_ERROR_CODEC_NOT_FOUND:
            return kVfwCannotRender;
        case GST_STREAM_ERROR_WRONG_TYPE:
            return kVfwUnsupportedStream;
        case GST_STREAM_ERROR_NOT_IMPLEMENTED:
            return kResultNotImpl;
        default:
            return kVfwInvalidFileFormat;
        }
    }
    if (error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN) {
        return kVfwCannotRender;
    }
    return kResultFail;
}

std::string MediaType(GstPad* pad) {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (caps == nullptr) {
        caps = gst_pad_query_caps(pad, nullptr);
    }
    std::string type;
    if (caps != nullptr && gst_caps_get_size(caps) > 0) {
        type = gst_structure_get_name(gst_caps_get_structure(caps, 0));
    }
    if (caps != nullptr) {
        gst_caps_unref(caps);
    }
    return type;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Links pad to the first sink pad of element when that one is free.
bool LinkToFree(GstPad* pad, GstElement* element) {
    GstPad* sinkPad = gst_element_get_static_pad(element, "sink");
    if (sinkPad == nullptr) {
        return false;
    }
    bool bLinked = false;
    if (!gst_pad_is_linked(sinkPad)) {
        bLinked = gst_pad_link(pad, sinkPad) == GST_PAD_LINK_OK;
    }
    gst_object_unref(sinkPad);
    return bLinked;
}

double VolumeFactor(long volume) {
    if (volume <= -10000) {
        return 0.0;
    }
    return std::pow(10.0, static_cast<double>(volume) / 2000.0);
}

} // namespace

// ---------------------------------------------------------------- pins and filters

CGraphPin::CGraphPin(CGraphFilter* owner, std::string name, PinDirection direction)
    : m_pOwner(owner), m_strName(std::move(name)), m_direction(direction) {}

HResult CGraphPin::QueryDirection(PinDirection& direction) {
    direction = m_direction;
    return kResultOk;
}

CGraphFilter::CGraphFilter(FilterKind kind, std::vector<GstElement*> elements)
    : m_kind(kind), m_elements(std::move(elements)) {}

CGraphFilter::~CGraphFilter() {
    UnrefAll(m_elements);
}

std::string CGraphFilter::Name() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_strName;
}

CFilterGraph* CGraphFilter::Graph() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_pGraph;
}

HResult CGraphFilter::EnumPins(std::vector<std::shared_ptr<IPin>>& pins) {
    pins.clear();
    if (m_kind == FilterKind::DemuxSource) {
        CFilterGraph* graph = Graph();
        if (graph == nullptr) {
            return kResultUnexpected;
        }
        bool bDiscovered = false;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            bDiscovered = m_bDiscovered;
        }
        if (!bDiscovered) {
            graph->DiscoverPins(*this);
        }
        std::lock_guard<std::mutex> lock(m_lock);
        pins.assign(m_pins.begin(), m_pins.end());
        return kResultOk;
    }
    // Other filters show their element's fixed pads: an input on everything but a source, and
    // the output of automatic decoding on a file-render source.
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_kind != FilterKind::FileRender) {
        pins.push_back(std::make_shared<CGraphPin>(this, "In", PinDirection::Input));
    }
    pins.insert(pins.end(), m_pins.begin(), m_pins.end());
    return kResultOk;
}

IFileSourceFilter* CGraphFilter::QueryFileSource() {
    return m_kind == FilterKind::DemuxSource || m_kind == FilterKind::FileRender ? this : nullptr;
}

HResult CGraphFilter::Load(const std::string& path) {
    if (QueryFileSource() == nullptr || m_elements.empty()) {
        return kResultNoInterface;
    }
    // filesrc takes a file name as it is: no URI escapes, any bytes.
    g_object_set(Obj(m_elements.front()), "location", path.c_str(), nullptr);
    std::lock_guard<std::mutex> lock(m_lock);
    m_bDiscovered = false;
    m_pins.clear();
    return kResultOk;
}

HResult CreateSourceFilter(const std::string& classId, std::shared_ptr<IBaseFilter>& filter) {
    filter.reset();
    const char* factory = SourceFactoryForClassId(classId);
    if (factory == nullptr || !InitMediaFramework() || !FactoryAvailable(factory)) {
        return kResultClassNotRegistered;
    }
    std::vector<GstElement*> elements = {Make("filesrc"), Make(factory)};
    if (!AllMade(elements)) {
        UnrefAll(elements);
        return kResultClassNotRegistered;
    }
    filter = std::make_shared<CGraphFilter>(FilterKind::DemuxSource, std::move(elements));
    return kResultOk;
}

// ---------------------------------------------------------------- the graph

HResult CreateFilterGraph(std::shared_ptr<IGraphBuilder>& graph) {
    graph.reset();
    if (!InitMediaFramework()) {
        return kResultClassNotRegistered;
    }
    for (const char* needed : {"filesrc", "decodebin", "queue", "appsink", "videoconvert",
                               "audioconvert", "audioresample", "volume", "audiopanorama"}) {
        if (!FactoryAvailable(needed)) {
            WriteLogLine("Media: the GStreamer element %s is missing", needed);
            return kResultClassNotRegistered;
        }
    }
    auto created = std::make_shared<CFilterGraph>();
    if (!created->Valid()) {
        return kResultClassNotRegistered;
    }
    graph = created;
    return kResultOk;
}

CFilterGraph::CFilterGraph() {
    if (!InitMediaFramework()) {
        return;
    }
    m_pPipeline = gst_pipeline_new(nullptr);
    if (m_pPipeline != nullptr) {
        gst_object_ref_sink(m_pPipeline);
        m_pBus = gst_pipeline_get_bus(reinterpret_cast<GstPipeline*>(m_pPipeline));
    }
}

CFilterGraph::~CFilterGraph() {
    if (m_pPipeline != nullptr) {
        gst_element_set_state(m_pPipeline, GST_STATE_NULL);
    }
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_frameCallback = nullptr;
    }
    while (!m_filters.empty()) {
        RemoveFilterAt(m_filters.size() - 1);
    }
    if (m_pBus != nullptr) {
        gst_object_unref(m_pBus);
    }
    if (m_pPipeline != nullptr) {
        gst_object_unref(m_pPipeline);
    }
}

std::vector<std::string> CFilterGraph::History() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_history;
}

bool CFilterGraph::HasSource() const {
    std::lock_guard<std::mutex> lock(m_lock);
    for (const auto& filter : m_filters) {
        if (filter->m_kind == FilterKind::DemuxSource || filter->m_kind == FilterKind::FileRender) {
            return true;
        }
    }
    return false;
}

void CFilterGraph::ResetPipeline() {
    gst_element_set_state(m_pPipeline, GST_STATE_NULL);
    gst_bus_set_flushing(m_pBus, TRUE);
    gst_bus_set_flushing(m_pBus, FALSE);
    std::lock_guard<std::mutex> lock(m_lock);
    m_nPendingEvent = 0;
    m_lastPosition = 0;
}

HResult CFilterGraph::AddFilterLocked(const std::shared_ptr<CGraphFilter>& filter,
                                      const std::string& name) {
    HResult hr = kResultOk;
    std::string unique = name;
    for (int n = 1;; ++n) {
        bool bTaken = false;
        for (const auto& other : m_filters) {
            if (other->m_strName == unique) {
                bTaken = true;
            }
        }
        if (!bTaken) {
            break;
        }
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, " %04d", n);
        unique = name + suffix;
        hr = kVfwDuplicateName;
    }
    GstElement* previous = nullptr;
    for (GstElement* element : filter->m_elements) {
        if (gst_bin_add(reinterpret_cast<GstBin*>(m_pPipeline), element) == FALSE) {
            return kResultFail;
        }
        // A demuxer or automatic decoding has no output pad until it has read the file.
        if (previous != nullptr && gst_element_link(previous, element) == FALSE) {
            return kResultFail;
        }
        previous = element;
    }
    {
        std::lock_guard<std::mutex> filterLock(filter->m_lock);
        filter->m_strName = unique;
        filter->m_pGraph = this;
    }
    m_filters.push_back(filter);
    m_history.push_back("add:" + unique);
    return hr;
}

HResult CFilterGraph::AddFilter(const std::shared_ptr<IBaseFilter>& filter,
                                const std::string& name) {
    if (!filter) {
        return kResultPointer;
    }
    auto own = std::dynamic_pointer_cast<CGraphFilter>(filter);
    if (!own || own->Graph() != nullptr) {
        return kResultInvalidArg;
    }
    if (m_state != FilterState::Stopped) {
        return kVfwNotStopped;
    }
    // A new filter joins a graph at rest: the chain is cued again on the next run.
    ResetPipeline();
    std::lock_guard<std::mutex> lock(m_lock);
    const HResult hr = AddFilterLocked(own, name);
    if (Failed(hr)) {
        for (GstElement* element : own->m_elements) {
            if (gst_object_get_parent(reinterpret_cast<GstObject*>(element)) != nullptr) {
                gst_object_unref(gst_object_get_parent(reinterpret_cast<GstObject*>(element)));
                gst_bin_remove(reinterpret_cast<GstBin*>(m_pPipeline), element);
            }
        }
        std::lock_guard<std::mutex> filterLock(own->m_lock);
        own->m_pGraph = nullptr;
        return hr;
    }
    if (own->m_kind == FilterKind::DemuxSource) {
        Connect(own->m_elements.back(), "pad-added", &OnDemuxPadAdded, own.get());
        Connect(own->m_elements.back(), "no-more-pads", &OnNoMorePadsSignal, own.get());
        if (GstPad* input = gst_element_get_static_pad(own->m_elements.back(), "sink")) {
            gst_pad_add_probe(input, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnDemuxInputEvent,
                              own.get(), nullptr);
            gst_object_unref(input);
        }
    } else if (own->m_kind == FilterKind::FileRender || own->m_kind == FilterKind::Decoder) {
        Connect(own->m_elements.back(), "pad-added", &OnDecodedPadAdded, own.get());
        Connect(own->m_elements.back(), "autoplug-select", &OnAutoplugSelect, nullptr);
    }
    return hr;
}

void CFilterGraph::RemoveFilterAt(size_t index) {
    std::shared_ptr<CGraphFilter> filter;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        filter = m_filters[index];
        m_filters.erase(m_filters.begin() + static_cast<std::ptrdiff_t>(index));
        if (filter == m_videoOut) {
            m_videoOut.reset();
            m_latestFrame.reset();
        }
        if (filter == m_audioOut) {
            m_audioOut.reset();
        }
        m_history.push_back("remove:" + filter->Name());
    }
    for (GstElement* element : filter->m_elements) {
        g_signal_handlers_disconnect_matched(Obj(element), G_SIGNAL_MATCH_DATA, 0, 0, nullptr,
                                             nullptr, filter.get());
        gst_element_set_state(element, GST_STATE_NULL);
        gst_bin_remove(reinterpret_cast<GstBin*>(m_pPipeline), element);
    }
    std::lock_guard<std::mutex> filterLock(filter->m_lock);
    filter->m_pGraph = nullptr;
}

void CFilterGraph::RemoveFiltersFrom(size_t mark) {
    for (;;) {
        size_t count = 0;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            count = m_filters.size();
        }
        if (count <= mark) {
            break;
        }
        RemoveFilterAt(count - 1);
    }
}

HResult CFilterGraph::RemoveFilter(const std::shared_ptr<IBaseFilter>& filter) {
    if (!filter) {
        return kResultPointer;
    }
    if (m_state != FilterState::Stopped) {
        return kVfwNotStopped;
    }
    size_t index = 0;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        while (index < m_filters.size() && m_filters[index] != filter) {
            ++index;
        }
        if (index == m_filters.size()) {
            return kVfwNotFound;
        }
    }
    ResetPipeline();
    RemoveFilterAt(index);
    return kResultOk;
}

HResult CFilterGraph::EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>& filters) {
    std::lock_guard<std::mutex> lock(m_lock);
    filters.assign(m_filters.begin(), m_filters.end());
    return kResultOk;
}

HResult CFilterGraph::ErrorFromBus() {
    GstMessage* message = gst_bus_pop_filtered(m_pBus, GST_MESSAGE_ERROR);
    if (message == nullptr) {
        return kResultFail;
    }
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const HResult hr = CodeForError(error);
    if (error != nullptr) {
        g_error_free(error);
    }
    gst_message_unref(message);
    return hr;
}

bool CFilterGraph::AllStreamsShown() const {
    std::lock_guard<std::mutex> lock(m_lock);
    for (const auto& filter : m_filters) {
        if (filter->m_kind == FilterKind::DemuxSource) {
            std::lock_guard<std::mutex> filterLock(filter->m_lock);
            if (!filter->m_bPadsDone) {
                return false;
            }
        }
    }
    return true;
}

bool CFilterGraph::EveryDemuxerHasStreams() const {
    std::lock_guard<std::mutex> lock(m_lock);
    for (const auto& filter : m_filters) {
        if (filter->m_kind == FilterKind::DemuxSource) {
            std::lock_guard<std::mutex> filterLock(filter->m_lock);
            if (filter->m_pins.empty()) {
                return false;
            }
        }
    }
    return true;
}

void CFilterGraph::OnNoMorePads(CGraphFilter& source) {
    std::lock_guard<std::mutex> lock(source.m_lock);
    source.m_bPadsDone = true;
}

HResult CFilterGraph::Preroll(long timeoutMs) {
    gst_bus_set_flushing(m_pBus, TRUE);
    gst_bus_set_flushing(m_pBus, FALSE);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (const auto& filter : m_filters) {
            std::lock_guard<std::mutex> filterLock(filter->m_lock);
            filter->m_bPadsDone = false;
        }
    }
    const GstStateChangeReturn ret = gst_element_set_state(m_pPipeline, GST_STATE_PAUSED);
    if (ret == GST_STATE_CHANGE_FAILURE) {
        return ErrorFromBus();
    }
    // A demuxer shows its streams only after reading the file, and the outputs connected behind
    // them then cue their first data: done when every demuxer has shown all its streams and the
    // pipeline has settled in PAUSED.
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        // The pipeline's own word that it has settled wakes the wait at once; the streams of a
        // demuxer are told by signals, which the short wait catches.
        GstMessage* message = gst_bus_timed_pop_filtered(
            m_pBus, 20 * GST_MSECOND,
            static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE));
        if (message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE) {
            gst_message_unref(message);
            message = nullptr;
        }
        if (message != nullptr) {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            const HResult hr = CodeForError(error);
            if (error != nullptr) {
                g_error_free(error);
            }
            gst_message_unref(message);
            return hr;
        }
        if (!AllStreamsShown()) {
            // A demuxer reading input it does not know may stop without a word (the RealMedia
            // demuxer does): no stream in this time means none will come.
            if (std::chrono::steady_clock::now() - start >
                    std::chrono::milliseconds(kFirstStreamTimeoutMs) &&
                !EveryDemuxerHasStreams()) {
                return kVfwUnsupportedStream;
            }
            continue;
        }
        if (!EveryDemuxerHasStreams()) {
            return kVfwUnsupportedStream; // a demuxer read its input and found nothing it knows
        }
        switch (gst_element_get_state(m_pPipeline, nullptr, nullptr, 0)) {
        case GST_STATE_CHANGE_FAILURE:
            return ErrorFromBus();
        case GST_STATE_CHANGE_ASYNC:
            break;
        default:
            return kResultOk;
        }
    }
    return kVfwTimeout;
}

HResult CFilterGraph::EnsurePrerolled() {
    GstState current = GST_STATE_NULL;
    gst_element_get_state(m_pPipeline, &current, nullptr, 0);
    if (current >= GST_STATE_PAUSED || !HasSource()) {
        return kResultOk;
    }
    return Preroll(kRenderTimeoutMs);
}

HResult CFilterGraph::RenderFile(const std::string& path) {
    if (m_state != FilterState::Stopped) {
        return kVfwNotStopped;
    }
    std::vector<GstElement*> elements = {Make("filesrc"), Make("decodebin")};
    if (!AllMade(elements)) {
        UnrefAll(elements);
        return kVfwCannotRender;
    }
    auto source = std::make_shared<CGraphFilter>(FilterKind::FileRender, std::move(elements));
    source->Load(path);
    size_t mark = 0;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        mark = m_filters.size();
        m_history.push_back("render-file:" + path);
    }
    // The framework's own source is named after the file it reads.
    HResult hr = AddFilter(source, path);
    if (Succeeded(hr)) {
        hr = Preroll(kRenderTimeoutMs);
    }
    if (Succeeded(hr)) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_videoOut && !m_audioOut) {
            hr = kVfwCannotRender; // nothing in the file could be decoded to a picture or a sound
        }
    }
    if (Failed(hr)) {
        ResetPipeline();
        RemoveFiltersFrom(mark);
        return hr;
    }
    return kResultOk;
}

HResult CFilterGraph::DiscoverPins(CGraphFilter& source) {
    size_t mark = 0;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        mark = m_filters.size();
    }
    ResetPipeline();
    HResult hr = Preroll(kRenderTimeoutMs);
    if (Succeeded(hr)) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_videoOut && !m_audioOut) {
            hr = kVfwCannotRender;
        }
    }
    if (Failed(hr)) {
        // Take back the decoders and outputs this source brought; the source itself stays.
        ResetPipeline();
        RemoveFiltersFrom(mark);
    }
    std::lock_guard<std::mutex> lock(source.m_lock);
    source.m_bDiscovered = true;
    source.m_hrDiscovery = hr;
    return hr;
}

HResult CFilterGraph::Render(const std::shared_ptr<IPin>& pin) {
    auto own = std::dynamic_pointer_cast<CGraphPin>(pin);
    if (!own) {
        return kResultPointer;
    }
    PinDirection direction = PinDirection::Input;
    own->QueryDirection(direction);
    CGraphFilter* owner = own->Owner();
    if (direction != PinDirection::Output || owner == nullptr || owner->Graph() != this) {
        return kResultInvalidArg;
    }
    // A demuxer's streams are connected as they appear while the source is read; rendering the
    // pin reports how that went.
    std::lock_guard<std::mutex> lock(owner->m_lock);
    return owner->m_bDiscovered ? owner->m_hrDiscovery : kResultUnexpected;
}

std::shared_ptr<CGraphFilter> CFilterGraph::MakeDecoder() {
    std::vector<GstElement*> elements = {Make("queue"), Make("decodebin")};
    if (!AllMade(elements)) {
        UnrefAll(elements);
        return nullptr;
    }
    return std::make_shared<CGraphFilter>(FilterKind::Decoder, std::move(elements));
}

std::shared_ptr<CGraphFilter> CFilterGraph::MakeVideoOutput() {
    std::vector<GstElement*> elements = {Make("queue"), Make("videoconvert"),
                                         Make("appsink", "lumicast-video")};
    if (!AllMade(elements)) {
        UnrefAll(elements);
        return nullptr;
    }
    // The picture as it is meant to be shown: a clip whose container says it is shown rotated or
    // mirrored (a phone held upright) is turned as the conversion turns it. Without the element
    // the picture shows as stored.
    if (GstElement* flip = Make("videoflip")) {
        gst_util_set_object_arg(Obj(flip), "video-direction", "auto");
        elements.insert(elements.end() - 1, flip);
    } else {
        WriteLogLine("Media: the GStreamer element videoflip is missing; the preview shows "
                     "pictures as stored");
    }
    GstElement* sink = elements.back();
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr);
    g_object_set(Obj(sink), "caps", caps, "sync", TRUE, "max-buffers", 1u, "drop", TRUE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks = {};
    callbacks.new_preroll = &OnNewPreroll;
    callbacks.new_sample = &OnNewSample;
    gst_app_sink_set_callbacks(reinterpret_cast<GstAppSink*>(sink), &callbacks, this, nullptr);
    return std::make_shared<CGraphFilter>(FilterKind::VideoOutput, std::move(elements));
}

std::shared_ptr<CGraphFilter> CFilterGraph::MakeAudioOutput() {
    GstElement* sink = CreateAudioSinkElement();
    if (sink != nullptr) {
        gst_object_ref_sink(sink);
    }
    std::vector<GstElement*> elements = {Make("queue"),
                                         Make("audioconvert"),
                                         Make("audioresample"),
                                         Make("volume", "lumicast-volume"),
                                         Make("audiopanorama", "lumicast-balance"),
                                         Make("audioconvert"),
                                         Make("audioresample"),
                                         sink};
    if (!AllMade(elements)) {
        UnrefAll(elements);
        return nullptr;
    }
    // "simple" panning: the balance lowers one side and never mixes the other into it.
    g_object_set(Obj(elements[4]), "method", 1, nullptr);
    return std::make_shared<CGraphFilter>(FilterKind::AudioOutput, std::move(elements));
}

void CFilterGraph::OnDemuxPad(CGraphFilter& source, GstPad* pad) {
    if (gst_pad_get_direction(pad) != GST_PAD_SRC) {
        return;
    }
    gchar* padName = gst_pad_get_name(pad);
    const std::string name = padName != nullptr ? padName : "";
    g_free(padName);
    {
        std::lock_guard<std::mutex> filterLock(source.m_lock);
        bool bKnown = false;
        for (const auto& pin : source.m_pins) {
            bKnown = bKnown || pin->Name() == name;
        }
        if (!bKnown) {
            source.m_pins.push_back(
                std::make_shared<CGraphPin>(&source, name, PinDirection::Output));
        }
    }
    std::lock_guard<std::mutex> lock(m_lock);
    // After the graph was taken back to rest the demuxer shows its streams again: the decoder of
    // the same stream is still there and free.
    for (const auto& filter : m_filters) {
        if (filter->m_kind == FilterKind::Decoder && LinkToFree(pad, filter->m_elements.front())) {
            return;
        }
    }
    std::shared_ptr<CGraphFilter> decoder = MakeDecoder();
    if (!decoder) {
        return;
    }
    if (Failed(AddFilterLocked(decoder, name + " Decoder " + std::to_string(++m_nDecoders)))) {
        return;
    }
    Connect(decoder->m_elements.back(), "pad-added", &OnDecodedPadAdded, decoder.get());
    Connect(decoder->m_elements.back(), "autoplug-select", &OnAutoplugSelect, nullptr);
    for (GstElement* element : decoder->m_elements) {
        gst_element_sync_state_with_parent(element);
    }
    LinkToFree(pad, decoder->m_elements.front());
}

void CFilterGraph::OnDecodedPad(GstPad* pad) {
    const std::string type = MediaType(pad);
    const bool bVideo = StartsWith(type, "video/");
    const bool bAudio = StartsWith(type, "audio/");
    if (!bVideo && !bAudio) {
        return; // subtitles and data stay unconnected
    }
    std::lock_guard<std::mutex> lock(m_lock);
    std::shared_ptr<CGraphFilter>& output = bVideo ? m_videoOut : m_audioOut;
    if (!output) {
        std::shared_ptr<CGraphFilter> made = bVideo ? MakeVideoOutput() : MakeAudioOutput();
        if (!made || Failed(AddFilterLocked(made, bVideo ? "Video Renderer" : "Audio Renderer"))) {
            return;
        }
        output = made;
        if (bAudio) {
            g_object_set(Obj(made->m_elements[3]), "volume", VolumeFactor(m_nVolume), nullptr);
            g_object_set(Obj(made->m_elements[4]), "panorama",
                         static_cast<float>(m_nBalance) / 10000.0f, nullptr);
        }
        for (GstElement* element : made->m_elements) {
            gst_element_sync_state_with_parent(element);
        }
    }
    // A second video or audio stream is left unconnected: the output shows the first.
    LinkToFree(pad, output->m_elements.front());
}

void CFilterGraph::OnVideoSample(GstSample* sample) {
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    if (caps == nullptr || buffer == nullptr || !gst_video_info_from_caps(&info, caps)) {
        return;
    }
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        return;
    }
    auto frame = std::make_shared<VideoFrame>();
    frame->width = static_cast<int>(GST_VIDEO_INFO_WIDTH(&info));
    frame->height = static_cast<int>(GST_VIDEO_INFO_HEIGHT(&info));
    frame->stride = frame->width * 4;
    const auto sourceStride = static_cast<size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0));
    const auto rowBytes = static_cast<size_t>(frame->stride);
    const size_t frameBytes = rowBytes * static_cast<size_t>(frame->height);
    // The rows are appended, not written over a zeroed frame: a 720p frame is 3.6 MB, each one.
    frame->pixels.reserve(frameBytes);
    if (sourceStride == rowBytes && frameBytes <= map.size) {
        frame->pixels.insert(frame->pixels.end(), map.data, map.data + frameBytes);
    } else {
        for (int row = 0; row < frame->height; ++row) {
            const size_t from = static_cast<size_t>(row) * sourceStride;
            if (from + rowBytes > map.size) {
                break;
            }
            frame->pixels.insert(frame->pixels.end(), map.data + from, map.data + from + rowBytes);
        }
    }
    frame->pixels.resize(frameBytes); // rows a short buffer lacks stay black
    gst_buffer_unmap(buffer, &map);
    const GstSegment* segment = gst_sample_get_segment(sample);
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (segment != nullptr && GST_CLOCK_TIME_IS_VALID(pts)) {
        const guint64 streamTime = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts);
        if (GST_CLOCK_TIME_IS_VALID(streamTime)) {
            frame->time = static_cast<RefTime>(streamTime / 100);
        }
    }
    std::function<void()> callback;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_latestFrame = frame;
        callback = m_frameCallback;
    }
    if (callback) {
        callback();
    }
}

// ---------------------------------------------------------------- media control

HResult CFilterGraph::EnterState(FilterState state) {
    const GstState target = state == FilterState::Running ? GST_STATE_PLAYING : GST_STATE_PAUSED;
    const GstStateChangeReturn ret = gst_element_set_state(m_pPipeline, target);
    if (ret == GST_STATE_CHANGE_FAILURE) {
        return ErrorFromBus();
    }
    m_state = state;
    // A change the pipeline finishes later (prerolling) is reported as S_FALSE.
    return ret == GST_STATE_CHANGE_ASYNC ? kResultFalse : kResultOk;
}

HResult CFilterGraph::Run() {
    return EnterState(FilterState::Running);
}

HResult CFilterGraph::Pause() {
    return EnterState(FilterState::Paused);
}

HResult CFilterGraph::Stop() {
    if (HasSource()) {
        if (gst_element_set_state(m_pPipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
            return ErrorFromBus();
        }
    } else {
        gst_element_set_state(m_pPipeline, GST_STATE_NULL);
    }
    m_state = FilterState::Stopped;
    return kResultOk;
}

HResult CFilterGraph::GetState(long timeoutMs, FilterState& state) {
    state = m_state;
    const GstClockTime timeout =
        timeoutMs < 0 ? GST_CLOCK_TIME_NONE : static_cast<GstClockTime>(timeoutMs) * GST_MSECOND;
    switch (gst_element_get_state(m_pPipeline, nullptr, nullptr, timeout)) {
    case GST_STATE_CHANGE_FAILURE:
        return kResultFail;
    case GST_STATE_CHANGE_ASYNC:
        return kVfwStateIntermediate;
    default:
        return kResultOk;
    }
}

HResult CFilterGraph::StopWhenReady() {
    const HResult hr = Stop();
    return hr;
}

// ---------------------------------------------------------------- seeking

HResult CFilterGraph::IsFormatSupported(TimeFormat format) {
    return format == TimeFormat::MediaTime ? kResultOk : kResultFalse;
}

HResult CFilterGraph::GetTimeFormat(TimeFormat& format) {
    format = TimeFormat::MediaTime;
    return kResultOk;
}

HResult CFilterGraph::SetTimeFormat(TimeFormat format) {
    return format == TimeFormat::MediaTime ? kResultOk : kResultInvalidArg;
}

HResult CFilterGraph::GetDuration(RefTime& duration) {
    if (!HasSource()) {
        return kResultNotImpl;
    }
    if (const HResult hr = EnsurePrerolled(); Failed(hr)) {
        return hr;
    }
    gint64 value = 0;
    if (!gst_element_query_duration(m_pPipeline, GST_FORMAT_TIME, &value) || value < 0) {
        return kResultFail;
    }
    duration = static_cast<RefTime>(value / 100);
    return kResultOk;
}

HResult CFilterGraph::GetCurrentPosition(RefTime& position) {
    if (!HasSource()) {
        return kResultNotImpl;
    }
    gint64 value = 0;
    GstState current = GST_STATE_NULL;
    gst_element_get_state(m_pPipeline, &current, nullptr, 0);
    const bool bKnown = current >= GST_STATE_PAUSED &&
                        gst_element_query_position(m_pPipeline, GST_FORMAT_TIME, &value) &&
                        value >= 0;
    std::lock_guard<std::mutex> lock(m_lock);
    if (bKnown) {
        m_lastPosition = static_cast<RefTime>(value / 100);
    }
    position = m_lastPosition;
    return kResultOk;
}

void CFilterGraph::DropStaleEndOfStream() {
    // An end of stream reported before the seek is old news; an error is kept for the next wait.
    while (GstMessage* message = gst_bus_pop_filtered(
               m_pBus, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            m_nPendingEvent = kEcErrorAbort;
        }
        gst_message_unref(message);
    }
}

HResult CFilterGraph::SetPositions(RefTime* current, unsigned currentFlags, RefTime* stop,
                                   unsigned stopFlags) {
    if (!HasSource()) {
        return kResultNotImpl;
    }
    const unsigned currentMode = currentFlags & kSeekingPositioningBitsMask;
    const unsigned stopMode = stopFlags & kSeekingPositioningBitsMask;
    if ((currentMode != kSeekingNoPositioning && current == nullptr) ||
        (stopMode != kSeekingNoPositioning && stop == nullptr)) {
        return kResultPointer;
    }
    if (const HResult hr = EnsurePrerolled(); Failed(hr)) {
        return hr;
    }
    gst_element_get_state(m_pPipeline, nullptr, nullptr,
                          static_cast<GstClockTime>(kSettleTimeoutMs) * GST_MSECOND);
    RefTime base = 0;
    GetCurrentPosition(base);
    GstSeekType currentType = GST_SEEK_TYPE_NONE;
    gint64 currentNs = 0;
    if (currentMode != kSeekingNoPositioning) {
        RefTime target = *current;
        if (currentMode == kSeekingRelativePositioning) {
            target += base;
        }
        target = std::max<RefTime>(target, 0);
        currentType = GST_SEEK_TYPE_SET;
        currentNs = target * 100;
    }
    GstSeekType stopType = GST_SEEK_TYPE_NONE;
    gint64 stopNs = -1;
    if (stopMode != kSeekingNoPositioning) {
        stopType = GST_SEEK_TYPE_SET;
        stopNs = std::max<RefTime>(*stop, 0) * 100;
    }
    const bool bDone =
        gst_element_seek(m_pPipeline, 1.0, GST_FORMAT_TIME,
                         static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                         currentType, currentNs, stopType, stopNs);
    if (!bDone) {
        return kResultFail;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    DropStaleEndOfStream();
    if (currentType == GST_SEEK_TYPE_SET) {
        m_lastPosition = currentNs / 100;
    }
    return kResultOk;
}

// ---------------------------------------------------------------- events

HResult CFilterGraph::WaitForCompletion(long timeoutMs, long& eventCode) {
    eventCode = 0;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_nPendingEvent != 0) {
            eventCode = m_nPendingEvent;
            m_nPendingEvent = 0;
            return kResultOk;
        }
    }
    if (m_state != FilterState::Running) {
        return kVfwWrongState;
    }
    GstMessage* message = gst_bus_timed_pop_filtered(
        m_pBus, static_cast<GstClockTime>(std::max(timeoutMs, 0L)) * GST_MSECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    if (message == nullptr) {
        return kResultAbort;
    }
    eventCode = GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS ? kEcComplete : kEcErrorAbort;
    gst_message_unref(message);
    return kResultOk;
}

HResult CFilterGraph::SetNotifyWindow(std::uintptr_t, unsigned, std::intptr_t) {
    return kResultOk; // completion is polled; nothing is posted to a window
}

// ---------------------------------------------------------------- audio

GstElement* CFilterGraph::AudioElement(const char* name) const {
    return m_audioOut ? gst_bin_get_by_name(reinterpret_cast<GstBin*>(m_pPipeline), name) : nullptr;
}

HResult CFilterGraph::put_Volume(long volume) {
    if (volume < -10000 || volume > 0) {
        return kResultInvalidArg;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_nVolume = volume;
    GstElement* element = AudioElement("lumicast-volume");
    if (element == nullptr) {
        return kResultNotImpl;
    }
    g_object_set(Obj(element), "volume", VolumeFactor(volume), nullptr);
    gst_object_unref(element);
    return kResultOk;
}

HResult CFilterGraph::get_Volume(long& volume) {
    std::lock_guard<std::mutex> lock(m_lock);
    volume = m_nVolume;
    return m_audioOut ? kResultOk : kResultNotImpl;
}

HResult CFilterGraph::put_Balance(long balance) {
    if (balance < -10000 || balance > 10000) {
        return kResultInvalidArg;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_nBalance = balance;
    GstElement* element = AudioElement("lumicast-balance");
    if (element == nullptr) {
        return kResultNotImpl;
    }
    g_object_set(Obj(element), "panorama", static_cast<float>(balance) / 10000.0f, nullptr);
    gst_object_unref(element);
    return kResultOk;
}

HResult CFilterGraph::get_Balance(long& balance) {
    std::lock_guard<std::mutex> lock(m_lock);
    balance = m_nBalance;
    return m_audioOut ? kResultOk : kResultNotImpl;
}

// ---------------------------------------------------------------- video

HResult CFilterGraph::GetVideoSize(long& width, long& height) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_videoOut) {
        return kResultNoInterface;
    }
    width = m_latestFrame ? m_latestFrame->width : 0;
    height = m_latestFrame ? m_latestFrame->height : 0;
    return kResultOk;
}

#define LUMICAST_NEEDS_VIDEO()                                                                     \
    std::lock_guard<std::mutex> lock(m_lock);                                                      \
    if (!m_videoOut) {                                                                             \
        return kResultNoInterface;                                                                 \
    }

HResult CFilterGraph::put_AutoShow(bool) {
    LUMICAST_NEEDS_VIDEO();
    return kResultOk;
}

HResult CFilterGraph::put_MessageDrain(std::uintptr_t window) {
    LUMICAST_NEEDS_VIDEO();
    m_drain = window;
    return kResultOk;
}

HResult CFilterGraph::put_Owner(std::uintptr_t window) {
    LUMICAST_NEEDS_VIDEO();
    m_owner = window;
    return kResultOk;
}

HResult CFilterGraph::put_WindowStyle(long) {
    LUMICAST_NEEDS_VIDEO();
    return kResultOk;
}

HResult CFilterGraph::SetWindowPosition(long left, long top, long width, long height) {
    LUMICAST_NEEDS_VIDEO();
    m_window[0] = left;
    m_window[1] = top;
    m_window[2] = width;
    m_window[3] = height;
    return kResultOk;
}

HResult CFilterGraph::GetWindowPosition(long& left, long& top, long& width, long& height) {
    LUMICAST_NEEDS_VIDEO();
    left = m_window[0];
    top = m_window[1];
    width = m_window[2];
    height = m_window[3];
    return kResultOk;
}

HResult CFilterGraph::put_Visible(bool visible) {
    LUMICAST_NEEDS_VIDEO();
    m_bVisible = visible;
    return kResultOk;
}

HResult CFilterGraph::get_Visible(bool& visible) {
    LUMICAST_NEEDS_VIDEO();
    visible = m_bVisible;
    return kResultOk;
}

HResult CFilterGraph::SetWindowForeground(bool) {
    LUMICAST_NEEDS_VIDEO();
    return kResultOk;
}

HResult CFilterGraph::NotifyOwnerMessage(std::uintptr_t, unsigned, std::intptr_t, std::intptr_t) {
    LUMICAST_NEEDS_VIDEO();
    return kResultOk;
}

#undef LUMICAST_NEEDS_VIDEO

std::shared_ptr<const VideoFrame> CFilterGraph::LatestFrame() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_latestFrame;
}

HResult CFilterGraph::SetFrameCallback(std::function<void()> callback) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_frameCallback = std::move(callback);
    return kResultOk;
}

} // namespace media
