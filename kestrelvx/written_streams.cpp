#include "kestrelvx/written_streams.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

#include "kestrelvx/media_facts.h"
#include "kestrelvx/mp4_boxes.h"

namespace kestrelvx {
namespace {

constexpr std::uint64_t kLargestIndex = 256ULL * 1024 * 1024;

struct Box {
    char type[4];
    std::size_t begin; // the payload, in the buffer
    std::size_t end;
};

// The boxes in buffer[begin, end); false when one runs past the end.
bool Children(const std::vector<unsigned char>& buffer, std::size_t begin, std::size_t end,
              std::vector<Box>& boxes) {
    while (begin + 8 <= end) {
        std::uint64_t size = BigEndian(&buffer[begin], 4);
        std::size_t header = 8;
        if (size == 1) {
            if (begin + 16 > end) {
                return false;
            }
            size = BigEndian(&buffer[begin + 8], 8);
            header = 16;
        } else if (size == 0) {
            size = end - begin;
        }
        if (size < header || size > end - begin) {
            return false;
        }
        Box box{};
        std::memcpy(box.type, &buffer[begin + 4], 4);
        box.begin = begin + header;
        box.end = begin + static_cast<std::size_t>(size);
        boxes.push_back(box);
        begin = box.end;
    }
    return begin == end;
}

const Box* Find(const std::vector<Box>& boxes, const char* type) {
    for (const Box& box : boxes) {
        if (std::memcmp(box.type, type, 4) == 0) {
            return &box;
        }
    }
    return nullptr;
}

// The index ("moov") of the file, read whole.
bool ReadIndex(const std::string& path, std::vector<unsigned char>& index) {
    TopBoxes top;
    if (!ReadTopBoxes(path, top) || top.boxes.empty() ||
        std::memcmp(top.boxes.front().type, "ftyp", 4) != 0) {
        return false;
    }
    for (std::size_t i = 0; i < top.boxes.size(); ++i) {
        const TopBox& box = top.boxes[i];
        const bool bWhole = i + 1 < top.boxes.size() || !top.bRunsPastEnd;
        if (std::memcmp(box.type, "moov", 4) != 0 || !bWhole || box.size < box.header ||
            box.size - box.header > kLargestIndex) {
            continue;
        }
        std::ifstream in(path, std::ios::binary);
        index.resize(static_cast<std::size_t>(box.size - box.header));
        in.seekg(static_cast<std::streamoff>(box.offset + box.header));
        return static_cast<bool>(in.read(reinterpret_cast<char*>(index.data()),
                                         static_cast<std::streamsize>(index.size())));
    }
    return false;
}

} // namespace

bool ReadMp4Tracks(const std::string& path, bool& video, bool& audio) {
    std::vector<unsigned char> index;
    std::vector<Box> tracks;
    if (!ReadIndex(path, index) || !Children(index, 0, index.size(), tracks)) {
        return false;
    }
    video = false;
    audio = false;
    for (const Box& track : tracks) {
        if (std::memcmp(track.type, "trak", 4) != 0) {
            continue;
        }
        std::vector<Box> parts;
        std::vector<Box> media;
        const Box* mdia = nullptr;
        const Box* hdlr = nullptr;
        if (!Children(index, track.begin, track.end, parts) ||
            (mdia = Find(parts, "mdia")) == nullptr ||
            !Children(index, mdia->begin, mdia->end, media) ||
            (hdlr = Find(media, "hdlr")) == nullptr || hdlr->end - hdlr->begin < 12) {
            return false;
        }
        // version and flags, pre_defined, then the handler type
        const unsigned char* handler = &index[hdlr->begin + 8];
        video = video || std::memcmp(handler, "vide", 4) == 0;
        audio = audio || std::memcmp(handler, "soun", 4) == 0;
    }
    return true;
}

bool ReadWrittenStreams(const std::string& path, bool& video, bool& audio, std::string& reason) {
    if (ReadMp4Tracks(path, video, audio)) {
        return true;
    }
    MediaFacts written;
    if (!ReadMediaFacts(path, written, reason)) {
        return false;
    }
    video = written.MainVideo() != nullptr;
    audio = written.MainAudio() != nullptr;
    return true;
}

} // namespace kestrelvx
