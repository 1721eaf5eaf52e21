#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "tests/maze/full_scan_maze.h"
#include "tests/support/fake_system.h"
#include "tests/support/maze_paths.h"
#include "tests/support/test_files.h"

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

// length x width cells, one row of digits after another, each ended by `end`.
std::string Rows(const uint8_t (*cells)[MAZE_MAX_SIZE], int32_t length, int32_t width,
                 char end = '\n')
{
    std::string rows;
    for (int32_t y = 0; y < width; ++y)
    {
        for (int32_t x = 0; x < length; ++x)
        {
            rows += static_cast<char>('0' + cells[y][x]);
        }
        rows += end;
    }
    return rows;
}

std::string GameRows()
{
    return Rows(mazeGrid.cells, static_cast<int32_t>(mazeGrid.mazeLength),
                static_cast<int32_t>(mazeGrid.mazeWidth));
}

FullScanMaze oracle;

// A grid every byte of which is 7, with a player and an exit no file sets by accident.
void FillGrid()
{
    mazeGrid = MazeGrid{{}, 5.0f, 6.0f, 13, 14, 11.0f, 12.0f, true};
    std::memset(mazeGrid.cells, 7, sizeof mazeGrid.cells);
}

bool LoadText(const std::string& text)
{
    WriteTestFile("vortanai/test_maze.txt", text);
    return LoadMazeFile("vortanai/test_maze.txt");
}

// The cells one column and one row past the sizes read, so that anything written beyond them
// shows, rows ended by '/'; then the player and the exit.
std::string Stored()
{
    auto past = [](float size)
    { return std::min(MAZE_MAX_SIZE, static_cast<int32_t>(std::ceil(size)) + 1); };
    return Rows(mazeGrid.cells, past(mazeGrid.mazeLength), past(mazeGrid.mazeWidth), '/') +
           testing::PrintToString(
               std::tuple(mazeGrid.playerX, mazeGrid.playerY, mazeGrid.exitX, mazeGrid.exitY));
}

} // namespace

TEST(MazeGenerator, KnownSeedsGiveTheirMazesExactly)
{
    ResetFakeSystem();
    struct Known
    {
        int32_t length, width, difficulty, seed;
        const char* rows;
    };
    const Known known[] = {{32, 16, 10, 674827, CAMPAIGN_MAZE_1},
                           {20, 10, 1, 777, SHORT_WALKS_MAZE}};
    for (const Known& k : known)
    {
        EXPECT_TRUE(GenerateMaze(k.length, k.width, k.difficulty, k.seed));
        EXPECT_EQ(GameRows(), k.rows);
        // The oracle's plain full scan, as the benchmark runs it, makes them too.
        GenerateFullScanMaze(&oracle, k.length, k.width, k.difficulty,
                             static_cast<uint32_t>(k.seed));
        EXPECT_EQ(Rows(oracle.cells, k.length, k.width), k.rows);
    }
    EXPECT_FALSE(GenerateMaze(32, 16, 10, 8314950)); // its exit cannot be reached
    EXPECT_FALSE(mazeGrid.mazeAccepted);
    // Seed 0 takes the low word of the performance counter.
    fakeSystem.counter = (int64_t{0x1234} << 32) + 674827;
    GenerateMaze(32, 16, 10, 0);
    EXPECT_EQ(GameRows(), CAMPAIGN_MAZE_1);
}

// Each call's arguments clamped give the same maze as the range's ends, and nothing is written
// beyond the clamped size.
TEST(MazeGenerator, ArgumentsOutsideTheRangeAreClamped)
{
    const int32_t cases[][6] = {{INT_MIN, INT_MAX, INT_MIN, 8, 128, 1}, {129, 3, 11, 128, 8, 10}};
    for (const auto& c : cases)
    {
        std::memset(mazeGrid.cells, 7, sizeof mazeGrid.cells);
        GenerateMaze(c[0], c[1], c[2], 5);
        std::string clamped = GameRows() + Rows(mazeGrid.cells, MAZE_MAX_SIZE, MAZE_MAX_SIZE);
        GenerateMaze(c[3], c[4], c[5], 5);
        EXPECT_EQ(GameRows() + Rows(mazeGrid.cells, MAZE_MAX_SIZE, MAZE_MAX_SIZE), clamped);
    }
}

