// The maze in memory: a fixed 128 x 128 grid of which mazeLength columns by mazeWidth rows are
// in use, the exit cell, the player's position, and the generator that fills it.
#pragma once

#include <cstdint>

constexpr int MAZE_MAX_SIZE = 128;

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
