#include <filesystem>
#include <gtest/gtest.h>

#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "present/gl_window.h"
#include "present/settings.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"

namespace
{

std::string SettingsText(const char* fullscreen, const char* width, const char* height)
{
    return std::string("Vortanai\r\n") + fullscreen + "\r\n" + width + "\r\n" + height +
           "\r\n0\r\n32\r\n24\r\n\r\n\r\nhttp://127.0.0.1:8017/rezultatas\r\n";
}

class StartUp : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        gameState = GameState{};
        settings = Settings{};
        KeepDriverLoaded();
        // The game's own data, as a run directory holds it.
        std::filesystem::copy(SourcePath("data"), ".",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }

    // The boxes shown so far, as "caption: text".
    static std::vector<std::string> Boxes()
    {
        std::vector<std::string> shown;
        for (const RecordedBox& box : fakeSystem.boxes)
        {
            shown.push_back(box.caption + ": " + box.text);
        }
        return shown;
    }
};

} // namespace

TEST_F(StartUp, WithoutASettingsFileTheGameSaysSoAndEndsWithZero)
{
    RemoveTestFile(SETTINGS_PATH);
    EXPECT_EQ(WinMain(), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"KLAIDA: Klaida uzkraunant nustatymus"});
    EXPECT_EQ(fakeSystem.boxes[0].icon, ICON_EXCLAMATION);
    EXPECT_FALSE(glWindow.windowCreated);
}

TEST_F(StartUp, WithoutTheScreenTheGameSaysSoAndTearsDown)
{
    fakeSystem.screenOpens = false;
    EXPECT_EQ(WinMain(), 0);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"KLAIDA: Can't Create A GL Device Context.",
                                                 "SHUTDOWN ERROR: Could Not Unregister Class."}));
}

TEST_F(StartUp, AScreenThatCannotBeReleasedIsReportedAndTheGameGoesOn)
{
    WriteTestFile(SETTINGS_PATH, SettingsText("0", "640", "480"));
    fakeSystem.screenReleases = false;
    fakeSystem.closeAfterClockReads = 5;
    EXPECT_EQ(WinMain(), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"SHUTDOWN ERROR: Release Device Context Failed."});
    EXPECT_GT(fakeSystem.clockReads, 1);
}

TEST_F(StartUp, ClosingTheWindowEndsTheLoopWithZeroAndTearsDown)
{
    WriteTestFile(SETTINGS_PATH, SettingsText("0", "640", "480"));
    fakeSystem.closeAfterClockReads = 10;
    EXPECT_EQ(WinMain(), 0);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(gameState.screenState, STATE_SPLASH);
    EXPECT_FALSE(glWindow.windowCreated);
    EXPECT_FALSE(glWindow.renderingContextCreated);
}

TEST_F(StartUp, ARefusedFullScreenModeAsksAndYesOpensAWindow)
{
    // The display has no 1000 x 700 mode, so the request is refused.
    WriteTestFile(SETTINGS_PATH, SettingsText("1", "1000", "700"));
    fakeSystem.answerYes = true;
    fakeSystem.closeAfterClockReads = 5;
    EXPECT_EQ(WinMain(), 0);
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_TRUE(fakeSystem.boxes[0].yesNo);
    EXPECT_EQ(fakeSystem.boxes[0].caption, "1000x700@60");
    EXPECT_EQ(fakeSystem.boxes[0].text, "The Requested Fullscreen Mode Is Not Supported By\nYour "
                                        "Video Card. \nUse Windowed Mode Instead?");
    EXPECT_FALSE(settings.fullscreen);
}

TEST_F(StartUp, ARefusedFullScreenModeAnsweredNoEndsTheGame)
{
    WriteTestFile(SETTINGS_PATH, SettingsText("1", "1000", "700"));
    fakeSystem.answerYes = false;
    EXPECT_EQ(WinMain(), 0);
    std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1], "KLAIDA: Program Will Now Close.");
    EXPECT_EQ(fakeSystem.boxes[1].icon, ICON_STOP);
    EXPECT_EQ(boxes[2], "KLAIDA: Klaida CreateGLWindow");
}
