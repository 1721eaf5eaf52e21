#include "tests/support/game_harness.h"

#include <filesystem>
#include <queue>

#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "flow/window_proc.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "present/gl_window.h"
#include "present/hud.h"
#include "present/settings.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"

namespace
{

constexpr uint8_t ARROWS[] = {VK_UP, VK_RIGHT, VK_DOWN, VK_LEFT};

int32_t NearestCell(float coordinate)
{
    return static_cast<int32_t>(coordinate + 0.5f);
}

bool IsNearExit(int32_t column, int32_t row)
{
    int32_t dx = static_cast<int32_t>(mazeGrid.exitX) - column;
    int32_t dy = static_cast<int32_t>(mazeGrid.exitY) - row;
    return dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
}

void HoldOnly(uint8_t key)
{
    for (uint8_t arrow : ARROWS)
    {
        if (arrow != key && gameState.keyDown[arrow])
        {
            ReleaseKey(arrow);
        }
    }
    if (key != 0 && !gameState.keyDown[key])
    {
        PressKey(key);
    }
}

} // namespace

bool StartHarnessGame()
{
    ResetFakeSystem();
    KeepDriverLoaded();
    std::filesystem::remove_all("duomenys");
    std::filesystem::remove_all("vortanai");
    std::filesystem::remove_all("rekordai");
    std::filesystem::copy(SourcePath("data"), ".", std::filesystem::copy_options::recursive);
    // A small window keeps the software renderer quick; the picture is not what is tested here.
    WriteTestFile(SETTINGS_PATH, "Vortanai\r\n0\r\n320\r\n240\r\n0\r\n32\r\n24\r\n\r\n\r\n"
                                 "http://127.0.0.1:8017/rezultatas\r\n");
    gameState = GameState{};
    mazeGrid = MazeGrid{};
    settings = Settings{};
    fpsCounter = FpsCounter{};
    soundLog = SoundLog{};
    textureCount = 0;
    soundCount = 0;
    return StartGame();
}

void StopHarnessGame()
{
    DestroyGLWindow();
}

void RunPass(double seconds)
{
    AdvanceFakeClock(seconds);
    RunIdlePass();
}

void RunSeconds(double seconds)
{
    int passes = static_cast<int>(seconds / HARNESS_FRAME_SECONDS + 0.5);
    for (int i = 0; i < passes; ++i)
    {
        RunPass();
    }
}

void PressKey(uint8_t key)
{
    WndProc(WM_KEYDOWN, key, 0x00000001);
}

void ReleaseKey(uint8_t key)
{
    WndProc(WM_KEYUP, key, 0xC0000001);
}

void TapKey(uint8_t key)
{
    PressKey(key);
    RunPass();
    ReleaseKey(key);
}

std::vector<std::pair<int32_t, int32_t>> FindPathToExit()
{
    int32_t length = static_cast<int32_t>(mazeGrid.mazeLength);
    int32_t width = static_cast<int32_t>(mazeGrid.mazeWidth);
    std::vector<int32_t> cameFrom(static_cast<size_t>(length * width), -1);
    int32_t start = NearestCell(mazeGrid.playerY) * length + NearestCell(mazeGrid.playerX);
    std::queue<int32_t> frontier;
    frontier.push(start);
    cameFrom[static_cast<size_t>(start)] = start;
    const int32_t steps[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    while (!frontier.empty())
    {
        int32_t cell = frontier.front();
        frontier.pop();
        int32_t column = cell % length;
        int32_t row = cell / length;
        if (IsNearExit(column, row))
        {
            std::vector<std::pair<int32_t, int32_t>> path;
            for (int32_t at = cell; at != start; at = cameFrom[static_cast<size_t>(at)])
            {
                path.insert(path.begin(), {at % length, at / length});
            }
            path.insert(path.begin(), {start % length, start / length});
            return path;
        }
        for (const auto& step : steps)
        {
            int32_t nextColumn = column + step[0];
            int32_t nextRow = row + step[1];
            if (nextColumn < 0 || nextRow < 0 || nextColumn >= length || nextRow >= width ||
                mazeGrid.cells[nextRow][nextColumn] == CELL_WALL)
            {
                continue;
            }
            int32_t next = nextRow * length + nextColumn;
            if (cameFrom[static_cast<size_t>(next)] < 0)
            {
                cameFrom[static_cast<size_t>(next)] = cell;
                frontier.push(next);
            }
        }
    }
    return {};
}

int32_t WalkToExit(int32_t maxPasses)
{
    uint8_t key = 0;
    for (int32_t pass = 0; pass < maxPasses; ++pass)
    {
        if (gameState.levelOutro)
        {
            HoldOnly(0);
            return pass;
        }
        // Standing in the last cell of the way, the player goes on until within reach of the exit.
        std::vector<std::pair<int32_t, int32_t>> path = FindPathToExit();
        if (path.size() >= 2)
        {
            int32_t dx = path[1].first - path[0].first;
            int32_t dy = path[1].second - path[0].second;
            key = dx > 0 ? VK_RIGHT : dx < 0 ? VK_LEFT : dy > 0 ? VK_DOWN : VK_UP;
        }
        HoldOnly(key);
        RunPass();
    }
    HoldOnly(0);
    return -1;
}
