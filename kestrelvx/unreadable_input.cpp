#include "kestrelvx/unreadable_input.h"

#include <cstdint>
#include <cstdio>
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

std::uint64_t BigEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

class CFile {
public:
    explicit CFile(const std::string& path) : m_pFile(std::fopen(path.c_str(), "rb")) {}
    ~CFile() {
        if (m_pFile != nullptr) {
            std::fclose(m_pFile);
        }
    }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    std::FILE* Get() const { return m_pFile; }

private:
    std::FILE* m_pFile;
};

} // namespace

bool EndsBeforeIndex(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    CFile file(path);
    if (file.Get() == nullptr) {
        return false;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    constexpr int kMostBoxes = 100000;
    std::uint64_t offset = 0;
    bool mediaData = false;
    for (int box = 0; box < kMostBoxes && offset < size; ++box) {
        unsigned char header[16];
        if (fseeko(file.Get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
            return false;
        }
        const std::size_t got = std::fread(header, 1, sizeof header, file.Get());
        if (got < 8) {
            return mediaData; // a box header cut in two
        }
        const char* type = reinterpret_cast<const char*>(header + 4);
        if (!IsTopLevelBox(type)) {
            return false; // not an MP4 or MOV file (or one whose damage is of another kind)
        }
        if (std::memcmp(type, "moov", 4) == 0) {
            return false; // the index is there
        }
        std::uint64_t boxSize = BigEndian(header, 4);
        if (boxSize == 1) {
            if (got < 16) {
                return mediaData;
            }
            boxSize = BigEndian(header + 8, 8);
        } else if (boxSize == 0) {
            boxSize = size - offset; // the last box, up to the end of the file
        }
        if (boxSize < 8) {
            return false;
        }
        mediaData = mediaData || std::memcmp(type, "mdat", 4) == 0;
        if (boxSize > size - offset) {
            return mediaData; // the box runs past the end of the file
        }
        offset += boxSize;
    }
    return mediaData && offset >= size;
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
