#pragma once
// Opening a source file into a filter graph: a source filter chosen by the file's extension, the
// framework's own rendering, and a chain of fallbacks.
#include "media/media_interfaces.h"

#include <memory>
#include <string>

namespace media {

// Files below this many bytes are refused before any filter is made.
inline constexpr long long kMinimumMediaFileSize = 102;

// Opens path into graph. kResultPointer without a graph; kResultFileTooSmall (logged as
// "**Error:E_CUS_FILE_SIZE_TOO_LITTLE,size=%d") for a file below 102 bytes; kResultUnexpected when
// every way failed (the graph is then empty). On success the graph plays the file.
HResult OpenFileInGraph(IGraphBuilder* graph, const std::string& path);

// Adds the source filter of classId under filterName, loads path and renders its output pins. On
// failure the filter is no longer in the graph; a filter that cannot be made (its demuxer is not
// installed) fails with kResultUnexpected.
HResult TrySourceFilter(IGraphBuilder* graph, const std::string& path,
                        const std::string& filterName, const std::string& classId);

// Loads path into the filter's file source and renders every output pin; the result of the last
// pin handled. kResultUnexpected when the filter shows no pins; kResultNoInterface when it reads
// no file.
HResult RenderOutputPins(IGraphBuilder* graph, const std::shared_ptr<IBaseFilter>& filter,
                         const std::string& path);

// Removes every filter the graph holds.
void RemoveAllFilters(IGraphBuilder* graph);

} // namespace media
