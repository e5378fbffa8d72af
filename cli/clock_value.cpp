#include "cli/clock_value.h"

#include <limits>
#include <vector>

namespace cli {

namespace {

// Decimal digits only, at most 10 of them (wider values are refused by the caller's range test).
std::optional<std::int64_t> ParseDigits(std::string_view text) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::optional<std::int32_t> ParseClockText(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t from = 0;
    while (true) {
        const std::size_t colon = text.find(':', from);
        fields.push_back(text.substr(from, colon == std::string_view::npos ? colon : colon - from));
        if (colon == std::string_view::npos) {
            break;
        }
        from = colon + 1;
    }
    if (fields.size() > 3) {
        return std::nullopt;
    }
    std::int64_t total = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto value = ParseDigits(fields[i]);
        if (!value) {
            return std::nullopt;
        }
        // Every field after the first counts minutes or seconds.
        if (i > 0 && (*value >= 60 || fields[i].size() != 2)) {
            return std::nullopt;
        }
        total = total * 60 + *value;
        if (total > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(total);
}

} // namespace cli
