// The maze generator written the straightforward way, kept apart from the game's as the oracle
// that the game's must match cell for cell: after every walk it scans the whole maze for the
// cells a new walk may start from. It has its own grid and its own random source, so a fault
// in the game's shared helpers cannot hide in both. Used by the tests and the benchmark.
//
// Scanning every cell with every check is slow under the sanitizers, so the tests may let it
// remember the cells found blocked (cells only ever open, so a blocked cell stays blocked) and
// look at the others only. It still rescans every row, in row-major order, after every walk.
#pragma once

#include <cstdint>
#include <cstdlib>

struct FullScanMaze
{
    uint8_t cells[128][128]; // [row y][column x]
    int32_t length;
    int32_t width;
    int32_t exitX;
    int32_t exitY;
    float playerX;
    float playerY;
    bool accepted;
    uint32_t random;     // the generator's random state
    int32_t longestWalk; // the most steps one walk took
    bool rememberBlocked;
    uint64_t live[128][2]; // bit x % 64 of word x / 64: corridor cells not yet found blocked
    int32_t candidates[128 * 128];
};

inline int32_t NextFullScanRandom(FullScanMaze* maze)
{
    maze->random = maze->random * 214013u + 2531011u;
    return static_cast<int32_t>((maze->random >> 16) & 0x7FFF);
}

inline bool AreFullScanWalls(const FullScanMaze* maze, int32_t x0, int32_t y0, int32_t x1,
                             int32_t y1)
{
    for (int32_t y = y0; y <= y1; ++y)
    {
        for (int32_t x = x0; x <= x1; ++x)
        {
            if (maze->cells[y][x] != 0)
            {
                return false;
            }
        }
    }
    return true;
}

// Up, right, down, left.
inline void GetFullScanDirections(const FullScanMaze* maze, int32_t x, int32_t y, bool open[4])
{
    open[0] = y >= 2 && AreFullScanWalls(maze, x - 1, y - 2, x + 1, y - 1);
    open[1] = x < maze->length - 2 && AreFullScanWalls(maze, x + 1, y - 1, x + 2, y + 1);
    open[2] = y < maze->width - 2 && AreFullScanWalls(maze, x - 1, y + 1, x + 1, y + 2);
    open[3] = x >= 2 && AreFullScanWalls(maze, x - 2, y - 1, x - 1, y + 1);
}

inline bool CanFullScanExtend(const FullScanMaze* maze, int32_t x, int32_t y)
{
    bool open[4];
    GetFullScanDirections(maze, x, y, open);
    return open[0] || open[1] || open[2] || open[3];
}

inline bool IsFullScanCandidate(const FullScanMaze* maze, int32_t x, int32_t y)
{
    return maze->cells[y][x] == 1 && !(x == maze->exitX && y == maze->exitY) &&
           CanFullScanExtend(maze, x, y);
}

inline void OpenFullScanCell(FullScanMaze* maze, int32_t x, int32_t y)
{
    maze->cells[y][x] = 1;
    maze->live[y][x / 64] |= uint64_t{1} << (x % 64);
}

// Lists the candidates in row-major order; returns their count.
inline int32_t ScanFullScanCandidates(FullScanMaze* maze)
{
    int32_t count = 0;
    for (int32_t row = 1; row <= maze->width - 2; ++row)
    {
        if (maze->rememberBlocked)
        {
            for (int32_t word = 0; word < 2; ++word)
            {
                for (uint64_t bits = maze->live[row][word]; bits != 0; bits &= bits - 1)
                {
                    int32_t column = word * 64 + __builtin_ctzll(bits);
                    if (IsFullScanCandidate(maze, column, row))
                    {
                        maze->candidates[count++] = row * 128 + column;
                    }
                    else
                    {
                        maze->live[row][word] &= ~(uint64_t{1} << (column % 64));
                    }
                }
            }
            continue;
        }
        for (int32_t column = 1; column <= maze->length - 2; ++column)
        {
            if (IsFullScanCandidate(maze, column, row))
            {
                maze->candidates[count++] = row * 128 + column;
            }
        }
    }
    return count;
}

// Sizes 8 ... 128, difficulty 1 ... 10, seed not 0.
inline bool GenerateFullScanMaze(FullScanMaze* maze, int32_t length, int32_t width,
                                 int32_t difficulty, uint32_t seed, bool rememberBlocked = false)
{
    maze->rememberBlocked = rememberBlocked;
    maze->random = seed;
    maze->longestWalk = 0;
    maze->length = length;
    maze->width = width;
    maze->playerX = 2.0f;
    maze->playerY = static_cast<float>(width / 2);
    maze->exitX = length - 2;
    maze->exitY = width / 2;
    for (int32_t y = 0; y < width; ++y)
    {
        for (int32_t x = 0; x < length; ++x)
        {
            maze->cells[y][x] = 0;
        }
    }
    for (int32_t y = 0; y < 128; ++y)
    {
        maze->live[y][0] = 0;
        maze->live[y][1] = 0;
    }
    int32_t x = 2;
    int32_t y = width / 2;
    maze->cells[y][x] = 2;
    bool exitJoined = false;
    const int32_t stepX[4] = {0, 1, 0, -1};
    const int32_t stepY[4] = {-1, 0, 1, 0};
    for (;;)
    {
        int32_t steps = 0;
        bool joinedNow = false;
        for (;;)
        {
            if (!CanFullScanExtend(maze, x, y))
            {
                break;
            }
            bool open[4];
            GetFullScanDirections(maze, x, y, open);
            int32_t d = NextFullScanRandom(maze) % 4;
            while (!open[d])
            {
                d = NextFullScanRandom(maze) % 4;
            }
            x += stepX[d];
            y += stepY[d];
            OpenFullScanCell(maze, x, y);
            if (!exitJoined && std::abs(x - maze->exitX) <= 1 && std::abs(y - maze->exitY) <= 1)
            {
                if (x != maze->exitX && y != maze->exitY)
                {
                    int32_t farY = 2 * y - maze->exitY;
                    int32_t farX = 2 * maze->exitX - x;
                    if (maze->cells[farY][maze->exitX] == 0 && maze->cells[farY][farX] == 0)
                    {
                        OpenFullScanCell(maze, maze->exitX, y);
                    }
                    else
                    {
                        OpenFullScanCell(maze, x, maze->exitY);
                    }
                }
                exitJoined = true;
                OpenFullScanCell(maze, maze->exitX, maze->exitY);
                joinedNow = true;
            }
            ++steps;
            maze->longestWalk = steps > maze->longestWalk ? steps : maze->longestWalk;
            if (difficulty != 10 && steps > difficulty)
            {
                break;
            }
            if (joinedNow)
            {
                break;
            }
        }
        int32_t count = ScanFullScanCandidates(maze);
        if (count == 0)
        {
            break;
        }
        int32_t chosen = maze->candidates[NextFullScanRandom(maze) % count];
        x = chosen % 128;
        y = chosen / 128;
    }
    maze->cells[maze->exitY][maze->exitX] = 3;
    maze->accepted = false;
    for (int32_t dy = -1; dy <= 1; ++dy)
    {
        for (int32_t dx = -1; dx <= 1; ++dx)
        {
            if ((dx != 0 || dy != 0) && maze->cells[maze->exitY + dy][maze->exitX + dx] != 0)
            {
                maze->accepted = true;
            }
        }
    }
    return maze->accepted;
}
