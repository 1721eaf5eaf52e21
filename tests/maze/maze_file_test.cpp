#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

const char* const MAZE_PATH = "vortanai/test_maze.txt";

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
    mazeGrid.mazeAccepted = false;
}

bool LoadText(const std::string& text)
{
    WriteTestFile(MAZE_PATH, text);
    return LoadMazeFile(MAZE_PATH);
}

// The maze in use as rows of cell values separated by blanks, one row per line.
std::string DescribeRows(int32_t length, int32_t width)
{
    std::string rows;
    for (int32_t y = 0; y < width; ++y)
    {
        for (int32_t x = 0; x < length; ++x)
        {
            rows += std::to_string(mazeGrid.cells[y][x]) + (x + 1 < length ? " " : "");
        }
        rows += "\n";
    }
    return rows;
}

void ExpectGridUnchanged(const MazeGrid& before)
{
    EXPECT_EQ(std::memcmp(mazeGrid.cells, before.cells, sizeof before.cells), 0);
    EXPECT_EQ(mazeGrid.mazeLength, before.mazeLength);
    EXPECT_EQ(mazeGrid.mazeWidth, before.mazeWidth);
    EXPECT_EQ(mazeGrid.playerX, before.playerX);
    EXPECT_EQ(mazeGrid.playerY, before.playerY);
    EXPECT_EQ(mazeGrid.exitX, before.exitX);
    EXPECT_EQ(mazeGrid.exitY, before.exitY);
    EXPECT_EQ(mazeGrid.mazeAccepted, before.mazeAccepted);
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

TEST_F(MazeFileTest, GeneratedMazeWrittenOutReadsBackTheSame)
{
    GenerateMaze(32, 16, 10, 674827);
    MazeGrid generated = mazeGrid;
    std::string text = "32 16\r\n";
    for (int32_t y = 0; y < 16; ++y)
    {
        for (int32_t x = 0; x < 32; ++x)
        {
            text += std::to_string(generated.cells[y][x]) + (x < 31 ? " " : "\r\n");
        }
    }
    FillGrid();
    ASSERT_TRUE(LoadText(text));
    EXPECT_EQ(mazeGrid.mazeLength, 32.0f);
    EXPECT_EQ(mazeGrid.mazeWidth, 16.0f);
    for (int32_t y = 0; y < 16; ++y)
    {
        EXPECT_EQ(std::memcmp(mazeGrid.cells[y], generated.cells[y], 32), 0) << "row " << y;
        EXPECT_EQ(mazeGrid.cells[y][32], 7) << "row " << y; // beyond the maze: untouched
    }
    EXPECT_EQ(mazeGrid.cells[16][0], 7);
    EXPECT_EQ(mazeGrid.playerX, 2.0f);
    EXPECT_EQ(mazeGrid.playerY, 8.0f);
    EXPECT_EQ(mazeGrid.exitX, 30u);
    EXPECT_EQ(mazeGrid.exitY, 8u);
    EXPECT_FALSE(mazeGrid.mazeAccepted); // the loader leaves the acceptance alone
}

TEST_F(MazeFileTest, LayoutAndLineEndsCarryNoMeaning)
{
    const std::string values = "0 0 0 0 1 2 3 1 0 0 0 0";
    ASSERT_TRUE(LoadText("4 3\r\n" + values + "\r\n"));
    std::string expected = DescribeRows(4, 3);
    EXPECT_EQ(expected, "0 0 0 0\n1 2 3 1\n0 0 0 0\n");

    FillGrid();
    ASSERT_TRUE(LoadText("4\n3\t0 0 0\n0\n1 2 3 1 0\t\t0 0 0"));
    EXPECT_EQ(DescribeRows(4, 3), expected);

    FillGrid();
    ASSERT_TRUE(LoadText("  4.0 3.\r\n0 0 0 0\r\n1 2 3 1\r\n0 0 0 0"));
    EXPECT_EQ(mazeGrid.mazeLength, 4.0f);
    EXPECT_EQ(DescribeRows(4, 3), expected);
    EXPECT_EQ(mazeGrid.playerX, 1.0f);
    EXPECT_EQ(mazeGrid.playerY, 1.0f);
    EXPECT_EQ(mazeGrid.exitX, 2u);
    EXPECT_EQ(mazeGrid.exitY, 1u);
}

TEST_F(MazeFileTest, CellsKeepTheLowEightBits)
{
    // 258 is a start, -253 an exit, 256 a wall, 511 open ground.
    ASSERT_TRUE(LoadText("4 1\r\n258 -253 256 511\r\n"));
    EXPECT_EQ(DescribeRows(4, 1), "2 3 0 255\n");
    EXPECT_EQ(mazeGrid.playerX, 0.0f);
    EXPECT_EQ(mazeGrid.playerY, 0.0f);
    EXPECT_EQ(mazeGrid.exitX, 1u);
    EXPECT_EQ(mazeGrid.exitY, 0u);
}

TEST_F(MazeFileTest, LastStartAndExitWinAndMissingOnesKeepTheirPlaces)
{
    ASSERT_TRUE(LoadText("3 2\r\n2 3 2\r\n3 1 0\r\n"));
    EXPECT_EQ(mazeGrid.playerX, 2.0f);
    EXPECT_EQ(mazeGrid.playerY, 0.0f);
    EXPECT_EQ(mazeGrid.exitX, 0u);
    EXPECT_EQ(mazeGrid.exitY, 1u);

    FillGrid();
    ASSERT_TRUE(LoadText("3 2\r\n1 1 1\r\n0 0 0\r\n"));
    EXPECT_EQ(mazeGrid.playerX, 11.0f);
    EXPECT_EQ(mazeGrid.playerY, 12.0f);
    EXPECT_EQ(mazeGrid.exitX, 13u);
    EXPECT_EQ(mazeGrid.exitY, 14u);
}

TEST_F(MazeFileTest, FractionalSizesReadWhileTheIndexIsBelowThem)
{
    // 2.5 columns read 3 per row, 1.2 rows read 2 rows.
    ASSERT_TRUE(LoadText("2.5 1.2\r\n1 2 1\r\n1 3 1\r\n9"));
    EXPECT_EQ(mazeGrid.mazeLength, 2.5f);
    EXPECT_EQ(mazeGrid.mazeWidth, 1.2f);
    EXPECT_EQ(DescribeRows(3, 2), "1 2 1\n1 3 1\n");
    EXPECT_EQ(mazeGrid.cells[0][3], 7);
    EXPECT_EQ(mazeGrid.cells[2][0], 7);
}

TEST_F(MazeFileTest, ReadingStopsAtTheFirstBadTokenAndRepeatsTheLastValue)
{
    // The file ends early: the last value, a start, fills the rest and moves the start along.
    ASSERT_TRUE(LoadText("4 2\r\n1 0 2"));
    EXPECT_EQ(DescribeRows(4, 2), "1 0 2 2\n2 2 2 2\n");
    EXPECT_EQ(mazeGrid.playerX, 3.0f);
    EXPECT_EQ(mazeGrid.playerY, 1.0f);

    // A token that is not a number ends the reading, even where numbers follow it.
    FillGrid();
    ASSERT_TRUE(LoadText("4 2\r\n1 3 x 1 1 1 1 1\r\n"));
    EXPECT_EQ(DescribeRows(4, 2), "1 3 3 3\n3 3 3 3\n");
    EXPECT_EQ(mazeGrid.exitX, 3u);
    EXPECT_EQ(mazeGrid.exitY, 1u);

    // So does a number too large for a cell's integer, and a number cut short by a letter.
    FillGrid();
    ASSERT_TRUE(LoadText("3 1\r\n1 99999999999 0\r\n"));
    EXPECT_EQ(DescribeRows(3, 1), "1 1 1\n");
    FillGrid();
    ASSERT_TRUE(LoadText("3 1\r\n0 1z 2\r\n"));
    EXPECT_EQ(DescribeRows(3, 1), "0 1 1\n");
}

TEST_F(MazeFileTest, FileEndingBeforeItsFirstCellGivesWalls)
{
    ASSERT_TRUE(LoadText("4 2\r\n"));
    EXPECT_EQ(mazeGrid.mazeLength, 4.0f);
    EXPECT_EQ(DescribeRows(4, 2), "0 0 0 0\n0 0 0 0\n");
    EXPECT_EQ(mazeGrid.cells[0][4], 7);
    EXPECT_EQ(mazeGrid.playerX, 11.0f);
    EXPECT_EQ(mazeGrid.exitX, 13u);

    FillGrid();
    ASSERT_TRUE(LoadText("3 1 junk"));
    EXPECT_EQ(DescribeRows(3, 1), "0 0 0\n");
}

TEST_F(MazeFileTest, ZeroSizesReadNoCells)
{
    ASSERT_TRUE(LoadText("0 0\r\n2 3\r\n"));
    EXPECT_EQ(mazeGrid.mazeLength, 0.0f);
    EXPECT_EQ(mazeGrid.mazeWidth, 0.0f);
    EXPECT_EQ(mazeGrid.cells[0][0], 7);
    EXPECT_EQ(mazeGrid.playerX, 11.0f);
    EXPECT_EQ(mazeGrid.exitX, 13u);
}

TEST_F(MazeFileTest, LargestMazeFillsTheGridExactly)
{
    std::string text = "128 128\r\n";
    for (int32_t y = 0; y < 128; ++y)
    {
        for (int32_t x = 0; x < 128; ++x)
        {
            int32_t value = (x + y) % 2;
            value = (x == 127 && y == 127) ? 3 : value;
            value = (x == 0 && y == 0) ? 2 : value;
            text += std::to_string(value) + (x < 127 ? " " : "\r\n");
        }
    }
    ASSERT_TRUE(LoadText(text));
    EXPECT_EQ(mazeGrid.cells[0][0], 2);
    EXPECT_EQ(mazeGrid.cells[0][1], 1);
    EXPECT_EQ(mazeGrid.cells[127][126], 1);
    EXPECT_EQ(mazeGrid.cells[127][127], 3);
    // The fields after the cells are intact.
    EXPECT_EQ(mazeGrid.mazeLength, 128.0f);
    EXPECT_EQ(mazeGrid.mazeWidth, 128.0f);
    EXPECT_EQ(mazeGrid.exitX, 127u);
    EXPECT_EQ(mazeGrid.exitY, 127u);
    EXPECT_FALSE(mazeGrid.mazeAccepted);

    // Just below 128 still reads the last column and row, and nothing beyond.
    FillGrid();
    ASSERT_TRUE(LoadText("127.5 127.9\r\n" + text.substr(text.find('\n') + 1)));
    EXPECT_EQ(mazeGrid.cells[127][127], 3);
    EXPECT_EQ(mazeGrid.exitX, 127u);
    EXPECT_FALSE(mazeGrid.mazeAccepted);
}

TEST_F(MazeFileTest, FilesThatCannotBeReadLeaveTheMazeAsItWas)
{
    MazeGrid before = mazeGrid;
    EXPECT_FALSE(LoadMazeFile("vortanai/no_such_maze.txt"));
    ExpectGridUnchanged(before);

    // Sizes the grid cannot hold, or no sizes at all, refuse the whole file.
    const char* const refused[] = {
        "129 8\r\n2 3",
        "8 129\r\n2 3",
        "128.5 8\r\n2 3",
        "8 1e3\r\n2 3",
        "-1 8\r\n2 3",
        "8 -0.5\r\n2 3",
        "1e999 8\r\n2 3",
        "8 1e999\r\n2 3",
        "nan 8\r\n2 3",
        "inf 8\r\n2 3",
        "",
        "\r\n",
        "8",
        "8\r\n",
        "x 8\r\n2 3",
        "8 x\r\n2 3",
        "99999999999 8\r\n",
    };
    for (const char* text : refused)
    {
        SCOPED_TRACE(testing::Message() << '"' << text << '"');
        EXPECT_FALSE(LoadText(text));
        ExpectGridUnchanged(before);
    }
}

} // namespace
