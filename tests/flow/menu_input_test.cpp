#include "flow/menu_input.h"

#include <cmath>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "flow/game_state.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "present/settings.h"
#include "resources/sound_bank.h"
#include "tests/support/fake_system.h"

namespace
{

class MenuInput : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        gameState = GameState{};
        gameState.levelIntro = false;
        gameState.stateChangePending = false;
        settings = Settings{};
        mazeGrid = MazeGrid{};
        soundLog = SoundLog{};
    }

    static void TypeCustom(std::initializer_list<uint8_t> keys)
    {
        for (uint8_t key : keys)
        {
            OnCustomMazeKey(key);
        }
    }
};

} // namespace

TEST_F(MenuInput, TheSelectionWrapsAroundBothWaysWithATick)
{
    OnMenuKey(VK_UP);
    EXPECT_EQ(gameState.menuSelection, 5);
    OnMenuKey(VK_DOWN);
    EXPECT_EQ(gameState.menuSelection, 0);
    EXPECT_EQ(soundLog.starts[SND_MENU_MOVE], 2u);
    gameState.soundEnabled = false;
    OnMenuKey(VK_DOWN);
    EXPECT_EQ(gameState.menuSelection, 1);
    EXPECT_EQ(soundLog.starts[SND_MENU_MOVE], 2u);
}

TEST_F(MenuInput, EnterDuringAnIntroOnlyShortensIt)
{
    gameState.levelIntro = true;
    gameState.menuSelection = 5;
    OnMenuKey(VK_RETURN);
    EXPECT_EQ(gameState.phaseClock, 5.0f);
    EXPECT_FALSE(gameState.stateChangePending);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 0u);
    OnMenuKey(VK_ESCAPE);
    EXPECT_FALSE(gameState.stateChangePending);
    OnMenuKey('M'); // M leaves in any phase
    EXPECT_EQ(gameState.screenState, STATE_PLAYING);
    EXPECT_TRUE(gameState.stateChangePending);
}

TEST_F(MenuInput, ACampaignItemStartsLevelOneAndTheOtherKindStops)
{
    gameState.fixedCampaign = true;
    gameState.menuOffset = 3.76f;
    gameState.backgroundMaze = true;
    gameState.menuSelection = 3;
    OnMenuKey(VK_RETURN);
    EXPECT_FALSE(gameState.fixedCampaign);
    EXPECT_TRUE(gameState.randomCampaign);
    EXPECT_EQ(gameState.levelNumber, 1);
    EXPECT_TRUE(gameState.levelSetupPending);
    EXPECT_EQ(gameState.menuOffset, 0.0f);
    EXPECT_FALSE(gameState.backgroundMaze);
    EXPECT_EQ(soundLog.stops[SND_MENU_SLIDE], 1u);

    gameState.menuSelection = 1; // the custom maze ends any campaign
    OnMenuKey(VK_RETURN);
    EXPECT_FALSE(gameState.randomCampaign);
    EXPECT_FALSE(gameState.fixedCampaign);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 2u);
}

TEST_F(MenuInput, TheMenuCameraOrbitsAtThePitchOfTheAnchor)
{
    settings.screenHeight = 600;
    gameState.anchorY = 300;
    gameState.cameraYaw = 1.5707964f;
    gameState.lookX = 2.0f;
    gameState.wheelNotches = 3;
    UpdateMenuMouse();
    EXPECT_EQ(gameState.wheelNotches, 0);
    EXPECT_FLOAT_EQ(gameState.cameraPitch, 0.7853982f);
    EXPECT_NEAR(gameState.eyeX, 2.0f, 1e-5f);
    EXPECT_NEAR(gameState.eyeY, -70.710678f, 1e-4f);
    EXPECT_NEAR(gameState.eyeZ, 70.710678f, 1e-4f);
}

