#include "support/helpers/image_builder.h"

#include <algorithm>
#include <iterator>

namespace image_test {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 2) {
        b.resize(at + 2);
    }
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFFU);
    Put16(b, at + 2, v >> 16);
}

FixedFileInfo Info(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    FixedFileInfo info;
    info.nSignature = 0xFEEF04BDU;
    info.nStrucVersion = 0x00010000U;
    info.nFileVersionMS = (std::uint32_t{a} << 16) | b;
    info.nFileVersionLS = (std::uint32_t{c} << 16) | d;
    info.nProductVersionMS = info.nFileVersionMS;
    info.nProductVersionLS = info.nFileVersionLS;
    info.nFileFlagsMask = 0x3F;
    info.nFileOS = 0x40004; // VOS_NT_WINDOWS32
    info.nFileType = 2;     // VFT_DLL
    return info;
}

std::vector<std::uint8_t> VersionRecord(const FixedFileInfo& info, const std::u16string& key,
                                        std::uint16_t valueLength) {
    std::vector<std::uint8_t> r;
    std::size_t at = 6;
    for (char16_t c : key) {
        Put16(r, at, c);
        at += 2;
    }
    Put16(r, at, 0);
    at = (at + 2 + 3) & ~std::size_t{3};
    const std::uint32_t words[] = {
        info.nSignature,        info.nStrucVersion,     info.nFileVersionMS, info.nFileVersionLS,
        info.nProductVersionMS, info.nProductVersionLS, info.nFileFlagsMask, info.nFileFlags,
        info.nFileOS,           info.nFileType,         info.nFileSubtype,   info.nFileDateMS,
        info.nFileDateLS,
    };
    for (std::uint32_t w : words) {
        Put32(r, at, w);
        at += 4;
    }
    // A trailing child record header, as real resources carry a StringFileInfo after the value.
    Put16(r, at, 8);
    Put16(r, at + 2, 0);
    Put16(r, at + 4, 1);
    Put16(r, at + 6, 0);
    Put16(r, 0, static_cast<std::uint32_t>(r.size()));
    Put16(r, 2, valueLength);
    Put16(r, 4, 0);
    return r;
}

std::vector<std::uint8_t> PeImage(const std::vector<std::uint8_t>& record,
                                  const ImageOptions& options) {
    std::vector<std::uint8_t> b(kResourceFileOffset, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, kPeHeader);
    b[kPeHeader] = 'P';
    b[kPeHeader + 1] = 'E';
    const std::size_t coff = kPeHeader + 4;
    const std::uint32_t optionalSize = options.bPe32Plus ? 240 : 224;
    Put16(b, coff, options.bPe32Plus ? 0x8664 : 0x14C);
    Put16(b, coff + 2, 1); // one section
    Put16(b, coff + 16, optionalSize);
    Put16(b, coff + 18, 0x22);
    const std::size_t optional = coff + 20;
    Put16(b, optional, options.bPe32Plus ? 0x20B : 0x10B);
    const std::size_t countField = options.bPe32Plus ? 108 : 92;
    const std::size_t directories = options.bPe32Plus ? 112 : 96;
    Put32(b, optional + countField, 16);

    // The resource tree: type directory, name directory, language directory, data entry, record.
    std::vector<std::uint8_t> rsrc(kRecordInResources, 0);
    std::size_t typeEntries = 16;
    if (options.bNamedEntryFirst) {
        Put16(rsrc, 12, 1);                  // one named entry ...
        Put32(rsrc, 16, 0x80000000U | 0x58); // ... whose name lies at 0x58
        Put32(rsrc, 20, 0x80000000U | 0x18);
        typeEntries = 24;
    }
    Put16(rsrc, 14, 1);
    Put32(rsrc, typeEntries, options.nResourceType);
    Put32(rsrc, typeEntries + 4, 0x80000000U | 0x20);
    Put16(rsrc, 0x20 + 14, 1);
    Put32(rsrc, 0x20 + 16, 1); // name id 1 (VS_VERSION_INFO)
    Put32(rsrc, 0x20 + 20, 0x80000000U | 0x38);
    Put16(rsrc, 0x38 + 14, 1);
    Put32(rsrc, 0x38 + 16, 0x409); // language
    Put32(rsrc, 0x38 + 20, 0x50);  // data entry
    Put32(rsrc, 0x50, 0x1000 + kRecordInResources);
    Put32(rsrc, 0x54, static_cast<std::uint32_t>(record.size()));
    if (options.bNamedEntryFirst) {
        Put16(rsrc, 0x58, 1); // a one-letter name "X"
        Put16(rsrc, 0x5A, 'X');
    }
    rsrc.insert(rsrc.end(), record.begin(), record.end());
    while (rsrc.size() % 0x200 != 0) {
        rsrc.push_back(0);
    }

    if (options.bWithResources) {
        Put32(b, optional + directories + 16, 0x1000);
        Put32(b, optional + directories + 20, static_cast<std::uint32_t>(rsrc.size()));
    }
    const std::size_t section = optional + optionalSize;
    const char name[] = ".rsrc";
    for (std::size_t i = 0; i < 5; ++i) {
        b[section + i] = static_cast<std::uint8_t>(name[i]);
    }
    Put32(b, section + 8, static_cast<std::uint32_t>(rsrc.size()));
    Put32(b, section + 12, 0x1000);
    Put32(b, section + 16, static_cast<std::uint32_t>(rsrc.size()));
    Put32(b, section + 20, kResourceFileOffset);
    b.insert(b.end(), rsrc.begin(), rsrc.end());
    return b;
}

std::vector<std::uint8_t> ElfImage(const std::vector<std::uint8_t>& record) {
    std::vector<std::uint8_t> b(64, 0);
    const std::uint8_t ident[] = {0x7F, 'E', 'L', 'F', 2, 1, 1};
    std::copy(std::begin(ident), std::end(ident), b.begin());
    Put16(b, 16, 2);    // executable
    Put16(b, 18, 0x3E); // x86-64
    Put32(b, 20, 1);
    Put16(b, 0x34, 64);
    Put16(b, 0x3A, 64);
    Put16(b, 0x3C, 3);
    Put16(b, 0x3E, 1);
    const char names[] = "\0.shstrtab\0.lumicast_version"; // with its final zero: 29 bytes
    b.insert(b.end(), std::begin(names), std::end(names));
    b.resize(kElfRecordOffset, 0);
    b.insert(b.end(), record.begin(), record.end());
    b.resize((b.size() + 7) & ~std::size_t{7}, 0);
    const std::size_t table = b.size();
    Put32(b, 0x28, static_cast<std::uint32_t>(table));
    b.resize(table + 3 * 64, 0);
    const std::size_t strtab = table + 64;
    Put32(b, strtab, 1);       // ".shstrtab"
    Put32(b, strtab + 4, 3);   // SHT_STRTAB
    Put32(b, strtab + 24, 64); // offset
    Put32(b, strtab + 32, static_cast<std::uint32_t>(sizeof(names)));
    const std::size_t version = table + 128;
    Put32(b, version, 11);    // ".lumicast_version"
    Put32(b, version + 4, 1); // SHT_PROGBITS
    Put32(b, version + 24, static_cast<std::uint32_t>(kElfRecordOffset));
    Put32(b, version + 32, static_cast<std::uint32_t>(record.size()));
    return b;
}

} // namespace image_test