// The walker's helpers never look outside the maze, whoever calls them, and a walker that is
// not diagonal to the exit gets nothing opened.
TEST(MazeGenerator, HelpersStayInsideTheMaze)
{
    mazeGrid = MazeGrid{{}, 8.0f, 8.0f, 6, 4, 0.0f, 0.0f}; // the exit at (6, 4)
    bool open[4];
    GetOpenDirections(1, 1, open); // up and left would carve the border
    EXPECT_TRUE(!open[DIR_UP] && open[DIR_RIGHT] && open[DIR_DOWN] && !open[DIR_LEFT]);
    GetOpenDirections(6, 6, open);
    EXPECT_TRUE(open[DIR_UP] && !open[DIR_RIGHT] && !open[DIR_DOWN] && open[DIR_LEFT]);
    EXPECT_FALSE(CanExtend(-5, 300));

    ConnectExit(5, 4);
    ConnectExit(6, 3);
    ConnectExit(3, 3);
    mazeGrid.exitX = 4000000000u; // only a file can put it there
    EXPECT_FALSE(IsExitConnected());
    EXPECT_EQ(std::memcmp(mazeGrid.cells, MazeGrid{}.cells, sizeof mazeGrid.cells), 0);
}

// The game finds the next walk's start without scanning the maze; it must pick exactly the cell
// the full scan picks, every time, or the mazes part ways. Every length and every width comes
// twice per difficulty.
TEST(MazeGenerator, MatchesTheFullScanEverywhere)
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
        bool oracleAccepted = GenerateFullScanMaze(&oracle, length, width, difficulty, seed, true);
        ASSERT_EQ(std::tuple(accepted, mazeGrid.mazeAccepted, GameRows(), mazeGrid.playerX,
                             mazeGrid.playerY, mazeGrid.exitX, mazeGrid.exitY),
                  std::tuple(oracleAccepted, oracleAccepted, Rows(oracle.cells, length, width),
                             oracle.playerX, oracle.playerY, uint32_t(oracle.exitX),
                             uint32_t(oracle.exitY)));
    }
}

TEST(MazeFile, EdgeCasesReadAsTheGameReadsThem)
{
    const std::string walls128 = std::string(128, '0') + "/" + std::string(128, '7');
    const std::string unmoved = "/(11, 12, 13, 14)";
    struct Case
    {
        std::string text, stored;
    };
    const Case cases[] = {
        // The low 8 bits of each value: 258 is a start, -253 an exit, 256 a wall, 386 none.
        {"5 1\r\n258 -253 256 1 386\r\n", "2301\xB2"
                                          "7/777777/(0, 0, 1, 0)"},
        // Sizes read as floating point; once a read fails the last value repeats to the end.
        {"32.0 1\r\n2 3",
         "2" + std::string(31, '3') + "7/" + std::string(33, '7') + "/(0, 0, 31, 0)"},
        {"4 2\r\n1 0 2", "10227/22227/77777/(3, 1, 13, 14)"},
        {"4 1\r\n1 3 x 1", "13337/77777/(11, 12, 3, 0)"},
        // A size that is not whole reads while the index is below it.
        {"2.5 1.2\r\n1 2 1\r\n1 3 1\r\n9", "1217/1317/7777/(1, 0, 1, 1)"},
        // Layout carries no meaning; the last start and exit win.
        {"3\n2\t2 3\n2 3 1 0", "2327/3107/7777/(2, 0, 0, 1)"},
        // Nothing before the first cell: walls. Sizes 0 read no cell.
        {"4 2\r\n", "00007/00007/77777" + unmoved},
        {"128 1", walls128 + unmoved},
        {"0 0\r\n2 3", "7" + unmoved},
    };
    for (const Case& c : cases)
    {
        FillGrid();
        EXPECT_TRUE(LoadText(c.text)) << c.text;
        EXPECT_EQ(Stored(), c.stored) << c.text;
    }
}

TEST(MazeFile, FilesThatCannotBeReadLeaveTheMazeAsItWas)
{
    // Sizes the grid cannot hold, or no sizes at all, refuse the whole file.
    const char* const refused[] = {"129 8\r\n2 3", "8 129\r\n2 3",  "128.5 8", "-1 8\r\n2 3",
                                   "8 -0.5",       "1e999 8",       "nan 8",   "8 inf",
                                   "8 1e3",        "99999999999 8", "",        "8",
                                   "x 8"};
    FillGrid();
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
TEST(MazeFile, TheIntroMazeHasOneStartAndAWayToTheExit)
{
    mazeGrid = MazeGrid{};
    ASSERT_TRUE(LoadMazeFile(SourcePath("data/vortanai/intro.txt").c_str()));
    EXPECT_EQ(std::count(&mazeGrid.cells[0][0], &mazeGrid.cells[0][0] + sizeof mazeGrid.cells,
                         CELL_START),
              1);
    EXPECT_GE(CountStepsToExit(), 0);
}
