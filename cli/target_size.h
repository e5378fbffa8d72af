#pragma once
// --target-size: the most bytes each output may hold. The encoders learn it from the environment
// (engine/encoder_channel.h); lumicast-batch reports the size each output reached against it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

// A size with its unit, decimal as file managers count: "25M", "8MB", "700K", "1.5GB" (K, M, G
// with or without B, any letter case: 1M = 1000000 bytes), or binary with "KiB", "MiB", "GiB".
// nullopt for anything else (a number without a unit included), below 1 kB or above 1000 GB.
std::optional<std::int64_t> ParseTargetSize(std::string_view text);

// Names the limit to every encoder started from now on, or, for nullopt, takes away any limit the
// caller's environment held.
void PassTargetSize(std::optional<std::int64_t> limit);

// What a status line adds for an output of nBytes under the limit: "1.95 MB, 97 % of the 2 MB
// limit" (both rounded down, so that neither reads as more within the limit than it is).
std::string TargetSizeReport(std::int64_t nBytes, std::int64_t nLimit);

} // namespace cli
