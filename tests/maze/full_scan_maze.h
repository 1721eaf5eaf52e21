// The maze generator written the straightforward way, the oracle the game's must match cell for
// cell: after every walk it scans the whole maze for the cells a new walk may start from. It has
// its own grid and random source, so a fault in the game's helpers cannot hide in both. Used by
// the tests and the benchmark.
//
// Checking every cell after every walk is slow under the sanitizers, so the tests let it remember
// the cells found blocked (cells only ever open, so a blocked cell stays blocked) and skip them.
// It still rescans every row, in row-major order, after every walk.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdlib>

struct FullScanMaze
{
    uint8_t cells[128][128]; // [row y][column x]
    int32_t length, width, exitX, exitY;
    float playerX, playerY;
    bool accepted;
    uint32_t random;
    bool rememberBlocked;
    uint64_t live[128][2]; // bit x % 64 of word x / 64: open cells not yet found blocked
};

inline int32_t NextFullScanRandom(FullScanMaze* maze)
{
    maze->random = maze->random * 214013u + 2531011u;
    return static_cast<int32_t>((maze->random >> 16) & 0x7FFF);
}

// Up, right, down, left: the step keeps off the border and the 2 x 3 cells it carves into and
// beside (columns x0 ... x1 of rows y0 ... y1, as offsets) are all walls.
inline bool CanFullScanStep(const FullScanMaze* maze, int32_t x, int32_t y, int32_t direction)
{
    const bool inside[4] = {y >= 2, x < maze->length - 2, y < maze->width - 2, x >= 2};
    const int32_t box[4][4] = {{-1, -2, 1, -1}, {1, -1, 2, 1}, {-1, 1, 1, 2}, {-2, -1, -1, 1}};
    const int32_t* b = box[direction];
    bool walls = inside[direction];
    for (int32_t dy = b[1]; walls && dy <= b[3]; ++dy)
    {
        for (int32_t dx = b[0]; walls && dx <= b[2]; ++dx)
        {
            walls = maze->cells[y + dy][x + dx] == 0;
        }
    }
    return walls;
}

inline bool CanFullScanExtend(const FullScanMaze* maze, int32_t x, int32_t y)
{
    return CanFullScanStep(maze, x, y, 0) || CanFullScanStep(maze, x, y, 1) ||
           CanFullScanStep(maze, x, y, 2) || CanFullScanStep(maze, x, y, 3);
}

inline void OpenFullScanCell(FullScanMaze* maze, int32_t x, int32_t y)
{
    maze->cells[y][x] = 1;
    maze->live[y][x / 64] |= uint64_t{1} << (x % 64);
}

// The first column from x on that may still be a candidate: any, or a live one.
inline int32_t NextFullScanColumn(const FullScanMaze* maze, int32_t y, int32_t x)
{
    for (; maze->rememberBlocked && x < 128; x = (x / 64 + 1) * 64)
    {
        uint64_t bits = maze->live[y][x / 64] >> (x % 64);
        if (bits != 0)
        {
            return x + std::countr_zero(bits);
        }
    }
    return x;
}

// Sizes 8 ... 128, difficulty 1 ... 10, seed not 0.
inline bool GenerateFullScanMaze(FullScanMaze* maze, int32_t length, int32_t width,
                                 int32_t difficulty, uint32_t seed, bool rememberBlocked = false)
{
    // The player starts on the left and the exit waits on the right, both in the middle row.
    *maze = {
        {},    length, width,           length - 2, width / 2, 2.0f, static_cast<float>(width / 2),
        false, seed,   rememberBlocked, {}};
    int32_t x = 2;
    int32_t y = width / 2;
    maze->cells[y][x] = 2;
    bool exitJoined = false;
    int32_t candidates[128 * 128];
    const int32_t stepX[4] = {0, 1, 0, -1};
    const int32_t stepY[4] = {-1, 0, 1, 0};
    for (;;)
    {
        for (int32_t steps = 1; CanFullScanExtend(maze, x, y); ++steps)
        {
            int32_t d = NextFullScanRandom(maze) % 4;
            while (!CanFullScanStep(maze, x, y, d))
            {
                d = NextFullScanRandom(maze) % 4;
            }
            x += stepX[d];
            y += stepY[d];
            OpenFullScanCell(maze, x, y);
            if (!exitJoined && std::abs(x - maze->exitX) <= 1 && std::abs(y - maze->exitY) <= 1)
            {
                // Diagonal to the exit: open the cell beside both, in the exit's column while the
                // row beyond is solid there and across the exit.
                int32_t farY = 2 * y - maze->exitY;
                int32_t farX = 2 * maze->exitX - x;
                if (x != maze->exitX && y != maze->exitY)
                {
                    bool solid =
                        maze->cells[farY][maze->exitX] == 0 && maze->cells[farY][farX] == 0;
                    OpenFullScanCell(maze, solid ? maze->exitX : x, solid ? y : maze->exitY);
                }
                exitJoined = true;
                OpenFullScanCell(maze, maze->exitX, maze->exitY);
                break;
            }
            if (difficulty != 10 && steps > difficulty)
            {
                break;
            }
        }
        int32_t count = 0;
        for (int32_t row = 1; row <= width - 2; ++row)
        {
            for (int32_t column = NextFullScanColumn(maze, row, 1); column <= length - 2;
                 column = NextFullScanColumn(maze, row, column + 1))
            {
                bool candidate = maze->cells[row][column] == 1 &&
                                 !(column == maze->exitX && row == maze->exitY) &&
                                 CanFullScanExtend(maze, column, row);
                if (candidate)
                {
                    candidates[count++] = row * 128 + column;
                }
                maze->live[row][column / 64] &= ~(uint64_t{!candidate} << (column % 64));
            }
        }
        if (count == 0)
        {
            break;
        }
        int32_t chosen = candidates[NextFullScanRandom(maze) % count];
        x = chosen % 128;
        y = chosen / 128;
    }
    maze->cells[maze->exitY][maze->exitX] = 3;
    for (int32_t i = 0; i < 9; ++i) // the exit's eight neighbours
    {
        maze->accepted |=
            i != 4 && maze->cells[maze->exitY + i / 3 - 1][maze->exitX + i % 3 - 1] != 0;
    }
    return maze->accepted;
}
