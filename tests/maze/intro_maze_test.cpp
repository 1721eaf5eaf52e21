#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "tests/support/test_files.h"

namespace
{

// The menu's background maze, as the game loads it.
TEST(IntroMaze, LoadsAsOneWalkableMazeWithOneStartAndOneExit)
{
    mazeGrid = MazeGrid{};
    std::string path = SourcePath("data/vortanai/intro.txt");
    ASSERT_TRUE(LoadMazeFile(path.c_str()));
    int32_t length = static_cast<int32_t>(mazeGrid.mazeLength);
    int32_t width = static_cast<int32_t>(mazeGrid.mazeWidth);
    EXPECT_EQ(static_cast<float>(length), mazeGrid.mazeLength);
    EXPECT_EQ(static_cast<float>(width), mazeGrid.mazeWidth);
    EXPECT_GE(length, 48);
    EXPECT_GE(width, 24);

    // Written with CR LF, and holding exactly the sizes and cells the game reads.
    std::string text = ReadTestFile(path);
    size_t lineEnds = 0;
    size_t numbers = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\n')
        {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "byte " << i;
            ++lineEnds;
        }
        bool starts = text[i] != ' ' && text[i] != '\r' && text[i] != '\n' &&
                      (i == 0 || text[i - 1] == ' ' || text[i - 1] == '\n');
        numbers += starts ? 1 : 0;
    }
    EXPECT_EQ(lineEnds, static_cast<size_t>(width) + 1);
    EXPECT_EQ(numbers, static_cast<size_t>(length * width) + 2);
    EXPECT_EQ(text.back(), '\n');

    int32_t starts = 0;
    int32_t exits = 0;
    for (int32_t y = 0; y < width; ++y)
    {
        for (int32_t x = 0; x < length; ++x)
        {
            uint8_t cell = mazeGrid.cells[y][x];
            ASSERT_LE(cell, CELL_EXIT);
            starts += cell == CELL_START ? 1 : 0;
            exits += cell == CELL_EXIT ? 1 : 0;
            // The player cannot walk off the maze.
            bool border = x == 0 || y == 0 || x == length - 1 || y == width - 1;
            ASSERT_TRUE(!border || cell == CELL_WALL) << x << "," << y;
        }
    }
    ASSERT_EQ(starts, 1);
    ASSERT_EQ(exits, 1);
    int32_t startX = static_cast<int32_t>(mazeGrid.playerX);
    int32_t startY = static_cast<int32_t>(mazeGrid.playerY);
    ASSERT_EQ(mazeGrid.cells[startY][startX], CELL_START);
    ASSERT_EQ(mazeGrid.cells[mazeGrid.exitY][mazeGrid.exitX], CELL_EXIT);

    // The exit can be reached from the start, a side step at a time over open cells.
    std::vector<bool> seen(static_cast<size_t>(length * width), false);
    std::deque<std::pair<int32_t, int32_t>> open{{startX, startY}};
    seen[static_cast<size_t>(startY * length + startX)] = true;
    bool reached = false;
    while (!open.empty() && !reached)
    {
        auto [x, y] = open.front();
        open.pop_front();
        reached =
            x == static_cast<int32_t>(mazeGrid.exitX) && y == static_cast<int32_t>(mazeGrid.exitY);
        const int32_t steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : steps)
        {
            int32_t nextX = x + step[0];
            int32_t nextY = y + step[1];
            bool inside = nextX >= 0 && nextX < length && nextY >= 0 && nextY < width;
            if (inside && !seen[static_cast<size_t>(nextY * length + nextX)] &&
                mazeGrid.cells[nextY][nextX] != CELL_WALL)
            {
                seen[static_cast<size_t>(nextY * length + nextX)] = true;
                open.emplace_back(nextX, nextY);
            }
        }
    }
    EXPECT_TRUE(reached);
}

} // namespace
