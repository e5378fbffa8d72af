#pragma once
// What a probe learned about an input, kept for the runs that follow: the application probes each
// file when it is added and converts it soon after, and both runs would read the same facts from
// the same file. The facts are kept per user ($XDG_CACHE_HOME, else ~/.cache, /Velmora/Kestrelvx)
// and used only for the very file they were read from: the same path, device, inode, size,
// modification and change time, within a day. So a conversion of a probed file reads no media
// file and loads none of FFmpeg's libraries before it starts ffmpeg.
#include <string>

#include "kestrelvx/media_facts.h"

namespace kestrelvx {

// The input's facts: kept ones when they belong to this very file, else read by ReadMediaFacts
// (and then kept). On failure, reason is ReadMediaFacts's.
bool ReadInputFacts(const std::string& path, MediaFacts& facts, std::string& reason);

// The facts as the kept file's text, and back. ParseFactsText is false for a text that is not
// such a file or is damaged.
std::string FactsText(const MediaFacts& facts);
bool ParseFactsText(const std::string& text, MediaFacts& facts);

} // namespace kestrelvx
