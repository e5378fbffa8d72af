#pragma once
// Times given on the command line: whole seconds ("95") or clock text ("1:35", "00:01:35").
#include <cstdint>
#include <optional>
#include <string_view>

namespace cli {

// Whole seconds of a time text: plain digits, MM:SS or H:MM:SS (hours not limited to two digits,
// minutes and seconds below 60 after the first field). Nothing else is accepted: no sign, no
// fraction, no blanks. nullopt for a malformed text or one beyond the 32-bit signed range.
std::optional<std::int32_t> ParseClockText(std::string_view text);

} // namespace cli
