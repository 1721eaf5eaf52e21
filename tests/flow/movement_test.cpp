#include <cmath>
#include <gtest/gtest.h>

#include "flow/game_state.h"
#include "flow/playing.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "present/settings.h"
#include "resources/sound_bank.h"
#include "tests/support/fake_system.h"

namespace
{

// A 9 x 7 maze drawn row by row, '#' for a wall, '.' for open ground, 'E' for the exit.
void LoadPicture(const char* const (&rows)[7])
{
    mazeGrid = MazeGrid{};
    mazeGrid.mazeLength = 9.0f;
    mazeGrid.mazeWidth = 7.0f;
    for (int row = 0; row < 7; ++row)
    {
        for (int column = 0; column < 9; ++column)
        {
            char c = rows[row][column];
            mazeGrid.cells[row][column] = c == '#' ? CELL_WALL : c == 'E' ? CELL_EXIT : CELL_PATH;
            if (c == 'E')
            {
                mazeGrid.exitX = static_cast<uint32_t>(column);
                mazeGrid.exitY = static_cast<uint32_t>(row);
            }
        }
    }
}

const char* const CROSSROADS[7] = {
    "#########", //
    "#...#...#", //
    "#.#.#.#.#", //
    "#.......#", //
    "#.#.#.#.#", //
    "#...#..E#", //
    "#########", //
};

class Movement : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        gameState = GameState{};
        gameState.levelIntro = false;
        soundLog = SoundLog{};
        LoadPicture(CROSSROADS);
        Place(1.0f, 3.0f);
    }

    static void Place(float x, float y)
    {
        mazeGrid.playerX = x;
        mazeGrid.playerY = y;
    }

    static void Hold(uint8_t key, bool held = true)
    {
        gameState.keyDown[key] = held;
    }

    static void Pass(float seconds)
    {
        gameState.frameSeconds = seconds;
        UpdatePlaying();
    }
};

} // namespace

TEST_F(Movement, TheStepIsTenCellsASecondButNeverMoreThanOneCell)
{
    Hold(VK_RIGHT);
    Pass(0.02f);
    EXPECT_FLOAT_EQ(mazeGrid.playerX, 1.2f);
    Place(1.0f, 3.0f);
    Pass(0.25f);
    EXPECT_FLOAT_EQ(mazeGrid.playerX, 2.0f);
}

TEST_F(Movement, InFrontOfAWallThePlayerStopsAtItsCellsCentre)
{
    Place(1.0f, 1.3f); // the cell above row 1 is the border wall
    Hold(VK_UP);
    Pass(0.02f);
    EXPECT_FLOAT_EQ(mazeGrid.playerY, 1.1f);
    Pass(0.02f);
    EXPECT_FLOAT_EQ(mazeGrid.playerY, 1.0f);
    Pass(0.02f);
    EXPECT_FLOAT_EQ(mazeGrid.playerY, 1.0f);
}

TEST_F(Movement, MovingAlongOneAxisSnapsTheOtherOntoItsLine)
{
    Place(3.0f, 3.4f);
    Hold(VK_RIGHT);
    Pass(0.02f);
    EXPECT_FLOAT_EQ(mazeGrid.playerX, 3.2f);
    EXPECT_FLOAT_EQ(mazeGrid.playerY, 3.0f);
}

TEST_F(Movement, KeysOfBothAxesTurnAtTheFirstOpening)
{
    // Right is open: Right, tested after Up, snaps the row back, so only Right acts.
    Place(3.0f, 3.0f);
    Hold(VK_UP);
    Hold(VK_RIGHT);
    Pass(0.02f);
    EXPECT_FLOAT_EQ(mazeGrid.playerX, 3.2f);
    EXPECT_FLOAT_EQ(mazeGrid.playerY, 3.0f);
    // Walled to the right at the cell's centre: only Up acts.
    Place(3.0f, 1.0f);
    Hold(VK_UP, false);
    Hold(VK_DOWN);
    Pass(0.02f);
    EXPECT_FLOAT_EQ(mazeGrid.playerX, 3.0f);
    EXPECT_FLOAT_EQ(mazeGrid.playerY, 1.2f);
}

TEST_F(Movement, OppositeKeysCancel)
{
    Place(3.0f, 3.0f);
    Hold(VK_UP);
    Hold(VK_DOWN);
    Pass(0.02f);
    EXPECT_FLOAT_EQ(mazeGrid.playerY, 3.0f);
}

TEST_F(Movement, AStepCutShortByAWallStaysCutForTheLaterDirections)
{
    // Up is walled with 0.05 left to the centre; Right is open and moves only that much.
    Place(2.0f, 3.05f);
    Hold(VK_UP);
    Hold(VK_RIGHT);
    Pass(0.02f);
    EXPECT_NEAR(mazeGrid.playerX, 2.05f, 1e-6f);
    EXPECT_FLOAT_EQ(mazeGrid.playerY, 3.0f);
}

TEST_F(Movement, TheExitIsReachedWithinOneCellDiagonalsIncludedAndOnlyOnce)
{
    gameState.phaseClock = 2.0f;
    Place(5.0f, 3.0f); // two cells from the exit at (7, 5)
    Pass(0.0f);
    EXPECT_FALSE(gameState.levelOutro);
    Place(6.0f, 4.0f); // its diagonal neighbour
    Pass(0.0f);
    EXPECT_TRUE(gameState.levelOutro);
    EXPECT_TRUE(gameState.levelFinished);
    EXPECT_EQ(gameState.phaseClock, 0.0f);
    EXPECT_EQ(soundLog.starts[SND_LEVEL_DONE], 1u);
    gameState.levelOutro = false;
    Pass(0.0f);
    EXPECT_FALSE(gameState.levelOutro);
    EXPECT_EQ(soundLog.starts[SND_LEVEL_DONE], 1u);
}

