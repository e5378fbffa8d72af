#pragma once
// Where ffmpeg must start reading a source so that a part of it begins with its own first frame.
#include <cstdint>
#include <string>

#include "kestrelvx/media_facts.h"

namespace kestrelvx {

// How far before startUs (from the beginning of the source at path) a seek must land so that the
// main video, decoded from there, meets a key frame at or before the start. 0 when a seek to the
// start itself does (a container with an index of its key frames: MP4, MKV, AVI, ...); startUs
// when none closer does and the source must be decoded from its beginning (a transport stream
// whose key frames lie far apart). 0 as well when there is no video or the source cannot be read
// again: the seek then goes to the start, as for an indexed container.
int64_t SeekLeadUs(const std::string& path, const MediaFacts& facts, int64_t startUs);

} // namespace kestrelvx
