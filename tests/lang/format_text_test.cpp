#include "lang/resource_strings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>

namespace {

using lang::Format;

TEST(FormatText, PercentAndPlainText) {
    EXPECT_EQ(Format("100%%"), "100%");
    EXPECT_EQ(Format("%%d"), "%d");
    EXPECT_EQ(Format("no conversions"), "no conversions");
    EXPECT_EQ(Format(""), "");
}

TEST(FormatText, IntegersLikePrintf) {
    EXPECT_EQ(Format("%d", -42), "-42");
    EXPECT_EQ(Format("%02d:%02d:%02d", 1, 2, 3), "01:02:03");
    EXPECT_EQ(Format("%02d:%02d:%02d", 123, 0, 59), "123:00:59");
    EXPECT_EQ(Format("%5d|%-5d|%+d|% d", 42, 42, 42, 42), "   42|42   |+42| 42");
    EXPECT_EQ(Format("%.3d", 7), "007");
    EXPECT_EQ(Format("%x %X %#x %o %#o", 255, 255, 255, 8, 8), "ff FF 0xff 10 010");
    EXPECT_EQ(Format("%u", 4000000000U), "4000000000");
    EXPECT_EQ(Format("%lld", std::numeric_limits<long long>::min()), "-9223372036854775808");
    EXPECT_EQ(Format("%d", std::uint64_t{18446744073709551615ULL}), "18446744073709551615");
    // A negative value read as unsigned keeps the bits of its own width.
    EXPECT_EQ(Format("%u", -1), "4294967295");
    EXPECT_EQ(Format("%x", std::int16_t{-1}), "ffff");
    EXPECT_EQ(Format("%c%c", 'o', 'k'), "ok");
    EXPECT_EQ(Format("%d", true), "1");
}

TEST(FormatText, RealsLikePrintfInAnyLocale) {
    EXPECT_EQ(Format("%2.3f fps", 29.97), "29.970 fps");
    EXPECT_EQ(Format("%.3f", 14.985), "14.985");
    EXPECT_EQ(Format("%.0f%%", 125.0), "125%");
    EXPECT_EQ(Format("%.0f", 0.75 * 256), "192");
    EXPECT_EQ(Format("%f", 1.5), "1.500000");
    EXPECT_EQ(Format("%08.2f", -3.14159), "-0003.14");
    EXPECT_EQ(Format("%e", 12345.678), "1.234568e+04");
    EXPECT_EQ(Format("%g", 0.0001), "0.0001");
    EXPECT_EQ(Format("%G", 1e20), "1E+20");
    EXPECT_EQ(Format("%f", 2.5f), "2.500000");

    // A process running under a locale with a decimal comma still writes a point: these texts go
    // into encoder command lines.
    const char* names[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8", "C.UTF-8"};
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            EXPECT_EQ(Format(" -r %.3f", 29.97), " -r 29.970") << name;
            break;
        }
    }
    std::setlocale(LC_ALL, "C");
}

TEST(FormatText, TextsWithWidthAndPrecision) {
    EXPECT_EQ(Format("[%s]", std::string("abc")), "[abc]");
    EXPECT_EQ(Format("[%5s][%-5s][%.2s]", "abc", "abc", "abc"), "[  abc][abc  ][ab]");
    EXPECT_EQ(Format("%s", std::string_view("view")), "view");
    const char* nothing = nullptr;
    EXPECT_EQ(Format("%s", nothing), "(null)");
    EXPECT_EQ(Format("%*d|%-*d|%.*f", 4, 7, 3, 7, 2, 1.0), "   7|7  |1.00");
    EXPECT_EQ(Format("%ls %hs %I64d %lu %zu", "wide", "narrow", 5, 6UL, std::size_t{7}),
              "wide narrow 5 6 7");
    // Text made at run time passed as an argument is never read as a format.
    EXPECT_EQ(Format("%s", "a%sb%d"), "a%sb%d");
}

TEST(FormatText, MismatchedArgumentsNeverCrash) {
    // Each argument is written as what it is.
    EXPECT_EQ(Format("%s", 42), "42");
    EXPECT_EQ(Format("%s", 2.5), "2.5");
    EXPECT_EQ(Format("%d", "text"), "text");
    EXPECT_EQ(Format("%d", 7.9), "7");
    EXPECT_EQ(Format("%f", 3), "3.000000");
    EXPECT_EQ(Format("%x", "abc"), "abc");
    EXPECT_EQ(Format("%c", "xyz"), "xyz");
    const std::string huge = Format("%d", 1e300); // too big for an integer: written in full
    EXPECT_EQ(huge.size(), 301U);
    EXPECT_EQ(huge.substr(0, 6), "100000");
    // Missing arguments print nothing; extra ones are ignored.
    EXPECT_EQ(Format("a%sb%dc%fd"), "abcd");
    EXPECT_EQ(Format("%d-%d", 1), "1-");
    EXPECT_EQ(Format("%d", 1, 2, 3), "1");
    EXPECT_EQ(Format("%*d"), "");
    // "%n" writes nothing; unknown and unfinished conversions stay as written.
    EXPECT_EQ(Format("%n%d", 1, 2), "2");
    EXPECT_EQ(Format("%y %d", 5), "%y 5");
    EXPECT_EQ(Format("50%", 1), "50%");
    EXPECT_EQ(Format("%-", 1), "%-");
    // Huge widths are capped instead of allocating without bound.
    EXPECT_LE(Format("%999999999d", 1).size(), 5000U);
    EXPECT_LE(Format("%.999999999f", 1.0).size(), 5000U);
}

} // namespace
