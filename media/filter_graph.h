#pragma once
// The filter graph over a GStreamer pipeline. A filter is a small group of elements: a source
// (file reader and demuxer, or file reader and automatic decoding), a decoder behind a source's
// output pin, the video output (an appsink handing BGRx frames to the painter) or the audio
// output (volume, balance and the audio sink). Decoders and outputs are added by rendering.
//
// "Stopped" keeps the pipeline prerolled (GStreamer's PAUSED) so that the position survives and a
// seek while stopped cues the frame there; Run and Pause map to PLAYING and PAUSED.
#include "media/media_interfaces.h"

#include <mutex>

typedef struct _GstElement GstElement; // NOLINT(modernize-use-using): GStreamer's declaration
typedef struct _GstPad GstPad;         // NOLINT(modernize-use-using)
typedef struct _GstBus GstBus;         // NOLINT(modernize-use-using)
typedef struct _GstSample GstSample;   // NOLINT(modernize-use-using)

namespace media {

class CFilterGraph;
class CGraphFilter;

class CGraphPin : public IPin {
public:
    CGraphPin(CGraphFilter* owner, std::string name, PinDirection direction);
    HResult QueryDirection(PinDirection& direction) override;
    std::string Name() const override { return m_strName; }
    CGraphFilter* Owner() const { return m_pOwner; }

private:
    CGraphFilter* m_pOwner;
    std::string m_strName;
    PinDirection m_direction;
};

enum class FilterKind { DemuxSource, FileRender, Decoder, VideoOutput, AudioOutput };

class CGraphFilter : public IBaseFilter, public IFileSourceFilter {
public:
    CGraphFilter(FilterKind kind, std::vector<GstElement*> elements);
    ~CGraphFilter() override;
    CGraphFilter(const CGraphFilter&) = delete;
    CGraphFilter& operator=(const CGraphFilter&) = delete;

    std::string Name() const override;
    HResult EnumPins(std::vector<std::shared_ptr<IPin>>& pins) override;
    IFileSourceFilter* QueryFileSource() override;
    HResult Load(const std::string& path) override;

    FilterKind Kind() const { return m_kind; }
    // The graph holding the filter, or nullptr.
    CFilterGraph* Graph() const;

private:
    friend class CFilterGraph;

