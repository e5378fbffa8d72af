// The version resource of a PE image.
#include "support/image_version.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kHighBit = 0x80000000U;
constexpr std::uint32_t kPe32Magic = 0x10B;
constexpr std::uint32_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint64_t kSectionHeaderSize = 40;

struct Section {
    std::uint32_t nVirtualAddress = 0;
    std::uint32_t nVirtualSize = 0;
    std::uint32_t nRawSize = 0;
    std::uint32_t nRawOffset = 0;
};

class PeReader {
public:
    explicit PeReader(CImageBytes& image) : m_image(image) {}

    VersionLookup Find(std::vector<std::uint8_t>& record) {
        std::uint8_t mz[2];
        std::uint32_t peOffset = 0;
        if (!m_image.Read(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z' ||
            !m_image.U32(0x3C, peOffset)) {
            return VersionLookup::NotImage;
        }
        std::uint8_t signature[4];
        if (!m_image.Read(peOffset, signature, 4) || signature[0] != 'P' || signature[1] != 'E' ||
            signature[2] != 0 || signature[3] != 0) {
            return VersionLookup::NotImage; // an MS-DOS program, or not an image at all
        }
        const std::uint64_t coff = std::uint64_t{peOffset} + 4;
        std::uint32_t sectionCount = 0;
        std::uint32_t optionalSize = 0;
        std::uint32_t magic = 0;
        if (!m_image.U16(coff + 2, sectionCount) || !m_image.U16(coff + 16, optionalSize) ||
            !m_image.U16(coff + 20, magic)) {
            return VersionLookup::Damaged;
        }
        const std::uint64_t optional = coff + 20;
        std::uint32_t countField = 0;
        std::uint32_t directories = 0;
        if (magic == kPe32Magic) {
            countField = 92;
            directories = 96;
        } else if (magic == kPe32PlusMagic) {
            countField = 108;
            directories = 112;
        } else {
            return VersionLookup::Damaged;
        }
        std::uint32_t directoryCount = 0;
        const std::uint32_t resourceEntry = directories + kResourceDirectoryIndex * 8;
        if (!m_image.U32(optional + countField, directoryCount)) {
            return VersionLookup::Damaged;
        }
        if (directoryCount <= kResourceDirectoryIndex || resourceEntry + 8 > optionalSize) {
            return VersionLookup::NoResource;
        }
        if (!m_image.U32(optional + resourceEntry, m_nResourceRva)) {
            return VersionLookup::Damaged;
        }
        if (m_nResourceRva == 0) {
            return VersionLookup::NoResource;
        }
        if (!ReadSections(optional + optionalSize, sectionCount)) {
            return VersionLookup::Damaged;
        }
        return FindInResources(record);
    }

private:
    bool ReadSections(std::uint64_t table, std::uint32_t count) {
        if (table > m_image.Size() || count > (m_image.Size() - table) / kSectionHeaderSize) {
            return false;
        }
        m_sections.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t at = table + i * kSectionHeaderSize;
            Section s;
            if (!m_image.U32(at + 8, s.nVirtualSize) || !m_image.U32(at + 12, s.nVirtualAddress) ||
                !m_image.U32(at + 16, s.nRawSize) || !m_image.U32(at + 20, s.nRawOffset)) {
                return false;
            }
            m_sections.push_back(s);
        }
        return true;
    }

    // The file offset of n bytes at a relative virtual address, when they all lie in the file
    // data of one section.
    bool RvaToOffset(std::uint64_t rva, std::uint64_t n, std::uint64_t& offset) const {
        for (const Section& s : m_sections) {
            if (rva < s.nVirtualAddress) {
                continue;
            }
            const std::uint64_t into = rva - s.nVirtualAddress;
            if (into < s.nRawSize && n <= s.nRawSize - into) {
                offset = std::uint64_t{s.nRawOffset} + into;
                return true;
            }
        }
        return false;
    }

    // A 32-bit number at an offset from the start of the resource data.
    bool ResourceU32(std::uint64_t relative, std::uint32_t& value) {
        std::uint64_t offset = 0;
        return RvaToOffset(std::uint64_t{m_nResourceRva} + relative, 4, offset) &&
               m_image.U32(offset, value);
    }

    bool ResourceU16(std::uint64_t relative, std::uint32_t& value) {
        std::uint64_t offset = 0;
        return RvaToOffset(std::uint64_t{m_nResourceRva} + relative, 2, offset) &&
               m_image.U16(offset, value);
    }

    // The entries of the resource directory at relative offset dir: how many, where they start.
    bool DirectoryEntries(std::uint64_t dir, std::uint32_t& count) {
        std::uint32_t named = 0;
        std::uint32_t ids = 0;
        if (!ResourceU16(dir + 12, named) || !ResourceU16(dir + 14, ids)) {
            return false;
        }
        count = named + ids;
        return true;
    }

    VersionLookup FindInResources(std::vector<std::uint8_t>& record) {
        // Level 1: the type directory; look for the RT_VERSION entry (an id, not a name).
        std::uint32_t count = 0;
        if (!DirectoryEntries(0, count)) {
            return VersionLookup::Damaged;
        }
        std::uint32_t next = 0;
        bool bFound = false;
        for (std::uint32_t i = 0; i < count && !bFound; ++i) {
            std::uint32_t id = 0;
            if (!ResourceU32(16 + std::uint64_t{i} * 8, id) ||
                !ResourceU32(16 + std::uint64_t{i} * 8 + 4, next)) {
                return VersionLookup::Damaged;
            }
            bFound = id == kRtVersion;
        }
        if (!bFound) {
            return VersionLookup::NoResource;
        }
        // Levels 2 (name) and 3 (language): the first entry of each.
        for (int level = 2; level <= 3; ++level) {
            if ((next & kHighBit) == 0) {
                return VersionLookup::Damaged; // a directory level that points at data
            }
            const std::uint64_t dir = next & ~kHighBit;
            if (!DirectoryEntries(dir, count)) {
                return VersionLookup::Damaged;
            }
            if (count == 0) {
                return VersionLookup::NoResource;
            }
            if (!ResourceU32(dir + 16 + 4, next)) {
                return VersionLookup::Damaged;
            }
        }
        if ((next & kHighBit) != 0) {
            return VersionLookup::Damaged; // deeper than three levels
        }
        // The data entry: address (relative to the image) and size of the record.
        std::uint32_t dataRva = 0;
        std::uint32_t dataSize = 0;
        if (!ResourceU32(next, dataRva) || !ResourceU32(std::uint64_t{next} + 4, dataSize)) {
            return VersionLookup::Damaged;
        }
        if (dataSize == 0) {
            return VersionLookup::NoResource;
        }
        const std::size_t n = std::min<std::size_t>(dataSize, kMaxVersionRecordBytes);
        std::uint64_t offset = 0;
        if (!RvaToOffset(dataRva, n, offset) || !m_image.Bytes(offset, n, record)) {
            return VersionLookup::Damaged;
        }
        return VersionLookup::Found;
    }

    CImageBytes& m_image;
    std::uint32_t m_nResourceRva = 0;
    std::vector<Section> m_sections;
};

} // namespace

VersionLookup FindPeVersionRecord(CImageBytes& image, std::vector<std::uint8_t>& record) {
    return PeReader(image).Find(record);
}
