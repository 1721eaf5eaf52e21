// The maze file reader on any file: a file it refuses leaves the maze in memory untouched; a
// file it takes fills only the rectangle it declares, which fits the grid, and puts the player
// and the exit only on cells inside it.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "flow/campaign.h"
#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "tests/fuzz/fuzz_support.h"

namespace
{

constexpr uint8_t UNTOUCHED = 0xAB;

MazeGrid before;

// A maze in memory as the last one played could leave it.
void FillGrid()
{
    mazeGrid = MazeGrid{};
    std::memset(mazeGrid.cells, UNTOUCHED, sizeof mazeGrid.cells);
    mazeGrid.mazeLength = 40.0f;
    mazeGrid.mazeWidth = 20.0f;
    mazeGrid.playerX = 1.0f;
    mazeGrid.playerY = 2.0f;
    mazeGrid.exitX = 38;
    mazeGrid.exitY = 18;
    mazeGrid.mazeAccepted = true;
    std::memcpy(&before, &mazeGrid, sizeof before);
}

bool IsInRectangle(double x, double y)
{
    return x >= 0.0 && y >= 0.0 && x < mazeGrid.mazeLength && y < mazeGrid.mazeWidth;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnterScratchDirectory("maze");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile(BACKGROUND_MAZE_PATH, data, size);
    FillGrid();
    if (!LoadMazeFile(BACKGROUND_MAZE_PATH))
    {
        if (std::memcmp(&before, &mazeGrid, sizeof before) != 0)
        {
            std::abort(); // a refused file changed the maze
        }
        return 0;
    }
    if (!(mazeGrid.mazeLength >= 0.0f && mazeGrid.mazeLength <= MAZE_MAX_SIZE &&
          mazeGrid.mazeWidth >= 0.0f && mazeGrid.mazeWidth <= MAZE_MAX_SIZE) ||
        mazeGrid.mazeAccepted != before.mazeAccepted)
    {
        std::abort();
    }
    for (int y = 0; y < MAZE_MAX_SIZE; ++y)
    {
        for (int x = 0; x < MAZE_MAX_SIZE; ++x)
        {
            if (!IsInRectangle(x, y) && mazeGrid.cells[y][x] != UNTOUCHED)
            {
                std::abort(); // written outside the declared maze
            }
        }
    }
    bool playerMoved = mazeGrid.playerX != before.playerX || mazeGrid.playerY != before.playerY;
    if (playerMoved &&
        (!IsInRectangle(mazeGrid.playerX, mazeGrid.playerY) ||
         mazeGrid.cells[static_cast<int>(mazeGrid.playerY)][static_cast<int>(mazeGrid.playerX)] !=
             CELL_START))
    {
        std::abort();
    }
    bool exitMoved = mazeGrid.exitX != before.exitX || mazeGrid.exitY != before.exitY;
    if (exitMoved && (!IsInRectangle(mazeGrid.exitX, mazeGrid.exitY) ||
                      mazeGrid.cells[mazeGrid.exitY][mazeGrid.exitX] != CELL_EXIT))
    {
        std::abort();
    }
    return 0;
}
