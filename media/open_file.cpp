#include "media/open_file.h"

#include "media/filter_graph.h"
#include "media/media_components.h"
#include "support/log.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <exception>

namespace media {
namespace {

// The outcome of one try: its result, and whether something inside the framework broke down
// instead of returning a failure (the graph is then emptied before the next try).
struct TryOutcome {
    HResult hr = kResultUnexpected;
    bool bRaised = false;

    bool Good() const { return Succeeded(hr) && !bRaised; }
};

std::string Extension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool IsRealMediaExtension(const std::string& extension) {
    return extension == "rmvb" || extension == "ram" || extension == "rm" || extension == "ra";
}

HResult RenderOutputPinsImpl(IGraphBuilder* graph, const std::shared_ptr<IBaseFilter>& filter,
                             const std::string& path, bool& bRaised) {
    IFileSourceFilter* fileSource = filter ? filter->QueryFileSource() : nullptr;
    if (fileSource == nullptr) {
        bRaised = true;
        return kResultNoInterface;
    }
    fileSource->Load(path);
    std::vector<std::shared_ptr<IPin>> pins;
    if (Failed(filter->EnumPins(pins)) || pins.empty()) {
        return kResultUnexpected;
    }
    HResult hr = kResultUnexpected;
    for (const auto& pin : pins) {
        PinDirection direction = PinDirection::Input;
        hr = pin->QueryDirection(direction);
        if (Failed(hr)) {
            return hr;
        }
        if (direction == PinDirection::Output) {
            hr = graph->Render(pin);
        }
    }
    return hr;
}

HResult TrySourceFilterImpl(IGraphBuilder* graph, const std::string& path,
                            const std::string& filterName, const std::string& classId,
                            bool& bRaised) {
    std::shared_ptr<IBaseFilter> filter;
    if (Failed(CreateSourceFilter(classId, filter))) {
        return kResultUnexpected;
    }
    HResult hr = graph->AddFilter(filter, filterName);
    if (Failed(hr)) {
        return hr;
    }
    hr = RenderOutputPinsImpl(graph, filter, path, bRaised);
    if (Succeeded(hr) || bRaised) {
        return hr;
    }
    graph->RemoveFilter(filter);
    return hr;
}

// Runs one try; anything thrown inside counts as an error raised in the framework.
template <class F> TryOutcome Guarded(IGraphBuilder* graph, F&& attempt) {
    TryOutcome outcome;
    try {
        outcome.hr = attempt(outcome.bRaised);
    } catch (const std::exception& e) {
        WriteLogLine("Media: a source try broke down: %s", e.what());
        outcome.bRaised = true;
    } catch (...) {
        outcome.bRaised = true;
    }
    if (outcome.bRaised) {
        try {
            RemoveAllFilters(graph);
        } catch (...) {
        }
    }
    return outcome;
}

TryOutcome TrySource(IGraphBuilder* graph, const std::string& path, const SourceFilterInfo& info) {
    return Guarded(graph, [&](bool& bRaised) {
        return TrySourceFilterImpl(graph, path, info.name, info.classId, bRaised);
    });
}

} // namespace

HResult OpenFileInGraph(IGraphBuilder* graph, const std::string& path) {
    if (graph == nullptr) {
        return kResultPointer;
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && status.st_size < kMinimumMediaFileSize) {
        WriteLogLine("**Error:E_CUS_FILE_SIZE_TOO_LITTLE,size=%d",
                     static_cast<int>(status.st_size));
        return kResultFileTooSmall;
    }
    bool bRealTried = false;
    bool bWindowsTried = false;
    bool bQuickTimeTried = false;
    TryOutcome last;
    if (path.size() > 2 && IsRealMediaExtension(Extension(path))) {
        last = TrySource(graph, path, kRealMediaSource);
        bRealTried = true;
        if (last.Good()) {
            return last.hr;
        }
    }
    last = Guarded(graph, [&](bool&) { return graph->RenderFile(path); });
    if (last.Good()) {
        return last.hr;
    }
    if (!bWindowsTried) {
        last = TrySource(graph, path, kWindowsMediaSource);
        bWindowsTried = true;
    }
    if (!bRealTried && !last.Good()) {
        last = TrySource(graph, path, kRealMediaSource);
        bRealTried = true;
    }
    if (!bQuickTimeTried && !last.Good()) {
        last = TrySource(graph, path, kQuickTimeSource);
        bQuickTimeTried = true;
    }
    return last.Good() ? last.hr : kResultUnexpected;
}

HResult TrySourceFilter(IGraphBuilder* graph, const std::string& path,
                        const std::string& filterName, const std::string& classId) {
    if (graph == nullptr) {
        return kResultPointer;
    }
    bool bRaised = false;
    return TrySourceFilterImpl(graph, path, filterName, classId, bRaised);
}

HResult RenderOutputPins(IGraphBuilder* graph, const std::shared_ptr<IBaseFilter>& filter,
                         const std::string& path) {
    if (graph == nullptr) {
        return kResultPointer;
    }
    bool bRaised = false;
    return RenderOutputPinsImpl(graph, filter, path, bRaised);
}

void RemoveAllFilters(IGraphBuilder* graph) {
    if (graph == nullptr) {
        return;
    }
    std::vector<std::shared_ptr<IBaseFilter>> filters;
    if (Failed(graph->EnumFilters(filters))) {
        return;
    }
    for (const auto& filter : filters) {
        graph->RemoveFilter(filter);
    }
}

} // namespace media
