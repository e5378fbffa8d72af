#pragma once
// The version record shared by PE version resources and the record our own build embeds:
// VS_VERSIONINFO (three 16-bit words - length, value length, type - then the zero-terminated
// UTF-16 key, padded to a multiple of 4 bytes) whose value is a VS_FIXEDFILEINFO.
#include <cstddef>
#include <cstdint>
#include <string>

struct FixedFileInfo {
    std::uint32_t nSignature = 0;
    std::uint32_t nStrucVersion = 0;
    std::uint32_t nFileVersionMS = 0;
    std::uint32_t nFileVersionLS = 0;
    std::uint32_t nProductVersionMS = 0;
    std::uint32_t nProductVersionLS = 0;
    std::uint32_t nFileFlagsMask = 0;
    std::uint32_t nFileFlags = 0;
    std::uint32_t nFileOS = 0;
    std::uint32_t nFileType = 0;
    std::uint32_t nFileSubtype = 0;
    std::uint32_t nFileDateMS = 0;
    std::uint32_t nFileDateLS = 0;
};

// Size of VS_FIXEDFILEINFO: thirteen 32-bit words.
inline constexpr std::size_t kFixedFileInfoSize = 52;

// Reads the fixed information of a record of size bytes. It starts at
// 6 + 2 * (key length + 1), rounded up to a multiple of 4. False when the key has no terminator
// inside the record, when the record's value length says it holds no whole fixed information, or
// when the fixed information does not fit in size. The signature is not checked.
bool ParseVersionRecord(const std::uint8_t* record, std::size_t size, FixedFileInfo& info);

// The description of the fixed information, nine lines, each starting with two spaces:
//   "  Signature:       feef04bd\n" ... "  FileDate:        0.0\n"
std::string DescribeFixedFileInfo(const FixedFileInfo& info);

// Parts of the description: "0x40 | VS_FF_DEBUG", "VOS_NT_WINDOWS32", "VFT_APP", and the sub-type
// text that follows the file type ("" for an application without a sub-type).
std::string FileFlagsText(std::uint32_t flags);
std::string FileOsText(std::uint32_t os);
std::string FileTypeText(std::uint32_t type);
std::string FileSubtypeText(std::uint32_t type, std::uint32_t subtype);
