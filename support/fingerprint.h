#pragma once
// A short name for a long text (FNV-1a, 64 bits): the same text gives the same number in every run
// and every process, so files can be named after what they belong to.
#include <cstdint>
#include <string>

std::uint64_t Fingerprint(const std::string& text);

// The fingerprint as 16 hexadecimal digits.
std::string FingerprintText(const std::string& text);
