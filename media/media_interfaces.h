#pragma once
// The media framework's operations as the preview and the inspection code see them: a filter graph
// with its control, seeking, event, audio, video and video-window faces, filters and their pins.
// Every operation returns a signed 32-bit result code, negative for failure. Times are counts of
// 100 ns. Paths are file names in the system's byte encoding, never URIs.
#include "support/result_codes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace media {

// A media time: a count of 100 ns units.
using RefTime = std::int64_t;
inline constexpr RefTime kRefTimePerSecond = 10000000;

// The media framework's own codes (the DirectShow numbers the callers know).
inline constexpr HResult kVfwStatePartialRender = 0x00040242; // VFW_S_PARTIAL_RENDER
inline constexpr HResult kVfwStateIntermediate = 0x00040237;  // VFW_S_STATE_INTERMEDIATE
inline constexpr HResult kVfwDuplicateName = 0x0004022D;      // VFW_S_DUPLICATE_NAME
inline constexpr HResult kVfwCannotRender =
    static_cast<HResult>(0x80040218U);                                       // VFW_E_CANNOT_RENDER
inline constexpr HResult kVfwNotStopped = static_cast<HResult>(0x80040224U); // VFW_E_NOT_STOPPED
inline constexpr HResult kVfwWrongState = static_cast<HResult>(0x80040227U); // VFW_E_WRONG_STATE
inline constexpr HResult kVfwTimeout = static_cast<HResult>(0x8004022EU);    // VFW_E_TIMEOUT
inline constexpr HResult kVfwInvalidFileFormat =
    static_cast<HResult>(0x8004022FU); // VFW_E_INVALID_FILE_FORMAT
inline constexpr HResult kVfwUnknownFileType =
    static_cast<HResult>(0x80040240U); // VFW_E_UNKNOWN_FILE_TYPE
inline constexpr HResult kVfwUnsupportedStream =
    static_cast<HResult>(0x80040265U); // VFW_E_UNSUPPORTED_STREAM
inline constexpr HResult kVfwNotFound = static_cast<HResult>(0x80040216U);        // VFW_E_NOT_FOUND
inline constexpr HResult kResultFileNotFound = static_cast<HResult>(0x80070002U); // no such file
inline constexpr HResult kResultAccessDenied = static_cast<HResult>(0x80070005U); // not readable

// Completion event codes.
inline constexpr long kEcComplete = 1;   // EC_COMPLETE: every stream reached its end
inline constexpr long kEcErrorAbort = 3; // EC_ERRORABORT: an error in the stream stopped playback

enum class PinDirection { Input = 0, Output = 1 };

class IPin {
public:
    virtual ~IPin() = default;
    virtual HResult QueryDirection(PinDirection& direction) = 0;
    virtual std::string Name() const = 0;
};

// The face of a source filter that is given the file to read.
class IFileSourceFilter {
public:
    virtual ~IFileSourceFilter() = default;
    virtual HResult Load(const std::string& path) = 0;
};

class IBaseFilter {
public:
    virtual ~IBaseFilter() = default;
    // The name the filter was added to the graph under.
    virtual std::string Name() const = 0;
    virtual HResult EnumPins(std::vector<std::shared_ptr<IPin>>& pins) = 0;
    // The file-source face, or nullptr when the filter reads no file.
    virtual IFileSourceFilter* QueryFileSource() = 0;
};

class IGraphBuilder {
public:
    virtual ~IGraphBuilder() = default;
    virtual HResult AddFilter(const std::shared_ptr<IBaseFilter>& filter,
                              const std::string& name) = 0;
    virtual HResult RemoveFilter(const std::shared_ptr<IBaseFilter>& filter) = 0;
    // The filters in the order they were added.
    virtual HResult EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>& filters) = 0;
    // Builds the whole chain for a file: source, decoders, video and audio output.
    virtual HResult RenderFile(const std::string& path) = 0;
    // Connects decoders and an output behind an output pin.
    virtual HResult Render(const std::shared_ptr<IPin>& pin) = 0;
};

enum class FilterState { Stopped = 0, Paused = 1, Running = 2 };

class IMediaControl {
public:
    virtual ~IMediaControl() = default;
    virtual HResult Run() = 0;
    virtual HResult Pause() = 0;
    virtual HResult Stop() = 0;
    // Waits up to timeoutMs for a state change to finish; kVfwStateIntermediate when it has not.
    virtual HResult GetState(long timeoutMs, FilterState& state) = 0;
    // Cues the frame at the current position (it is shown) and stops.
    virtual HResult StopWhenReady() = 0;
};

enum class TimeFormat { None, MediaTime, Frame, Sample, Field, Byte };

