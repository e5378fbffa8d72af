#include "support/reg_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kKey[] = "HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast";

const RegValue* Get(const RegDocument& doc, const char* name, const char* key = kKey) {
    const RegSection* section = FindRegSection(doc, key);
    return section != nullptr ? FindRegValue(*section, name) : nullptr;
}

TEST(RegText, WritesTheExportSyntaxAndReadsItBack) {
    RegDocument doc;
    RegValue path{"OutputPath", RegValueType::String, "C:\\Media \"new\"\\", 0, ""};
    RegValue language{"Language", RegValueType::Dword, "", 2052, ""};
    RegValue whole{"Whole", RegValueType::Dword, "", 0xFFFFFFFFU, ""};
    PutRegValue(doc, kKey, path);
    PutRegValue(doc, kKey, language);
    PutRegValue(doc, kKey, whole);
    const std::string text = FormatRegText(doc);
    EXPECT_EQ(text, "Windows Registry Editor Version 5.00\n"
                    "\n"
                    "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast]\n"
                    "\"OutputPath\"=\"C:\\\\Media \\\"new\\\"\\\\\"\n"
                    "\"Language\"=dword:00000804\n"
                    "\"Whole\"=dword:ffffffff\n"
                    "\n");
    const RegDocument back = ParseRegText(text);
    EXPECT_FALSE(back.IsDamaged());
    ASSERT_NE(Get(back, "outputpath"), nullptr); // names compare without regard to case
    EXPECT_EQ(Get(back, "OutputPath")->strText, path.strText);
    EXPECT_EQ(Get(back, "LANGUAGE")->nDword, 2052U);
    EXPECT_EQ(Get(back, "Whole")->nDword, 0xFFFFFFFFU);
}

TEST(RegText, AnyTextRoundTrips) {
    // Folder names may hold line breaks, quotes, backslashes, tabs, bytes that are not UTF-8.
    const std::string texts[] = {"",
                                 "a\nb\r\nc",
                                 "\\n is not a line break",
                                 "\"\"",
                                 "tab\there",
                                 "\xff\xfe junk \x01",
                                 "ends with \\",
                                 "[not a key]",
                                 "@=x"};
    RegDocument doc;
    int i = 0;
    for (const std::string& text : texts) {
        PutRegValue(doc, kKey,
                    RegValue{"v" + std::to_string(i++), RegValueType::String, text, 0, ""});
    }
    PutRegValue(doc, kKey, RegValue{"odd \"name\"\n=", RegValueType::Dword, "", 7, ""});
    PutRegValue(doc, kKey, RegValue{"", RegValueType::String, "default", 0, ""});
    const RegDocument back = ParseRegText(FormatRegText(doc));
    EXPECT_FALSE(back.IsDamaged());
    i = 0;
    for (const std::string& text : texts) {
        const RegValue* value = Get(back, ("v" + std::to_string(i++)).c_str());
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->strText, text);
    }
    ASSERT_NE(Get(back, "odd \"name\"\n="), nullptr);
    EXPECT_EQ(Get(back, "odd \"name\"\n=")->nDword, 7U);
    ASSERT_NE(Get(back, ""), nullptr);
    EXPECT_EQ(Get(back, "")->strText, "default");
}

TEST(RegText, ReadsHandWrittenFilesAndKeepsOtherTypes) {
    const std::string text = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "; a comment\r\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast]\r\n"
                             "\"OutputPath\" = \"D:\\Videos\\Clips\"  \r\n"
                             "\"Language\"=DWORD:804\r\n"
                             "\"Blob\"=hex:01,02,\\\r\n"
                             "  03,04\r\n"
                             "\"Multi\"=hex(7):41,00,00,00\r\n"
                             "[hkey_local_machine\\software\\velmora\\lumicast]\r\n"
                             "\"Language\"=dword:00000409\r\n";
    const RegDocument doc = ParseRegText(text);
    EXPECT_FALSE(doc.IsDamaged());
    ASSERT_EQ(doc.sections.size(), 1U);
    EXPECT_EQ(Get(doc, "OutputPath")->strText, "D:\\Videos\\Clips"); // a lone "\" is itself
    EXPECT_EQ(Get(doc, "Language")->nDword, 0x409U);                 // the later one wins
    EXPECT_EQ(Get(doc, "Blob")->type, RegValueType::Other);
    const std::string again = FormatRegText(doc);
    EXPECT_NE(again.find("\"Blob\"=hex:01,02,\\\n  03,04\n"), std::string::npos);
    EXPECT_NE(again.find("\"Multi\"=hex(7):41,00,00,00\n"), std::string::npos);
    EXPECT_FALSE(ParseRegText(again).IsDamaged());
}

TEST(RegText, DamagedTextIsReadAsFarAsPossible) {
    const std::string good = "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumicast]\n"
                             "\"HiddenToolTips\"=\"TRUE\"\n";
    struct Case {
        const char* what;
        std::string text;
        std::size_t damaged;
    };
    const Case cases[] = {
        {"garbage line", good + "this is not a value\n\"Language\"=dword:00000804\n", 1},
        {"cut inside a text",
         good + "\"OutputPath\"=\"/home/ann/Vid\n\"Language\"=dword:00000804\n", 1},
        {"cut last line", good + "\"Language\"=dword:00000804\n\"OutputPath\"=dword:0000", 1},
        {"binary junk",
         good + std::string("\x00\x01\xff\xfe\n", 5) + "\"Language\"=dword:00000804\n", 1},
        {"bad numbers",
         good + "\"A\"=dword:123456789\n\"B\"=dword:xyz\n\"Language\"=dword:00000804\n", 2},
        {"bad hex", good + "\"A\"=hex:zz\n\"B\"=hex:01,\\\n\"Language\"=dword:00000804\n", 2},
        {"no header", good.substr(37) + "\"Language\"=dword:00000804\n", 1},
        {"deleted key",
         good + "[-HKEY_X]\n\"Orphan\"=\"x\"\n[" + std::string(kKey) +
             "]\n\"Language\"=dword:00000804\n",
         2},
    };
    for (const Case& c : cases) {
        const RegDocument doc = ParseRegText(c.text);
        EXPECT_EQ(doc.nDamagedLines, c.damaged) << c.what;
        ASSERT_NE(Get(doc, "HiddenToolTips"), nullptr) << c.what;
        EXPECT_EQ(Get(doc, "HiddenToolTips")->strText, "TRUE") << c.what;
        ASSERT_NE(Get(doc, "Language"), nullptr) << c.what;
        EXPECT_EQ(Get(doc, "Language")->nDword, 0x804U) << c.what;
        EXPECT_EQ(Get(doc, "OutputPath"), nullptr) << c.what;
        EXPECT_EQ(Get(doc, "Orphan"), nullptr) << c.what;
    }
}

TEST(RegText, HostileInputNeverBreaksTheReader) {
    std::string text = "Windows Registry Editor Version 5.00\n[K]\n";
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245U + 12345U;
        const char pool[] = "\"\\[]=@:hexdword(),0123456789abf \n\r\x00\xff;-";
        text += pool[(seed >> 16) % (sizeof(pool) - 1)];
    }
    const RegDocument doc = ParseRegText(text);
    // Whatever was read writes out as text that reads back to the same values.
    const std::string once = FormatRegText(doc);
    EXPECT_EQ(FormatRegText(ParseRegText(once)), once);
    EXPECT_FALSE(ParseRegText(once).IsDamaged());
}

} // namespace
