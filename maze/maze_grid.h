// The maze in memory: a fixed 128 x 128 grid of which mazeLength columns by mazeWidth rows are
// in use, the exit cell, the player's position, and the generator that fills it.
#pragma once

#include <cstdint>

constexpr int MAZE_MAX_SIZE = 128;
// The generator's range: sizes 8 ... 128, difficulty 1 ... 10 (10 = walks without a bound).
constexpr int MAZE_MIN_SIZE = 8;
constexpr int MAZE_MIN_DIFFICULTY = 1;
constexpr int MAZE_MAX_DIFFICULTY = 10;

enum CellValue : uint8_t
{
    CELL_WALL = 0,
    CELL_PATH = 1,
    CELL_START = 2,
    CELL_EXIT = 3,
};

struct MazeGrid
{
    uint8_t cells[MAZE_MAX_SIZE][MAZE_MAX_SIZE]; // [row y][column x]
    float mazeLength;                            // columns in use, a whole number
    float mazeWidth;                             // rows in use, a whole number
    uint32_t exitX;
    uint32_t exitY;
    float playerX; // in cells: x means standing exactly on column x
    float playerY;
    bool mazeAccepted = true;
};

// Zero-filled at program start (but for mazeAccepted); overwritten by every GenerateMaze and
// LoadMazeFile, the player moved by play. Tests reset it with `mazeGrid = MazeGrid{};`.
extern MazeGrid mazeGrid;

// Builds a maze of `length` columns by `width` rows. Seed 0 takes a fresh seed from the
// performance counter. Returns, and stores in mazeAccepted, whether the exit can be reached.
bool GenerateMaze(int32_t length, int32_t width, int32_t difficulty, int32_t seed);
// True when a side or corner neighbour of the exit cell is open.
bool IsExitConnected();

// The walker's directions; the numbers are drawn at random, so they are part of every maze.
enum MazeDirection
{
    DIR_UP = 0,    // row - 1
    DIR_RIGHT = 1, // column + 1
    DIR_DOWN = 2,  // row + 1
    DIR_LEFT = 3,  // column - 1
};

// Which directions the walker at (x, y) may carve into: the cell stepped into, its two side
// neighbours and the three cells beyond them are all walls, and the step stays off the border.
void GetOpenDirections(int32_t x, int32_t y, bool open[4]);
// At least one direction is open from (x, y).
bool CanExtend(int32_t x, int32_t y);
// Joins a walker that has just come within one cell of the exit, diagonals included: one that
// stands diagonal to it gets the cell between them opened, on the side that stays clear.
void ConnectExit(int32_t x, int32_t y);