TEST_F(MenuInput, CustomNumbersStayWithinTheirBounds)
{
    gameState.customDifficulty = 10;
    gameState.customField = 2;
    OnCustomMazeKey(VK_RIGHT);
    EXPECT_EQ(gameState.customDifficulty, 10);
    gameState.customLength = 8;
    OnCustomMazeKey(VK_UP);
    OnCustomMazeKey(VK_UP);
    OnCustomMazeKey(VK_UP); // stops at the first line
    EXPECT_EQ(gameState.customField, 0);
    OnCustomMazeKey(VK_LEFT);
    EXPECT_EQ(gameState.customLength, 8);
    OnCustomMazeKey(VK_RIGHT);
    EXPECT_EQ(gameState.customLength, 9);
    gameState.keyDown[VK_CONTROL] = true; // with Ctrl, the arrows act once a pass instead
    OnCustomMazeKey(VK_RIGHT);
    EXPECT_EQ(gameState.customLength, 9);
    gameState.keyDown[VK_RIGHT] = true;
    UpdateCustomMaze();
    UpdateCustomMaze();
    EXPECT_EQ(gameState.customLength, 11);
}

TEST_F(MenuInput, TheSeedTakesKeypadDigitsUpToNineOfThem)
{
    TypeCustom({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
    EXPECT_EQ(gameState.customField, 3);
    TypeCustom({VK_NUMPAD0 + 1, VK_NUMPAD0 + 2, VK_NUMPAD0 + 3});
    EXPECT_EQ(gameState.customSeed, 123);
    TypeCustom({'4', VK_RIGHT});
    EXPECT_EQ(gameState.customSeed, 123);
    OnCustomMazeKey(VK_BACK);
    EXPECT_EQ(gameState.customSeed, 12);
    gameState.customSeed = 0;
    for (int digit = 0; digit < 10; ++digit)
    {
        OnCustomMazeKey(VK_NUMPAD0 + 9);
    }
    EXPECT_EQ(gameState.customSeed, 999999999);
}

TEST_F(MenuInput, ACustomMazeEvensItsSizesAndASeedWithNoWayOutKeepsTheScreenAndTheMaze)
{
    auto& state = gameState;
    std::tie(state.customLength, state.customWidth, state.customDifficulty, state.customSeed) =
        std::tuple(65, 9, 4, 2024);
    state.levelFinished = state.backgroundMaze = true;
    OnCustomMazeKey(VK_RETURN);
    EXPECT_EQ(std::tuple(state.customLength, state.customWidth, mazeGrid.mazeLength,
                         mazeGrid.mazeWidth, mazeGrid.mazeAccepted),
              std::tuple(66, 10, 66.0f, 10.0f, true));
    EXPECT_EQ(state.screenState, STATE_PLAYING);
    EXPECT_TRUE(state.levelIntro && !state.levelFinished && !state.backgroundMaze);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 1u);

    // A refused seed leaves the maze behind the menu, its player and exit and the camera.
    mazeGrid.playerX = 7.25f;
    state.cameraPitch = 0.5f;
    state.stateChangePending = false;
    auto seen = []
    {
        return std::tuple(std::vector<uint8_t>(&mazeGrid.cells[0][0],
                                               &mazeGrid.cells[0][0] + sizeof mazeGrid.cells),
                          mazeGrid.mazeLength, mazeGrid.mazeWidth, mazeGrid.exitX, mazeGrid.exitY,
                          mazeGrid.playerX, mazeGrid.playerY, mazeGrid.mazeAccepted, gameState.eyeX,
                          gameState.eyeY, gameState.eyeZ, gameState.lookX, gameState.lookY,
                          gameState.cameraPitch, gameState.cameraDistance);
    };
    const auto before = seen();
    std::tie(state.customLength, state.customWidth, state.customDifficulty, state.customSeed) =
        std::tuple(64, 64, 10, 819);
    OnCustomMazeKey(VK_RETURN);
    EXPECT_TRUE(state.customSeedRejected);
    EXPECT_TRUE(seen() == before);
    EXPECT_FALSE(state.stateChangePending);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 1u);
    OnCustomMazeKey(VK_F1);
    EXPECT_FALSE(state.customSeedRejected);
}

TEST_F(MenuInput, EscapeLeavesTheCustomScreenWithThePanelWanted)
{
    gameState.menuShown = false;
    OnCustomMazeKey(VK_ESCAPE);
    EXPECT_TRUE(gameState.menuShown);
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.stateChangePending);
}