    FilterKind m_kind;
    std::vector<GstElement*> m_elements; // owned references, linked in this order
    std::string m_strName;
    CFilterGraph* m_pGraph = nullptr; // the graph holding the filter, or nullptr
    mutable std::mutex m_lock;        // guards m_pins (filled on streaming threads)
    std::vector<std::shared_ptr<CGraphPin>> m_pins;
    bool m_bPadsDone = false;   // the demuxer said it has shown every stream
    bool m_bDiscovered = false; // the source's streams were looked for
    HResult m_hrDiscovery = kResultOk;
};

// Makes a source filter by class id (see media_components.h). kResultClassNotRegistered when
// the class is unknown or its demuxer factory is not installed (or hidden).
HResult CreateSourceFilter(const std::string& classId, std::shared_ptr<IBaseFilter>& filter);

class CFilterGraph : public IGraphBuilder,
                     public IMediaControl,
                     public IMediaSeeking,
                     public IMediaEventEx,
                     public IBasicAudio,
                     public IBasicVideo,
                     public IVideoWindow {
public:
    CFilterGraph();
    ~CFilterGraph() override;
    CFilterGraph(const CFilterGraph&) = delete;
    CFilterGraph& operator=(const CFilterGraph&) = delete;
    bool Valid() const { return m_pPipeline != nullptr; }

    // IGraphBuilder
    HResult AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) override;
    HResult RemoveFilter(const std::shared_ptr<IBaseFilter>& filter) override;
    HResult EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>& filters) override;
    HResult RenderFile(const std::string& path) override;
    HResult Render(const std::shared_ptr<IPin>& pin) override;

    // IMediaControl
    HResult Run() override;
    HResult Pause() override;
    HResult Stop() override;
    HResult GetState(long timeoutMs, FilterState& state) override;
    HResult StopWhenReady() override;

    // IMediaSeeking
    HResult IsFormatSupported(TimeFormat format) override;
    HResult GetTimeFormat(TimeFormat& format) override;
    HResult SetTimeFormat(TimeFormat format) override;
    HResult GetDuration(RefTime& duration) override;
    HResult GetCurrentPosition(RefTime& position) override;
    HResult SetPositions(RefTime* current, unsigned currentFlags, RefTime* stop,
                         unsigned stopFlags) override;

    // IMediaEventEx
    HResult WaitForCompletion(long timeoutMs, long& eventCode) override;
    HResult SetNotifyWindow(std::uintptr_t window, unsigned message, std::intptr_t param) override;

    // IBasicAudio
    HResult put_Volume(long volume) override;
    HResult get_Volume(long& volume) override;
    HResult put_Balance(long balance) override;
    HResult get_Balance(long& balance) override;

    // IBasicVideo
    HResult GetVideoSize(long& width, long& height) override;

    // IVideoWindow
    HResult put_AutoShow(bool autoShow) override;
    HResult put_MessageDrain(std::uintptr_t window) override;
    HResult put_Owner(std::uintptr_t window) override;
    HResult put_WindowStyle(long style) override;
    HResult SetWindowPosition(long left, long top, long width, long height) override;
    HResult GetWindowPosition(long& left, long& top, long& width, long& height) override;
    HResult put_Visible(bool visible) override;
    HResult get_Visible(bool& visible) override;
    HResult SetWindowForeground(bool focus) override;
    HResult NotifyOwnerMessage(std::uintptr_t window, unsigned message, std::intptr_t wParam,
                               std::intptr_t lParam) override;
    std::shared_ptr<const VideoFrame> LatestFrame() override;
    HResult SetFrameCallback(std::function<void()> callback) override;

    // What happened to the graph, one entry per event: "add:<name>", "remove:<name>",
    // "render-file:<path>". For diagnostics and tests.
    std::vector<std::string> History() const;
    // The pipeline, for diagnostics and tests (owned by the graph).
    GstElement* Pipeline() const { return m_pPipeline; }

    // Streams of a source filter: prerolls the graph so that the demuxer shows its streams, and
    // connects each as it appears. Called by the source filter's EnumPins.
    HResult DiscoverPins(CGraphFilter& source);

    // Streaming-thread entry points (public for the C callbacks).
    void OnDemuxPad(CGraphFilter& source, GstPad* pad);
    void OnDecodedPad(GstPad* pad);
    void OnNoMorePads(CGraphFilter& source);
    void OnVideoSample(GstSample* sample);

private:
    HResult AddFilterLocked(const std::shared_ptr<CGraphFilter>& filter, const std::string& name);
    void RemoveFilterAt(size_t index);
    void RemoveFiltersFrom(size_t mark);
    HResult Preroll(long timeoutMs);
    HResult EnsurePrerolled();
    void ResetPipeline();
    HResult ErrorFromBus();
    // Runs or pauses the pipeline (Running or Paused) and records the state; the pipeline's error
    // when it fails.
    HResult EnterState(FilterState state);
    void DropStaleEndOfStream();
    bool HasSource() const;
    bool AllStreamsShown() const;
    bool EveryDemuxerHasStreams() const;
    void ApplyAudioLevels();
    std::shared_ptr<CGraphFilter> MakeDecoder();
    std::shared_ptr<CGraphFilter> MakeVideoOutput();
    std::shared_ptr<CGraphFilter> MakeAudioOutput();
    GstElement* AudioElement(const char* name) const;

    GstElement* m_pPipeline = nullptr;
    GstBus* m_pBus = nullptr;
    mutable std::mutex m_lock; // guards the members below that streaming threads touch
    std::vector<std::shared_ptr<CGraphFilter>> m_filters;
    std::shared_ptr<CGraphFilter> m_videoOut;
    std::shared_ptr<CGraphFilter> m_audioOut;
    std::vector<std::string> m_history;
    std::shared_ptr<const VideoFrame> m_latestFrame;
    std::function<void()> m_frameCallback;
    int m_nDecoders = 0;

    FilterState m_state = FilterState::Stopped;
    RefTime m_lastPosition = 0;
    long m_nPendingEvent = 0; // an error event kept across a seek
    long m_nVolume = 0;
    long m_nBalance = 0;
    long m_window[4] = {0, 0, 0, 0};
    bool m_bVisible = false;
    std::uintptr_t m_owner = 0;
    std::uintptr_t m_drain = 0;
};

} // namespace media
