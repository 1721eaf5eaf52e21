#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "flow/game_state.h"
#include "flow/playing.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "resources/sound_bank.h"
#include "tests/flow/flow_fixture.h"

namespace
{

// A 9 x 7 maze drawn row by row, '#' for a wall, '.' for open ground, 'E' for the exit; every
// cell beyond it is open.
const char* const CROSSROADS[7] = {
    "#########", //
    "#...#...#", //
    "#.#.#.#.#", //
    "#.......#", //
    "#.#.#.#.#", //
    "#...#..E#", //
    "#########", //
};

class Movement : public FlowTest
{
  protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        mazeGrid = MazeGrid{{}, 9.0f, 7.0f, 7, 5, 0.0f, 0.0f}; // the exit's cell
        std::memset(mazeGrid.cells, CELL_PATH, sizeof mazeGrid.cells);
        for (int row = 0; row < 7; ++row)
        {
            for (int column = 0; column < 9; ++column)
            {
                const char c = CROSSROADS[row][column];
                mazeGrid.cells[row][column] = c == '#'   ? CELL_WALL
                                              : c == 'E' ? CELL_EXIT
                                                         : CELL_PATH;
            }
        }
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
        // Half a cell or more belongs to the next cell, whose walls the turn is tested against.
        {"half a column over", 2.5f, 3.0f, {VK_UP}, 0.02f, 1, 3.0f, 2.8f},
        {"just short of half a column", 2.49f, 3.0f, {VK_UP}, 0.02f, 1, 2.49f, 3.0f},
        {"half a row over", 1.0f, 2.5f, {VK_RIGHT}, 0.02f, 1, 1.2f, 3.0f},
        // Right, tested after Up, snaps the row back: only Right acts.
        {"both axes, both open", 3.0f, 3.0f, {VK_UP, VK_RIGHT}, 0.02f, 1, 3.2f, 3.0f},
        {"both axes, walled to the right", 3.0f, 1.0f, {VK_DOWN, VK_RIGHT}, 0.02f, 1, 3.0f, 1.2f},
        {"opposite keys cancel", 3.0f, 3.0f, {VK_UP, VK_DOWN}, 0.02f, 1, 3.0f, 3.0f},
        // Up is walled 0.05 short of the centre; the step stays cut for Right.
        {"a cut step stays cut", 2.0f, 3.05f, {VK_UP, VK_RIGHT}, 0.02f, 1, 2.05f, 3.0f},
        // On the first or last row or column the marker does not move towards the edge at all,
        // not even to its cell's centre, whatever lies beyond.
        {"held at the top", 1.0f, 0.3f, {VK_UP}, 0.02f, 1, 1.0f, 0.3f},
        {"held at the right", 7.7f, 3.0f, {VK_RIGHT}, 0.02f, 1, 7.7f, 3.0f},
        {"held at the bottom", 1.0f, 5.7f, {VK_DOWN}, 0.02f, 1, 1.0f, 5.7f},
        {"held at the left", 0.3f, 3.0f, {VK_LEFT}, 0.02f, 1, 0.3f, 3.0f},
    };
    for (const MoveCase& c : cases)
    {
        SetUp();
        for (uint8_t key : c.keys)
        {
            gameState.keyDown[key] = true;
        }
        std::tie(mazeGrid.playerX, mazeGrid.playerY) = std::pair(c.x, c.y);
        gameState.frameSeconds = c.seconds;
        for (int pass = 0; pass < c.passes; ++pass)
        {
            UpdatePlaying();
        }
        EXPECT_NEAR(mazeGrid.playerX, c.expectedX, 1e-5f) << c.what;
        EXPECT_NEAR(mazeGrid.playerY, c.expectedY, 1e-5f) << c.what;
    }
}

// The exit at (7, 5) is reached within one cell of it, diagonals included, once a maze: the outro
// starts with its clock at zero and the exit's sound, and a later step beside it starts none.
TEST_F(Movement, TheExitIsReachedWithinOneCellDiagonalsIncludedAndOnlyOnce)
{
    struct Step
    {
        float x, y;
        bool reached;
    };
    const Step steps[] = {
        {5.0f, 3.0f, false}, {5.0f, 4.0f, false}, {6.0f, 4.0f, true}, {7.0f, 4.0f, false}};
    gameState.phaseClock = 2.0f;
    for (const Step& step : steps)
    {
        std::tie(mazeGrid.playerX, mazeGrid.playerY) = std::pair(step.x, step.y);
        gameState.levelOutro = false;
        UpdatePlaying();
        EXPECT_EQ(gameState.levelOutro, step.reached) << step.x << " " << step.y;
    }
    EXPECT_EQ(gameState.phaseClock, 0.0f);
    EXPECT_EQ(soundLog.starts[SND_LEVEL_DONE], 1u);
}

