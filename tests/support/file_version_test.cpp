#include "support/file_version.h"
#include "support/image_bytes.h"
#include "support/image_version.h"
#include "support/version_record.h"

#include "common/testkit.h"
#include "support/helpers/image_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using image_test::ElfImage;
using image_test::Info;
using image_test::PeImage;
using image_test::Put16;
using image_test::Put32;
using image_test::VersionRecord;

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Runs the whole look-up on bytes held in a heap block of exactly their size, so that any read
// past the end is caught by the address sanitizer.
bool ReadVersion(const std::vector<std::uint8_t>& bytes, FixedFileInfo& info) {
    const auto copy = std::make_unique<std::uint8_t[]>(bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    CMemoryImageBytes image(copy.get(), bytes.size());
    std::vector<std::uint8_t> record;
    VersionLookup found = FindPeVersionRecord(image, record);
    if (found == VersionLookup::NotImage) {
        found = FindElfVersionRecord(image, record);
    }
    if (found != VersionLookup::Found) {
        return false;
    }
    const auto exact = std::make_unique<std::uint8_t[]>(record.size() + 1);
    std::copy(record.begin(), record.end(), exact.get());
    return ParseVersionRecord(exact.get(), record.size(), info);
}

struct Version {
    int major = 0;
    int minor = 0;
    int third = 0;
    bool operator==(const Version&) const = default;
};

// GetFileVersion on a file, with what it wrote to standard output.
bool GetVersion(const std::string& path, Version& v, std::string& output) {
    ::testing::internal::CaptureStdout();
    const bool ok = GetFileVersion(path, v.major, v.minor, v.third);
    output = ::testing::internal::GetCapturedStdout();
    return ok;
}

TEST(FileVersion, ReadsThePeVersionResource) {
    testkit::TempDir dir;
    for (const bool bPe32Plus : {true, false}) {
        for (const bool bNamedFirst : {false, true}) {
            FixedFileInfo info = Info(6, 5, 2600, 0);
            info.nFileFlags = 0x41;
            info.nFileDateMS = 0x1d2;
            info.nFileDateLS = 0xabc;
            const std::string path = dir.File("quartz.dll");
            WriteBytes(path, PeImage(VersionRecord(info), {bPe32Plus, true, 16, bNamedFirst}));
            Version v;
            std::string out;
            ASSERT_TRUE(GetVersion(path, v, out)) << out;
            EXPECT_EQ(v, (Version{6, 5, 2600}));
            EXPECT_EQ(out, "  Signature:       feef04bd\n"
                           "  StrucVersion:    1.0\n"
                           "  FileVersion:     6.5.2600.0\n"
                           "  ProductVersion:  6.5.2600.0\n"
                           "  FileFlagsMask:   0x3f\n"
                           "  FileFlags:       0x41 (0x40 | VS_FF_DEBUG)\n"
                           "  FileOS:          VOS_NT_WINDOWS32\n"
                           "  FileType:        VFT_DLL\n"
                           "  FileDate:        1d2.abc\n");
        }
    }
}

TEST(FileVersion, KeyLengthDecidesWhereTheFixedInformationStarts) {
    // Keys of every length modulo 4, so that the padding after the key varies.
    for (const std::u16string key : {u"", u"A", u"AB", u"ABC", u"VS_VERSION_INFO"}) {
        FixedFileInfo info;
        ASSERT_TRUE(ReadVersion(PeImage(VersionRecord(Info(1, 2, 3, 4), key)), info));
        EXPECT_EQ(info.nFileVersionMS, 0x00010002U);
        EXPECT_EQ(info.nFileVersionLS, 0x00030004U);
    }
}

TEST(FileVersion, DescriptionTexts) {
    EXPECT_EQ(FileFlagsText(0x41), "0x40 | VS_FF_DEBUG");
    EXPECT_EQ(FileFlagsText(0x3F), "VS_FF_DEBUG | VS_FF_PRERELEASE | VS_FF_PATCHED | "
                                   "VS_FF_PRIVATEBUILD | VS_FF_INFOINFERRED | VS_FF_SPECIALBUILD");
    EXPECT_EQ(FileFlagsText(0xFFFFFFFFU).substr(0, 23), "0xffffffc0 | VS_FF_DEBU");
    EXPECT_EQ(FileOsText(0), "VOS_UNKNOWN");
    EXPECT_EQ(FileOsText(0x10004), "VOS_DOS_WINDOWS32");
    EXPECT_EQ(FileOsText(0x30003), "VOS_OS232_PM32");
    EXPECT_EQ(FileOsText(5), "Unknown FileOS");
    EXPECT_EQ(FileTypeText(7), "VFT_STATIC_LIB");
    EXPECT_EQ(FileTypeText(6), "Unknown FileType");
    EXPECT_EQ(FileSubtypeText(3, 0xB), "FileSubtype: VFT2_DRV_INPUTMETHOD");
    EXPECT_EQ(FileSubtypeText(3, 0xC), "Unknown FileSubtype: c");
    EXPECT_EQ(FileSubtypeText(4, 3), "FileSubtype: VFT2_FONT_TRUETYPE");
    EXPECT_EQ(FileSubtypeText(4, 0), "Unknown FileSubtype: 0");
    EXPECT_EQ(FileSubtypeText(1, 0), "");
    EXPECT_EQ(FileSubtypeText(1, 0x1f), ", FileSubtype: 1f");

    FixedFileInfo info{};
    info.nFileType = 3;
    info.nFileSubtype = 1;
    const std::string text = DescribeFixedFileInfo(info);
    EXPECT_NE(text.find("  FileFlagsMask:   0\n  FileFlags:       0\n"), std::string::npos);
    EXPECT_NE(text.find("  FileType:        VFT_DRVFileSubtype: VFT2_DRV_PRINTER\n"),
              std::string::npos);
    EXPECT_NE(text.find("  Signature:       00000000\n"), std::string::npos);
}

TEST(FileVersion, FilesWithoutAVersionFailAndLeaveZero) {
    testkit::TempDir dir;
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    const std::vector<std::uint8_t> record = VersionRecord(Info(6, 5, 2600, 0));
    const char* noResource = "The specified resource type cannot be found in the image file.";
    const Case cases[] = {
        {"icons-only.dll", PeImage(record, {true, true, 3, false}), noResource},
        {"no-resources.dll", PeImage(record, {true, false, 16, false}), noResource},
        {"text.txt", {'h', 'e', 'l', 'l', 'o', '\n'}, "The file is not a valid executable image."},
        {"empty.bin", {}, "The file is not a valid executable image."},
        {"no-value.dll", PeImage(VersionRecord(Info(6, 5, 2600, 0), u"VS_VERSION_INFO", 0)),
         "The image file is damaged or cut short."},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(c.name);
        WriteBytes(path, c.bytes);
        Version v;
        std::string out;
        EXPECT_FALSE(GetVersion(path, v, out)) << c.name;
        EXPECT_EQ(v, Version{}) << c.name;
        EXPECT_EQ(out, "Unable to access file \"" + path + "\" : " + c.reason + "\n");
    }
    Version v;
    std::string out;
    EXPECT_FALSE(GetVersion(dir.File("missing.dll"), v, out));
    EXPECT_EQ(out, "Unable to access file \"" + dir.File("missing.dll") +
                       "\" : No such file or directory\n");
    EXPECT_FALSE(GetVersion(dir.Path(), v, out));
    EXPECT_EQ(out, "Unable to access file \"" + dir.Path() + "\" : Is a directory\n");
}

TEST(FileVersion, TruncatedImagesFailCleanly) {
    const std::vector<std::uint8_t> record = VersionRecord(Info(6, 5, 2600, 0));
    const std::vector<std::uint8_t> image = PeImage(record);
    const std::size_t recordEnd =
        image_test::kResourceFileOffset + image_test::kRecordInResources + record.size();
    FixedFileInfo info;
    ASSERT_TRUE(ReadVersion(image, info));
    for (std::size_t size = 0; size < recordEnd; ++size) {
        const std::vector<std::uint8_t> cut(image.begin(), image.begin() + static_cast<long>(size));
        EXPECT_FALSE(ReadVersion(cut, info)) << size;
    }
    // The record alone, cut anywhere.
    for (std::size_t size = 0; size < 40 + kFixedFileInfoSize; ++size) {
        const auto exact = std::make_unique<std::uint8_t[]>(size + 1);
        std::copy(record.begin(), record.begin() + static_cast<long>(size), exact.get());
        EXPECT_FALSE(ParseVersionRecord(exact.get(), size, info)) << size;
    }
}

TEST(FileVersion, HostileImagesFailCleanly) {
    const std::vector<std::uint8_t> good = PeImage(VersionRecord(Info(6, 5, 2600, 0)));
    const std::size_t coff = image_test::kPeHeader + 4;
    const std::size_t optional = coff + 20;
    const std::size_t section = optional + 240;
    const std::size_t rsrc = image_test::kResourceFileOffset;
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        bool b16;
    };
    const Case cases[] = {
        {"PE header far away", 0x3C, 0xFFFFFFF0U, false},
        {"PE header at the end", 0x3C, static_cast<std::uint32_t>(good.size() - 2), false},
        {"many sections", coff + 2, 0xFFFF, true},
        {"huge optional header", coff + 16, 0xFFFF, true},
        {"unknown optional magic", optional, 0x107, true},
        {"no data directories", optional + 108, 0, false},
        {"section beyond the file", section + 20, 0xFFFFFF00U, false},
        {"section larger than the file", section + 16, 0xFFFFFFFFU, false},
        {"resource outside every section", optional + 112 + 16, 0x9000, false},
        {"many type entries", rsrc + 14, 0xFFFF, true},
        {"type entry points at data", rsrc + 20, 0x20, false},
        {"name directory beyond", rsrc + 20, 0xFFFFFFFFU, false},
        {"language entry is a directory", rsrc + 0x38 + 20, 0x80000038U, false},
        {"data entry beyond", rsrc + 0x38 + 20, 0x7FFFFFF0U, false},
        {"record address beyond", rsrc + 0x50, 0xFFFFFFF0U, false},
        {"record size beyond", rsrc + 0x54, 0x7FFFFFFFU, false},
        {"empty record", rsrc + 0x54, 0, false},
        {"key without an end", rsrc + image_test::kRecordInResources + 6, 0x41414141U, false},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bad = good;
        if (c.b16) {
            Put16(bad, c.at, c.value);
        } else {
            Put32(bad, c.at, c.value);
        }
        FixedFileInfo info;
        ReadVersion(bad, info); // must not read outside the image; the sanitizer watches
        SUCCEED() << c.what;
    }
    // A key with no terminator at all: it runs to the record's end.
    std::vector<std::uint8_t> keyOnly(200, 0x41);
    Put16(keyOnly, 2, 52);
    FixedFileInfo info;
    EXPECT_FALSE(ParseVersionRecord(keyOnly.data(), keyOnly.size(), info));

    // Every byte of the image replaced by values that tend to break readers.
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const int value : {0x00, 0x7F, 0x80, 0xFF}) {
            std::vector<std::uint8_t> bad = good;
            bad[at] = static_cast<std::uint8_t>(value);
            ReadVersion(bad, info);
        }
    }
}

