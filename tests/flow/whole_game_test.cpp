// The whole game, played in-process from the splash on, with a scripted clock and keys.
#include <gtest/gtest.h>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "flow/window_proc.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "present/flat_screens.h"
#include "present/scene.h"
#include "records/records_file.h"
#include "records/verification_code.h"
#include "resources/sound_bank.h"
#include "tests/support/fake_system.h"
#include "tests/support/game_harness.h"
#include "tests/support/test_files.h"

namespace
{

class WholeGame : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartHarnessGame());
        EXPECT_TRUE(fakeSystem.boxes.empty());
    }

    void TearDown() override
    {
        StopHarnessGame();
    }

    // Splash skipped, the background maze assembled, the panel out.
    static void ReachTheMenu()
    {
        RunPass();
        TapKey(VK_RETURN);
        RunPass();
        ASSERT_EQ(gameState.drawRoutine, DrawScene);
        ASSERT_EQ(gameState.screenState, STATE_MENU);
        RunSeconds(3.2);
        ASSERT_FALSE(gameState.levelIntro);
    }

    static void ChooseMenuItem(uint8_t item)
    {
        while (gameState.menuSelection != item)
        {
            TapKey(VK_DOWN);
        }
        TapKey(VK_RETURN);
        RunPass();
    }

    // Runs passes until the intro of the maze in memory has ended.
    static void WaitForIntroEnd()
    {
        for (int pass = 0; pass < 400 && gameState.levelIntro; ++pass)
        {
            RunPass();
        }
        ASSERT_FALSE(gameState.levelIntro);
    }
};

} // namespace

TEST_F(WholeGame, TheAutopilotPlaysTheFixedCampaignAndTheResultIsRecorded)
{
    ReachTheMenu();
    EXPECT_EQ(soundLog.starts[SND_SPLASH], 1u);
    EXPECT_EQ(soundLog.stops[SND_SPLASH], 1u);
    EXPECT_EQ(soundLog.starts[SND_MUSIC], 1u);
    ChooseMenuItem(2);
    ASSERT_TRUE(gameState.fixedCampaign);

    int32_t expectedScore = 0;
    for (int level = 1; level <= CAMPAIGN_LEVEL_COUNT; ++level)
    {
        SCOPED_TRACE(level);
        const CampaignLevel& row = CAMPAIGN_LEVELS[level - 1];
        ASSERT_EQ(gameState.levelNumber, level); // the HUD's "Vortanas: %i/5"
        ASSERT_EQ(mazeGrid.mazeLength, static_cast<float>(row.length));
        ASSERT_EQ(mazeGrid.mazeWidth, static_cast<float>(row.width));
        uint32_t startsBefore = soundLog.starts[SND_LEVEL_START];
        uint32_t introStops = soundLog.stops[SND_LEVEL_START];
        // The first level runs its phases out; the later ones are cut short with Enter.
        if (level > 1)
        {
            TapKey(VK_RETURN);
        }
        WaitForIntroEnd();
        EXPECT_EQ(soundLog.stops[SND_LEVEL_START], introStops + 1);

        size_t cells = FindPathToExit().size() - 1;
        uint32_t doneStarts = soundLog.starts[SND_LEVEL_DONE];
        int32_t passes = WalkToExit(100000);
        ASSERT_GE(passes, 0);
        EXPECT_EQ(soundLog.starts[SND_LEVEL_DONE], doneStarts + 1);
        // The level's clock counts the passes walked, at ten cells a second at the most (turns
        // snap onto the next line and gain a little).
        int32_t seconds = gameState.levelSeconds;
        EXPECT_NEAR(seconds, passes * HARNESS_FRAME_SECONDS, 1.0);
        EXPECT_LE(seconds, cells / 10.0 + 1.0);
        expectedScore += 1000000 / ((seconds > 0 ? seconds : 1) * row.timeFactor);

        uint32_t doneStops = soundLog.stops[SND_LEVEL_DONE];
        if (level > 1)
        {
            TapKey(VK_RETURN);
        }
        for (int pass = 0; pass < 300 && gameState.levelNumber == level; ++pass)
        {
            RunPass();
        }
        EXPECT_EQ(soundLog.stops[SND_LEVEL_DONE], doneStops + 1);
        if (level < CAMPAIGN_LEVEL_COUNT)
        {
            RunPass(); // the next level is set up at the start of this frame
            EXPECT_EQ(soundLog.starts[SND_LEVEL_START], startsBefore + 1);
            EXPECT_EQ(gameState.score, expectedScore);
        }
    }
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_NAME_ENTRY);
    EXPECT_EQ(gameState.drawRoutine, DrawNameEntry);
    EXPECT_EQ(gameState.score, expectedScore);
    EXPECT_GT(expectedScore, 0);

    // "Ab 1" typed with Shift, a slip undone with Backspace, then Enter.
    PressKey(VK_SHIFT);
    TapKey('A');
    ReleaseKey(VK_SHIFT);
    for (uint8_t key : {uint8_t('B'), uint8_t('X'), VK_BACK, VK_SPACE, uint8_t('1'), VK_RETURN})
    {
        TapKey(key);
    }
    RunPass();
    EXPECT_EQ(gameState.drawRoutine, DrawRecords);
    EXPECT_FALSE(gameState.fixedCampaign);
    EXPECT_EQ(ReadTestFile(RECORDS_PATH), std::to_string(expectedScore) + " Ab 1");
    ASSERT_EQ(recordCount, 1u);
    ASSERT_EQ(fakeSystem.addresses.size(), 1u);
    const std::string prefix = "http://127.0.0.1:8017/rezultatas?v=Ab 1&r=";
    const std::string& address = fakeSystem.addresses[0];
    ASSERT_EQ(address.substr(0, prefix.size()), prefix);
    VerifiedResult result;
    ASSERT_TRUE(ReadVerificationCode(address.substr(prefix.size()).c_str(), &result));
    EXPECT_EQ(result.score, expectedScore);
    EXPECT_EQ(result.mode, MODE_FIXED);

    // Back to the menu and its background maze, then out through the credits.
    TapKey(VK_RETURN);
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.backgroundMaze);
    ChooseMenuItem(5);
    EXPECT_EQ(gameState.drawRoutine, DrawCredits);
    EXPECT_EQ(soundLog.stops[SND_MUSIC], 1u);
    PressKey(VK_RETURN);
    EXPECT_EQ(RunFrame(), 0);
    EXPECT_TRUE(fakeSystem.boxes.empty());
}

