// The version record our build places in a section of an ELF executable.
#include "support/image_version.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint64_t kElf64HeaderSize = 64;
constexpr std::uint64_t kElf64SectionHeaderSize = 64;
constexpr std::uint32_t kShtNobits = 8;
constexpr std::uint32_t kShnXindex = 0xFFFF;

struct SectionHeader {
    std::uint32_t nName = 0;
    std::uint32_t nType = 0;
    std::uint64_t nOffset = 0;
    std::uint64_t nSize = 0;
    std::uint32_t nLink = 0;
};

std::uint64_t LeBytes(const std::uint8_t* p, int n) {
    std::uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(LeBytes(p, 4));
}
std::uint64_t Le64(const std::uint8_t* p) {
    return LeBytes(p, 8);
}

class ElfReader {
public:
    explicit ElfReader(CImageBytes& image) : m_image(image) {}

    VersionLookup Find(std::vector<std::uint8_t>& record) {
        std::uint8_t ident[16];
        if (!m_image.Read(0, ident, sizeof(ident)) || std::memcmp(ident,
                                                                  "\x7F"
                                                                  "ELF",
                                                                  4) != 0) {
            return VersionLookup::NotImage;
        }
        // Our builds are 64-bit little-endian; other kinds are not read.
        if (ident[4] != 2 || ident[5] != 1) {
            return VersionLookup::NotImage;
        }
        std::uint32_t entrySize = 0;
        std::uint32_t count = 0;
        std::uint32_t namesIndex = 0;
        if (m_image.Size() < kElf64HeaderSize || !m_image.U64(0x28, m_nTable) ||
            !m_image.U16(0x3A, entrySize) || !m_image.U16(0x3C, count) ||
            !m_image.U16(0x3E, namesIndex)) {
            return VersionLookup::Damaged;
        }
        if (m_nTable == 0) {
            return VersionLookup::NoResource; // no section table at all
        }
        if (entrySize < kElf64SectionHeaderSize) {
            return VersionLookup::Damaged;
        }
        m_nEntrySize = entrySize;
        // Many sections: the counts live in the first section header.
        SectionHeader first;
        if ((count == 0 || namesIndex == kShnXindex) && !ReadHeader(0, first)) {
            return VersionLookup::Damaged;
        }
        std::uint64_t sections = count;
        if (count == 0) {
            sections = first.nSize;
        }
        if (namesIndex == kShnXindex) {
            namesIndex = first.nLink;
        }
        if (m_nTable > m_image.Size() || sections > (m_image.Size() - m_nTable) / m_nEntrySize ||
            namesIndex >= sections) {
            return VersionLookup::Damaged;
        }
        SectionHeader names;
        if (!ReadHeader(namesIndex, names) || !Fits(names)) {
            return VersionLookup::Damaged;
        }
        for (std::uint64_t i = 0; i < sections; ++i) {
            SectionHeader section;
            if (!ReadHeader(i, section)) {
                return VersionLookup::Damaged;
            }
            if (!HasName(names, section.nName)) {
                continue;
            }
            if (section.nType == kShtNobits || section.nSize == 0) {
                return VersionLookup::NoResource;
            }
            if (!Fits(section)) {
                return VersionLookup::Damaged;
            }
            const auto n = static_cast<std::size_t>(
                std::min<std::uint64_t>(section.nSize, kMaxVersionRecordBytes));
            return m_image.Bytes(section.nOffset, n, record) ? VersionLookup::Found
                                                             : VersionLookup::Damaged;
        }
        return VersionLookup::NoResource;
    }

private:
    // One read per header: a hostile table may list a great many of them.
    bool ReadHeader(std::uint64_t index, SectionHeader& header) {
        std::uint8_t b[kElf64SectionHeaderSize];
        if (!m_image.Read(m_nTable + index * m_nEntrySize, b, sizeof(b))) {
            return false;
        }
        header.nName = Le32(b);
        header.nType = Le32(b + 4);
        header.nOffset = Le64(b + 24);
        header.nSize = Le64(b + 32);
        header.nLink = Le32(b + 40);
        return true;
    }

    bool Fits(const SectionHeader& section) const {
        return section.nOffset <= m_image.Size() &&
               section.nSize <= m_image.Size() - section.nOffset;
    }

    // True when the names table holds kElfVersionSection, zero-terminated, at nameOffset.
    bool HasName(const SectionHeader& names, std::uint32_t nameOffset) {
        constexpr std::size_t n = sizeof(kElfVersionSection); // with the terminating zero
        if (nameOffset > names.nSize || n > names.nSize - nameOffset) {
            return false;
        }
        char text[n];
        return m_image.Read(names.nOffset + nameOffset, text, n) &&
               std::memcmp(text, kElfVersionSection, n) == 0;
    }

    CImageBytes& m_image;
    std::uint64_t m_nTable = 0;
    std::uint64_t m_nEntrySize = kElf64SectionHeaderSize;
};

} // namespace

VersionLookup FindElfVersionRecord(CImageBytes& image, std::vector<std::uint8_t>& record) {
    return ElfReader(image).Find(record);
}
