#include "support/registry_key.h"

#include "support/reg_text.h"
#include "support/registry_store.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace {

const char* RootName(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine:
        break;
    }
    return "HKEY_LOCAL_MACHINE";
}

// A key path is names joined by "\": none of them empty, no line breaks or zero bytes (a section
// line could not hold them).
bool IsValidKeyPath(const std::string& path) {
    if (path.empty()) {
        return true;
    }
    if (path.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        return false;
    }
    return path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string::npos;
}

// Texts end at their first zero byte, as they do in the registry.
std::string UpToZero(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

} // namespace

RegistryKey::~RegistryKey() {
    Close();
}

std::int32_t RegistryKey::Open(RegistryRoot root, const std::string& path, std::uint32_t flags) {
    Close();
    if (!IsValidKeyPath(path)) {
        return kRegInvalidParam;
    }
    const std::string folder = RegistryStoreFolder();
    if (folder.empty()) {
        return kRegPathNotFound;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        return kRegAccessDenied;
    }
    m_root = root;
    m_strPath = path;
    m_strFullPath = std::string(RootName(root)) + (path.empty() ? "" : "\\") + path;
    m_strStoreFile = RegistryStoreFile(folder);
    m_nAccess = flags & kRegAccessReadWrite;
    m_bOpen = true;
    return kRegOk;
}

void RegistryKey::Close() {
    if (!m_bOpen) {
        return;
    }
    m_bOpen = false;
    m_root = RegistryRoot::LocalMachine;
    m_strPath.clear();
    m_strFullPath.clear();
    m_strStoreFile.clear();
    m_nAccess = 0;
}

std::int32_t RegistryKey::Find(const std::string& name, RegValue& value) const {
    if (!m_bOpen) {
        return kRegInvalidHandle;
    }
    if ((m_nAccess & kRegAccessRead) == 0) {
        return kRegAccessDenied;
    }
    RegDocument doc;
    if (ReadRegistryStore(m_strStoreFile, doc) == StoreRead::Unreadable) {
        return kRegCannotRead;
    }
    const RegSection* section = FindRegSection(doc, m_strFullPath);
    const RegValue* found = section != nullptr ? FindRegValue(*section, UpToZero(name)) : nullptr;
    if (found == nullptr) {
        return kRegNotFound;
    }
    value = *found;
    return kRegOk;
}

std::int32_t RegistryKey::Write(const std::string& name, RegValue value) {
    if (!m_bOpen) {
        return kRegInvalidHandle;
    }
    if ((m_nAccess & kRegAccessWrite) == 0) {
        return kRegAccessDenied;
    }
    value.strName = UpToZero(name);
    const std::string& section = m_strFullPath;
    switch (UpdateRegistryStore(
        m_strStoreFile, [&](RegDocument& doc) { PutRegValue(doc, section, std::move(value)); })) {
    case StoreWrite::Written:
        return kRegOk;
    case StoreWrite::Unreadable:
        return kRegAccessDenied;
    case StoreWrite::CannotPreserve:
    case StoreWrite::CannotLock:
    case StoreWrite::CannotWrite:
        break;
    }
    return kRegCannotWrite;
}

std::int32_t RegistryKey::SetDword(const std::string& name, std::uint32_t value) {
    RegValue entry;
    entry.type = RegValueType::Dword;
    entry.nDword = value;
    return Write(name, std::move(entry));
}

std::int32_t RegistryKey::QueryDword(const std::string& name, std::uint32_t& value) {
    RegValue found;
    const std::int32_t status = Find(name, found);
    if (status != kRegOk) {
        return status;
    }
    if (found.type != RegValueType::Dword) {
        return kRegTypeMismatch;
    }
    value = found.nDword;
    return kRegOk;
}

std::int32_t RegistryKey::SetString(const std::string& name, const std::string& text) {
    RegValue entry;
    entry.type = RegValueType::String;
    entry.strText = UpToZero(text);
    if (entry.strText.size() > kRegMaxStringBytes) {
        return kRegInvalidParam;
    }
    return Write(name, std::move(entry));
}

std::int32_t RegistryKey::QueryString(const std::string& name, std::string& text) {
    RegValue found;
    const std::int32_t status = Find(name, found);
    if (status != kRegOk) {
        return status;
    }
    if (found.type != RegValueType::String) {
        return kRegTypeMismatch;
    }
    text = std::move(found.strText);
    return kRegOk;
}
