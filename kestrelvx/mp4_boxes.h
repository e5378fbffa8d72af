#pragma once
// The top-level boxes of an MP4 or MOV file (ISO base media): what they are and where they lie.
#include <cstdint>
#include <string>
#include <vector>

namespace kestrelvx {

struct TopBox {
    char type[4] = {};
    std::uint64_t offset = 0; // where the box begins
    std::uint64_t header = 8; // bytes of its header
    std::uint64_t size = 0;   // its whole size, header included
};

struct TopBoxes {
    std::vector<TopBox> boxes;
    bool bRunsPastEnd = false; // the file ends inside the last box (or inside its header)
};

// Reads the headers of the file's top-level boxes, in order, up to the end of the file or a box
// that runs past it (listed, with bRunsPastEnd). False when the file cannot be opened.
bool ReadTopBoxes(const std::string& path, TopBoxes& top);

// A big-endian number of `count` bytes.
std::uint64_t BigEndian(const unsigned char* bytes, int count);

} // namespace kestrelvx