using PlayingMouse = FlowTest;

// Passes of the mouse in play, one after another from a cursor anchored at (300, 300) on a screen
// 610 high. Without a button the cursor's height tilts the camera, kept ten pixels from the
// edges; the left button pans and the right one zooms, by their drag from the anchor, and send
// the cursor back to it. A drag nearer stops at the floor, or where it is when the wheel has
// brought it below. A wheel message of one to nine notches (the high word read unsigned) zooms
// out by a tenth, one of more than twenty in; those between are kept until another replaces them.
TEST_F(PlayingMouse, EachPassTiltsPansOrZoomsByItsInput)
{
    struct Pass
    {
        bool left, right;
        int32_t x, y, notches;
        float from; // the camera's distance before, 0 for unchanged
        float distance;
        int32_t anchorY, notchesLeft;
    };
    const Pass passes[] = {
        {true, false, 310, 280, 0, 0.0f, 100.0f, 300, 0},
        {false, true, 300, 361, 0, 0.0f, 110.0f, 300, 0},
        {false, true, 300, -400, 0, 0.0f, MIN_CAMERA_DISTANCE, 300, 0},
        {false, true, 300, -400, 0, 0.5f, 0.5f, 300, 0},
        {false, true, 300, 361, 0, 0.5f, 0.55f, 300, 0},
        {false, false, 300, 300, 1, 100.0f, 110.0f, 300, 0},
        {false, false, 300, 300, 9, 100.0f, 110.0f, 300, 0},
        {false, false, 300, 300, 10, 100.0f, 100.0f, 300, 10},
        {false, false, 300, 300, 20, 100.0f, 100.0f, 300, 20},
        {false, false, 300, 300, 21, 100.0f, 90.0f, 300, 0},
        {false, false, 300, 300, 545, 110.0f, 99.0f, 300, 0},
        {false, false, 0, 2, 0, 100.0f, 100.0f, 10, 0},
        {false, false, 0, 605, 0, 100.0f, 100.0f, 599, 0},
        {false, false, 120, 150, 0, 100.0f, 100.0f, 150, 0},
    };
    gameState.screenHeight = 610;
    gameState.anchorX = gameState.anchorY = 300;
    for (const Pass& pass : passes)
    {
        SCOPED_TRACE(&pass - passes);
        const auto warps = fakeSystem.cursorWarps.size();
        gameState.leftButton = pass.left;
        gameState.rightButton = pass.right;
        gameState.cursorPos = {pass.x, pass.y};
        gameState.wheelNotches = pass.notches;
        gameState.cameraDistance = pass.from != 0.0f ? pass.from : gameState.cameraDistance;
        UpdatePlayingMouse();
        EXPECT_EQ(gameState.anchorY, pass.anchorY);
        EXPECT_FLOAT_EQ(gameState.cameraDistance, pass.distance);
        EXPECT_EQ(gameState.wheelNotches, pass.notchesLeft);
        EXPECT_EQ(fakeSystem.cursorWarps.size(), warps + (pass.left || pass.right));
        EXPECT_TRUE(warps == fakeSystem.cursorWarps.size() ||
                    fakeSystem.cursorWarps.back() == std::pair(300, 300));
    }
    // The first pass panned; the last looks down at a sixteenth of a turn from a hundred away.
    EXPECT_EQ(std::tuple(gameState.lookX, gameState.lookY, gameState.anchorX, gameState.eyeX,
                         gameState.lookZ),
              std::tuple(1.0f, 2.0f, 120, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(gameState.cameraPitch, 0.39269909f);
    EXPECT_NEAR(gameState.eyeY, 2.0f - 92.387953f, 1e-4f);
    EXPECT_NEAR(gameState.eyeZ, 38.268343f, 1e-4f);
}