TEST_F(WholeGame, ACustomMazeIsBuiltFromItsScreenAndEscapeLeavesIt)
{
    ReachTheMenu();
    ChooseMenuItem(1);
    ASSERT_EQ(gameState.drawRoutine, DrawCustomMaze);
    TapKey(VK_RIGHT); // 64 -> 65
    TapKey(VK_DOWN);
    for (int i = 0; i < 55; ++i)
    {
        TapKey(VK_LEFT); // 64 -> 9
    }
    TapKey(VK_DOWN);
    TapKey(VK_DOWN);
    TapKey(VK_NUMPAD0 + 4);
    TapKey(VK_NUMPAD0 + 2);
    EXPECT_EQ(gameState.customSeed, 42);
    TapKey(VK_ESCAPE);
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.menuShown);

    ChooseMenuItem(1);
    TapKey(VK_RETURN);
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_PLAYING);
    EXPECT_EQ(mazeGrid.mazeLength, 66.0f);
    EXPECT_EQ(mazeGrid.mazeWidth, 10.0f);
    EXPECT_EQ(gameState.customLength, 66);
    EXPECT_EQ(gameState.customWidth, 10);

    // Enter cuts the intro short; the way out then ends in the menu with the background maze.
    TapKey(VK_RETURN);
    EXPECT_FALSE(gameState.levelIntro);
    ASSERT_GE(WalkToExit(10000), 0);
    TapKey(VK_ESCAPE); // and Esc the outro
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.backgroundMaze);
    EXPECT_EQ(gameState.score, 0);
}

TEST_F(WholeGame, MDuringAnIntroOpensTheMenuAndTheIntroGoesOnBehindIt)
{
    ReachTheMenu();
    ChooseMenuItem(2);
    ASSERT_TRUE(gameState.levelIntro);
    uint32_t slides = soundLog.starts[SND_MENU_SLIDE];
    TapKey('M');
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.levelIntro);
    RunSeconds(3.2);
    EXPECT_FALSE(gameState.levelIntro);
    EXPECT_GT(soundLog.starts[SND_MENU_SLIDE], slides); // the panel slides out after it

    // The menu wraps around, and item 0 returns to the level in memory.
    TapKey(VK_UP);
    EXPECT_EQ(gameState.menuSelection, 1);
    TapKey(VK_UP);
    TapKey(VK_UP);
    EXPECT_EQ(gameState.menuSelection, 5);
    ChooseMenuItem(0);
    EXPECT_EQ(gameState.screenState, STATE_PLAYING);
    EXPECT_EQ(gameState.levelNumber, 1);
}

TEST_F(WholeGame, TheRecordsScreenMidCampaignAndTheCampaignResumed)
{
    ReachTheMenu();
    ChooseMenuItem(2);
    WaitForIntroEnd();
    RunSeconds(1.0);
    float playerX = mazeGrid.playerX;
    TapKey('M');
    RunPass();
    ChooseMenuItem(4);
    EXPECT_EQ(gameState.drawRoutine, DrawRecords);
    EXPECT_TRUE(fakeSystem.boxes.empty()); // the run directory holds a records file
    TapKey(VK_RETURN);
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_FALSE(gameState.backgroundMaze);
    ChooseMenuItem(0);
    EXPECT_EQ(gameState.screenState, STATE_PLAYING);
    EXPECT_TRUE(gameState.fixedCampaign);
    EXPECT_EQ(gameState.levelNumber, 1);
    EXPECT_EQ(mazeGrid.mazeLength, 32.0f);
    EXPECT_EQ(mazeGrid.playerX, playerX);
}

TEST_F(WholeGame, AMinimisedWindowStopsFramesAndThenTakesOneLongFrame)
{
    ReachTheMenu();
    float clock = gameState.phaseClock;
    WndProc(WM_ACTIVATE, 0x00010000, 0);
    RunSeconds(2.0);
    EXPECT_EQ(gameState.phaseClock, clock);
    WndProc(WM_ACTIVATE, 0x00000001, 0);
    RunPass();
    double longFrame = 2.0 + HARNESS_FRAME_SECONDS;
    EXPECT_NEAR(gameState.frameSeconds, longFrame, 1e-3);
    EXPECT_NEAR(gameState.phaseClock, clock + longFrame, 1e-3);
}
