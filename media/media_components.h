#pragma once
// The components the media layer relies on: GStreamer itself, the element factories that play the
// parts of the source filters, encoders and writers, and the audio output.
#include <string>
#include <vector>

typedef struct _GstElement GstElement; // NOLINT(modernize-use-using): GStreamer's own declaration

namespace media {

// Starts GStreamer once per process. False when it cannot start (logged once).
bool InitMediaFramework();

// Starts, once per process and on a thread of its own, what the first file to play would otherwise
// wait for: GStreamer itself, the plugins of the elements every graph uses and of the common
// demuxers, parsers and decoders, and the choice of the audio output. Returns at once; a graph
// opened before it is done waits only for the part it needs, as it would have loaded that part
// itself. Nothing it does changes what a graph chooses.
void PrepareMediaFramework();

// Whether an element factory is installed and not hidden. Tests hide factories with
// SetHiddenFactories or the environment variable LUMICAST_MEDIA_HIDE (names separated by commas or
// spaces); a hidden factory counts as not installed everywhere, the automatic decoding included.
bool FactoryAvailable(const std::string& factory);
bool FactoryHidden(const std::string& factory);
void SetHiddenFactories(const std::vector<std::string>& factories);

// A source filter that can be asked for by name: its class id and the demuxer factory behind it.
struct SourceFilterInfo {
    const char* name;
    const char* classId;
    const char* factory;
};
inline constexpr SourceFilterInfo kRealMediaSource = {
    "RealMedia Source", "{765035B3-5944-4A94-806B-20EE3415F26F}", "rmdemux"};
inline constexpr SourceFilterInfo kWindowsMediaSource = {
    "WindowsMedia Source", "{6B6D0800-9ADA-11D0-A520-00A0D10129C0}", "asfdemux"};
inline constexpr SourceFilterInfo kQuickTimeSource = {
    "QuickTime Source", "{E41C6AFE-738D-4A56-957C-C352F41B3275}", "qtdemux"};

// The demuxer factory for a class id (compared without regard to case), or nullptr.
const char* SourceFactoryForClassId(const std::string& classId);

// The audio output of a graph, not yet added to any bin: the element the environment variable
// LUMICAST_AUDIO_SINK names (a factory name or a gst-launch description), else the desktop's
// automatically detected output; where no desktop output works, a silent sink that still plays
// in real time. nullptr when not even that can be made.
GstElement* CreateAudioSinkElement();

// The version of the Windows Media runtime as the WMV target check reads it: 9.0 when the Windows
// Media video and audio encoders are installed (the runtime that writes WMV 8 video and WMA 2
// audio), 0.0 otherwise.
void GetWindowsMediaVersion(int& major, int& minor);
// The Windows Media writer: the ASF muxer.
bool WindowsMediaWriterAvailable();
// The Ogg codec package: the Ogg muxer with the Vorbis and Theora encoders.
bool OggCodecAvailable();

} // namespace media
