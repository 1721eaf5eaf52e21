#include "present/settings.h"

#include <gtest/gtest.h>
#include <string>

#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

// The ten lines of a settings file, joined with a line end.
std::string JoinLines(const std::string (&lines)[10], const char* lineEnd = "\r\n")
{
    std::string text;
    for (const std::string& line : lines)
    {
        text += line + lineEnd;
    }
    return text;
}

const std::string ORDINARY[10] = {
    "Vortanai", "0", "800", "600", "85", "16", "24", "free one", "free two", "http://a.b/r",
};

class SettingsFile : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        fakeSystem.desktopWidth = 1600;
        fakeSystem.desktopHeight = 900;
        fakeSystem.desktopRefresh = 144;
        settings = Settings{};
        modeText[0] = '\0';
    }

    bool Load(const std::string& text)
    {
        WriteTestFile(SETTINGS_PATH, text);
        return LoadSettings();
    }

    // The start values but the title, as a failed read leaves them.
    void ExpectStartValuesAfterTitle()
    {
        EXPECT_FALSE(settings.fullscreen);
        EXPECT_EQ(settings.screenWidth, 640u);
        EXPECT_EQ(settings.screenHeight, 480u);
        EXPECT_EQ(settings.refreshRate, 75u);
        EXPECT_EQ(settings.colorBits, 32u);
        EXPECT_EQ(settings.reservedValue, 24u);
        EXPECT_STREQ(settings.submitUrl, "");
    }
};

} // namespace

TEST_F(SettingsFile, ReadsEveryLineWithCrLfOrLf)
{
    for (const char* lineEnd : {"\r\n", "\n"})
    {
        settings = Settings{};
        ASSERT_TRUE(Load(JoinLines(ORDINARY, lineEnd)));
        EXPECT_STREQ(settings.windowTitle, "Vortanai");
        EXPECT_FALSE(settings.fullscreen);
        EXPECT_EQ(settings.screenWidth, 800u);
        EXPECT_EQ(settings.screenHeight, 600u);
        EXPECT_EQ(settings.refreshRate, 85u);
        EXPECT_EQ(settings.colorBits, 16u);
        EXPECT_EQ(settings.reservedValue, 24u);
        EXPECT_EQ(settings.depthBits, 32);
        EXPECT_STREQ(settings.submitUrl, "http://a.b/r");
        EXPECT_STREQ(modeText, "800x600@85");
    }
}

TEST_F(SettingsFile, TheShippedFileOpensAWindowOfTheDesktopsRefreshRate)
{
    ASSERT_TRUE(Load(ReadTestFile(SourcePath("data/duomenys/nustatymai.txt"))));
    EXPECT_STREQ(settings.windowTitle, "Vortanai");
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_EQ(settings.screenWidth, 1024u);
    EXPECT_EQ(settings.screenHeight, 768u);
    EXPECT_EQ(settings.refreshRate, 144u);
    EXPECT_EQ(settings.colorBits, 32u);
    EXPECT_EQ(settings.reservedValue, 24u);
    EXPECT_STREQ(settings.submitUrl, "http://127.0.0.1:8017/rezultatas");
    EXPECT_STREQ(modeText, "1024x768@144");
}

TEST_F(SettingsFile, AMissingFileChangesNothing)
{
    RemoveTestFile(SETTINGS_PATH);
    EXPECT_FALSE(LoadSettings());
    EXPECT_STREQ(settings.windowTitle, "");
    ExpectStartValuesAfterTitle();
    EXPECT_STREQ(modeText, "");
}

TEST_F(SettingsFile, ZeroSizeAndRefreshTakeTheDesktopsButZeroColourStays)
{
    std::string lines[10] = {"T", "1", "0", "0", "0", "0", "0", "", "", "u"};
    ASSERT_TRUE(Load(JoinLines(lines)));
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_EQ(settings.screenWidth, 1600u);
    EXPECT_EQ(settings.screenHeight, 900u);
    EXPECT_EQ(settings.refreshRate, 144u);
    EXPECT_EQ(settings.colorBits, 0u);
    EXPECT_STREQ(modeText, "1600x900@144");
}

