#include "support/file_version.h"

#include "support/image_bytes.h"
#include "support/image_version.h"

#include <cstdio>
#include <vector>

namespace {

constexpr char kNotImageText[] = "The file is not a valid executable image.";
constexpr char kNoResourceText[] = "The specified resource type cannot be found in the image file.";
constexpr char kDamagedText[] = "The image file is damaged or cut short.";

} // namespace

bool ReadFileVersionInfo(const std::string& path, FixedFileInfo& info, std::string& strError) {
    CFileImageBytes image(path);
    if (!image.IsOpen()) {
        strError = image.ErrorText();
        return false;
    }
    std::vector<std::uint8_t> record;
    VersionLookup found = FindPeVersionRecord(image, record);
    if (found == VersionLookup::NotImage) {
        found = FindElfVersionRecord(image, record);
    }
    switch (found) {
    case VersionLookup::Found:
        break;
    case VersionLookup::NotImage:
        strError = kNotImageText;
        return false;
    case VersionLookup::NoResource:
        strError = kNoResourceText;
        return false;
    case VersionLookup::Damaged:
        strError = kDamagedText;
        return false;
    }
    FixedFileInfo parsed;
    if (!ParseVersionRecord(record.data(), record.size(), parsed)) {
        strError = kDamagedText;
        return false;
    }
    info = parsed;
    return true;
}

bool GetFileVersion(const std::string& path, int& major, int& minor, int& third) {
    FixedFileInfo info;
    std::string error;
    if (!ReadFileVersionInfo(path, info, error)) {
        std::printf("Unable to access file \"%s\" : %s\n", path.c_str(), error.c_str());
        return false;
    }
    std::fputs(DescribeFixedFileInfo(info).c_str(), stdout);
    major = static_cast<int>(info.nFileVersionMS >> 16);
    minor = static_cast<int>(info.nFileVersionMS & 0xFFFFU);
    third = static_cast<int>(info.nFileVersionLS >> 16);
    return true;
}