void ExpectProjectVersion(const std::string& program) {
    const Version expected{LUMICAST_VERSION_MAJOR, LUMICAST_VERSION_MINOR, LUMICAST_VERSION_PATCH};
    Version v;
    std::string out;
    ASSERT_TRUE(GetVersion(program, v, out)) << program << ": " << out;
    EXPECT_EQ(v, expected) << program;
    EXPECT_NE(out.find("  FileVersion:     " + std::to_string(expected.major) + "." +
                       std::to_string(expected.minor) + "." + std::to_string(expected.third) +
                       ".0\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  FileType:        VFT_APP\n"), std::string::npos) << out;
}

// The test program gets the same embedded record as the application.
TEST(FileVersion, TestProgramCarriesTheProjectVersion) {
    ExpectProjectVersion("/proc/self/exe");
}

TEST(FileVersion, ApplicationCarriesTheProjectVersion) {
    const std::string app = testkit::BinDir() + "/lumicast";
    if (!std::filesystem::exists(app)) {
        GTEST_SKIP() << "the lumicast program is not built here";
    }
    ExpectProjectVersion(app);
}

TEST(FileVersion, ReadsTheRecordOfAnElfSection) {
    testkit::TempDir dir;
    const std::string path = dir.File("program");
    WriteBytes(path, ElfImage(VersionRecord(Info(2, 7, 31, 4))));
    Version v;
    std::string out;
    ASSERT_TRUE(GetVersion(path, v, out)) << out;
    EXPECT_EQ(v, (Version{2, 7, 31}));
    EXPECT_NE(out.find("  FileVersion:     2.7.31.4\n"), std::string::npos);
}

