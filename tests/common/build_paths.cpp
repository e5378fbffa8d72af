// The folders of the build, compiled into this one file only: the paths differ from one clone to
// the next, and the compiler cache can serve every other test file of another clone only when no
// path is on their command lines.
#include "common/testkit.h"

namespace testkit {

std::string BinDir() {
    return LUMICAST_BUILD_DIR "/bin";
}

std::string BuildDir() {
    return LUMICAST_BUILD_DIR;
}

std::string SourceDir() {
    return LUMICAST_SOURCE_DIR;
}

} // namespace testkit
