#include "support/version_record.h"

#include <cstdarg>
#include <cstdio>
#include <iterator>

namespace {

std::uint32_t U16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
}

std::uint32_t U32(const std::uint8_t* p) {
    return U16(p) | (U16(p + 2) << 16);
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (n > 0) {
        text.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(n));
    }
    va_end(again);
    return text;
}

int High(std::uint32_t v) {
    return static_cast<int>(v >> 16);
}
int Low(std::uint32_t v) {
    return static_cast<int>(v & 0xFFFFU);
}

struct Name {
    std::uint32_t nValue;
    const char* pszName;
};

const char* Lookup(const Name* names, std::size_t count, std::uint32_t value) {
    for (std::size_t i = 0; i < count; ++i) {
        if (names[i].nValue == value) {
            return names[i].pszName;
        }
    }
    return nullptr;
}

constexpr Name kOsNames[] = {
    {0x00000U, "VOS_UNKNOWN"},
    {0x00001U, "VOS__WINDOWS16"},
    {0x00002U, "VOS__PM16"},
    {0x00003U, "VOS__PM32"},
    {0x00004U, "VOS__WINDOWS32"},
    {0x10000U, "VOS_DOS"},
    {0x10001U, "VOS_DOS_WINDOWS16"},
    {0x10004U, "VOS_DOS_WINDOWS32"},
    {0x20000U, "VOS_OS216"},
    {0x20002U, "VOS_OS216_PM16"},
    {0x30000U, "VOS_OS232"},
    {0x30003U, "VOS_OS232_PM32"},
    {0x40000U, "VOS_NT"},
    {0x40004U, "VOS_NT_WINDOWS32"},
};

constexpr Name kTypeNames[] = {
    {0U, "VFT_UNKNOWN"}, {1U, "VFT_APP"}, {2U, "VFT_DLL"},        {3U, "VFT_DRV"},
    {4U, "VFT_FONT"},    {5U, "VFT_VXD"}, {7U, "VFT_STATIC_LIB"},
};

constexpr Name kDriverSubtypes[] = {
    {0x0U, "FileSubtype: VFT2_UNKNOWN"},         {0x1U, "FileSubtype: VFT2_DRV_PRINTER"},
    {0x2U, "FileSubtype: VFT2_DRV_KEYBOARD"},    {0x3U, "FileSubtype: VFT2_DRV_LANGUAGE"},
    {0x4U, "FileSubtype: VFT2_DRV_DISPLAY"},     {0x5U, "FileSubtype: VFT2_DRV_MOUSE"},
    {0x6U, "FileSubtype: VFT2_DRV_NETWORK"},     {0x7U, "FileSubtype: VFT2_DRV_SYSTEM"},
    {0x8U, "FileSubtype: VFT2_DRV_INSTALLABLE"}, {0x9U, "FileSubtype: VFT2_DRV_SOUND"},
    {0xAU, "FileSubtype: VFT2_DRV_COMM"},        {0xBU, "FileSubtype: VFT2_DRV_INPUTMETHOD"},
};

constexpr Name kFontSubtypes[] = {
    {1U, "FileSubtype: VFT2_FONT_RASTER"},
    {2U, "FileSubtype: VFT2_FONT_VECTOR"},
    {3U, "FileSubtype: VFT2_FONT_TRUETYPE"},
};

constexpr const char* kFlagNames[] = {
    "VS_FF_DEBUG",        "VS_FF_PRERELEASE",   "VS_FF_PATCHED",
    "VS_FF_PRIVATEBUILD", "VS_FF_INFOINFERRED", "VS_FF_SPECIALBUILD",
};

constexpr std::uint32_t kVftDriver = 3;
constexpr std::uint32_t kVftFont = 4;

} // namespace

