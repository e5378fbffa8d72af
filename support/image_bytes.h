#pragma once
// Bounds-checked reads from an executable image, in a file or in memory. Every read names its
// offset and length and fails, rather than reading past the end, when they do not fit.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

class CImageBytes {
public:
    virtual ~CImageBytes() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies n bytes at offset into out; false (out unspecified) when they are not all there.
    virtual bool Read(std::uint64_t offset, void* out, std::size_t n) = 0;

    // Little-endian numbers; false when they are not all there.
    bool U16(std::uint64_t offset, std::uint32_t& value);
    bool U32(std::uint64_t offset, std::uint32_t& value);
    bool U64(std::uint64_t offset, std::uint64_t& value);
    // n bytes at offset into a new buffer.
    bool Bytes(std::uint64_t offset, std::size_t n, std::vector<std::uint8_t>& out);

protected:
    bool Fits(std::uint64_t offset, std::size_t n) const {
        const std::uint64_t size = Size();
        return offset <= size && n <= size - offset;
    }
};

class CMemoryImageBytes final : public CImageBytes {
public:
    CMemoryImageBytes(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}
    std::uint64_t Size() const override { return m_nSize; }
    bool Read(std::uint64_t offset, void* out, std::size_t n) override;

private:
    const std::uint8_t* m_pData;
    std::size_t m_nSize;
};

class CFileImageBytes final : public CImageBytes {
public:
    // Opens a regular file; on failure IsOpen() is false and ErrorText() says why.
    explicit CFileImageBytes(const std::string& path);
    bool IsOpen() const { return m_bOpen; }
    const std::string& ErrorText() const { return m_strError; }
    std::uint64_t Size() const override { return m_nSize; }
    bool Read(std::uint64_t offset, void* out, std::size_t n) override;

private:
    std::ifstream m_in;
    std::uint64_t m_nSize = 0;
    bool m_bOpen = false;
    std::string m_strError;
};
