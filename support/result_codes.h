#pragma once
// Signed 32-bit result codes in the component-object style: negative means failure.
#include <cstdint>

using HResult = std::int32_t;

inline constexpr HResult kResultOk = 0;
inline constexpr HResult kResultFalse = 1;
// The probe found no duration (the media framework's "invalid media type").
inline constexpr HResult kResultNoDuration = static_cast<HResult>(0x80040200U);
// A file too small to open.
inline constexpr HResult kResultFileTooSmall = static_cast<HResult>(0x88880001U);
// An invalid argument, such as an empty segment.
inline constexpr HResult kResultInvalidArg = static_cast<HResult>(0x80070057U);
// An unspecified failure (E_FAIL).
inline constexpr HResult kResultFail = static_cast<HResult>(0x80004005U);
// Not implemented (E_NOTIMPL).
inline constexpr HResult kResultNotImpl = static_cast<HResult>(0x80004001U);
// The object does not offer the interface asked for (E_NOINTERFACE).
inline constexpr HResult kResultNoInterface = static_cast<HResult>(0x80004002U);
// A required pointer is missing (E_POINTER).
inline constexpr HResult kResultPointer = static_cast<HResult>(0x80004003U);
// An operation was aborted, or a wait timed out (E_ABORT).
inline constexpr HResult kResultAbort = static_cast<HResult>(0x80004004U);
// A catastrophic or unexpected failure (E_UNEXPECTED).
inline constexpr HResult kResultUnexpected = static_cast<HResult>(0x8000FFFFU);
// The class asked for is not installed (REGDB_E_CLASSNOTREG).
inline constexpr HResult kResultClassNotRegistered = static_cast<HResult>(0x80040154U);

inline constexpr bool Failed(HResult hr) {
    return hr < 0;
}
inline constexpr bool Succeeded(HResult hr) {
    return hr >= 0;
}
