#include "text/text_file.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

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
        std::string value;
        bool ok = true;
        switch (*call)
        {
        case 'L':
            ok = ReadTextLine(&file, line, sizeof line);
            SkipTextChar(&file);
            value = line;
            break;
        case 'D':
            ok = DiscardTextLine(&file, 255);
            break;
        case 'I':
            ok = ReadTextInt(&file, &integer);
            value = std::to_string(integer);
            break;
        case 'U':
            ok = ReadTextUnsigned(&file, &whole);
            value = std::to_string(whole);
            break;
        case 'F':
            ok = ReadTextFloat(&file, &real);
            value = std::to_string(real);
            break;
        case 'B':
            ok = ReadTextBool(&file, &flag);
            value = std::to_string(flag);
            break;
        }
        said += (call == script ? "" : "|") + std::string(ok ? "" : "!") + value;
    }
    CloseTextFile(&file);
    return said;
}

} // namespace

TEST(TextFile, EachReadTakesWhatItsTypeAllowsAndAFailedReadFailsEveryLaterOne)
{
    // The file, the calls, what they gave.
    const std::tuple<std::string, const char*, const char*> cases[] = {
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
        {std::string(254, 'a') + "\r\n" + std::string(256, 'b') + "\r\nc", "DDL", "|!|!"},
    };
    for (const auto& [bytes, script, said] : cases)
    {
        EXPECT_EQ(ReadWith(bytes, script), said) << bytes;
    }
}
