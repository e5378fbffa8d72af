// Reading a .po file: continued texts and escapes, obsolete entries, and the syntax errors that
// stop the generator; the printf conversions a "c-format" text is checked by.
#include "lang/tools/po_file.h"

#include <gtest/gtest.h>

namespace {

TEST(PoFile, PrintfConversionsAndSyntaxErrors) {
    EXPECT_EQ(lang::PrintfConversions("%5.2f%% of %-3s, %ld and %*d"),
              (std::vector<std::string>{"%5.2f", "%-3s", "%ld", "%*d"}));
    EXPECT_EQ(lang::PrintfConversions("100%"), (std::vector<std::string>{"%?"}));
    // printf reads "% o" as octal with the space flag: a stray "%" in a translation is caught.
    EXPECT_EQ(lang::PrintfConversions("50% off"), (std::vector<std::string>{"% o"}));

    lang::PoCatalog po;
    std::string error;
    EXPECT_FALSE(lang::ParsePo("msgid \"a\"\nmsgstr \"b\nmsgid \"c\"\n", po, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(lang::ParsePo("msgctxt \"k\"\nmsgid \"a\"\n", po, error));
    ASSERT_TRUE(lang::ParsePo("#~ msgid \"old\"\n#~ msgstr \"alt\"\n\n"
                              "msgctxt \"k\"\nmsgid \"\"\n\"a\\n\"\n\"b\"\nmsgstr \"x\\\"y\"\n",
                              po, error))
        << error;
    ASSERT_EQ(po.entries.size(), 1U); // the obsolete entry is dropped
    EXPECT_EQ(po.entries[0].strId, "a\nb");
    EXPECT_EQ(po.entries[0].strText, "x\"y");
}

} // namespace
