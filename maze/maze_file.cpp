#include "maze/maze_file.h"

#include <cmath>

#include "maze/maze_grid.h"
#include "text/text_file.h"

namespace
{

// A size the grid can hold: whole or not, 0 ... 128 (the cells are read while the index is
// below it, so 127.5 reads 128 columns and nothing past the grid).
bool IsSizeInGrid(double size)
{
    return std::isfinite(size) && size >= 0.0 && size <= MAZE_MAX_SIZE;
}

} // namespace

bool LoadMazeFile(const char* path)
{
    TextFile text;
    if (!OpenTextFile(&text, path))
    {
        return false;
    }
    // Both sizes are checked before anything is stored: a file without them, or whose maze would
    // not fit the grid, is refused as a whole and the maze in memory stays as it was.
    double length = 0.0;
    double width = 0.0;
    bool sizesRead = ReadTextFloat(&text, &length) && ReadTextFloat(&text, &width);
    if (!sizesRead || !IsSizeInGrid(length) || !IsSizeInGrid(width))
    {
        CloseTextFile(&text);
        return false;
    }
    mazeGrid.mazeLength = static_cast<float>(length);
    mazeGrid.mazeWidth = static_cast<float>(width);

    // Once a read fails every later one does, and the remaining cells repeat the last value read;
    // a file that ends before its first cell gives walls.
    int32_t value = CELL_WALL;
    for (int32_t y = 0; static_cast<float>(y) < mazeGrid.mazeWidth; ++y)
    {
        for (int32_t x = 0; static_cast<float>(x) < mazeGrid.mazeLength; ++x)
        {
            ReadTextInt(&text, &value);
            uint8_t cell = static_cast<uint8_t>(value & 0xFF);
            mazeGrid.cells[y][x] = cell;
            if (cell == CELL_START)
            {
                mazeGrid.playerX = static_cast<float>(x);
                mazeGrid.playerY = static_cast<float>(y);
            }
            else if (cell == CELL_EXIT)
            {
                mazeGrid.exitX = static_cast<uint32_t>(x);
                mazeGrid.exitY = static_cast<uint32_t>(y);
            }
        }
    }
    CloseTextFile(&text);
    return true;
}
