#include "kestrelvx/mp4_boxes.h"

#include <cstring>
#include <fstream>

namespace kestrelvx {

std::uint64_t BigEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

bool ReadTopBoxes(const std::string& path, TopBoxes& top) {
    constexpr int kMostBoxes = 100000;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    in.seekg(0, std::ios::end);
    const auto fileSize = static_cast<std::uint64_t>(in.tellg());
    top = TopBoxes{};
    std::uint64_t offset = 0;
    while (offset < fileSize && static_cast<int>(top.boxes.size()) < kMostBoxes) {
        unsigned char header[16];
        const std::uint64_t room = fileSize - offset;
        in.seekg(static_cast<std::streamoff>(offset));
        TopBox box;
        box.offset = offset;
        if (room < 8 || !in.read(reinterpret_cast<char*>(header), 8)) {
            top.bRunsPastEnd = true;
            return true;
        }
        std::memcpy(box.type, header + 4, 4);
        box.size = BigEndian(header, 4);
        if (box.size == 1) {
            if (room < 16 || !in.read(reinterpret_cast<char*>(header + 8), 8)) {
                top.bRunsPastEnd = true;
                top.boxes.push_back(box);
                return true;
            }
            box.size = BigEndian(header + 8, 8);
            box.header = 16;
        } else if (box.size == 0) {
            box.size = room; // the last box, up to the end of the file
        }
        top.boxes.push_back(box);
        if (box.size < box.header) {
            return true; // not a box: the walk ends here
        }
        if (box.size > room) {
            top.bRunsPastEnd = true;
            return true;
        }
        offset += box.size;
    }
    return true;
}

} // namespace kestrelvx
