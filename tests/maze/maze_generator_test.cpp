#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "maze/maze_grid.h"
#include "maze/maze_random.h"
#include "tests/maze/full_scan_maze.h"
#include "tests/support/fake_system.h"

namespace
{

// The first campaign maze, (32, 16, 10, 674827).
const char* const CAMPAIGN_MAZE_1 = "00000000000000000000000000000000\n"
                                    "01110110111110011011101111101110\n"
                                    "01010011100011001010001000111010\n"
                                    "01011010001001011011011110000010\n"
                                    "00001010011101110001000010110110\n"
                                    "00111011000100000111011111100100\n"
                                    "01101010010111101100010010001110\n"
                                    "01001111011100111001110111011000\n"
                                    "01200001110110001101000100010030\n"
                                    "00001111000011100101010001110110\n"
                                    "00100101100001001101011111000100\n"
                                    "01110000110111100001000010010110\n"
                                    "01011110010100001111011011010010\n"
                                    "01000011010111111010001001110010\n"
                                    "01111001110100101011111101011110\n"
                                    "00000000000000000000000000000000\n";

// (20, 10, 1, 777): every walk takes at most two steps.
const char* const SHORT_WALKS_MAZE = "00000000000000000000\n"
                                     "01101111100111110110\n"
                                     "00101000001100000010\n"
                                     "01111010101001001010\n"
                                     "01001110101111111110\n"
                                     "01201010111000000030\n"
                                     "01000000100011101000\n"
                                     "01111111110010001010\n"
                                     "01010010011111111110\n"
                                     "00000000000000000000\n";

struct CampaignMaze
{
    int32_t length;
    int32_t width;
    int32_t seed;
};

const CampaignMaze CAMPAIGN_MAZES[5] = {
    {32, 16, 674827}, {32, 32, 1017192716}, {64, 32, 1707139823},
    {64, 64, 119136}, {128, 64, 314662},
};

int32_t Length()
{
    return static_cast<int32_t>(mazeGrid.mazeLength);
}

int32_t Width()
{
    return static_cast<int32_t>(mazeGrid.mazeWidth);
}

// The maze in use, one line of digits per row.
std::string DrawGrid()
{
    std::string rows;
    for (int32_t y = 0; y < Width(); ++y)
    {
        for (int32_t x = 0; x < Length(); ++x)
        {
            rows += static_cast<char>('0' + mazeGrid.cells[y][x]);
        }
        rows += '\n';
    }
    return rows;
}

std::string DrawFullScanGrid(const FullScanMaze& maze)
{
    std::string rows;
    for (int32_t y = 0; y < maze.width; ++y)
    {
        for (int32_t x = 0; x < maze.length; ++x)
        {
            rows += static_cast<char>('0' + maze.cells[y][x]);
        }
        rows += '\n';
    }
    return rows;
}

bool IsOpen(int32_t x, int32_t y)
{
    return mazeGrid.cells[y][x] != CELL_WALL;
}

class MazeGeneratorTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        mazeGrid = MazeGrid{};
    }
};

