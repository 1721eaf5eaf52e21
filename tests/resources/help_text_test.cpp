#include "resources/help_text.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace
{

using Lines = std::vector<std::string>;

std::string Join(const Lines& lines)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        text += (i > 0 ? "\r\n" : "") + lines[i];
    }
    return text;
}

// Loads a help text after marking every entry, so that an entry counted but never written shows.
Lines LoadHelp(const std::string& text)
{
    for (auto& line : helpLines)
    {
        std::strcpy(line, "#");
    }
    WriteTestFile("duomenys/pagalba.txt", text);
    EXPECT_TRUE(LoadHelpText());
    return Lines(helpLines, helpLines + helpLineCount);
}

} // namespace

TEST(HelpText, LinesAreKeptByteForByteUntilAnEmptyLineOrTheTableIsFullAndTheGamesShowsWhole)
{
    Lines many;
    for (int i = 0; i < HELP_MAX_LINES + 5; ++i)
    {
        many.push_back(std::to_string(i));
    }
    const std::string eighty(80, 'a');
    struct Case
    {
        std::string text;
        Lines lines;
    };
    const Case cases[] = {
        // Code page 1257 letters and a percent sign stay as they are; LF alone reads like CR LF.
        {"Rodykl\xEBs\r\n100% \xFE\xE6\r\nF1", {"Rodykl\xEBs", "100% \xFE\xE6", "F1"}},
        {"a\nb\nc", {"a", "b", "c"}},
        // An empty line, or the break behind the last line, ends the text as an empty entry.
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"a\r\n\r\nc\r\nd", {"a", ""}},
        {"", {""}},
        // Eighty characters fit; a longer line goes on as the next entry, losing the 81st.
        {eighty + "Xbc\r\nkita", {eighty, "bc", "kita"}},
        {eighty + "\r\nkita", {eighty, "kita"}},
        {Join(many), Lines(many.begin(), many.begin() + HELP_MAX_LINES)},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(LoadHelp(c.text), c.lines) << c.text;
    }
    // The game's help shows whole (no line empty or over 80 characters, twenty at most) and names
    // every key.
    const std::string text = ReadTestFile(SourcePath("data/duomenys/pagalba.txt"));
    EXPECT_EQ(Join(LoadHelp(text)), text);
    EXPECT_EQ(helpLineCount, static_cast<uint32_t>(HELP_MAX_LINES));
    for (const char* key : {"Enter", "Esc", " M ", "F1 ", "F2 ", "F3 ", "F4 ", "F5 ", "F6 ", "F9 ",
                            "F10 ", "F11 ", "Alt+Enter", "F12 ", "Ctrl", "Shift", "Backspace"})
    {
        EXPECT_NE(text.find(key), std::string::npos) << key;
    }
    RemoveTestFile("duomenys/pagalba.txt"); // a missing file leaves no lines
    EXPECT_FALSE(LoadHelpText());
    EXPECT_EQ(helpLineCount, 0u);
}
