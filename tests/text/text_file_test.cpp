#include "text/text_file.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "tests/support/test_files.h"

namespace
{

// Reads a file with a script of calls and writes down what each gave, '|' between them: L reads
// a line into 4 bytes and skips the character after it, as the game's readers of lines do, D
// discards a line of under 255, and I, U, F and B read a number into one variable each (42, 42,
// 0 and false at first). A failed call is marked with '!' before the value it left.
std::string ReadWith(const std::string& bytes, const char* script)
{
    WriteTestFile("text_file_test.txt", bytes);
    TextFile file;
    EXPECT_TRUE(OpenTextFile(&file, "text_file_test.txt"));
    int32_t integer = 42;
    uint32_t whole = 42;
    double real = 0.0;
    bool flag = false;
    char line[4];
    std::string said;
    for (const char* call = script; *call != '\0'; ++call)
    {
        const char c = *call;
        bool ok = c == 'L'   ? ReadTextLine(&file, line, sizeof line)
                  : c == 'D' ? DiscardTextLine(&file, 255)
                  : c == 'I' ? ReadTextInt(&file, &integer)
                  : c == 'U' ? ReadTextUnsigned(&file, &whole)
                  : c == 'F' ? ReadTextFloat(&file, &real)
                             : ReadTextBool(&file, &flag);
        if (c == 'L')
        {
            SkipTextChar(&file);
        }
        std::string value = c == 'L'   ? line
                            : c == 'D' ? ""
                            : c == 'I' ? std::to_string(integer)
                            : c == 'U' ? std::to_string(whole)
                            : c == 'F' ? std::to_string(real)
                                       : std::to_string(flag);
        said += (call == script ? "" : "|") + std::string(ok ? "" : "!") + value;
    }
    CloseTextFile(&file);
    return said;
}

} // namespace

TEST(TextFile, EachReadTakesWhatItsTypeAllowsAndAFailedReadFailsEveryLaterOne)
{
    struct Case
    {
        std::string bytes, script, said; // the file, the calls, what they gave
    };
    const Case cases[] = {
        // CR LF and LF end a line alike; a lone CR is a character of the line.
        {"ab\r\ncd\r\n", "LLL", "ab|cd|!"},
        {"ab\ncd\n", "LLL", "ab|cd|!"},
        {"a\rb", "L", "a\rb"},
        // A line longer than the buffer goes on in the next read, less the character skipped; a
        // read taking nothing fails.
        {"abcdefg\n\nx", "LLLL", "abc|efg|!|!"},
        {"\r\n\n  -12abc\n+7 3.5e2 .25 -0.5E-1 1", "IDIFFFB",
         "-12||7|350.000000|0.250000|-0.050000|1"},
        {"-2147483648 2147483647 -5 4294967295", "IIUU",
         "-2147483648|2147483647|4294967291|4294967295"},
        // A number that fails keeps the variable as it was, and so does every read after it.
        {"x 5", "II", "!42|!42"},
        {"2147483648 1", "II", "!42|!42"},
        {std::string(70, '9'), "I", "!42"},
        {"4294967296", "U", "!42"},
        {"-4294967296", "U", "!42"},
        {"2 1", "BB", "!0|!0"},
        {"- 1", "IU", "!42|!42"},
        {"1. .e1", "FF", "1.000000|!1.000000"},
        {"2e", "F", "!0.000000"},
        {"", "I", "!42"},
        {std::string(254, 'a') + "\r\n" + std::string(255, 'b') + "\r\nc", "DDL", "|!|!"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ReadWith(c.bytes, c.script.c_str()), c.said) << c.bytes;
    }
}
