#include "text/text_file.h"

#include <gtest/gtest.h>
#include <string>

#include "tests/support/test_files.h"

namespace
{

const char* PATH = "text_file_test.txt";

TextFile OpenWith(const std::string& bytes)
{
    WriteTestFile(PATH, bytes);
    TextFile file;
    EXPECT_TRUE(OpenTextFile(&file, PATH));
    return file;
}

} // namespace

TEST(TextFile, ReadsCrLfAndLfAlikeButKeepsALoneCr)
{
    for (const char* bytes : {"ab\r\ncd\r\n", "ab\ncd\n"})
    {
        TextFile file = OpenWith(bytes);
        char line[8];
        EXPECT_TRUE(ReadTextLine(&file, line, sizeof line));
        EXPECT_STREQ(line, "ab");
        SkipTextChar(&file);
        EXPECT_TRUE(ReadTextLine(&file, line, sizeof line));
        EXPECT_STREQ(line, "cd");
        CloseTextFile(&file);
    }
    TextFile file = OpenWith("a\rb\r");
    char line[8];
    EXPECT_TRUE(ReadTextLine(&file, line, sizeof line));
    EXPECT_STREQ(line, "a\rb\r");
    CloseTextFile(&file);
}

TEST(TextFile, LineReadStopsAtTheBufferAndFailsWhenNothingIsTaken)
{
    TextFile file = OpenWith("abcdef\n\nx");
    char line[4];
    EXPECT_TRUE(ReadTextLine(&file, line, sizeof line));
    EXPECT_STREQ(line, "abc");
    EXPECT_TRUE(ReadTextLine(&file, line, sizeof line));
    EXPECT_STREQ(line, "def");
    SkipTextChar(&file);
    EXPECT_FALSE(ReadTextLine(&file, line, sizeof line)); // the empty line
    EXPECT_STREQ(line, "");
    EXPECT_FALSE(IsTextGood(&file));
    EXPECT_FALSE(ReadTextLine(&file, line, sizeof line)); // the failure sticks
    CloseTextFile(&file);
}

TEST(TextFile, NumbersSkipWhiteSpaceAndStopAtTheFirstOtherCharacter)
{
    TextFile file = OpenWith("\r\n\n  -12abc\n+7 3.5e2 .25 1\n");
    int32_t value = 0;
    EXPECT_TRUE(ReadTextInt(&file, &value));
    EXPECT_EQ(value, -12);
    EXPECT_TRUE(DiscardTextLine(&file, 255));
    EXPECT_TRUE(ReadTextInt(&file, &value));
    EXPECT_EQ(value, 7);
    double real = 0.0;
    EXPECT_TRUE(ReadTextFloat(&file, &real));
    EXPECT_DOUBLE_EQ(real, 350.0);
    EXPECT_TRUE(ReadTextFloat(&file, &real));
    EXPECT_DOUBLE_EQ(real, 0.25);
    bool flag = false;
    EXPECT_TRUE(ReadTextBool(&file, &flag));
    EXPECT_TRUE(flag);
    CloseTextFile(&file);
}

TEST(TextFile, AFailedNumberKeepsItsFieldAndFailsEveryLaterRead)
{
    TextFile file = OpenWith("x 5\n");
    int32_t value = 42;
    EXPECT_FALSE(ReadTextInt(&file, &value));
    EXPECT_EQ(value, 42);
    EXPECT_FALSE(ReadTextInt(&file, &value));
    EXPECT_EQ(value, 42);
    CloseTextFile(&file);

    file = OpenWith("2\n");
    bool flag = false;
    EXPECT_FALSE(ReadTextBool(&file, &flag)); // only 0 and 1 are flags
    EXPECT_FALSE(flag);
    CloseTextFile(&file);
}

TEST(TextFile, OutOfRangeNumbersFailAndNegativeUnsignedWraps)
{
    TextFile file =
        OpenWith("2147483648 99999999999999999999999999999999999999999999999999999999999999999"
                 "999999\n");
    int32_t value = 1;
    EXPECT_FALSE(ReadTextInt(&file, &value));
    EXPECT_EQ(value, 1);
    CloseTextFile(&file);

    file = OpenWith("-5 4294967296\n");
    uint32_t unsignedValue = 0;
    EXPECT_TRUE(ReadTextUnsigned(&file, &unsignedValue));
    EXPECT_EQ(unsignedValue, 4294967291u);
    EXPECT_FALSE(ReadTextUnsigned(&file, &unsignedValue));
    EXPECT_EQ(unsignedValue, 4294967291u);
    CloseTextFile(&file);
}

TEST(TextFile, ADiscardedLineMustBeShorterThanItsLimit)
{
    std::string fits(254, 'a');
    std::string tooLong(255, 'b');
    TextFile file = OpenWith(fits + "\r\n" + tooLong + "\r\nafter\r\n");
    EXPECT_TRUE(DiscardTextLine(&file, 255));
    EXPECT_FALSE(DiscardTextLine(&file, 255));
    char line[8];
    EXPECT_FALSE(ReadTextLine(&file, line, sizeof line));
    CloseTextFile(&file);
}
