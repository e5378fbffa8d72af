// The version readers (support/pe_version, elf_version, version_record, file_version): any bytes as
// an executable, read from memory and from a file, and any bytes as a version record.
#include "fuzz_check.h"
#include "support/file_version.h"
#include "support/image_bytes.h"
#include "support/image_version.h"
#include "support/version_record.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

// A copy in a heap block of exactly n bytes, so that a read past the end is caught.
std::unique_ptr<std::uint8_t[]> Exact(const std::uint8_t* data, std::size_t n) {
    auto copy = std::make_unique<std::uint8_t[]>(n);
    if (n > 0) {
        std::memcpy(copy.get(), data, n);
    }
    return copy;
}

bool SameInfo(const FixedFileInfo& a, const FixedFileInfo& b) {
    return a.nSignature == b.nSignature && a.nStrucVersion == b.nStrucVersion &&
           a.nFileVersionMS == b.nFileVersionMS && a.nFileVersionLS == b.nFileVersionLS &&
           a.nProductVersionMS == b.nProductVersionMS &&
           a.nProductVersionLS == b.nProductVersionLS && a.nFileFlagsMask == b.nFileFlagsMask &&
           a.nFileFlags == b.nFileFlags && a.nFileOS == b.nFileOS && a.nFileType == b.nFileType &&
           a.nFileSubtype == b.nFileSubtype && a.nFileDateMS == b.nFileDateMS &&
           a.nFileDateLS == b.nFileDateLS;
}

void CheckDescription(const FixedFileInfo& info) {
    const std::string text = DescribeFixedFileInfo(info);
    FUZZ_CHECK(std::count(text.begin(), text.end(), '\n') == 9);
}

int g_nFileFd = -1;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // 1. The bytes as a version record.
    {
        const auto record = Exact(data, size);
        FixedFileInfo info;
        if (ParseVersionRecord(record.get(), size, info)) {
            CheckDescription(info);
        }
    }

    // 2. The bytes as an image in memory, the way the file reader looks at a file.
    const auto image = Exact(data, size);
    CMemoryImageBytes memory(image.get(), size);
    std::vector<std::uint8_t> record;
    VersionLookup found = FindPeVersionRecord(memory, record);
    if (found == VersionLookup::NotImage) {
        record.clear();
        found = FindElfVersionRecord(memory, record);
    }
    bool bParsed = false;
    FixedFileInfo info;
    if (found == VersionLookup::Found) {
        FUZZ_CHECK(record.size() <= kMaxVersionRecordBytes);
        const auto exact = Exact(record.data(), record.size());
        bParsed = ParseVersionRecord(exact.get(), record.size(), info);
        if (bParsed) {
            CheckDescription(info);
        }
    }

    // 3. The same bytes in a file: the file reader must come to the same answer. Opening and
    //    reading a file costs far more than the look-up, so one input in 16 goes through it.
    if (fuzz::InputHash(data, size) % 16 != 0) {
        return 0;
    }
    if (g_nFileFd < 0) {
        g_nFileFd = memfd_create("image.exe", 0);
        FUZZ_CHECK(g_nFileFd >= 0);
    }
    FUZZ_CHECK(ftruncate(g_nFileFd, 0) == 0);
    FUZZ_CHECK(pwrite(g_nFileFd, data, size, 0) == static_cast<ssize_t>(size));
    FixedFileInfo fromFile;
    std::string error;
    const bool bRead =
        ReadFileVersionInfo("/proc/self/fd/" + std::to_string(g_nFileFd), fromFile, error);
    FUZZ_CHECK(bRead == bParsed);
    FUZZ_CHECK(bRead ? SameInfo(fromFile, info) : !error.empty());
    return 0;
}
