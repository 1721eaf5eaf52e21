#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "tests/support/test_files.h"

namespace
{

// The menu's background maze, as the game loads it: one start, one exit, and a way from the one
// to the other a side step at a time over open cells.
TEST(IntroMaze, LoadsWithOneStartAndOneExitReachableFromIt)
{
    mazeGrid = MazeGrid{};
    ASSERT_TRUE(LoadMazeFile(SourcePath("data/vortanai/intro.txt").c_str()));
    int32_t length = static_cast<int32_t>(mazeGrid.mazeLength);
    int32_t width = static_cast<int32_t>(mazeGrid.mazeWidth);
    int32_t starts = 0;
    int32_t exits = 0;
    for (int32_t y = 0; y < width; ++y)
    {
        for (int32_t x = 0; x < length; ++x)
        {
            starts += mazeGrid.cells[y][x] == CELL_START ? 1 : 0;
            exits += mazeGrid.cells[y][x] == CELL_EXIT ? 1 : 0;
        }
    }
    ASSERT_EQ(starts, 1);
    ASSERT_EQ(exits, 1);

    // Flood from the start, walling up every cell reached.
    std::vector<std::pair<int32_t, int32_t>> open{
        {static_cast<int32_t>(mazeGrid.playerX), static_cast<int32_t>(mazeGrid.playerY)}};
    bool reached = false;
    while (!open.empty() && !reached)
    {
        auto [x, y] = open.back();
        open.pop_back();
        reached = mazeGrid.cells[y][x] == CELL_EXIT;
        mazeGrid.cells[y][x] = CELL_WALL;
        for (auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
        {
            bool inside = x + dx >= 0 && x + dx < length && y + dy >= 0 && y + dy < width;
            if (inside && mazeGrid.cells[y + dy][x + dx] != CELL_WALL)
            {
                open.emplace_back(x + dx, y + dy);
            }
        }
    }
    EXPECT_TRUE(reached);
}

} // namespace
