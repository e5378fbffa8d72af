#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::QuoteArgument;
using platform::SplitCommandLine;

namespace {

using Args = std::vector<std::string>;

// Names a hostile file system can hold; each must come back from a quoted command line exactly.
const Args& HostileTexts() {
    static const Args texts = {
        "",
        "plain",
        "with space",
        "tab\there",
        "line\nfeed",
        "cr\rlf\r\n",
        "\"",
        "\"\"",
        "a\"b",
        "\\",
        "\\\\",
        "ends with backslash\\",
        "ends with two\\\\",
        "backslash before quote\\\"x",
        "three\\\\\\\"quote",
        "\\\"\\\\\"",
        "percent %s %d %n",
        "/home/u/my.videos/a \"quoted\" name\\.avi",
        "\xff\xfe non-utf8 \x80\xc3",
        "-y",
        "  leading and trailing  ",
        "&|;<>()$`*?",
    };
    return texts;
}

TEST(CommandLine, QuotingOrdinaryTextOnlyAddsQuotes) {
    EXPECT_EQ(QuoteArgument("/home/u/Videos/clip.avi"), "\"/home/u/Videos/clip.avi\"");
    EXPECT_EQ(QuoteArgument("a\\b c"), "\"a\\b c\"");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
    // Backslashes before a quote or before the closing quote are doubled.
    EXPECT_EQ(QuoteArgument("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(QuoteArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    EXPECT_EQ(QuoteArgument("dir\\"), "\"dir\\\\\"");
}

TEST(CommandLine, EveryHostileArgumentRoundTrips) {
    for (const std::string& text : HostileTexts()) {
        const Args args = SplitCommandLine("prog " + QuoteArgument(text));
        ASSERT_EQ(args.size(), 2U) << text;
        EXPECT_EQ(args[1], text);
    }
    // All of them on one line, next to each other.
    std::string line = "prog";
    for (const std::string& text : HostileTexts()) {
        line += " " + QuoteArgument(text);
    }
    Args expected = {"prog"};
    expected.insert(expected.end(), HostileTexts().begin(), HostileTexts().end());
    EXPECT_EQ(SplitCommandLine(line), expected);
}

TEST(CommandLine, SplitsLikeWindows) {
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine(" \t "), Args{});
    EXPECT_EQ(SplitCommandLine("prog"), Args{"prog"});
    EXPECT_EQ(SplitCommandLine("  prog  a\tb  "), (Args{"prog", "a", "b"}));
    // The program name: quotes group, backslashes are literal.
    EXPECT_EQ(SplitCommandLine("\"C:\\a b\\p.exe\" x"), (Args{"C:\\a b\\p.exe", "x"}));
    EXPECT_EQ(SplitCommandLine("\"a\"b c"), (Args{"a", "b", "c"}));
    // Arguments: the documented examples of the Windows rules.
    EXPECT_EQ(SplitCommandLine("p \"a b c\" d e"), (Args{"p", "a b c", "d", "e"}));
    EXPECT_EQ(SplitCommandLine("p \"ab\\\"c\" \"\\\\\" d"), (Args{"p", "ab\"c", "\\", "d"}));
    EXPECT_EQ(SplitCommandLine("p a\\\\\\b d\"e f\"g h"), (Args{"p", "a\\\\\\b", "de fg", "h"}));
    EXPECT_EQ(SplitCommandLine("p a\\\\\\\"b c d"), (Args{"p", "a\\\"b", "c", "d"}));
    EXPECT_EQ(SplitCommandLine("p a\\\\\\\\\"b c\" d e"), (Args{"p", "a\\\\b c", "d", "e"}));
    // Two quotes inside a quoted part give one literal quote.
    EXPECT_EQ(SplitCommandLine("p \"a\"\"b\""), (Args{"p", "a\"b"}));
    EXPECT_EQ(SplitCommandLine("p \"\" x"), (Args{"p", "", "x"}));
    // A quoted part left open runs to the end.
    EXPECT_EQ(SplitCommandLine("p \"open end"), (Args{"p", "open end"}));
    // A line feed is not a separator.
    EXPECT_EQ(SplitCommandLine("p a\nb"), (Args{"p", "a\nb"}));
}

} // namespace