// Positioning flags of SetPositions.
inline constexpr unsigned kSeekingNoPositioning = 0;
inline constexpr unsigned kSeekingAbsolutePositioning = 1;
inline constexpr unsigned kSeekingRelativePositioning = 2;
inline constexpr unsigned kSeekingPositioningBitsMask = 3;

class IMediaSeeking {
public:
    virtual ~IMediaSeeking() = default;
    // kResultOk when the format is supported, kResultFalse otherwise.
    virtual HResult IsFormatSupported(TimeFormat format) = 0;
    virtual HResult GetTimeFormat(TimeFormat& format) = 0;
    virtual HResult SetTimeFormat(TimeFormat format) = 0;
    virtual HResult GetDuration(RefTime& duration) = 0;
    virtual HResult GetCurrentPosition(RefTime& position) = 0;
    virtual HResult SetPositions(RefTime* current, unsigned currentFlags, RefTime* stop,
                                 unsigned stopFlags) = 0;
};

class IMediaEventEx {
public:
    virtual ~IMediaEventEx() = default;
    // Waits up to timeoutMs for the end of playback: eventCode becomes kEcComplete at the end of
    // every stream, kEcErrorAbort after an error in a stream; kResultAbort when nothing came.
    virtual HResult WaitForCompletion(long timeoutMs, long& eventCode) = 0;
    virtual HResult SetNotifyWindow(std::uintptr_t window, unsigned message,
                                    std::intptr_t param) = 0;
};

class IBasicAudio {
public:
    virtual ~IBasicAudio() = default;
    // -10,000 (silent) to 0 (full), in hundredths of a decibel.
    virtual HResult put_Volume(long volume) = 0;
    virtual HResult get_Volume(long& volume) = 0;
    // -10,000 (left only) to 10,000 (right only).
    virtual HResult put_Balance(long balance) = 0;
    virtual HResult get_Balance(long& balance) = 0;
};

class IBasicVideo {
public:
    virtual ~IBasicVideo() = default;
    virtual HResult GetVideoSize(long& width, long& height) = 0;
};

// One decoded picture: 32-bit pixels, blue, green, red and one unused byte (BGRx, the layout of
// a little-endian 0xffRRGGBB word), rows of stride bytes.
struct VideoFrame {
    int width = 0;
    int height = 0;
    int stride = 0;
    RefTime time = 0; // the frame's stream time
    std::vector<std::uint8_t> pixels;
};

// The video window. Here the graph draws nothing itself: it hands its frames to whoever paints the
// video area (LatestFrame, or the frame callback), and keeps the window values it is given. Every
// call fails with kResultNoInterface when the graph has no video output (a file with sound only).
class IVideoWindow {
public:
    virtual ~IVideoWindow() = default;
    virtual HResult put_AutoShow(bool autoShow) = 0;
    virtual HResult put_MessageDrain(std::uintptr_t window) = 0;
    virtual HResult put_Owner(std::uintptr_t window) = 0;
    virtual HResult put_WindowStyle(long style) = 0;
    virtual HResult SetWindowPosition(long left, long top, long width, long height) = 0;
    virtual HResult GetWindowPosition(long& left, long& top, long& width, long& height) = 0;
    virtual HResult put_Visible(bool visible) = 0;
    virtual HResult get_Visible(bool& visible) = 0;
    virtual HResult SetWindowForeground(bool focus) = 0;
    virtual HResult NotifyOwnerMessage(std::uintptr_t window, unsigned message,
                                       std::intptr_t wParam, std::intptr_t lParam) = 0;
    // The newest decoded frame (nullptr before the first one). Safe from any thread.
    virtual std::shared_ptr<const VideoFrame> LatestFrame() = 0;
    // Called on a streaming thread after each new frame; it must not block and must not call back
    // into the graph (post to the painting thread instead). An empty function removes it.
    virtual HResult SetFrameCallback(std::function<void()> callback) = 0;
};

// Makes a new, empty filter graph. kResultClassNotRegistered when GStreamer cannot start or lacks
// the elements every graph needs (the reason goes to the diagnostic log).
HResult CreateFilterGraph(std::shared_ptr<IGraphBuilder>& graph);

// Asks the graph for one of its faces (IMediaControl, IMediaSeeking, ...).
template <class I>
HResult QueryInterface(const std::shared_ptr<IGraphBuilder>& graph, std::shared_ptr<I>& out) {
    if (!graph) {
        return kResultPointer;
    }
    out = std::dynamic_pointer_cast<I>(graph);
    return out ? kResultOk : kResultNoInterface;
}

} // namespace media
