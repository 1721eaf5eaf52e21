#include "bench/immediate_maze.h"

#include <GL/gl.h>
#include <cmath>

#include "flow/game_state.h"
#include "maze/maze_grid.h"
#include "maze/maze_render.h"

namespace
{

// Translates to the maze's origin and walks it, each wall cell drawn by `drawCell` at its
// block's lower corner; the modelview is left at the origin.
template <typename DrawCell> void WalkWalls(DrawCell drawCell)
{
    glTranslatef(-mazeGrid.mazeLength * 0.5f, mazeGrid.mazeWidth * 0.5f - 1.0f, 0.0f);
    glPushMatrix();
    for (int y = 0; y < mazeGrid.mazeWidth; ++y)
    {
        for (int x = 0; x < mazeGrid.mazeLength; ++x)
        {
            if (x < MAZE_MAX_SIZE && y < MAZE_MAX_SIZE && mazeGrid.cells[y][x] == CELL_WALL)
            {
                drawCell(x, y);
            }
            glTranslatef(CELL_SIZE, 0.0f, 0.0f);
        }
        glTranslatef(-mazeGrid.mazeLength, -CELL_SIZE, 0.0f);
    }
    glPopMatrix();
}

void DrawFlyingImmediately(double reachScale)
{
    double angle = gameState.phaseClock * 0.6666667 * 3.14159265;
    WalkWalls(
        [=](int x, int y)
        {
            double k = (x + y) % 10;
            double reach =
                reachScale * ((mazeGrid.mazeLength * 0.5 - x) * k + (mazeGrid.mazeWidth * 0.5 - y));
            glPushMatrix();
            glTranslatef(static_cast<float>(std::cos(angle) * reach),
                         static_cast<float>(std::sin(angle) * reach), 0.0f);
            DrawWallBlock();
            glPopMatrix();
        });
}

} // namespace

void DrawMazeImmediately()
{
    WalkWalls([](int, int) { DrawWallBlock(); });
    DrawMazeMarkers();
}

void DrawMazeAssemblingImmediately()
{
    DrawFlyingImmediately(3.0 - gameState.phaseClock);
}

void DrawMazeScatteringImmediately()
{
    DrawFlyingImmediately(gameState.phaseClock);
}
