#pragma once
// Clips for the media tests, made once per run with ffmpeg's test sources, and small helpers.
#include "media/filter_graph.h"
#include "media/media_interfaces.h"

#include <memory>
#include <string>
#include <vector>

namespace mediatest {

// The path of a generated clip named name ("clip.mp4", "tone.wav", ...): a 160x128 test pattern
// with a stereo tone (no picture for .wav, .mp3, .ra), of the given length. Made at first use.
std::string Clip(const std::string& name, double seconds = 2.0);

// A file of exactly size bytes of junk (not any media format).
std::string JunkFile(const std::string& name, size_t size);

// A path in the run's folder (nothing is made).
std::string TempPath(const std::string& name);

struct Graph {
    std::shared_ptr<media::IGraphBuilder> builder;
    media::CFilterGraph* impl = nullptr;
};
Graph NewGraph();

// The history entries that tell the tries apart: "render-file:..." and "add:<... Source>".
std::vector<std::string> Tries(const Graph& graph);

std::vector<std::string> FilterNames(const Graph& graph);

} // namespace mediatest
