#include "tools/assets/image_noise.h"

#include <cmath>

namespace
{

int32_t Wrap(int32_t value, int32_t period)
{
    int32_t rest = value % period;
    return rest < 0 ? rest + period : rest;
}

double Fade(double x)
{
    return x * x * (3.0 - 2.0 * x);
}

} // namespace

uint32_t HashCell(int32_t x, int32_t y, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h = (h ^ (h >> 12)) * 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double HashUnit(int32_t x, int32_t y, uint32_t seed)
{
    return (HashCell(x, y, seed) >> 8) / 16777216.0;
}

double TiledNoise(double u, double v, int cellsU, int cellsV, uint32_t seed)
{
    double x = u * cellsU;
    double y = v * cellsV;
    double fx = std::floor(x);
    double fy = std::floor(y);
    int32_t x0 = static_cast<int32_t>(fx);
    int32_t y0 = static_cast<int32_t>(fy);
    double ax = Fade(x - fx);
    double ay = Fade(y - fy);
    auto corner = [&](int32_t dx, int32_t dy)
    { return HashUnit(Wrap(x0 + dx, cellsU), Wrap(y0 + dy, cellsV), seed); };
    double bottom = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * ax;
    double top = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * ax;
    return bottom + (top - bottom) * ay;
}

double TiledFractal(double u, double v, int cellsU, int cellsV, int octaves, uint32_t seed)
{
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    for (int octave = 0; octave < octaves; ++octave)
    {
        sum += TiledNoise(u, v, cellsU << octave, cellsV << octave, seed + octave * 101u) * weight;
        total += weight;
        weight *= 0.5;
    }
    return sum / total;
}

CellDistance TiledCells(double u, double v, int cells, uint32_t seed)
{
    double x = u * cells;
    double y = v * cells;
    int32_t cx = static_cast<int32_t>(std::floor(x));
    int32_t cy = static_cast<int32_t>(std::floor(y));
    CellDistance result = {1e9, 1e9, 0};
    for (int32_t dy = -2; dy <= 2; ++dy)
    {
        for (int32_t dx = -2; dx <= 2; ++dx)
        {
            int32_t ix = Wrap(cx + dx, cells);
            int32_t iy = Wrap(cy + dy, cells);
            double px = cx + dx + 0.1 + 0.8 * HashUnit(ix, iy, seed);
            double py = cy + dy + 0.1 + 0.8 * HashUnit(ix, iy, seed + 7u);
            double distance = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (distance < result.nearest)
            {
                result.second = result.nearest;
                result.nearest = distance;
                result.id = HashCell(ix, iy, seed + 13u);
            }
            else if (distance < result.second)
            {
                result.second = distance;
            }
        }
    }
    return result;
}
