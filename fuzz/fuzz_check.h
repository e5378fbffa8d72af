#pragma once
// Shared pieces of the fuzz targets: a check that stops the run (the fuzzer then keeps the input as
// a crash), and helpers that split an input the same way in every target.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// Stops the run with a message when a property does not hold.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every zero byte: the pieces hold no zero byte, as an argument vector's texts
// never do. An empty input gives no pieces; "a\0" gives "a" and "".
inline std::vector<std::string> SplitAtZero(std::string_view text, std::size_t maxPieces) {
    std::vector<std::string> pieces;
    if (text.empty()) {
        return pieces;
    }
    std::size_t from = 0;
    while (pieces.size() < maxPieces) {
        const std::size_t zero = text.find('\0', from);
        pieces.emplace_back(text.substr(from, zero == std::string_view::npos ? zero : zero - from));
        if (zero == std::string_view::npos) {
            break;
        }
        from = zero + 1;
    }
    return pieces;
}

// A hash of the input (FNV-1a), for the checks that are too slow to make on every input: they run
// on the inputs whose hash says so, so a run is still decided by its input alone.
inline std::uint32_t InputHash(const std::uint8_t* data, std::size_t size) {
    std::uint32_t hash = 2166136261U;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619U;
    }
    return hash;
}

} // namespace fuzz
