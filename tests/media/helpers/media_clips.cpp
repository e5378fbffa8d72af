#include "media/helpers/media_clips.h"

#include "common/media.h"
#include "common/testkit.h"

#include <fstream>
#include <map>
#include <mutex>

namespace mediatest {
namespace {

testkit::TempDir& Folder() {
    static testkit::TempDir folder;
    return folder;
}

} // namespace

std::string TempPath(const std::string& name) {
    return Folder().File(name);
}

std::string Clip(const std::string& name, double seconds) {
    static std::mutex lock;
    static std::map<std::string, std::string> made;
    std::lock_guard<std::mutex> guard(lock);
    if (auto it = made.find(name); it != made.end()) {
        return it->second;
    }
    const std::string path = TempPath(name);
    const std::string extension = name.substr(name.find_last_of('.') + 1);
    const bool bSoundOnly = extension == "wav" || extension == "mp3";
    if (!testkit::MakeClip(path, seconds, bSoundOnly ? 0 : 160, bSoundOnly ? 0 : 128, true)) {
        return {};
    }
    made[name] = path;
    return path;
}

std::string JunkFile(const std::string& name, size_t size) {
    const std::string path = TempPath(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (size_t i = 0; i < size; ++i) {
        out.put(static_cast<char>((i * 131 + 7) % 251));
    }
    return path;
}

Graph NewGraph() {
    Graph graph;
    media::CreateFilterGraph(graph.builder);
    graph.impl = dynamic_cast<media::CFilterGraph*>(graph.builder.get());
    return graph;
}

std::vector<std::string> Tries(const Graph& graph) {
    std::vector<std::string> tries;
    for (const std::string& entry : graph.impl->History()) {
        const bool bSource = entry.rfind("add:", 0) == 0 && entry.size() > 11 &&
                             entry.compare(entry.size() - 7, 7, " Source") == 0;
        if (entry.rfind("render-file:", 0) == 0 || bSource) {
            tries.push_back(entry);
        }
    }
    return tries;
}

std::vector<std::string> FilterNames(const Graph& graph) {
    std::vector<std::shared_ptr<media::IBaseFilter>> filters;
    graph.builder->EnumFilters(filters);
    std::vector<std::string> names;
    for (const auto& filter : filters) {
        names.push_back(filter->Name());
    }
    return names;
}

} // namespace mediatest
