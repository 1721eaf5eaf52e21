// The counter the generator's seed 0 reads: the same monotonic nanoseconds the platform's
// high-resolution counter gives the game, read without the window system so that the maze
// library and the maze tool link no desktop library. maze_clock.cpp (vortanai_maze_clock) is
// the real one; the tests link a scripted one. It keeps no state.
#pragma once

#include <cstdint>

int64_t ReadMazeClock();