TEST_F(SettingsFile, ATitleKeepsFifteenCharactersAndTheNextLineStillReads)
{
    std::string lines[10];
    std::copy(std::begin(ORDINARY), std::end(ORDINARY), lines);
    lines[0] = "ABCDEFGHIJKLMNOPQRST";
    lines[1] = "1 pilnas ekranas";
    ASSERT_TRUE(Load(JoinLines(lines)));
    EXPECT_STREQ(settings.windowTitle, "ABCDEFGHIJKLMNO");
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_EQ(settings.screenWidth, 800u);
}

TEST_F(SettingsFile, AFullScreenValueOtherThanZeroOrOneFailsTheRestOfTheFile)
{
    std::string lines[10];
    std::copy(std::begin(ORDINARY), std::end(ORDINARY), lines);
    lines[1] = "2";
    EXPECT_TRUE(Load(JoinLines(lines)));
    EXPECT_STREQ(settings.windowTitle, "Vortanai");
    ExpectStartValuesAfterTitle();
    EXPECT_STREQ(modeText, "640x480@75");
}

TEST_F(SettingsFile, AnEmptyTitleLineFailsEverything)
{
    std::string lines[10];
    std::copy(std::begin(ORDINARY), std::end(ORDINARY), lines);
    lines[0] = "";
    EXPECT_TRUE(Load(JoinLines(lines)));
    EXPECT_STREQ(settings.windowTitle, "");
    ExpectStartValuesAfterTitle();
}

TEST_F(SettingsFile, BlankLinesBeforeANumberArePassedOverButShiftTheFreeLines)
{
    std::string text = JoinLines(ORDINARY);
    std::string beforeWidth = text;
    beforeWidth.insert(beforeWidth.find("800"), "\r\n");
    ASSERT_TRUE(Load(beforeWidth));
    EXPECT_EQ(settings.screenWidth, 800u);
    EXPECT_STREQ(settings.submitUrl, "http://a.b/r");

    settings = Settings{};
    std::string afterReserved = text;
    afterReserved.insert(afterReserved.find("free one"), "\r\n");
    ASSERT_TRUE(Load(afterReserved));
    EXPECT_EQ(settings.reservedValue, 24u);
    EXPECT_STREQ(settings.submitUrl, "free two");
}

TEST_F(SettingsFile, ASevenLineFileLeavesTheAddressEmpty)
{
    std::string text = JoinLines(ORDINARY);
    text = text.substr(0, text.find("free one"));
    EXPECT_TRUE(Load(text));
    EXPECT_EQ(settings.reservedValue, 24u);
    EXPECT_EQ(settings.colorBits, 16u);
    EXPECT_STREQ(settings.submitUrl, "");
}

TEST_F(SettingsFile, FreeLinesAndTheAddressHaveTheirLimits)
{
    std::string lines[10];
    std::copy(std::begin(ORDINARY), std::end(ORDINARY), lines);
    lines[9] = std::string(300, 'u');
    ASSERT_TRUE(Load(JoinLines(lines)));
    EXPECT_EQ(std::string(settings.submitUrl), std::string(254, 'u'));

    settings = Settings{};
    lines[7] = std::string(255, 'f'); // a free line of 255 characters cannot be passed over
    ASSERT_TRUE(Load(JoinLines(lines)));
    EXPECT_EQ(settings.reservedValue, 24u);
    EXPECT_STREQ(settings.submitUrl, "");
}

TEST_F(SettingsFile, JunkNeverOverrunsAField)
{
    std::string junk;
    for (int i = 0; i < 70000; ++i)
    {
        junk += static_cast<char>((i * 7919) % 256);
    }
    EXPECT_TRUE(Load(junk));
    EXPECT_LT(std::string(settings.windowTitle).size(), sizeof settings.windowTitle);
    EXPECT_LT(std::string(settings.submitUrl).size(), sizeof settings.submitUrl);

    std::string lines[10];
    std::copy(std::begin(ORDINARY), std::end(ORDINARY), lines);
    lines[2] = "-2147483648";
    lines[3] = "-1";
    lines[4] = "99999999999999999999";
    settings = Settings{};
    ASSERT_TRUE(Load(JoinLines(lines)));
    EXPECT_EQ(settings.screenWidth, 2147483648u);
    EXPECT_EQ(settings.screenHeight, 4294967295u);
    EXPECT_EQ(settings.refreshRate, 75u); // out of range: the read fails
    EXPECT_STREQ(modeText, "-2147483648x-1@");
}
