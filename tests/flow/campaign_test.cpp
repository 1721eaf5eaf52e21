#include <gtest/gtest.h>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "maze/maze_grid.h"
#include "resources/sound_bank.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

class Campaign : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        gameState = GameState{};
        gameState.stateChangePending = false;
        mazeGrid = MazeGrid{};
        soundLog = SoundLog{};
    }

    // Finishes the current level in `seconds` whole seconds and sets up the next.
    static void FinishLevel(int32_t seconds)
    {
        gameState.levelSeconds = seconds;
        ++gameState.levelNumber;
        gameState.levelSetupPending = true;
        SetUpCampaignLevel();
    }
};

} // namespace

TEST_F(Campaign, TheScoreSumsEveryLevelWeighedBySize)
{
    gameState.fixedCampaign = true;
    gameState.levelNumber = 1;
    gameState.score = 999;
    SetUpCampaignLevel();
    EXPECT_EQ(gameState.score, 0);
    const int32_t seconds[] = {20, 40, 60, 90, 150};
    int32_t expected[] = {0, 390, 390 + 390, 390 + 390 + 1041, 390 + 390 + 1041 + 2777};
    for (int level = 1; level < 5; ++level)
    {
        FinishLevel(seconds[level - 1]);
        EXPECT_EQ(gameState.score, expected[level]) << level;
        EXPECT_EQ(gameState.levelNumber, level + 1);
        EXPECT_EQ(gameState.levelSeconds, 0);
    }
    FinishLevel(seconds[4]);
    EXPECT_EQ(gameState.score, 11264);
    EXPECT_EQ(gameState.screenState, STATE_NAME_ENTRY);
    EXPECT_TRUE(gameState.stateChangePending);
    EXPECT_TRUE(gameState.levelFinished);
    EXPECT_FALSE(gameState.levelIntro);
    EXPECT_TRUE(gameState.fixedCampaign); // until the name is confirmed
}

TEST_F(Campaign, ALevelFinishedWithinItsFirstSecondCountsAsOne)
{
    EXPECT_EQ(ScoreLevel(0, 128), 1000000 / 128);
    EXPECT_EQ(ScoreLevel(1, 1), 1000000);
    EXPECT_EQ(ScoreLevel(9, 1), 111111);
}

TEST_F(Campaign, ARandomLevelIsAlwaysAnAcceptedMazeOfItsSize)
{
    gameState.randomCampaign = true;
    gameState.levelNumber = 3;
    gameState.levelSetupPending = true;
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        AdvanceFakeClock(0.37); // a new counter reading, a new seed
        SetUpCampaignLevel();
        EXPECT_TRUE(mazeGrid.mazeAccepted);
        EXPECT_EQ(mazeGrid.mazeLength, 64.0f);
        EXPECT_EQ(mazeGrid.mazeWidth, 32.0f);
    }
}

TEST_F(Campaign, TheIntroEndsOnlyOnceItsThreeSecondsArePassed)
{
    gameState.levelIntro = true;
    gameState.levelSeconds = 7;
    gameState.phaseClock = 3.0f;
    EndIntroIfDue();
    EXPECT_TRUE(gameState.levelIntro);
    gameState.phaseClock = 3.01f;
    EndIntroIfDue();
    EXPECT_FALSE(gameState.levelIntro);
    EXPECT_EQ(gameState.phaseClock, 0.0f);
    EXPECT_EQ(gameState.levelSeconds, 0);
    EXPECT_EQ(soundLog.stops[SND_LEVEL_START], 1u);
    EXPECT_EQ(soundLog.starts[SND_MENU_SLIDE], 0u); // not in the menu
}

TEST_F(Campaign, ACampaignOutroEndingMovesToTheNextLevel)
{
    gameState.fixedCampaign = true;
    gameState.levelNumber = 2;
    gameState.levelOutro = true;
    gameState.phaseClock = 5.0f;
    EndOutroIfDue();
    EXPECT_TRUE(gameState.levelOutro);
    gameState.phaseClock = 5.02f;
    EndOutroIfDue();
    EXPECT_FALSE(gameState.levelOutro);
    EXPECT_EQ(gameState.levelNumber, 3);
    EXPECT_TRUE(gameState.levelSetupPending);
    EXPECT_EQ(gameState.phaseClock, 0.0f);
    EXPECT_EQ(soundLog.stops[SND_LEVEL_DONE], 1u);
    EXPECT_FALSE(gameState.stateChangePending);
}

TEST_F(Campaign, ACustomMazesOutroEndingReturnsToTheMenuAndTheBackgroundMaze)
{
    WriteTestFile(BACKGROUND_MAZE_PATH, "8 8\r\n"
                                        "0 0 0 0 0 0 0 0\r\n0 1 1 1 1 1 1 0\r\n0 1 0 0 0 0 1 0\r\n"
                                        "0 2 0 0 0 0 3 0\r\n0 1 0 0 0 0 1 0\r\n0 1 1 1 1 1 1 0\r\n"
                                        "0 0 0 0 0 0 0 0\r\n0 0 0 0 0 0 0 0\r\n");
    GenerateMaze(32, 16, 10, 674827);
    gameState.levelIntro = false;
    gameState.levelOutro = true;
    gameState.levelFinished = true;
    gameState.score = 77;
    gameState.levelNumber = 0;
    gameState.phaseClock = 6.0f;
    gameState.cameraDistance = 20.0f;
    EndOutroIfDue();
    EXPECT_FALSE(gameState.levelFinished);
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.stateChangePending);
    EXPECT_TRUE(gameState.backgroundMaze);
    EXPECT_EQ(mazeGrid.mazeLength, 8.0f);
    EXPECT_EQ(mazeGrid.playerY, 3.0f);
    EXPECT_EQ(gameState.cameraDistance, 100.0f);
    EXPECT_EQ(soundLog.starts[SND_MENU_SLIDE], 1u);
    EXPECT_EQ(gameState.score, 77);
    EXPECT_EQ(gameState.levelNumber, 0);
}
