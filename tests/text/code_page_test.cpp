#include "text/code_page.h"

#include <gtest/gtest.h>
#include <string>

// Code page 1257 to UTF-8: ASCII as it is, the Baltic letters and the signs of the upper half as
// glibc's iconv gives them, unused codes left out; the text is cut before a character that does
// not fit whole, and always terminated.
TEST(CodePage, TextsConvertToUtf8AndUnusedCodesAreLeftOut)
{
    char utf8[64];
    ConvertToUtf8("Rodykl\xEBs, \xFE"
                  "aid\xEBjai, \xD0is, \xE1, \x80, \xFF",
                  utf8, sizeof utf8);
    EXPECT_STREQ(utf8, "Rodyklės, žaidėjai, Šis, į, €, ˙");
    ConvertToUtf8("a\x81"
                  "b\xA1\xA5"
                  "c",
                  utf8, sizeof utf8);
    EXPECT_STREQ(utf8, "abc");
    char small[4];
    ConvertToUtf8("ab\xFE", small, sizeof small); // ž takes two bytes: only "ab" fits
    EXPECT_STREQ(small, "ab");
    ConvertToUtf8("a\x80", small, sizeof small); // € takes three
    EXPECT_STREQ(small, "a");
    ConvertToUtf8("", small, 1);
    EXPECT_STREQ(small, "");
    const std::string unused = "\x81\x83\x88\x8A\x8C\x90\x98\x9A\x9C\x9F\xA1\xA5";
    for (int code = 0x80; code <= 0xFF; ++code)
    {
        char byte[2] = {static_cast<char>(code), '\0'};
        ConvertToUtf8(byte, utf8, sizeof utf8);
        EXPECT_EQ(std::string(utf8).empty(),
                  unused.find(static_cast<char>(code)) != std::string::npos)
            << code;
    }
}
