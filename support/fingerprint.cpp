#include "support/fingerprint.h"

#include <cstdio>

std::uint64_t Fingerprint(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    return hash;
}

std::string FingerprintText(const std::string& text) {
    char digits[17];
    std::snprintf(digits, sizeof(digits), "%016llx",
                  static_cast<unsigned long long>(Fingerprint(text)));
    return digits;
}
