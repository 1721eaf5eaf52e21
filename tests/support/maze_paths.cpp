#include "tests/support/maze_paths.h"

#include <cstring>
#include <tuple>
#include <vector>

namespace
{

constexpr int32_t SIDE_STEPS[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};

bool IsOpen(int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < mazeGrid.mazeLength && y < mazeGrid.mazeWidth &&
           x < MAZE_MAX_SIZE && y < MAZE_MAX_SIZE && mazeGrid.cells[y][x] != CELL_WALL;
}

// How many steps each open cell is from the cells next to the exit, for the maze in memory;
// worked out again whenever the maze changes, so steering costs little per pass.
struct ExitDistances
{
    bool measured = false;
    MazeGrid maze; // the cells, sizes and exit the steps are for
    int32_t steps[MAZE_MAX_SIZE][MAZE_MAX_SIZE];
};

ExitDistances exitDistances;

void MeasureExitDistances()
{
    const MazeGrid& m = exitDistances.maze;
    if (exitDistances.measured && std::memcmp(m.cells, mazeGrid.cells, sizeof m.cells) == 0 &&
        std::tie(m.mazeLength, m.mazeWidth, m.exitX, m.exitY) ==
            std::tie(mazeGrid.mazeLength, mazeGrid.mazeWidth, mazeGrid.exitX, mazeGrid.exitY))
    {
        return;
    }
    exitDistances.measured = true;
    exitDistances.maze = mazeGrid;
    std::vector<std::pair<int32_t, int32_t>> frontier;
    for (int32_t y = 0; y < MAZE_MAX_SIZE; ++y)
    {
        for (int32_t x = 0; x < MAZE_MAX_SIZE; ++x)
        {
            int32_t dx = static_cast<int32_t>(mazeGrid.exitX) - x;
            int32_t dy = static_cast<int32_t>(mazeGrid.exitY) - y;
            bool nearExit = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && IsOpen(x, y);
            exitDistances.steps[y][x] = nearExit ? 0 : -1;
            if (nearExit)
            {
                frontier.emplace_back(x, y);
            }
        }
    }
    for (size_t next = 0; next < frontier.size(); ++next)
    {
        auto [x, y] = frontier[next];
        for (const auto& step : SIDE_STEPS)
        {
            int32_t nx = x + step[0];
            int32_t ny = y + step[1];
            if (IsOpen(nx, ny) && exitDistances.steps[ny][nx] < 0)
            {
                exitDistances.steps[ny][nx] = exitDistances.steps[y][x] + 1;
                frontier.emplace_back(nx, ny);
            }
        }
    }
}

} // namespace

int32_t NearestCell(float coordinate)
{
    return static_cast<int32_t>(coordinate + 0.5f);
}

int32_t CountStepsFrom(int32_t x, int32_t y)
{
    MeasureExitDistances();
    return IsOpen(x, y) ? exitDistances.steps[y][x] : -1;
}

int32_t CountStepsToExit()
{
    return CountStepsFrom(NearestCell(mazeGrid.playerX), NearestCell(mazeGrid.playerY));
}
