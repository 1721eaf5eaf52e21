// The ways through the maze in memory, for tests that walk it: how many side steps a cell is from
// one next to the exit, diagonals included.
#pragma once

#include <cstdint>

#include "maze/maze_grid.h"

// The cell a coordinate stands nearest to, as the game's movement rounds it.
int32_t NearestCell(float coordinate);
// Side steps from the cell (x, y) to one next to the exit; -1 for a wall or a cell with no way.
int32_t CountStepsFrom(int32_t x, int32_t y);
// The same from the player's cell.
int32_t CountStepsToExit();
