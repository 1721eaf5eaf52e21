#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "tests/support/fake_system.h"
#include "tests/support/game_harness.h"
#include "tests/support/test_files.h"

namespace
{

// A grid every byte of which is 7, with a player and an exit no file sets by accident.
void FillGrid()
{
    mazeGrid = MazeGrid{};
    std::memset(mazeGrid.cells, 7, sizeof mazeGrid.cells);
    mazeGrid.mazeLength = 5.0f;
    mazeGrid.mazeWidth = 6.0f;
    mazeGrid.playerX = 11.0f;
    mazeGrid.playerY = 12.0f;
    mazeGrid.exitX = 13;
    mazeGrid.exitY = 14;
}

bool LoadText(const std::string& text)
{
    WriteTestFile("vortanai/test_maze.txt", text);
    return LoadMazeFile("vortanai/test_maze.txt");
}

// The cells as digits, rows split by '/', one column and one row past the sizes read so that
// anything written beyond them shows; then the player and the exit.
std::string Stored()
{
    std::string text;
    int32_t length =
        std::min(MAZE_MAX_SIZE, static_cast<int32_t>(std::ceil(mazeGrid.mazeLength)) + 1);
    int32_t width =
        std::min(MAZE_MAX_SIZE, static_cast<int32_t>(std::ceil(mazeGrid.mazeWidth)) + 1);
    for (int32_t y = 0; y < width; ++y)
    {
        text += y > 0 ? "/" : "";
        for (int32_t x = 0; x < length; ++x)
        {
            text += static_cast<char>('0' + mazeGrid.cells[y][x]);
        }
    }
    return text + testing::PrintToString(std::tuple(mazeGrid.playerX, mazeGrid.playerY,
                                                    mazeGrid.exitX, mazeGrid.exitY));
}

class MazeFileTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        FillGrid();
    }
};

TEST_F(MazeFileTest, EdgeCasesReadAsTheGameReadsThem)
{
    const std::string walls128 = std::string(128, '0') + "/" + std::string(128, '7');
    const std::string unmoved = "(11, 12, 13, 14)";
    const std::pair<std::string, std::string> cases[] = {
        // The low 8 bits of each value: 258 is a start, -253 an exit, 256 a wall, 386 none.
        {"5 1\r\n258 -253 256 1 386\r\n", "2301\xB2"
                                          "7/777777(0, 0, 1, 0)"},
        // Sizes read as floating point; once a read fails the last value repeats to the end.
        {"32.0 1\r\n2 3",
         "2" + std::string(31, '3') + "7/" + std::string(33, '7') + "(0, 0, 31, 0)"},
        {"4 2\r\n1 0 2", "10227/22227/77777(3, 1, 13, 14)"},
        {"4 1\r\n1 3 x 1", "13337/77777(11, 12, 3, 0)"},
        // A size that is not whole reads while the index is below it.
        {"2.5 1.2\r\n1 2 1\r\n1 3 1\r\n9", "1217/1317/7777(1, 0, 1, 1)"},
        // Layout carries no meaning; the last start and exit win.
        {"3\n2\t2 3\n2 3 1 0", "2327/3107/7777(2, 0, 0, 1)"},
        // Nothing before the first cell: walls. Sizes 0 read no cell.
        {"4 2\r\n", "00007/00007/77777" + unmoved},
        {"128 1", walls128 + unmoved},
        {"0 0\r\n2 3", "7" + unmoved},
    };
    for (const auto& [text, stored] : cases)
    {
        FillGrid();
        EXPECT_TRUE(LoadText(text)) << text;
        EXPECT_EQ(Stored(), stored) << text;
    }
}

TEST_F(MazeFileTest, FilesThatCannotBeReadLeaveTheMazeAsItWas)
{
    // Sizes the grid cannot hold, or no sizes at all, refuse the whole file.
    const char* const refused[] = {"129 8\r\n2 3", "8 129\r\n2 3",  "128.5 8", "-1 8\r\n2 3",
                                   "8 -0.5",       "1e999 8",       "nan 8",   "8 inf",
                                   "8 1e3",        "99999999999 8", "",        "8",
                                   "x 8"};
    const std::string before = Stored();
    EXPECT_FALSE(LoadMazeFile("vortanai/no_such_maze.txt"));
    EXPECT_EQ(Stored(), before);
    for (const char* text : refused)
    {
        EXPECT_FALSE(LoadText(text)) << '"' << text << '"';
        EXPECT_EQ(Stored(), before) << '"' << text << '"';
    }
}

// The menu's background maze: one start, and a way from it to the exit a side step at a time.
TEST_F(MazeFileTest, TheIntroMazeHasOneStartAndAWayToTheExit)
{
    mazeGrid = MazeGrid{};
    ASSERT_TRUE(LoadMazeFile(SourcePath("data/vortanai/intro.txt").c_str()));
    EXPECT_EQ(std::count(&mazeGrid.cells[0][0], &mazeGrid.cells[0][0] + sizeof mazeGrid.cells,
                         CELL_START),
              1);
    EXPECT_GE(CountStepsToExit(), 0);
}

} // namespace
