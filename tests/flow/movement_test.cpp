#include <cmath>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

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
    }

    static void Place(float x, float y)
    {
        mazeGrid.playerX = x;
        mazeGrid.playerY = y;
    }
};

struct MoveCase
{
    const char* what;
    float x, y;
    std::vector<uint8_t> keys;
    float seconds;
    int passes;
    float expectedX, expectedY;
};

} // namespace

TEST_F(Movement, TheArrowKeysMoveAlongTheGrid)
{
    const MoveCase cases[] = {
        {"ten cells a second", 1.0f, 3.0f, {VK_RIGHT}, 0.02f, 1, 1.2f, 3.0f},
        {"never more than a cell a pass", 1.0f, 3.0f, {VK_RIGHT}, 0.25f, 1, 2.0f, 3.0f},
        {"stops at its cell's centre before a wall", 1.0f, 1.3f, {VK_UP}, 0.02f, 3, 1.0f, 1.0f},
        {"snaps the other axis onto its line", 3.0f, 3.4f, {VK_RIGHT}, 0.02f, 1, 3.2f, 3.0f},
        // Right, tested after Up, snaps the row back: only Right acts.
        {"both axes, both open", 3.0f, 3.0f, {VK_UP, VK_RIGHT}, 0.02f, 1, 3.2f, 3.0f},
        {"both axes, walled to the right", 3.0f, 1.0f, {VK_DOWN, VK_RIGHT}, 0.02f, 1, 3.0f, 1.2f},
        {"opposite keys cancel", 3.0f, 3.0f, {VK_UP, VK_DOWN}, 0.02f, 1, 3.0f, 3.0f},
        // Up is walled 0.05 short of the centre; the step stays cut for Right.
        {"a cut step stays cut", 2.0f, 3.05f, {VK_UP, VK_RIGHT}, 0.02f, 1, 2.05f, 3.0f},
    };
    for (const MoveCase& c : cases)
    {
        gameState.keyDown[VK_UP] = gameState.keyDown[VK_DOWN] = false;
        gameState.keyDown[VK_LEFT] = gameState.keyDown[VK_RIGHT] = false;
        for (uint8_t key : c.keys)
        {
            gameState.keyDown[key] = true;
        }
        Place(c.x, c.y);
        gameState.frameSeconds = c.seconds;
        for (int pass = 0; pass < c.passes; ++pass)
        {
            UpdatePlaying();
        }
        EXPECT_NEAR(mazeGrid.playerX, c.expectedX, 1e-5f) << c.what;
        EXPECT_NEAR(mazeGrid.playerY, c.expectedY, 1e-5f) << c.what;
    }
}

TEST_F(Movement, TheExitIsReachedWithinOneCellDiagonalsIncludedAndOnlyOnce)
{
    gameState.phaseClock = 2.0f;
    Place(5.0f, 3.0f); // two cells from the exit at (7, 5)
    UpdatePlaying();
    EXPECT_FALSE(gameState.levelOutro);
    Place(6.0f, 4.0f); // its diagonal neighbour
    UpdatePlaying();
    EXPECT_TRUE(gameState.levelOutro);
    EXPECT_TRUE(gameState.levelFinished);
    EXPECT_EQ(gameState.phaseClock, 0.0f);
    EXPECT_EQ(soundLog.starts[SND_LEVEL_DONE], 1u);
    gameState.levelOutro = false;
    UpdatePlaying();
    EXPECT_FALSE(gameState.levelOutro);
    EXPECT_EQ(soundLog.starts[SND_LEVEL_DONE], 1u);
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
    // More than a screen height up stops at the floor; from below it (where the wheel brought
    // it) a drag nearer stops where it is and a drag farther goes on from there.
    const std::tuple<float, int32_t, float> drags[] = {
        {110.0f, -700, MIN_CAMERA_DISTANCE}, {0.5f, -700, 0.5f}, {0.5f, 61, 0.55f}};
    for (const auto& [from, dy, to] : drags)
    {
        gameState.cameraDistance = from;
        gameState.cursorPos = {300, 300 + dy};
        UpdatePlayingMouse();
        EXPECT_FLOAT_EQ(gameState.cameraDistance, to) << from << " " << dy;
    }
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
