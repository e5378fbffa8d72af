#pragma once
// The loader through which every string-table text reaches the interface, and the printf-style
// formatting it always applies. Formatting is type-safe: each argument is converted as its own type
// says, whatever the conversion in the text asks for, so a text with a wrong or missing conversion
// formats what makes sense and never crashes.
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "lang/resource_set.h"

namespace lang {

// One argument of a printf-style format, converted from a C++ value.
class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Real, Text };

    template <std::signed_integral T>
    FormatArg(T value) // NOLINT(google-explicit-constructor)
        : m_kind(Kind::Signed), m_nSize(sizeof(T)), m_nSigned(value) {}
    template <std::unsigned_integral T>
    requires(!std::same_as<T, bool>) FormatArg(T value) // NOLINT(google-explicit-constructor)
        : m_kind(Kind::Unsigned), m_nSize(sizeof(T)), m_nUnsigned(value) {}
    FormatArg(bool value) : m_kind(Kind::Signed), m_nSize(sizeof(int)), m_nSigned(value ? 1 : 0) {}
    FormatArg(char value)
        : m_kind(Kind::Signed), m_nSize(sizeof(char)),
          m_nSigned(static_cast<unsigned char>(value)) {}
    template <std::floating_point T>
    FormatArg(T value) // NOLINT(google-explicit-constructor)
        : m_kind(Kind::Real), m_dReal(static_cast<double>(value)) {}
    template <class T>
    requires std::is_enum_v<T> FormatArg(T value) // NOLINT(google-explicit-constructor)
        : FormatArg(static_cast<std::underlying_type_t<T>>(value)) {}
    // Other pointers are not formatted (they would print as a flag).
    template <class T> FormatArg(const T*) = delete;
    FormatArg(char* text) : FormatArg(static_cast<const char*>(text)) {}
    FormatArg(const char* text)
        : m_kind(Kind::Text), m_bNull(text == nullptr), m_text(text ? text : "") {}
    FormatArg(const std::string& text) : m_kind(Kind::Text), m_text(text) {}
    FormatArg(std::string_view text) : m_kind(Kind::Text), m_text(text) {}

    Kind GetKind() const { return m_kind; }
    std::size_t Size() const { return m_nSize; }
    long long Signed() const { return m_nSigned; }
    unsigned long long Unsigned() const { return m_nUnsigned; }
    double Real() const { return m_dReal; }
    std::string_view Text() const { return m_text; }
    bool IsNullText() const { return m_bNull; }

private:
    Kind m_kind;
    std::size_t m_nSize = 0;
    long long m_nSigned = 0;
    unsigned long long m_nUnsigned = 0;
    double m_dReal = 0.0;
    bool m_bNull = false;
    std::string_view m_text;
};

// Formats printf-style: flags, width, precision ("*" takes an integer argument), length modifiers
// (ignored) and the conversions d i u o x X c s f F e E g G a A p and %%. "%n" writes nothing. A
// conversion without an argument prints nothing; an argument of another type is printed as
// itself (a text for %d prints the text, a number for %s prints the number); extra arguments are
// ignored.
std::string FormatText(std::string_view format, const std::vector<FormatArg>& args);

template <class... Args> std::string Format(std::string_view format, const Args&... args) {
    return FormatText(format, std::vector<FormatArg>{FormatArg(args)...});
}

} // namespace lang

// The resource set texts, menus and dialogs are loaded from: the built-in English set until a
// language module is selected. Safe to read from any thread; switched only while no worker runs.
const lang::ResourceSet& CurrentResources();
// nullptr selects the built-in English set. The set must outlive its use as the current one.
void SetCurrentResources(const lang::ResourceSet* set);
// The English set compiled into the application.
const lang::ResourceSet& BuiltinEnglish();

// The raw string-table text of the current set, or nullptr when it has none (no log line, no
// formatting); for status-bar prompts and other texts the framework shows as they are.
const std::string* FindResString(int id);

// Loads string `id` of the current set (a missing one logs
// "**Error Loading Resource String:id=%d" and gives ""), then always formats it printf-style with
// the arguments, even when there are none ("%%" becomes "%").
std::string LoadResStringV(int id, const std::vector<lang::FormatArg>& args);

template <class... Args> std::string LoadResString(int id, const Args&... args) {
    return LoadResStringV(id, std::vector<lang::FormatArg>{lang::FormatArg(args)...});
}
