#include "resources/help_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace
{

constexpr const char* HELP_PATH = "duomenys/pagalba.txt";

std::vector<std::string> LoadedLines()
{
    std::vector<std::string> lines;
    for (uint32_t i = 0; i < helpLineCount; ++i)
    {
        lines.emplace_back(helpLines[i]);
    }
    return lines;
}

// Loads a help text after filling the table with marks, so that a line left unwritten shows.
bool LoadHelp(const std::string& text)
{
    for (auto& line : helpLines)
    {
        std::string(HELP_LINE_LENGTH - 1, '#').copy(line, HELP_LINE_LENGTH - 1);
        line[HELP_LINE_LENGTH - 1] = '\0';
    }
    WriteTestFile(HELP_PATH, text);
    return LoadHelpText();
}

// The lines of a file split at CR LF.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;)
    {
        size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
        {
            return lines;
        }
        start = end + 2;
    }
}

} // namespace

TEST(HelpText, EveryLineBecomesAnEntryWithItsBytesUnchanged)
{
    // Code page 1257 letters and a percent sign are kept as they are.
    const std::string first = "Rodykl\xEBs: jud\xEBti"; // Rodyklės: judėti
    const std::string second = "100% \xFE\xE6";         // 100% žę
    ASSERT_TRUE(LoadHelp(first + "\r\n" + second + "\r\nF1"));
    EXPECT_EQ(LoadedLines(), (std::vector<std::string>{first, second, "F1"}));

    ASSERT_TRUE(LoadHelp("a\nb\nc"));
    EXPECT_EQ(LoadedLines(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(HelpText, AnEmptyLineOrAFinalLineBreakEndsTheTextWithAnEmptyEntry)
{
    ASSERT_TRUE(LoadHelp("a\r\nb\r\nc\r\n"));
    EXPECT_EQ(LoadedLines(), (std::vector<std::string>{"a", "b", "c", ""}));

    ASSERT_TRUE(LoadHelp("a\r\n\r\nc\r\nd"));
    EXPECT_EQ(LoadedLines(), (std::vector<std::string>{"a", ""}));

    ASSERT_TRUE(LoadHelp(""));
    EXPECT_EQ(LoadedLines(), (std::vector<std::string>{""}));
}

TEST(HelpText, ALongLineIsSplitAfterEightyCharactersLosingTheEightyFirst)
{
    std::string line;
    for (int i = 0; i < 100; ++i)
    {
        line += static_cast<char>('A' + i % 26);
    }
    ASSERT_TRUE(LoadHelp(line + "\r\nkita"));
    EXPECT_EQ(LoadedLines(),
              (std::vector<std::string>{line.substr(0, 80), line.substr(81), "kita"}));

    // Exactly 80 characters fit whole.
    ASSERT_TRUE(LoadHelp(line.substr(0, 80) + "\r\nkita"));
    EXPECT_EQ(LoadedLines(), (std::vector<std::string>{line.substr(0, 80), "kita"}));
}

TEST(HelpText, ReadingStopsWhenTheTableIsFull)
{
    std::string text;
    for (int i = 0; i < HELP_MAX_LINES + 5; ++i)
    {
        text += (i > 0 ? "\r\n" : "") + std::string("eilute ") + std::to_string(i);
    }
    ASSERT_TRUE(LoadHelp(text));
    ASSERT_EQ(helpLineCount, static_cast<uint32_t>(HELP_MAX_LINES));
    EXPECT_STREQ(helpLines[HELP_MAX_LINES - 1], "eilute 19");

    // Long lines that split into more than the table holds stop there too.
    ASSERT_TRUE(LoadHelp(std::string(HELP_MAX_LINES * 81 + 40, 'x')));
    EXPECT_EQ(helpLineCount, static_cast<uint32_t>(HELP_MAX_LINES));
}

TEST(HelpText, AMissingFileLeavesNoLines)
{
    ASSERT_TRUE(LoadHelp("a\r\nb"));
    RemoveTestFile(HELP_PATH);
    EXPECT_FALSE(LoadHelpText());
    EXPECT_EQ(helpLineCount, 0u);
}

TEST(HelpText, TheGamesHelpFitsTheOverlayAndNamesEveryKey)
{
    std::string text = ReadTestFile(SourcePath("data/duomenys/pagalba.txt"));
    ASSERT_FALSE(text.empty());
    std::vector<std::string> lines = SplitLines(text);
    EXPECT_LE(lines.size(), static_cast<size_t>(HELP_MAX_LINES));
    for (const std::string& line : lines)
    {
        EXPECT_FALSE(line.empty());
        EXPECT_LE(line.size(), static_cast<size_t>(HELP_LINE_LENGTH - 1)) << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
    ASSERT_TRUE(LoadHelp(text));
    EXPECT_EQ(LoadedLines(), lines);
    const char* keys[] = {"Enter", "Esc", " M ",  "F1 ",  "F2 ",   "F3 ",
                          "F4 ",   "F5 ", "F12 ", "Ctrl", "Shift", "Backspace"};
    for (const char* key : keys)
    {
        EXPECT_NE(text.find(key), std::string::npos) << key;
    }
}
