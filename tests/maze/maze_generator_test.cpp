#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

#include "maze/maze_grid.h"
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

// length x width cells, one line of digits per row.
std::string Rows(const uint8_t (*cells)[MAZE_MAX_SIZE], int32_t length, int32_t width)
{
    std::string rows;
    for (int32_t y = 0; y < width; ++y)
    {
        for (int32_t x = 0; x < length; ++x)
        {
            rows += static_cast<char>('0' + cells[y][x]);
        }
        rows += '\n';
    }
    return rows;
}

std::string GameRows()
{
    return Rows(mazeGrid.cells, static_cast<int32_t>(mazeGrid.mazeLength),
                static_cast<int32_t>(mazeGrid.mazeWidth));
}

class MazeGeneratorTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        mazeGrid = MazeGrid{};
    }

    FullScanMaze oracle;
};

TEST_F(MazeGeneratorTest, KnownSeedsGiveTheirMazesExactly)
{
    EXPECT_TRUE(GenerateMaze(32, 16, 10, 674827));
    EXPECT_EQ(GameRows(), CAMPAIGN_MAZE_1);
    EXPECT_EQ(std::tuple(mazeGrid.playerX, mazeGrid.playerY, mazeGrid.exitX, mazeGrid.exitY),
              std::tuple(2.0f, 8.0f, 30u, 8u));
    EXPECT_TRUE(GenerateMaze(20, 10, 1, 777));
    EXPECT_EQ(GameRows(), SHORT_WALKS_MAZE);
    EXPECT_FALSE(GenerateMaze(32, 16, 10, 8314950)); // its exit cannot be reached
    EXPECT_FALSE(mazeGrid.mazeAccepted);

    // Seed 0 takes the low word of the performance counter.
    fakeSystem.counter = (int64_t{0x1234} << 32) + 674827;
    GenerateMaze(32, 16, 10, 0);
    EXPECT_EQ(GameRows(), CAMPAIGN_MAZE_1);

    // The oracle's plain full scan, as the benchmark runs it, makes them too.
    GenerateFullScanMaze(&oracle, 32, 16, 10, 674827);
    EXPECT_EQ(Rows(oracle.cells, 32, 16), CAMPAIGN_MAZE_1);
    GenerateFullScanMaze(&oracle, 20, 10, 1, 777);
    EXPECT_EQ(Rows(oracle.cells, 20, 10), SHORT_WALKS_MAZE);
}

TEST_F(MazeGeneratorTest, ArgumentsOutsideTheRangeAreClamped)
{
    std::memset(mazeGrid.cells, 7, sizeof mazeGrid.cells);
    GenerateMaze(INT_MIN, INT_MAX, INT_MIN, 5);
    std::string clamped = GameRows();
    EXPECT_EQ(mazeGrid.cells[0][8], 7); // nothing written beyond the clamped size
    GenerateMaze(8, 128, 1, 5);
    EXPECT_EQ(GameRows(), clamped);

    GenerateMaze(129, 3, 11, 5);
    clamped = GameRows();
    GenerateMaze(128, 8, 10, 5);
    EXPECT_EQ(GameRows(), clamped);
}

// The walker's helpers never look outside the maze, whoever calls them, and a walker that is
// not diagonal to the exit gets nothing opened.
TEST_F(MazeGeneratorTest, HelpersStayInsideTheMaze)
{
    mazeGrid.mazeLength = 8.0f;
    mazeGrid.mazeWidth = 8.0f;
    bool open[4];
    GetOpenDirections(1, 1, open); // up and left would carve the border
    EXPECT_TRUE(!open[DIR_UP] && open[DIR_RIGHT] && open[DIR_DOWN] && !open[DIR_LEFT]);
    GetOpenDirections(6, 6, open);
    EXPECT_TRUE(open[DIR_UP] && !open[DIR_RIGHT] && !open[DIR_DOWN] && open[DIR_LEFT]);
    EXPECT_FALSE(CanExtend(-5, 300));

    mazeGrid.exitX = 6;
    mazeGrid.exitY = 4;
    for (const auto& walker : {std::array{5, 4}, std::array{6, 3}, std::array{3, 3}})
    {
        ConnectExit(walker[0], walker[1]);
    }
    mazeGrid.exitX = 4000000000u; // only a file can put it there
    EXPECT_FALSE(IsExitConnected());
    EXPECT_EQ(std::memcmp(mazeGrid.cells, MazeGrid{}.cells, sizeof mazeGrid.cells), 0);
}

// The game finds the next walk's start without scanning the maze; it must pick exactly the cell
// the full scan picks, every time, or the mazes part ways. Every length and every width comes
// twice per difficulty.
TEST_F(MazeGeneratorTest, MatchesTheFullScanEverywhere)
{
    std::mt19937 pick(1957);
    constexpr int32_t SIZES = MAZE_MAX_SIZE - MAZE_MIN_SIZE + 1;
    for (int32_t i = 0; i < 2 * SIZES * 10; ++i)
    {
        int32_t length = MAZE_MIN_SIZE + i % SIZES;
        int32_t width = MAZE_MIN_SIZE + (i * 53 + i / SIZES) % SIZES;
        int32_t difficulty = 1 + (i / SIZES) % 10;
        uint32_t seed = static_cast<uint32_t>(pick()) % UINT32_MAX + 1; // never 0
        SCOPED_TRACE(testing::Message()
                     << length << " " << width << " " << difficulty << " " << seed);
        bool accepted = GenerateMaze(length, width, difficulty, static_cast<int32_t>(seed));
        ASSERT_EQ(accepted, GenerateFullScanMaze(&oracle, length, width, difficulty, seed, true));
        ASSERT_EQ(GameRows(), Rows(oracle.cells, length, width));
        ASSERT_EQ(std::tuple(mazeGrid.playerX, mazeGrid.playerY, mazeGrid.exitX, mazeGrid.exitY),
                  std::tuple(oracle.playerX, oracle.playerY, static_cast<uint32_t>(oracle.exitX),
                             static_cast<uint32_t>(oracle.exitY)));
        ASSERT_EQ(mazeGrid.mazeAccepted, accepted);
    }
}

} // namespace
