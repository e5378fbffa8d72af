#pragma once
// Looking at what the encoder wrote the way a viewer would: ffmpeg and ffprobe on its output, a
// decoded frame's picture area, colours and brightness.
#include <string>
#include <vector>

#include "common/media.h"

namespace kestrelvx_test {

// Runs ffmpeg (no standard input, replacing outputs) with the arguments after "ffmpeg".
testkit::ProgramRun Ffmpeg(std::vector<std::string> args);

// One value ffprobe prints for the first video stream ("sample_aspect_ratio", "field_order").
std::string VideoField(const std::string& path, const std::string& field);

// The area that is not black, as cropdetect finds it: "480:360:80:0" (width:height:x:y).
std::string PictureArea(const std::string& path);

// The encoder's lines, without the status lines.
std::string Messages(const std::string& output);

// The average luma (0 to 255) of the first frame, after the given ffmpeg filters if any; -1 when
// it cannot be decoded.
double FrameAverage(const std::string& path, const std::string& filters = "");

struct Colour {
    int r = -1;
    int g = -1;
    int b = -1;
    // "red", "green" or "blue": the strongest of the three; "" when unknown.
    std::string Name() const;
};

// The average colour of a region of the first frame.
Colour RegionColour(const std::string& path, int x, int y, int width, int height);

// The number a frame of a counting clip (CountingClipFilters) shows, read from the first frame
// after the given ffmpeg input and output options; -1 when it cannot be read.
int ShownCount(const std::vector<std::string>& inputOptions, const std::string& path,
               const std::vector<std::string>& outputOptions = {});

// A video filter chain for ffmpeg's lavfi input that shows each frame's number in eight bands
// from left (1) to right (128), white for a set bit, black for a clear one.
std::string CountingClipFilters(int width, int height, int rate, double seconds);

} // namespace kestrelvx_test
