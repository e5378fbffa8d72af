#pragma once
// Loading a shared library and looking up its exported functions (dlopen/dlsym).
#include <cstring>
#include <string>

namespace platform {

// One loaded shared library; closed when the object is destroyed or Close() is called.
class CSharedLibrary {
public:
    CSharedLibrary() = default;
    ~CSharedLibrary();
    CSharedLibrary(const CSharedLibrary&) = delete;
    CSharedLibrary& operator=(const CSharedLibrary&) = delete;
    CSharedLibrary(CSharedLibrary&& other) noexcept;
    CSharedLibrary& operator=(CSharedLibrary&& other) noexcept;

    // Loads the library at `path`, which must name a regular file by an absolute path (a bare name
    // would make the loader search its own folders). Every symbol the library needs is resolved at
    // once, so a library that cannot run fails here rather than later. Any library held before is
    // closed first. False, with LastError() set, when the file is not a loadable library.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_pHandle != nullptr; }

    // The address of an exported symbol, or nullptr when the library has none by that name.
    void* Symbol(const char* name) const;

    // An exported function as a pointer of type Fn (e.g. `int (*)()`), or nullptr.
    template <class Fn> Fn Function(const char* name) const {
        static_assert(sizeof(Fn) == sizeof(void*), "a function pointer must fit an address");
        void* pAddress = Symbol(name);
        Fn fn = nullptr;
        if (pAddress != nullptr) {
            std::memcpy(&fn, &pAddress, sizeof(fn));
        }
        return fn;
    }

    // Why the last Open failed.
    const std::string& LastError() const { return m_strError; }

private:
    void* m_pHandle = nullptr;
    std::string m_strError;
};

} // namespace platform
