#include "maze/maze_random.h"

MazeRandom mazeRandom;

void SeedMazeRandom(uint32_t seed)
{
    mazeRandom.state = seed;
}

int32_t NextMazeRandom()
{
    mazeRandom.state = mazeRandom.state * 214013u + 2531011u; // wraps modulo 2^32
    return static_cast<int32_t>((mazeRandom.state >> 16) & 0x7FFFu);
}