bool ParseVersionRecord(const std::uint8_t* record, std::size_t size, FixedFileInfo& info) {
    if (record == nullptr || size < 6) {
        return false;
    }
    const std::uint32_t valueLength = U16(record + 2);
    // The key: UTF-16 units from offset 6 up to and including the zero unit.
    std::size_t offset = 6;
    for (;;) {
        if (offset + 2 > size) {
            return false;
        }
        const bool bEnd = U16(record + offset) == 0;
        offset += 2;
        if (bEnd) {
            break;
        }
    }
    offset = (offset + 3) & ~static_cast<std::size_t>(3);
    // A record whose value is shorter than the fixed information (or absent) holds none: the
    // words at that place would belong to whatever follows.
    if (valueLength < kFixedFileInfoSize || offset > size || size - offset < kFixedFileInfoSize) {
        return false;
    }
    const std::uint8_t* p = record + offset;
    std::uint32_t* const fields[] = {
        &info.nSignature,     &info.nStrucVersion,     &info.nFileVersionMS,
        &info.nFileVersionLS, &info.nProductVersionMS, &info.nProductVersionLS,
        &info.nFileFlagsMask, &info.nFileFlags,        &info.nFileOS,
        &info.nFileType,      &info.nFileSubtype,      &info.nFileDateMS,
        &info.nFileDateLS,
    };
    for (std::uint32_t* field : fields) {
        *field = U32(p);
        p += 4;
    }
    return true;
}

std::string FileFlagsText(std::uint32_t flags) {
    std::string text;
    const std::uint32_t unnamed = flags & ~0x3FU;
    if (unnamed != 0) {
        text = Format("0x%x", unnamed);
    }
    for (unsigned bit = 0; bit < 6; ++bit) {
        if ((flags & (1U << bit)) != 0) {
            if (!text.empty()) {
                text += " | ";
            }
            text += kFlagNames[bit];
        }
    }
    return text;
}

std::string FileOsText(std::uint32_t os) {
    const char* name = Lookup(kOsNames, std::size(kOsNames), os);
    return name != nullptr ? name : "Unknown FileOS";
}

std::string FileTypeText(std::uint32_t type) {
    const char* name = Lookup(kTypeNames, std::size(kTypeNames), type);
    return name != nullptr ? name : "Unknown FileType";
}

std::string FileSubtypeText(std::uint32_t type, std::uint32_t subtype) {
    if (type == kVftDriver || type == kVftFont) {
        const char* name = type == kVftDriver
                               ? Lookup(kDriverSubtypes, std::size(kDriverSubtypes), subtype)
                               : Lookup(kFontSubtypes, std::size(kFontSubtypes), subtype);
        return name != nullptr ? name : Format("Unknown FileSubtype: %x", subtype);
    }
    return subtype == 0 ? std::string() : Format(", FileSubtype: %x", subtype);
}

std::string DescribeFixedFileInfo(const FixedFileInfo& info) {
    std::string text;
    text += Format("  Signature:       %08x\n", info.nSignature);
    text += Format("  StrucVersion:    %d.%d\n", High(info.nStrucVersion), Low(info.nStrucVersion));
    text += Format("  FileVersion:     %d.%d.%d.%d\n", High(info.nFileVersionMS),
                   Low(info.nFileVersionMS), High(info.nFileVersionLS), Low(info.nFileVersionLS));
    text += Format("  ProductVersion:  %d.%d.%d.%d\n", High(info.nProductVersionMS),
                   Low(info.nProductVersionMS), High(info.nProductVersionLS),
                   Low(info.nProductVersionLS));
    text += Format("  FileFlagsMask:   %s%x\n", info.nFileFlagsMask != 0 ? "0x" : "",
                   info.nFileFlagsMask);
    if (info.nFileFlags != 0) {
        text += Format("  FileFlags:       0x%x (%s)\n", info.nFileFlags,
                       FileFlagsText(info.nFileFlags).c_str());
    } else {
        text += "  FileFlags:       0\n";
    }
    text += Format("  FileOS:          %s\n", FileOsText(info.nFileOS).c_str());
    text += Format("  FileType:        %s%s\n", FileTypeText(info.nFileType).c_str(),
                   FileSubtypeText(info.nFileType, info.nFileSubtype).c_str());
    text += Format("  FileDate:        %x.%x\n", info.nFileDateMS, info.nFileDateLS);
    return text;
}
