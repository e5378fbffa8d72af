#include "support/image_bytes.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

bool CImageBytes::U16(std::uint64_t offset, std::uint32_t& value) {
    std::uint8_t b[2];
    if (!Read(offset, b, sizeof(b))) {
        return false;
    }
    value = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8);
    return true;
}

bool CImageBytes::U32(std::uint64_t offset, std::uint32_t& value) {
    std::uint8_t b[4];
    if (!Read(offset, b, sizeof(b))) {
        return false;
    }
    value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | b[i];
    }
    return true;
}

bool CImageBytes::U64(std::uint64_t offset, std::uint64_t& value) {
    std::uint8_t b[8];
    if (!Read(offset, b, sizeof(b))) {
        return false;
    }
    value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | b[i];
    }
    return true;
}

bool CImageBytes::Bytes(std::uint64_t offset, std::size_t n, std::vector<std::uint8_t>& out) {
    if (!Fits(offset, n)) {
        return false;
    }
    out.assign(n, 0);
    return n == 0 || Read(offset, out.data(), n);
}

bool CMemoryImageBytes::Read(std::uint64_t offset, void* out, std::size_t n) {
    if (!Fits(offset, n)) {
        return false;
    }
    if (n > 0) {
        std::memcpy(out, m_pData + offset, n);
    }
    return true;
}

CFileImageBytes::CFileImageBytes(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec) {
        m_strError = ec.message();
        return;
    }
    if (status.type() == fs::file_type::directory) {
        m_strError = std::make_error_code(std::errc::is_a_directory).message();
        return;
    }
    if (status.type() != fs::file_type::regular) {
        m_strError = std::make_error_code(std::errc::invalid_argument).message();
        return;
    }
    errno = 0;
    m_in.open(path, std::ios::binary);
    if (!m_in) {
        const int error = errno != 0 ? errno : EACCES;
        m_strError = std::error_code(error, std::generic_category()).message();
        return;
    }
    m_in.seekg(0, std::ios::end);
    const std::streamoff end = m_in.tellg();
    m_in.seekg(0, std::ios::beg);
    if (end < 0 || !m_in) {
        m_strError = std::make_error_code(std::errc::io_error).message();
        return;
    }
    m_nSize = static_cast<std::uint64_t>(end);
    m_bOpen = true;
}

bool CFileImageBytes::Read(std::uint64_t offset, void* out, std::size_t n) {
    if (!m_bOpen || !Fits(offset, n)) {
        return false;
    }
    m_in.clear();
    m_in.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    m_in.read(static_cast<char*>(out), static_cast<std::streamsize>(n));
    return m_in.gcount() == static_cast<std::streamsize>(n);
}
