#include "flow/playing.h"

#include <algorithm>
#include <cmath>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/options.h"
#include "flow/preferences.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "records/best_times.h"
#include "resources/sound_bank.h"

namespace
{

// The nearest cell index of a coordinate.
int32_t NearestCell(float coordinate)
{
    return static_cast<int32_t>(coordinate + 0.5);
}

bool IsOpenCell(int32_t column, int32_t row)
{
    if (column < 0 || row < 0 || column >= MAZE_MAX_SIZE || row >= MAZE_MAX_SIZE)
    {
        return false;
    }
    return mazeGrid.cells[row][column] != CELL_WALL;
}

// Moves one coordinate by the shared step in `direction` (+1 or -1). In front of a wall the
// player may only go on to the centre of its own cell; a step cut short there stays cut for the
// directions tested after this one. True when the player moved.
bool StepAlong(float* travel, int32_t direction, int32_t centre, bool open, double* step)
{
    if (!open)
    {
        double remaining = (centre - static_cast<double>(*travel)) * direction;
        if (remaining <= 0.0)
        {
            return false;
        }
        if (remaining < *step)
        {
            *step = remaining;
        }
    }
    *travel = static_cast<float>(*travel + direction * *step);
    return true;
}

void MoveVertically(int32_t direction, double* step)
{
    int32_t c0 = NearestCell(mazeGrid.playerX);
    int32_t r0 = NearestCell(mazeGrid.playerY);
    bool allowed = direction < 0 ? r0 >= 1 : r0 < mazeGrid.mazeWidth - 1;
    if (allowed &&
        StepAlong(&mazeGrid.playerY, direction, r0, IsOpenCell(c0, r0 + direction), step))
    {
        mazeGrid.playerX = static_cast<float>(c0);
    }
}

void MoveHorizontally(int32_t direction, double* step)
{
    int32_t c0 = NearestCell(mazeGrid.playerX);
    int32_t r0 = NearestCell(mazeGrid.playerY);
    bool allowed = direction < 0 ? c0 >= 1 : c0 < mazeGrid.mazeLength - 1;
    if (allowed &&
        StepAlong(&mazeGrid.playerX, direction, c0, IsOpenCell(c0 + direction, r0), step))
    {
        mazeGrid.playerY = static_cast<float>(r0);
    }
}

// The exit is reached within one cell of it, diagonals included, once per maze.
void DetectExit()
{
    double dx = static_cast<double>(mazeGrid.exitX) - mazeGrid.playerX;
    double dy = static_cast<double>(mazeGrid.exitY) - mazeGrid.playerY;
    if (dx >= -1.0 && dx <= 1.0 && dy >= -1.0 && dy <= 1.0 && !gameState.levelFinished)
    {
        gameState.phaseClock = 0.0f;
        gameState.levelOutro = true;
        gameState.levelFinished = true;
        FinishRace(gameState.levelSeconds);
        if (gameState.soundEnabled)
        {
            StartSound(SND_LEVEL_DONE);
        }
    }
}

// The player's zoom and pan speeds, 1 as the game has them.
double ReadZoomSpeed()
{
    return preferences.zoomSpeed / 100.0;
}

double ReadPanSpeed()
{
    return preferences.panSpeed / 100.0;
}

void ZoomByWheel()
{
    if (gameState.wheelNotches >= 1 && gameState.wheelNotches <= 9)
    {
        gameState.cameraDistance = static_cast<float>(
            gameState.cameraDistance * std::pow(static_cast<double>(1.1f), ReadZoomSpeed()));
        gameState.wheelNotches = 0;
    }
    else if (gameState.wheelNotches > 20)
    {
        gameState.cameraDistance = static_cast<float>(
            gameState.cameraDistance * std::pow(static_cast<double>(0.9f), ReadZoomSpeed()));
        gameState.wheelNotches = 0;
    }
}

} // namespace

void UpdatePlaying()
{
    double step = gameState.frameSeconds * 10.0;
    if (step > 1.0)
    {
        step = 1.0;
    }
    if (IsActionHeld(ACTION_UP))
    {
        MoveVertically(-1, &step);
    }
    if (IsActionHeld(ACTION_RIGHT))
    {
        MoveHorizontally(1, &step);
    }
    if (IsActionHeld(ACTION_DOWN))
    {
        MoveVertically(1, &step);
    }
    if (IsActionHeld(ACTION_LEFT))
    {
        MoveHorizontally(-1, &step);
    }
    DetectExit();
}

void OnPlayingKey(uint32_t key)
{
    uint8_t code = ReadKeyAction(key);
    switch (code)
    {
    case VK_RETURN:
        CutPhaseShort();
        break;
    case VK_ESCAPE:
        if (!CutPhaseShort())
        {
            ChangeScreen(STATE_MENU);
        }
        break;
    case 'M':
        ChangeScreen(STATE_MENU);
        break;
    case VK_F6:
        ToggleGhost();
        break;
    default:
        HandleOptionKey(code);
        break;
    }
}

void UpdatePlayingMouse()
{
    double height = static_cast<double>(gameState.screenHeight);
    if (gameState.leftButton)
    {
        int32_t dx = gameState.cursorPos.x - gameState.anchorX;
        int32_t dy = gameState.cursorPos.y - gameState.anchorY;
        gameState.lookX = static_cast<float>(gameState.lookX + dx * 0.1 * ReadPanSpeed());
        gameState.lookY = static_cast<float>(gameState.lookY - dy * 0.1 * ReadPanSpeed());
        SetCursorPosition(gameState.anchorX, gameState.anchorY);
    }
    if (gameState.rightButton)
    {
        int32_t dy = gameState.cursorPos.y - gameState.anchorY;
        double distance = (dy / height * ReadZoomSpeed() + 1.0) * gameState.cameraDistance;
        // A drag of a whole screen height upward would reach zero or pass through it: a drag
        // nearer stops at the floor, or where it is when the wheel has already brought it below.
        if (distance < MIN_CAMERA_DISTANCE && distance < gameState.cameraDistance)
        {
            distance = std::min(static_cast<double>(gameState.cameraDistance),
                                static_cast<double>(MIN_CAMERA_DISTANCE));
        }
        gameState.cameraDistance = static_cast<float>(distance);
        SetCursorPosition(gameState.anchorX, gameState.anchorY);
    }
    if (!gameState.leftButton && !gameState.rightButton)
    {
        gameState.anchorX = gameState.cursorPos.x;
        gameState.anchorY = gameState.cursorPos.y;
        int32_t lowest = gameState.screenHeight - 10;
        if (gameState.anchorY < 10)
        {
            gameState.anchorY = 10;
        }
        if (gameState.anchorY >= lowest)
        {
            gameState.anchorY = lowest - 1;
        }
        // Inverted, the top of the screen looks straight down and the bottom along the floor.
        int32_t tilt =
            preferences.tiltInverted ? lowest - 1 + 10 - gameState.anchorY : gameState.anchorY;
        gameState.cameraPitch = static_cast<float>(tilt / (height - 10.0) * 1.570796325);
    }
    gameState.eyeX = gameState.lookX;
    gameState.eyeY =
        static_cast<float>(gameState.lookY - std::cos(static_cast<double>(gameState.cameraPitch)) *
                                                 gameState.cameraDistance);
    gameState.eyeZ = static_cast<float>(std::sin(static_cast<double>(gameState.cameraPitch)) *
                                            gameState.cameraDistance +
                                        gameState.lookZ);
    ZoomByWheel();
}