TEST(FileVersion, DamagedElfImagesFailCleanly) {
    const std::vector<std::uint8_t> record = VersionRecord(Info(2, 7, 31, 4));
    const std::vector<std::uint8_t> good = ElfImage(record);
    FixedFileInfo info;
    ASSERT_TRUE(ReadVersion(good, info));
    // Cut short anywhere: the section table sits at the end of the file.
    for (std::size_t size = 0; size < good.size(); ++size) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(size));
        EXPECT_FALSE(ReadVersion(cut, info)) << size;
    }
    // Header fields that point anywhere.
    struct Case {
        std::size_t at;
        int bytes;
        std::uint64_t value;
    };
    const std::size_t table = good.size() - 3 * 64;
    const Case cases[] = {
        {0x28, 8, 0xFFFFFFFFFFFFFFF0ULL},             // section table offset
        {0x3A, 2, 1},                                 // section header size too small
        {0x3A, 2, 0xFFFF},                            // ... or huge
        {0x3C, 2, 0xFFFF},                            // many sections
        {0x3E, 2, 0xFFFE},                            // names index beyond the table
        {4, 1, 1},                                    // 32-bit
        {5, 1, 2},                                    // big-endian
        {table + 64 + 24, 8, 0xFFFFFFFFFFFFFF00ULL},  // names beyond the file
        {table + 64 + 32, 8, 0x7FFFFFFFFFFFFFFFULL},  // names larger than the file
        {table + 128, 4, 0xFFFFFFF0U},                // name offset beyond the names
        {table + 128 + 24, 8, 0xFFFFFFFFFFFFFF00ULL}, // record beyond the file
        {table + 128 + 32, 8, 0xFFFFFFFFFFFFFFFFULL}, // record larger than the file
        {table + 128 + 32, 8, 8},                     // record too short for the fixed info
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bad = good;
        for (int i = 0; i < c.bytes; ++i) {
            bad[c.at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c.value >> (8 * i));
        }
        EXPECT_FALSE(ReadVersion(bad, info)) << c.at;
    }
    // Counts kept in the first section header (many sections): read from there, bounded too.
    std::vector<std::uint8_t> extended = good;
    Put16(extended, 0x3C, 0);
    Put16(extended, 0x3E, 0xFFFF);
    Put32(extended, table + 32, 3); // count
    Put32(extended, table + 40, 1); // names index
    EXPECT_TRUE(ReadVersion(extended, info));
    Put32(extended, table + 32, 0xFFFFFFFFU);
    EXPECT_FALSE(ReadVersion(extended, info));
    // Every byte replaced by values that tend to break readers.
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const int value : {0x00, 0x7F, 0x80, 0xFF}) {
            std::vector<std::uint8_t> bad = good;
            bad[at] = static_cast<std::uint8_t>(value);
            ReadVersion(bad, info);
        }
    }
}

} // namespace
