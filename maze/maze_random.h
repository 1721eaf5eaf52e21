// The generator's own random source: a 32-bit linear congruential generator. The fixed campaign
// seeds give their five mazes only with exactly these constants, so nothing may stand in for it.
#pragma once

#include <cstdint>

struct MazeRandom
{
    uint32_t state = 1;
};

// Holds 1 at program start; every GenerateMaze seeds it before its first draw.
extern MazeRandom mazeRandom;

void SeedMazeRandom(uint32_t seed);
// The next value, 0 ... 32767 (bits 16 ... 30 of the new state).
int32_t NextMazeRandom();
