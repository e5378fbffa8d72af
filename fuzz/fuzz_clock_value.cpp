// The values lumicast-batch's options take (cli/clock_value, cli/option_values): any text.
// Properties: a time that is accepted is never negative and reads back the same when written as
// plain seconds or as clock text; a position found is inside its list.
#include "cli/clock_value.h"
#include "cli/option_values.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

void CheckPosition(const std::optional<int>& position) {
    FUZZ_CHECK(!position || (*position >= 1 && *position < 1000));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);

    const std::optional<std::int32_t> seconds = cli::ParseClockText(text);
    if (seconds) {
        const std::int32_t s = *seconds;
        FUZZ_CHECK(s >= 0);
        FUZZ_CHECK(cli::ParseClockText(std::to_string(s)) == seconds);
        char clock[32];
        std::snprintf(clock, sizeof clock, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        FUZZ_CHECK(cli::ParseClockText(clock) == seconds);
        if (s < 3600) {
            std::snprintf(clock, sizeof clock, "%02d:%02d", s / 60, s % 60);
            FUZZ_CHECK(cli::ParseClockText(clock) == seconds);
        }
    }

    for (const int nMax : {1, 100, std::numeric_limits<int>::max()}) {
        const std::optional<int> value = cli::ParsePositive(text, nMax);
        FUZZ_CHECK(!value || (*value >= 1 && *value <= nMax));
    }

    const std::optional<int> format = cli::FormatByName(text);
    FUZZ_CHECK(!format || (*format >= 0 && *format <= 9));
    const std::optional<int> standard = cli::StandardByName(text);
    FUZZ_CHECK(!standard || (*standard >= 0 && *standard <= 2));
    CheckPosition(cli::SizePositionByDevice(text));
    CheckPosition(cli::FrameRatePosition(text));
    CheckPosition(cli::VideoBitRatePosition(text));
    CheckPosition(cli::AudioBitRatePosition(text));
    CheckPosition(cli::ChannelsPosition(text));
    CheckPosition(cli::SampleRatePosition(text));

    // "WIDTHxHEIGHT", as --size takes it.
    const std::size_t x = text.find('x');
    if (x != std::string_view::npos) {
        const auto width = cli::ParsePositive(text.substr(0, x), 100000);
        const auto height = cli::ParsePositive(text.substr(x + 1), 100000);
        if (width && height) {
            CheckPosition(cli::SizePositionBySize(*width, *height));
        }
    }
    return 0;
}
