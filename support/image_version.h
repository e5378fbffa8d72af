#pragma once
// Finding the version record inside an executable image.
#include "support/image_bytes.h"

#include <cstdint>
#include <vector>

enum class VersionLookup {
    Found,      // record holds the version record's bytes
    NotImage,   // not an image of a kind that is read here
    NoResource, // a sound image without a version record
    Damaged,    // the image's tables point outside the file or contradict themselves
};

// The longest version record read: its length field has 16 bits.
inline constexpr std::size_t kMaxVersionRecordBytes = 0x10000;

// A PE (Windows) image: the first RT_VERSION (16) resource, its first name and first language,
// through the DOS header, PE header, optional header's resource directory and section table.
VersionLookup FindPeVersionRecord(CImageBytes& image, std::vector<std::uint8_t>& record);

// A little-endian ELF64 image: the contents of the section named kElfVersionSection.
VersionLookup FindElfVersionRecord(CImageBytes& image, std::vector<std::uint8_t>& record);

// The section in which our own build keeps its version record (cmake/VersionResource.cmake).
inline constexpr char kElfVersionSection[] = ".lumicast_version";