TEST_F(Movement, TheExitSoundNeedsSoundsEnabled)
{
    gameState.soundEnabled = false;
    Place(7.0f, 4.0f);
    Pass(0.0f);
    EXPECT_TRUE(gameState.levelOutro);
    EXPECT_EQ(soundLog.starts[SND_LEVEL_DONE], 0u);
}

TEST(PlayKeys, EscapeShortensAPhaseAndOpensTheMenuOnlyOutsideIt)
{
    gameState = GameState{};
    gameState.levelIntro = true;
    gameState.stateChangePending = false;
    OnPlayingKey(VK_ESCAPE);
    EXPECT_EQ(gameState.phaseClock, 5.0f);
    EXPECT_FALSE(gameState.stateChangePending);
    OnPlayingKey('M');
    EXPECT_TRUE(gameState.stateChangePending);
    EXPECT_EQ(gameState.screenState, STATE_MENU);

    gameState = GameState{};
    gameState.levelIntro = false;
    gameState.stateChangePending = false;
    gameState.phaseClock = 1.0f;
    OnPlayingKey(VK_RETURN);
    EXPECT_EQ(gameState.phaseClock, 1.0f);
    OnPlayingKey(VK_ESCAPE);
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.stateChangePending);
}

TEST(PlayKeys, OptionKeysToggleAndTheWallsGoRound)
{
    gameState = GameState{};
    soundLog = SoundLog{};
    gameState.soundEnabled = false;
    OnPlayingKey(VK_F2); // music works whatever the sound effects say
    EXPECT_TRUE(gameState.musicToggle);
    EXPECT_EQ(soundLog.starts[SND_MUSIC], 1u);
    OnPlayingKey(VK_F2);
    EXPECT_EQ(soundLog.stops[SND_MUSIC], 1u);
    OnPlayingKey(VK_F3);
    EXPECT_TRUE(gameState.soundEnabled);
    OnPlayingKey(VK_F1);
    OnPlayingKey(VK_F12);
    EXPECT_TRUE(gameState.helpShown);
    EXPECT_TRUE(gameState.fpsShown);
    std::vector<int> textures;
    for (int press = 0; press < 5; ++press)
    {
        OnPlayingKey(VK_F5);
        textures.push_back(gameState.mazeTextureIndex);
    }
    EXPECT_EQ(textures, (std::vector<int>{5, 6, 7, 8, 4}));
}

class PlayingMouse : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        gameState = GameState{};
        settings = Settings{};
        settings.screenHeight = 610;
        gameState.anchorX = 300;
        gameState.anchorY = 300;
    }
};

TEST_F(PlayingMouse, TheCursorsHeightTiltsTheCameraWithoutMovingIt)
{
    gameState.cursorPos = {120, 150};
    UpdatePlayingMouse();
    EXPECT_EQ(gameState.anchorX, 120);
    EXPECT_EQ(gameState.anchorY, 150);
    EXPECT_FLOAT_EQ(gameState.cameraPitch, static_cast<float>(150.0 / 600.0 * 1.570796325));
    EXPECT_FLOAT_EQ(gameState.eyeX, gameState.lookX);
    EXPECT_FLOAT_EQ(gameState.eyeY, static_cast<float>(-std::cos(gameState.cameraPitch) * 100.0));
    EXPECT_FLOAT_EQ(gameState.eyeZ, static_cast<float>(std::sin(gameState.cameraPitch) * 100.0));
    EXPECT_TRUE(fakeSystem.cursorWarps.empty());
    gameState.cursorPos = {0, 2};
    UpdatePlayingMouse();
    EXPECT_EQ(gameState.anchorY, 10);
    gameState.cursorPos = {0, 605};
    UpdatePlayingMouse();
    EXPECT_EQ(gameState.anchorY, 599);
}

TEST_F(PlayingMouse, DraggingPansAndZoomsAndSendsTheCursorBack)
{
    gameState.leftButton = true;
    gameState.cursorPos = {310, 280};
    UpdatePlayingMouse();
    EXPECT_FLOAT_EQ(gameState.lookX, 1.0f);
    EXPECT_FLOAT_EQ(gameState.lookY, 2.0f);
    EXPECT_EQ(fakeSystem.cursorWarps.back(), std::make_pair(300, 300));
    gameState.leftButton = false;
    gameState.rightButton = true;
    gameState.cursorPos = {300, 361}; // a tenth of the screen height down: ten per cent farther
    UpdatePlayingMouse();
    EXPECT_FLOAT_EQ(gameState.cameraDistance, 110.0f);
    gameState.cursorPos = {300, 300 - 700}; // more than a screen height up
    UpdatePlayingMouse();
    EXPECT_EQ(gameState.cameraDistance, MIN_CAMERA_DISTANCE);
}

TEST_F(PlayingMouse, TheWheelZoomsOutAwayFromTheUserAndInTowardThem)
{
    gameState.cursorPos = {300, 300};
    gameState.wheelNotches = 1;
    UpdatePlayingMouse();
    EXPECT_FLOAT_EQ(gameState.cameraDistance, static_cast<float>(100.0 * 1.1f));
    EXPECT_EQ(gameState.wheelNotches, 0);
    gameState.wheelNotches = 545;
    UpdatePlayingMouse();
    EXPECT_FLOAT_EQ(gameState.cameraDistance, static_cast<float>(110.0 * 0.9f));
    gameState.wheelNotches = 15; // neither: kept until a later wheel message replaces it
    float before = gameState.cameraDistance;
    UpdatePlayingMouse();
    EXPECT_EQ(gameState.cameraDistance, before);
    EXPECT_EQ(gameState.wheelNotches, 15);
}
