#pragma once
// A scoped wrapper around one open registry key. Each user makes one on the stack, opens the
// application key, reads or writes a value or two and lets the wrapper close the key.
//
// The values live in the user's own store file (support/registry_store.h); every root maps to
// that one per-user file, in sections named after the root, so LocalMachine here means "this
// user's settings". ClassesRoot opens like any other root; nothing of this system writes under
// it, so its look-ups find nothing unless the user put values there.
//
// Reads leave the caller's value untouched unless they succeed: callers set their default first.
// A wrapper whose Open failed is empty: its reads leave defaults, its writes change nothing.
// Nothing here throws, shows a message or writes to the log.
#include <cstddef>
#include <cstdint>
#include <string>

struct RegValue;

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

// Access flags of Open.
inline constexpr std::uint32_t kRegAccessRead = 1;
inline constexpr std::uint32_t kRegAccessWrite = 2;
inline constexpr std::uint32_t kRegAccessReadWrite = 3;

// Status codes (the registry's system codes).
inline constexpr std::int32_t kRegOk = 0;
inline constexpr std::int32_t kRegNotFound = 2;       // no such value (or key)
inline constexpr std::int32_t kRegPathNotFound = 3;   // no configuration folder for the store
inline constexpr std::int32_t kRegTypeMismatch = 4;   // the value has another type
inline constexpr std::int32_t kRegAccessDenied = 5;   // not opened for this access, or no rights
inline constexpr std::int32_t kRegInvalidHandle = 6;  // the wrapper is not open
inline constexpr std::int32_t kRegInvalidParam = 87;  // a key path or value that cannot be stored
inline constexpr std::int32_t kRegCannotRead = 1012;  // the store exists but cannot be read
inline constexpr std::int32_t kRegCannotWrite = 1013; // the store could not be written

// Longest text SetString stores, in bytes.
inline constexpr std::size_t kRegMaxStringBytes = 1024U * 1024U;

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens the key, or creates it if missing (a new key appears in the store with its first
    // value). flags: bit 0 read, bit 1 write. The sub-key path uses "\" between names; an empty
    // path is the root itself. Fails with kRegInvalidParam for a path with an empty name or a
    // line break, kRegPathNotFound when the user has no configuration folder, kRegAccessDenied
    // when the store folder cannot be made. On failure the wrapper is left empty.
    std::int32_t Open(RegistryRoot root, const std::string& path, std::uint32_t flags);
    void Close();
    bool IsOpen() const { return m_bOpen; }

    // Stores a 32-bit REG_DWORD value.
    std::int32_t SetDword(const std::string& name, std::uint32_t value);
    // kRegTypeMismatch (4) when the value is not a REG_DWORD; value is set only on success.
    std::int32_t QueryDword(const std::string& name, std::uint32_t& value);
    // Stores a REG_SZ text; like the registry, the text ends at its first zero byte.
    std::int32_t SetString(const std::string& name, const std::string& text);
    // text is set only on success; a value of another type gives kRegTypeMismatch.
    std::int32_t QueryString(const std::string& name, std::string& text);

private:
    std::int32_t Write(const std::string& name, RegValue value);
    std::int32_t Find(const std::string& name, RegValue& value) const;

    bool m_bOpen = false;
    RegistryRoot m_root = RegistryRoot::LocalMachine;
    std::string m_strPath;      // the sub-key path as given
    std::string m_strFullPath;  // root name + "\" + path: the section in the store
    std::string m_strStoreFile; // the open store (the key's "handle")
    std::uint32_t m_nAccess = 0;
};
