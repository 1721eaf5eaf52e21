#include "present/settings.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>

#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

// Ten settings lines joined with CR LF, line i replaced where `changes` says so.
std::string SettingsText(const std::map<int, std::string>& changes = {},
                         const char* lineEnd = "\r\n", int lineCount = 10)
{
    std::string lines[10] = {"Vortanai", "0",  "800",      "600",      "85",
                             "16",       "24", "free one", "free two", "http://a.b/r"};
    for (const auto& [line, text] : changes)
    {
        lines[line] = text;
    }
    std::string text;
    for (int i = 0; i < lineCount; ++i)
    {
        text += lines[i] + lineEnd;
    }
    return text;
}

// Every field the reader fills, in the order of the file.
std::string Describe()
{
    char text[400];
    std::snprintf(text, sizeof text, "%s|%d|%u|%u|%u|%u|%u|%s|%s", settings.windowTitle,
                  settings.fullscreen, settings.screenWidth, settings.screenHeight,
                  settings.refreshRate, settings.colorBits, settings.reservedValue,
                  settings.submitUrl, modeText);
    return text;
}

} // namespace

// A failed read fails the rest of the file: numbers keep their start values, texts are empty. A
// missing file is refused and reads nothing.
TEST(SettingsFile, EveryRuleOfTheReader)
{
    const std::string startValues = "0|640|480|75|32|24||640x480@75";
    const std::string plain = "Vortanai|0|800|600|85|16|24|http://a.b/r|800x600@85";
    const std::string longUrl(300, 'u');
    struct Case
    {
        const char* what;
        std::optional<std::string> text; // none: no file
        std::string read;
    };
    const Case cases[] = {
        {"CR LF", SettingsText(), plain},
        {"LF", SettingsText({}, "\n"), plain},
        {"zeros take the desktop's, but not the colour bits",
         SettingsText({{1, "1"}, {2, "0"}, {3, "0"}, {4, "0"}, {5, "0"}}),
         "Vortanai|1|1600|900|144|0|24|http://a.b/r|1600x900@144"},
        {"fifteen characters of title, the flag still read, text after a number",
         SettingsText({{0, "ABCDEFGHIJKLMNOPQRST"}, {1, "1 pilnas ekranas"}, {2, "1280 plotis"}}),
         "ABCDEFGHIJKLMNO|1|1280|600|85|16|24|http://a.b/r|1280x600@85"},
        {"a flag of 2", SettingsText({{1, "2"}}), "Vortanai|" + startValues},
        {"an empty title", SettingsText({{0, ""}}), "|" + startValues},
        {"a blank line before a number is passed over", SettingsText({{2, "\r\n800"}}), plain},
        {"a blank line after the reserved value shifts the free lines",
         SettingsText({{6, "24\r\n"}}), "Vortanai|0|800|600|85|16|24|free two|800x600@85"},
        {"seven lines", SettingsText({}, "\r\n", 7), "Vortanai|0|800|600|85|16|24||800x600@85"},
        {"a 300-character address keeps 254", SettingsText({{9, longUrl}}),
         "Vortanai|0|800|600|85|16|24|" + longUrl.substr(0, 254) + "|800x600@85"},
        {"a free line of 255 characters fails the rest", SettingsText({{7, std::string(255, 'f')}}),
         "Vortanai|0|800|600|85|16|24||800x600@85"},
        {"the shipped file, at the desktop's refresh rate",
         ReadTestFile(SourcePath("data/duomenys/nustatymai.txt")),
         "Vortanai|0|1024|768|144|32|24|http://127.0.0.1:8017/rezultatas|1024x768@144"},
        {"a negative unsigned wraps, beyond 32 bits fails",
         SettingsText({{2, "-2147483648"}, {3, "-1"}, {4, "99999999999999999999"}}),
         "Vortanai|0|2147483648|4294967295|75|32|24||-2147483648x-1@"},
        {"no file", std::nullopt, "|0|640|480|75|32|24||"},
    };
    ResetFakeSystem();
    fakeSystem.desktopWidth = 1600;
    fakeSystem.desktopHeight = 900;
    fakeSystem.desktopRefresh = 144;
    for (const Case& c : cases)
    {
        settings = Settings{};
        modeText[0] = '\0';
        c.text ? WriteTestFile(SETTINGS_PATH, *c.text) : RemoveTestFile(SETTINGS_PATH);
        EXPECT_EQ(LoadSettings(), c.text.has_value()) << c.what;
        EXPECT_EQ(Describe(), c.read) << c.what;
    }
}
