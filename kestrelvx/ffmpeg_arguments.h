#pragma once
// Translating checked settings into the argument list of the ffmpeg program.
#include <string>
#include <vector>

#include "kestrelvx/conversion_settings.h"
#include "kestrelvx/media_facts.h"

namespace kestrelvx {

// The descriptor on which ffmpeg writes its machine-readable progress ("-progress pipe:3").
inline constexpr int kProgressDescriptor = 3;

// Every option of settings as ffmpeg arguments, starting with "ffmpeg" itself. source is what
// the input holds (its picture size decides the MPEG-4 level when the size is kept).
std::vector<std::string> BuildFfmpegArguments(const ConversionSettings& settings,
                                              const MediaFacts& source);

// The MPEG-4 Simple Profile level (1 to 6) whose picture size and bit rate limits hold a
// picture of width x height at kbps (0: not known); the highest level when none does.
int Mpeg4SimpleLevel(int width, int height, int kbps);

} // namespace kestrelvx
