#include "cli/target_size.h"

#include <array>
#include <cstdlib>

#include "cli/option_values.h"
#include "engine/encoder_channel.h"

namespace cli {

namespace {

constexpr std::int64_t kLeastBytes = 1000;
constexpr std::int64_t kMostBytes = 1000LL * 1000 * 1000 * 1000;
constexpr std::size_t kMostFractionDigits = 6;

struct SizeUnit {
    const char* szName;
    std::int64_t nBytes;
};

constexpr std::array<SizeUnit, 9> kUnits = {{
    {"k", 1000},
    {"kb", 1000},
    {"m", 1000 * 1000},
    {"mb", 1000 * 1000},
    {"g", 1000 * 1000 * 1000},
    {"gb", 1000 * 1000 * 1000},
    {"kib", 1024},
    {"mib", 1024 * 1024},
    {"gib", 1024 * 1024 * 1024},
}};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<std::int64_t> ParseTargetSize(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && (IsDigit(text[end]) || text[end] == '.')) {
        ++end;
    }
    const std::string_view number = text.substr(0, end);
    const std::size_t dot = number.find('.');
    const std::string_view whole = number.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : number.substr(dot + 1);
    if (whole.empty() || whole.size() > 13 || fraction.size() > kMostFractionDigits ||
        fraction.find('.') != std::string_view::npos ||
        (dot != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    const SizeUnit* unit = nullptr;
    for (const SizeUnit& candidate : kUnits) {
        if (SameText(candidate.szName, text.substr(end))) {
            unit = &candidate;
        }
    }
    if (unit == nullptr) {
        return std::nullopt;
    }
    const std::int64_t nWhole = std::strtoll(std::string(whole).c_str(), nullptr, 10);
    if (nWhole > kMostBytes / unit->nBytes) {
        return std::nullopt;
    }
    std::int64_t nBytes = nWhole * unit->nBytes;
    if (!fraction.empty()) {
        std::int64_t nScale = 1;
        for (std::size_t i = 0; i < fraction.size(); ++i) {
            nScale *= 10;
        }
        const std::int64_t nFraction = std::strtoll(std::string(fraction).c_str(), nullptr, 10);
        nBytes += nFraction * unit->nBytes / nScale;
    }
    if (nBytes < kLeastBytes || nBytes > kMostBytes) {
        return std::nullopt;
    }
    return nBytes;
}

void PassTargetSize(std::optional<std::int64_t> limit) {
    if (limit) {
        setenv(kestrelvx::kTargetSizeVariable, std::to_string(*limit).c_str(), 1);
    } else {
        unsetenv(kestrelvx::kTargetSizeVariable);
    }
}

std::string TargetSizeReport(std::int64_t nBytes, std::int64_t nLimit) {
    const std::int64_t nPercent = nLimit > 0 ? nBytes * 100 / nLimit : 0;
    return kestrelvx::DecimalSizeText(nBytes, false) + ", " + std::to_string(nPercent) +
           " % of the " + kestrelvx::DecimalSizeText(nLimit, false) + " limit";
}

} // namespace cli
