#pragma once
// Whether a written output holds a picture and a sound: read from an MP4 or MOV file's index
// directly (the tracks' handlers), which loads none of FFmpeg's libraries; any other file, or one
// whose index cannot be walked, is read with them (ReadMediaFacts).
#include <string>

namespace kestrelvx {

// False, with the reason, when the output cannot be read at all.
bool ReadWrittenStreams(const std::string& path, bool& video, bool& audio, std::string& reason);

// The tracks of an MP4 or MOV file by their handlers ("vide", "soun"). False when the file is
// not one, or its index is missing or damaged.
bool ReadMp4Tracks(const std::string& path, bool& video, bool& audio);

} // namespace kestrelvx
