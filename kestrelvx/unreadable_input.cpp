#include "kestrelvx/unreadable_input.h"

#include "kestrelvx/mp4_boxes.h"

#include <cstring>
#include <sys/stat.h>

namespace kestrelvx {
namespace {

// Boxes that may stand at the top of an ISO base media file; a file that begins otherwise is no
// such file.
bool IsTopLevelBox(const char* type) {
    static constexpr const char* kTypes[] = {"ftyp", "moov", "mdat", "free", "skip", "wide",
                                             "pnot", "uuid", "pdin", "meta", "styp", "sidx"};
    for (const char* known : kTypes) {
        if (std::memcmp(type, known, 4) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

bool EndsBeforeIndex(const std::string& path) {
    TopBoxes top;
    if (!ReadTopBoxes(path, top) || top.boxes.empty()) {
        return false;
    }
    bool mediaData = false;
    for (const TopBox& box : top.boxes) {
        if (!IsTopLevelBox(box.type) || std::memcmp(box.type, "moov", 4) == 0) {
            return false; // not an MP4 or MOV file, or its index is there
        }
        mediaData = mediaData || std::memcmp(box.type, "mdat", 4) == 0;
    }
    return mediaData;
}

std::string UnreadableInputReason(const std::string& path, const std::string& libraryReason) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0) {
        return "the file is empty";
    }
    if (EndsBeforeIndex(path)) {
        return kCutBeforeIndex;
    }
    std::string text = libraryReason;
    const std::string prefix = path + ": ";
    if (text.compare(0, prefix.size(), prefix) == 0) {
        text.erase(0, prefix.size());
    }
    if (text == "Invalid data found when processing input") {
        return "the file is not a video or audio file that can be read";
    }
    return "the file cannot be read: " + text;
}

} // namespace kestrelvx
