#pragma once
// Generated media for tests, what ffprobe says about a file, and running a program to its end.
#include <map>
#include <string>
#include <vector>

namespace testkit {

// Makes a clip of the given length with ffmpeg's test sources: a moving test pattern of width x
// height at 25 fps (no video when width or height is 0) and, with withAudio, a 440 Hz stereo tone
// at 44100 Hz. The container and codecs follow the extension of path (".mp4": H.264 and AAC,
// ".wav": PCM, ...). True when ffmpeg wrote the file.
bool MakeClip(const std::string& path, double seconds, int width, int height, bool withAudio);

struct StreamInfo {
    int index = -1;
    std::string type;    // "video", "audio", "subtitle", "data"
    std::string codec;   // "mpeg4", "h264", "aac", "mpeg2video", ...
    std::string profile; // "Simple Profile", "Constrained Baseline", "LC", ...
    int width = 0;
    int height = 0;
    std::string frameRate; // r_frame_rate as a fraction: "30000/1001", "25/1"
    int hasBFrames = 0;
    int sampleRate = 0;
    int channels = 0;
    double duration = 0.0; // seconds, 0 when unknown
};

struct MediaInfo {
    bool ok = false;                         // ffprobe read the file
    std::string formatName;                  // "mov,mp4,m4a,3gp,3g2,mj2", "mpeg", ...
    double duration = 0.0;                   // seconds
    std::map<std::string, std::string> tags; // the container's tags ("title", ...)
    std::vector<StreamInfo> streams;

    // The first stream of a type ("video", "audio"), or nullptr.
    const StreamInfo* First(const std::string& type) const;
};

// What ffprobe reports about the file's container and streams.
MediaInfo ProbeStreams(const std::string& path);

struct ProgramRun {
    int exitCode = -1;  // the exit status, -1 when the program did not exit by itself
    int signal = 0;     // the signal that ended it, 0 if none
    std::string output; // standard output and standard error, in the order written
};

// Runs the program at argv[0] with argv (no shell), its standard output and standard error in
// one pipe and its standard input on /dev/null, and waits for its end; after timeoutMs it is
// killed.
ProgramRun RunProgram(const std::vector<std::string>& argv, int timeoutMs = 60000);

} // namespace testkit
