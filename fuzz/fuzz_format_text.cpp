// The printf-style resource formatter (lang/format_text): any format text (a language module may
// carry anything) with any arguments of any type.
//
// Input: the arguments first (a kind byte each, then its value), then the format text.
#include "fuzz_check.h"
#include "lang/resource_strings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum class Small : std::uint8_t { A = 1, B = 200 };

constexpr std::size_t kMaxArguments = 8;

// An integer conversion of an int, an unsigned int and a long long prints what the C library
// prints: the formatter claims printf's rules for them.
void CompareWithPrintf(std::uint8_t flags, int width, int precision, char conversion,
                       long long number) {
    std::string directive = "%";
    const char* const kFlags = "-+ #0";
    for (int i = 0; i < 5; ++i) {
        if ((flags >> i) & 1U) {
            directive += kFlags[i];
        }
    }
    if (width >= 0) {
        directive += std::to_string(width);
    }
    if (precision >= 0) {
        directive += '.' + std::to_string(precision);
    }
    const std::string plain = directive + conversion;
    const std::string wide = directive + "ll" + conversion;
    char expected[1024];

#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wformat-nonliteral" // the directive is made above
    const int asInt = static_cast<int>(number);
    std::snprintf(expected, sizeof expected, plain.c_str(), asInt);
    FUZZ_CHECK(lang::FormatText(plain, {lang::FormatArg(asInt)}) == expected);

    // An unsigned argument prints as its own type even under %d (printf would reinterpret it).
    if (conversion != 'd' && conversion != 'i') {
        const auto asUnsigned = static_cast<unsigned>(number);
        std::snprintf(expected, sizeof expected, plain.c_str(), asUnsigned);
        FUZZ_CHECK(lang::FormatText(plain, {lang::FormatArg(asUnsigned)}) == expected);
    }

    std::snprintf(expected, sizeof expected, wide.c_str(), number);
    FUZZ_CHECK(lang::FormatText(wide, {lang::FormatArg(number)}) == expected);
#pragma clang diagnostic pop
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // The texts must outlive the arguments that view them.
    std::vector<std::string> texts;
    texts.reserve(kMaxArguments);
    std::vector<lang::FormatArg> args;
    const std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, kMaxArguments);
    for (std::size_t i = 0; i < count; ++i) {
        switch (in.ConsumeIntegralInRange<int>(0, 13)) {
        case 0:
            args.emplace_back(in.ConsumeIntegral<int>());
            break;
        case 1:
            args.emplace_back(in.ConsumeIntegral<long long>());
            break;
        case 2:
            args.emplace_back(in.ConsumeIntegral<short>());
            break;
        case 3:
            args.emplace_back(in.ConsumeIntegral<signed char>());
            break;
        case 4:
            args.emplace_back(in.ConsumeIntegral<unsigned>());
            break;
        case 5:
            args.emplace_back(in.ConsumeIntegral<unsigned long long>());
            break;
        case 6:
            args.emplace_back(in.ConsumeIntegral<std::uint16_t>());
            break;
        case 7:
            args.emplace_back(in.ConsumeBool());
            break;
        case 8:
            args.emplace_back(in.ConsumeIntegral<char>());
            break;
        case 9: {
            // Any bit pattern: not-a-number, infinities, subnormals, the largest values.
            const auto bits = in.ConsumeIntegral<std::uint64_t>();
            double value = 0;
            std::memcpy(&value, &bits, sizeof value);
            args.emplace_back(value);
            break;
        }
        case 10:
            args.emplace_back(in.ConsumeFloatingPoint<float>());
            break;
        case 11:
            args.emplace_back(static_cast<const char*>(nullptr));
            break;
        case 12:
            args.emplace_back(in.ConsumeBool() ? Small::A : Small::B);
            break;
        default:
            texts.push_back(in.ConsumeRandomLengthString(64));
            args.emplace_back(texts.back());
            break;
        }
    }
    // One integer conversion built from the input, for the comparison with the C library below.
    const auto flags = in.ConsumeIntegral<std::uint8_t>();
    const auto width = in.ConsumeIntegralInRange<int>(-1, 300);
    const auto precision = in.ConsumeIntegralInRange<int>(-1, 300);
    const char conversion = "diuoxX"[in.ConsumeIntegralInRange<int>(0, 5)];
    const auto number = in.ConsumeIntegral<long long>();
    const auto unknown = in.ConsumeIntegral<char>();
    const std::string format = in.ConsumeRemainingBytesAsString();

    const std::string out = lang::FormatText(format, args);
    // Each conversion writes at most its width or precision (capped at 4,096), a number's digits
    // or an argument's text; the bound is loose but catches output without bound.
    std::size_t textBytes = 0;
    for (const std::string& t : texts) {
        textBytes += t.size();
    }
    const std::size_t conversions =
        static_cast<std::size_t>(std::count(format.begin(), format.end(), '%'));
    FUZZ_CHECK(out.size() <= format.size() + conversions * (2 * 4096 + 800) + textBytes);

    // The same text again gives the same output: nothing depends on state left behind.
    FUZZ_CHECK(lang::FormatText(format, args) == out);
    CompareWithPrintf(flags, width, precision, conversion, number);

    // A '%' before a byte that starts no directive stays as written, with the byte, and takes no
    // argument: "50%" and "100% sure" in a translation print as they read.
    const std::string_view kDirectiveBytes = "-+ #0123456789.*hlLqjztwI%diuoxXcspfFeEgGaASCn";
    if (kDirectiveBytes.find(unknown) == std::string_view::npos) {
        const std::string text = std::string("a%") + unknown + "%d";
        FUZZ_CHECK(lang::FormatText(text, {lang::FormatArg(7)}) == text.substr(0, 3) + "7");
    }
    return 0;
}
