#pragma once
// Builds small PE and ELF images with a version record, in memory, for the version reader's
// tests.
#include "support/version_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace image_test {

// A VS_VERSIONINFO record holding info (value length 52 unless told otherwise).
std::vector<std::uint8_t> VersionRecord(const FixedFileInfo& info,
                                        const std::u16string& key = u"VS_VERSION_INFO",
                                        std::uint16_t valueLength = 52);

// Fixed information with file and product version a.b.c.d.
FixedFileInfo Info(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d);

struct ImageOptions {
    bool bPe32Plus = true;
    bool bWithResources = true;
    std::uint32_t nResourceType = 16; // RT_VERSION
    bool bNamedEntryFirst = false;    // a named type entry before the id entries
};

// A PE image whose .rsrc section holds record as the first language of the first name of the
// resource type options.nResourceType.
std::vector<std::uint8_t> PeImage(const std::vector<std::uint8_t>& record,
                                  const ImageOptions& options = {});

// A 64-bit little-endian ELF file with three sections: none, the section names, and
// ".lumicast_version" holding record.
std::vector<std::uint8_t> ElfImage(const std::vector<std::uint8_t>& record);

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v);
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v);

// Offsets inside images made by PeImage.
inline constexpr std::size_t kPeHeader = 0x40;
inline constexpr std::size_t kResourceFileOffset = 0x200;
inline constexpr std::size_t kRecordInResources = 0x60;
inline constexpr std::size_t kElfRecordOffset = 96;

} // namespace image_test
