#include "platform/shared_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <utility>

namespace platform {

CSharedLibrary::~CSharedLibrary() {
    Close();
}

CSharedLibrary::CSharedLibrary(CSharedLibrary&& other) noexcept
    : m_pHandle(std::exchange(other.m_pHandle, nullptr)), m_strError(std::move(other.m_strError)) {}

CSharedLibrary& CSharedLibrary::operator=(CSharedLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        m_pHandle = std::exchange(other.m_pHandle, nullptr);
        m_strError = std::move(other.m_strError);
    }
    return *this;
}

bool CSharedLibrary::Open(const std::string& path) {
    Close();
    m_strError.clear();
    if (path.empty() || path.front() != '/') {
        m_strError = "not an absolute path";
        return false;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        m_strError = "not a regular file";
        return false;
    }
    // Local symbols: two modules exporting the same names never see each other's.
    m_pHandle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_pHandle == nullptr) {
        const char* szError = ::dlerror();
        m_strError = szError != nullptr ? szError : "cannot be loaded";
        return false;
    }
    return true;
}

void CSharedLibrary::Close() {
    if (m_pHandle != nullptr) {
        ::dlclose(m_pHandle);
        m_pHandle = nullptr;
    }
}

void* CSharedLibrary::Symbol(const char* name) const {
    if (m_pHandle == nullptr || name == nullptr) {
        return nullptr;
    }
    ::dlerror(); // clear any earlier error
    return ::dlsym(m_pHandle, name);
}

} // namespace platform
