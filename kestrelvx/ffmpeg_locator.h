#pragma once
// Where the ffmpeg program is.
#include <string>

namespace kestrelvx {

// Looks for an executable "ffmpeg" in the folder of this program first, then in the absolute
// folders of PATH (the standard path when PATH is unset). The current folder is never searched,
// neither directly nor through an empty or relative PATH entry.
bool FindFfmpeg(std::string& path, std::string& reason);

} // namespace kestrelvx
