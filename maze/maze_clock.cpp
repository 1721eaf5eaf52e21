#include "maze/maze_clock.h"

#include <time.h>

int64_t ReadMazeClock()
{
    // The clock SDL's performance counter reads on Linux, in the same unit.
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}