TEST_F(MazeGeneratorTest, RandomSourceFollowsItsConstants)
{
    mazeRandom = MazeRandom{};
    EXPECT_EQ(NextMazeRandom(), 41); // the state starts at 1
    SeedMazeRandom(1);
    const int32_t expected[5] = {41, 18467, 6334, 26500, 19169};
    for (int32_t value : expected)
    {
        EXPECT_EQ(NextMazeRandom(), value);
    }
    // Bit 31 of the state never shows: a state just below 2^32 still gives 0 ... 32767.
    SeedMazeRandom(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i)
    {
        int32_t value = NextMazeRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST_F(MazeGeneratorTest, KnownSeedsGiveTheirMazesExactly)
{
    EXPECT_TRUE(GenerateMaze(32, 16, 10, 674827));
    EXPECT_EQ(DrawGrid(), CAMPAIGN_MAZE_1);
    EXPECT_EQ(mazeGrid.playerX, 2.0f);
    EXPECT_EQ(mazeGrid.playerY, 8.0f);
    EXPECT_EQ(mazeGrid.exitX, 30u);
    EXPECT_EQ(mazeGrid.exitY, 8u);
    EXPECT_TRUE(mazeGrid.mazeAccepted);

    EXPECT_TRUE(GenerateMaze(20, 10, 1, 777));
    EXPECT_EQ(DrawGrid(), SHORT_WALKS_MAZE);
    EXPECT_EQ(mazeGrid.mazeLength, 20.0f);
    EXPECT_EQ(mazeGrid.mazeWidth, 10.0f);

    // Again, over a different maze: nothing but the four arguments decides the result.
    EXPECT_TRUE(GenerateMaze(32, 16, 10, 674827));
    EXPECT_EQ(DrawGrid(), CAMPAIGN_MAZE_1);
}

TEST_F(MazeGeneratorTest, CampaignSeedsAreAcceptedAndOneKnownSeedIsNot)
{
    for (const CampaignMaze& level : CAMPAIGN_MAZES)
    {
        EXPECT_TRUE(GenerateMaze(level.length, level.width, 10, level.seed)) << level.seed;
        EXPECT_TRUE(mazeGrid.mazeAccepted);
        EXPECT_TRUE(IsExitConnected());
    }

    EXPECT_FALSE(GenerateMaze(32, 16, 10, 8314950));
    EXPECT_FALSE(mazeGrid.mazeAccepted);
    EXPECT_FALSE(IsExitConnected());
    // The exit is a lone 3 among walls.
    EXPECT_EQ(mazeGrid.cells[8][30], CELL_EXIT);
    for (int32_t y = 7; y <= 9; ++y)
    {
        for (int32_t x = 29; x <= 31; ++x)
        {
            if (x != 30 || y != 8)
            {
                EXPECT_EQ(mazeGrid.cells[y][x], CELL_WALL) << x << "," << y;
            }
        }
    }
}

TEST_F(MazeGeneratorTest, SeedZeroTakesTheCounterLowWord)
{
    // The high word of the counter is dropped: this reading seeds like 674827.
    fakeSystem.counter = (int64_t{0x1234} << 32) + 674827;
    EXPECT_TRUE(GenerateMaze(32, 16, 10, 0));
    EXPECT_EQ(DrawGrid(), CAMPAIGN_MAZE_1);

    fakeSystem.counter += 1;
    GenerateMaze(32, 16, 10, 0);
    EXPECT_NE(DrawGrid(), CAMPAIGN_MAZE_1);
}

TEST_F(MazeGeneratorTest, MazesKeepTheirShape)
{
    std::mt19937 pick(2024);
    for (int i = 0; i < 150; ++i)
    {
        int32_t length = 8 + static_cast<int32_t>(pick() % 121);
        int32_t width = 8 + static_cast<int32_t>(pick() % 121);
        int32_t difficulty = 1 + static_cast<int32_t>(pick() % 10);
        int32_t seed = static_cast<int32_t>(pick() | 1);
        SCOPED_TRACE(testing::Message()
                     << length << " " << width << " " << difficulty << " " << seed);
        bool accepted = GenerateMaze(length, width, difficulty, seed);
        int32_t exitX = length - 2;
        int32_t exitY = width / 2;
        ASSERT_EQ(mazeGrid.exitX, static_cast<uint32_t>(exitX));
        ASSERT_EQ(mazeGrid.exitY, static_cast<uint32_t>(exitY));
        ASSERT_EQ(mazeGrid.playerX, 2.0f);
        ASSERT_EQ(mazeGrid.playerY, static_cast<float>(width / 2));
        ASSERT_EQ(accepted, mazeGrid.mazeAccepted);

        int32_t starts = 0;
        int32_t exits = 0;
        bool exitNeighbourOpen = false;
        for (int32_t y = 0; y < width; ++y)
        {
            for (int32_t x = 0; x < length; ++x)
            {
                uint8_t cell = mazeGrid.cells[y][x];
                ASSERT_LE(cell, CELL_EXIT);
                starts += cell == CELL_START ? 1 : 0;
                exits += cell == CELL_EXIT ? 1 : 0;
                bool border = x == 0 || y == 0 || x == length - 1 || y == width - 1;
                ASSERT_TRUE(!border || cell == CELL_WALL) << "border " << x << "," << y;
                bool nearExit = std::abs(x - exitX) <= 1 && std::abs(y - exitY) <= 1;
                if (nearExit && (x != exitX || y != exitY) && cell != CELL_WALL)
                {
                    exitNeighbourOpen = true;
                }
            }
        }
        ASSERT_EQ(starts, 1);
        ASSERT_EQ(exits, 1);
        ASSERT_EQ(mazeGrid.cells[width / 2][2], CELL_START);
        ASSERT_EQ(mazeGrid.cells[exitY][exitX], CELL_EXIT);
        ASSERT_EQ(accepted, exitNeighbourOpen);

        // Corridors are one cell wide: an open 2 x 2 block can only come from joining the exit.
        for (int32_t y = 0; y + 1 < width; ++y)
        {
            for (int32_t x = 0; x + 1 < length; ++x)
            {
                if (IsOpen(x, y) && IsOpen(x + 1, y) && IsOpen(x, y + 1) && IsOpen(x + 1, y + 1))
                {
                    bool touchesExit = x + 1 >= exitX - 1 && x <= exitX + 1 && y + 1 >= exitY - 1 &&
                                       y <= exitY + 1;
                    ASSERT_TRUE(touchesExit) << "open block at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(MazeGeneratorTest, DifficultyBoundsEveryWalk)
{
    // Difficulty 9 lets a walk take 10 steps and no more; difficulty 10 sets no bound.
    FullScanMaze oracle;
    GenerateFullScanMaze(&oracle, 128, 128, 9, 99, true);
    EXPECT_EQ(oracle.longestWalk, 10);
    GenerateFullScanMaze(&oracle, 128, 128, 1, 99, true);
    EXPECT_EQ(oracle.longestWalk, 2);
    GenerateFullScanMaze(&oracle, 128, 128, 10, 99, true);
    EXPECT_GT(oracle.longestWalk, 11);
    // The game's generator makes the same mazes, so its walks are bounded alike.
    for (int32_t difficulty : {1, 9, 10})
    {
        GenerateFullScanMaze(&oracle, 128, 128, difficulty, 99, true);
        GenerateMaze(128, 128, difficulty, 99);
        EXPECT_EQ(DrawGrid(), DrawFullScanGrid(oracle)) << difficulty;
    }
}

TEST_F(MazeGeneratorTest, SmallerMazeLeavesTheRestOfTheGridAlone)
{
    GenerateMaze(64, 64, 3, 4242);
    MazeGrid before = mazeGrid;
    GenerateMaze(32, 16, 10, 674827);
    EXPECT_EQ(DrawGrid(), CAMPAIGN_MAZE_1);
    for (int32_t y = 0; y < MAZE_MAX_SIZE; ++y)
    {
        for (int32_t x = 0; x < MAZE_MAX_SIZE; ++x)
        {
            if (x >= 32 || y >= 16)
            {
                ASSERT_EQ(mazeGrid.cells[y][x], before.cells[y][x]) << x << "," << y;
            }
        }
    }
}

TEST_F(MazeGeneratorTest, ArgumentsOutsideTheRangeAreClamped)
{
    std::memset(mazeGrid.cells, 7, sizeof mazeGrid.cells);
    GenerateMaze(INT_MIN, INT_MAX, INT_MIN, 5);
    std::string clamped = DrawGrid();
    EXPECT_EQ(mazeGrid.mazeLength, 8.0f);
    EXPECT_EQ(mazeGrid.mazeWidth, 128.0f);
    // Only the clamped rectangle was written.
    EXPECT_EQ(mazeGrid.cells[0][8], 7);
    GenerateMaze(8, 128, 1, 5);
    EXPECT_EQ(DrawGrid(), clamped);

    GenerateMaze(129, 3, 11, 5);
    clamped = DrawGrid();
    EXPECT_EQ(mazeGrid.mazeLength, 128.0f);
    EXPECT_EQ(mazeGrid.mazeWidth, 8.0f);
    GenerateMaze(128, 8, 10, 5);
    EXPECT_EQ(DrawGrid(), clamped);
}

// An 8 x 8 maze of walls with its exit at (6, 4).
void MakeWalledMaze()
{
    mazeGrid = MazeGrid{};
    mazeGrid.mazeLength = 8.0f;
    mazeGrid.mazeWidth = 8.0f;
    mazeGrid.exitX = 6;
    mazeGrid.exitY = 4;
}

// The helpers the walker uses never look outside the maze, whoever calls them.
TEST_F(MazeGeneratorTest, HelpersStayInsideTheMaze)
{
    MakeWalledMaze();
    bool open[4];
    GetOpenDirections(1, 1, open); // up and left would carve the border
    EXPECT_TRUE(!open[DIR_UP] && open[DIR_RIGHT] && open[DIR_DOWN] && !open[DIR_LEFT]);
    GetOpenDirections(6, 6, open); // right and down likewise
    EXPECT_TRUE(open[DIR_UP] && !open[DIR_RIGHT] && !open[DIR_DOWN] && open[DIR_LEFT]);
    GetOpenDirections(-5, 300, open);
    EXPECT_FALSE(open[DIR_UP] || open[DIR_RIGHT] || open[DIR_DOWN] || open[DIR_LEFT]);
    EXPECT_FALSE(CanExtend(0, 4));

    // A walker beside the exit, or away from it, gets nothing opened; so does one of a maze
    // whose exit a file put outside the grid.
    MazeGrid before = mazeGrid;
    for (auto [x, y] : {std::pair{5, 4}, std::pair{6, 3}, std::pair{3, 3}, std::pair{-1, 200}})
    {
        ConnectExit(x, y);
    }
    mazeGrid.exitX = 4000000000u;
    ConnectExit(5, 3);
    EXPECT_FALSE(IsExitConnected());
    EXPECT_EQ(std::memcmp(mazeGrid.cells, before.cells, sizeof before.cells), 0);
}

TEST_F(MazeGeneratorTest, OracleMakesTheKnownMazes)
{
    FullScanMaze oracle;
    EXPECT_TRUE(GenerateFullScanMaze(&oracle, 32, 16, 10, 674827));
    EXPECT_EQ(DrawFullScanGrid(oracle), CAMPAIGN_MAZE_1);
    EXPECT_TRUE(GenerateFullScanMaze(&oracle, 20, 10, 1, 777));
    EXPECT_EQ(DrawFullScanGrid(oracle), SHORT_WALKS_MAZE);
    EXPECT_FALSE(GenerateFullScanMaze(&oracle, 32, 16, 10, 8314950));

    // Remembering blocked cells changes nothing.
    std::mt19937 pick(77);
    FullScanMaze remembering;
    for (int i = 0; i < 40; ++i)
    {
        int32_t length = 8 + static_cast<int32_t>(pick() % 57);
        int32_t width = 8 + static_cast<int32_t>(pick() % 57);
        int32_t difficulty = 1 + static_cast<int32_t>(pick() % 10);
        uint32_t seed = static_cast<uint32_t>(pick() | 1);
        GenerateFullScanMaze(&oracle, length, width, difficulty, seed, false);
        GenerateFullScanMaze(&remembering, length, width, difficulty, seed, true);
        ASSERT_EQ(DrawFullScanGrid(oracle), DrawFullScanGrid(remembering))
            << length << " " << width << " " << difficulty << " " << seed;
    }
}

// The game finds the next walk's start without scanning the maze; it must pick exactly the cell
// the full scan picks, every time, or the mazes part ways.
TEST_F(MazeGeneratorTest, MatchesTheFullScanEverywhere)
{
    std::mt19937 pick(1957);
    constexpr int32_t SIZES = MAZE_MAX_SIZE - MAZE_MIN_SIZE + 1;
    constexpr int32_t TUPLES = 2 * SIZES * 10; // each length and width twice per difficulty
    FullScanMaze oracle;
    for (int32_t i = 0; i < TUPLES; ++i)
    {
        int32_t length = MAZE_MIN_SIZE + i % SIZES;
        int32_t width = MAZE_MIN_SIZE + (i * 53 + i / SIZES) % SIZES;
        int32_t difficulty = 1 + (i / SIZES) % 10;
        uint32_t seed = static_cast<uint32_t>(pick());
        seed = seed != 0 ? seed : 1;
        if (i == 0)
        {
            length = 32; // a rejected maze, to compare a generation that never joins the exit
            width = 16;
            difficulty = 10;
            seed = 8314950;
        }
        SCOPED_TRACE(testing::Message()
                     << length << " " << width << " " << difficulty << " " << seed);
        bool accepted = GenerateMaze(length, width, difficulty, static_cast<int32_t>(seed));
        bool expected = GenerateFullScanMaze(&oracle, length, width, difficulty, seed, true);
        ASSERT_EQ(accepted, expected);
        ASSERT_EQ(mazeGrid.mazeAccepted, expected);
        ASSERT_EQ(mazeGrid.playerX, oracle.playerX);
        ASSERT_EQ(mazeGrid.playerY, oracle.playerY);
        ASSERT_EQ(mazeGrid.exitX, static_cast<uint32_t>(oracle.exitX));
        ASSERT_EQ(mazeGrid.exitY, static_cast<uint32_t>(oracle.exitY));
        for (int32_t y = 0; y < width; ++y)
        {
            ASSERT_EQ(std::memcmp(mazeGrid.cells[y], oracle.cells[y], length), 0) << "row " << y;
        }
    }
}

} // namespace
