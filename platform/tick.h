#pragma once
#include <cstdint>

namespace platform {

// Milliseconds of the monotonic clock as an unsigned 32-bit value; wraps after about 49.7 days,
// so compare two readings by their unsigned difference.
std::uint32_t TickCount();

} // namespace platform
