// Deterministic noise for the atlases: an integer hash of our own, and value noise and cell
// patterns that repeat every whole unit, so a face's pattern meets itself at the block's edges.
#pragma once

#include <cstdint>

uint32_t HashCell(int32_t x, int32_t y, uint32_t seed);
// The hash as a number in [0, 1).
double HashUnit(int32_t x, int32_t y, uint32_t seed);
// Value noise in [0, 1) over a lattice of `cellsU` x `cellsV` cells per unit that wraps at 1.
double TiledNoise(double u, double v, int cellsU, int cellsV, uint32_t seed);
// Octaves of TiledNoise, each with twice the cells and half the weight, in [0, 1).
double TiledFractal(double u, double v, int cellsU, int cellsV, int octaves, uint32_t seed);

// Nearest and second-nearest distances to scattered points, one per cell of a `cells` x `cells`
// lattice that wraps at 1, and the id of the nearest point's cell.
struct CellDistance
{
    double nearest;
    double second;
    uint32_t id;
};
CellDistance TiledCells(double u, double v, int cells, uint32_t seed);
