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
// An unspecified failure.
inline constexpr HResult kResultFail = static_cast<HResult>(0x80004005U);

inline constexpr bool Failed(HResult hr) {
    return hr < 0;
}
inline constexpr bool Succeeded(HResult hr) {
    return hr >= 0;
}
