#include <algorithm>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "resources/sound_bank.h"
#include "tests/flow/flow_fixture.h"
#include "tests/support/test_files.h"

namespace
{

class Campaign : public FlowTest
{
  protected:
    // Ends a phase through `end` when its clock is just past `seconds`, and not a moment before.
    static void EndPhaseAfter(void (*end)(), bool* phase, float seconds)
    {
        *phase = true;
        gameState.phaseClock = seconds;
        end();
        EXPECT_TRUE(*phase);
        gameState.phaseClock = seconds + 0.01f;
        end();
        EXPECT_FALSE(*phase);
    }
};

} // namespace

// Each level's score is a million over its seconds (at least one) times the level's factor,
// added when the next level is set up; the fixed campaign's mazes are all accepted, and every
// player gets the same five, each of its size and its cells (the first as its golden grid).
TEST_F(Campaign, TheScoreSumsEveryLevelWeighedBySize)
{
    const char* const mazes[] = {"32x16 1a98f933", "32x32 cb38792f", "64x32 5a8e271a",
                                 "64x64 fbce9066", "128x64 7efb7346"};
    EXPECT_EQ(ScoreLevel(0, 128), 1000000 / 128);
    gameState.fixedCampaign = true;
    gameState.score = 999;
    const int32_t seconds[] = {0, 20, 40, 60, 90, 150};
    const int32_t score[] = {0, 390, 390 + 390, 390 + 390 + 1041, 390 + 390 + 1041 + 2777, 11264};
    for (int level = 1; level <= 6; ++level)
    {
        gameState.levelSeconds = seconds[level - 1];
        gameState.levelNumber = level;
        gameState.levelSetupPending = true;
        SetUpCampaignLevel();
        EXPECT_EQ(gameState.score, score[level - 1]) << level;
        EXPECT_EQ(gameState.levelSeconds, level <= 5 ? 0 : 150);
        EXPECT_EQ(mazeGrid.mazeAccepted, level <= 5);
        uint32_t hash = 2166136261u; // FNV-1a of the cells in use, row by row
        for (int32_t row = 0; row < mazeGrid.mazeWidth; ++row)
        {
            for (int32_t column = 0; column < mazeGrid.mazeLength; ++column)
            {
                hash = (hash ^ mazeGrid.cells[row][column]) * 16777619u;
            }
        }
        char maze[64];
        std::snprintf(maze, sizeof maze, "%gx%g %08x", mazeGrid.mazeLength, mazeGrid.mazeWidth,
                      hash);
        EXPECT_EQ(maze, std::string(mazes[std::min(level, 5) - 1])) << level;
        mazeGrid.mazeAccepted = false;
    }
    EXPECT_EQ(gameState.screenState, STATE_NAME_ENTRY);
    EXPECT_TRUE(gameState.stateChangePending);
    EXPECT_TRUE(gameState.levelFinished);
    EXPECT_FALSE(gameState.levelIntro);
    EXPECT_TRUE(gameState.fixedCampaign); // until the name is confirmed
}

TEST_F(Campaign, ARandomLevelIsAMazeOfItsSizeFromTheClocksSeed)
{
    gameState.randomCampaign = true;
    gameState.levelNumber = 3;
    fakeSystem.counter = 4242; // the seed the clock gives, not the fixed campaign's
    SetUpCampaignLevel();
    const MazeGrid random = mazeGrid;
    EXPECT_TRUE(GenerateMaze(64, 32, 10, 4242));
    EXPECT_EQ(std::memcmp(random.cells, mazeGrid.cells, sizeof random.cells), 0);
    EXPECT_EQ(std::pair(random.mazeLength, random.mazeWidth), std::pair(64.0f, 32.0f));
}

// The intro ends after three seconds; the outro after five sets up a campaign's next level, or
// after a custom maze brings the background maze back, score and level untouched. (The whole
// game's errands see the phases' sounds stop and the custom maze's outro lead to the menu.)
TEST_F(Campaign, IntrosAndOutrosEndOnTimeAndLeadOn)
{
    gameState.levelSeconds = 7;
    EndPhaseAfter(EndIntroIfDue, &gameState.levelIntro, 3.0f);
    EXPECT_EQ(std::tuple(gameState.phaseClock, gameState.levelSeconds), std::tuple(0.0f, 0));
    EXPECT_EQ(soundLog.starts[SND_MENU_SLIDE], 0u); // not in the menu

    gameState.fixedCampaign = true;
    gameState.levelNumber = 2;
    EndPhaseAfter(EndOutroIfDue, &gameState.levelOutro, 5.0f);
    EXPECT_EQ(std::tuple(gameState.levelNumber, gameState.levelSetupPending, gameState.phaseClock),
              std::tuple(3, true, 0.0f));
    EXPECT_FALSE(gameState.stateChangePending);

    WriteTestFile(BACKGROUND_MAZE_PATH,
                  ReadTestFile(SourcePath(std::string("data/") + BACKGROUND_MAZE_PATH)));
    ASSERT_TRUE(LoadMazeFile(BACKGROUND_MAZE_PATH));
    const MazeGrid background = mazeGrid;
    GenerateMaze(32, 16, 10, 674827);
    gameState = GameState{};
    gameState.stateChangePending = false;
    gameState.levelFinished = true;
    gameState.score = 77;
    gameState.cameraDistance = 20.0f;
    EndPhaseAfter(EndOutroIfDue, &gameState.levelOutro, 5.0f);
    EXPECT_FALSE(gameState.levelFinished);
    EXPECT_EQ(std::tuple(mazeGrid.mazeLength, mazeGrid.playerX, mazeGrid.playerY),
              std::tuple(background.mazeLength, background.playerX, background.playerY));
    EXPECT_EQ(gameState.cameraDistance, 100.0f);
    EXPECT_EQ(soundLog.starts[SND_MENU_SLIDE], 1u);
    EXPECT_EQ(std::tuple(gameState.score, gameState.levelNumber), std::tuple(77, 0));
}
