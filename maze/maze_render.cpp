#include "maze/maze_render.h"

#include <GL/gl.h>
#include <cmath>

#include "flow/game_state.h"
#include "maze/maze_grid.h"
#include "resources/texture_list.h"

namespace
{

// Atlas quadrants, inset from every quadrant edge so neighbours never bleed in.
constexpr float ATLAS_LOW = 0.01f;
constexpr float ATLAS_MIDDLE = 0.49f;
constexpr float ATLAS_HIGH = 0.99f;
constexpr float SIGN_LOW = 0.51f;

// Half the marker's base; the base floats at 2h and the apex rises to 4h.
constexpr float MARKER_HALF = CELL_SIZE * 0.5f - 0.1f;
constexpr float EXIT_INSET = 0.1f;

void SendCorner(float x, float y, float z, float s, float t)
{
    glTexCoord2f(s, t);
    glVertex3f(x, y, z);
}

// The five outer faces of a box (no bottom), wound counter-clockwise seen from outside: the top
// from the top-left quadrant, the faces toward -Y and +Y from the bottom-left one, the faces
// toward -X and +X from the bottom-right one.
void DrawBoxFaces(float x0, float y0, float x1, float y1, float z0, float z1)
{
    glBegin(GL_QUADS);
    SendCorner(x0, y0, z1, ATLAS_LOW, ATLAS_MIDDLE);
    SendCorner(x1, y0, z1, ATLAS_MIDDLE, ATLAS_MIDDLE);
    SendCorner(x1, y1, z1, ATLAS_MIDDLE, ATLAS_HIGH);
    SendCorner(x0, y1, z1, ATLAS_LOW, ATLAS_HIGH);

    SendCorner(x0, y0, z0, ATLAS_LOW, ATLAS_LOW);
    SendCorner(x1, y0, z0, ATLAS_MIDDLE, ATLAS_LOW);
    SendCorner(x1, y0, z1, ATLAS_MIDDLE, ATLAS_MIDDLE);
    SendCorner(x0, y0, z1, ATLAS_LOW, ATLAS_MIDDLE);

    SendCorner(x1, y1, z0, ATLAS_LOW, ATLAS_LOW);
    SendCorner(x0, y1, z0, ATLAS_MIDDLE, ATLAS_LOW);
    SendCorner(x0, y1, z1, ATLAS_MIDDLE, ATLAS_MIDDLE);
    SendCorner(x1, y1, z1, ATLAS_LOW, ATLAS_MIDDLE);

    SendCorner(x0, y1, z0, ATLAS_MIDDLE, ATLAS_LOW);
    SendCorner(x0, y0, z0, ATLAS_HIGH, ATLAS_LOW);
    SendCorner(x0, y0, z1, ATLAS_HIGH, ATLAS_MIDDLE);
    SendCorner(x0, y1, z1, ATLAS_MIDDLE, ATLAS_MIDDLE);

    SendCorner(x1, y0, z0, ATLAS_MIDDLE, ATLAS_LOW);
    SendCorner(x1, y1, z0, ATLAS_HIGH, ATLAS_LOW);
    SendCorner(x1, y1, z1, ATLAS_HIGH, ATLAS_MIDDLE);
    SendCorner(x1, y0, z1, ATLAS_MIDDLE, ATLAS_MIDDLE);
    glEnd();
}

void TranslateToOrigin()
{
    glTranslatef(-mazeGrid.mazeLength * 0.5f, mazeGrid.mazeWidth * 0.5f - 1.0f, 0.0f);
}

// Only cells inside the grid's storage are looked at, whatever size the maze claims.
bool IsWallCell(int x, int y)
{
    return x < MAZE_MAX_SIZE && y < MAZE_MAX_SIZE && mazeGrid.cells[y][x] == CELL_WALL;
}

// Walks the rows and columns as the rest picture does, handing each wall cell to `drawCell`
// with the modelview at the cell's lower corner.
template <typename DrawCell> void WalkWalls(DrawCell drawCell)
{
    for (int y = 0; y < mazeGrid.mazeWidth; ++y)
    {
        for (int x = 0; x < mazeGrid.mazeLength; ++x)
        {
            if (IsWallCell(x, y))
            {
                drawCell(x, y);
            }
            glTranslatef(CELL_SIZE, 0.0f, 0.0f);
        }
        glTranslatef(-mazeGrid.mazeLength, -CELL_SIZE, 0.0f);
    }
}

// How far a flying block stands from its place along the spiral: neighbouring diagonals travel
// very different distances.
double SpiralReach(int x, int y)
{
    double k = (x + y) % 10;
    return (mazeGrid.mazeLength * 0.5 - x) * k + (mazeGrid.mazeWidth * 0.5 - y);
}

// A third of a turn a second.
double SpiralAngle(double seconds)
{
    return seconds * 0.6666667 * 3.14159265;
}

void DrawDisplacedBlock(double dx, double dy)
{
    glPushMatrix();
    glTranslatef(static_cast<float>(dx), static_cast<float>(dy), 0.0f);
    DrawWallBlock();
    glPopMatrix();
}

} // namespace

void DrawMaze()
{
    TranslateToOrigin();
    glPushMatrix();
    WalkWalls([](int, int) { DrawWallBlock(); });
    glPopMatrix();

    glPushMatrix();
    glTranslatef(mazeGrid.playerX + 0.5f, 0.5f - mazeGrid.playerY, 0.0f);
    glRotatef(static_cast<float>(gameState.phaseClock * 100.0), 0.0f, 0.0f, 1.0f);
    DrawPlayerMarker();
    glPopMatrix();

    glPushMatrix();
    glTranslatef(static_cast<float>(mazeGrid.exitX), -static_cast<float>(mazeGrid.exitY), 0.0f);
    DrawExitMarker();
    glPopMatrix();
}

void DrawMazeAssembling()
{
    double t = gameState.phaseClock;
    double angle = SpiralAngle(t);
    TranslateToOrigin();
    glPushMatrix();
    WalkWalls(
        [=](int x, int y)
        {
            double reach = (3.0 - t) * SpiralReach(x, y);
            DrawDisplacedBlock(std::cos(angle) * reach, std::sin(angle) * reach);
        });
    glPopMatrix();
}

void DrawMazeScattering()
{
    double t = gameState.phaseClock;
    double angle = SpiralAngle(t);
    TranslateToOrigin();
    glPushMatrix();
    WalkWalls(
        [=](int x, int y)
        {
            double reach = SpiralReach(x, y) * t;
            DrawDisplacedBlock(std::cos(angle) * reach, std::sin(angle) * reach);
        });
    glPopMatrix();
}

void DrawWallBlock()
{
    DrawBoxFaces(0.0f, 0.0f, CELL_SIZE, CELL_SIZE, 0.0f, CELL_SIZE);
}

void DrawPlayerMarker()
{
    constexpr float h = MARKER_HALF;
    constexpr float corners[4][4] = {
        {-h, -h, 0.0f, 0.0f}, {h, -h, 1.0f, 0.0f}, {h, h, 1.0f, 1.0f}, {-h, h, 0.0f, 1.0f}};
    glBindTexture(GL_TEXTURE_2D, textureIds[TEX_PLAYER_MARKER]);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 4; ++i)
    {
        const float* from = corners[i];
        const float* to = corners[(i + 1) % 4];
        SendCorner(from[0], from[1], 2.0f * h, from[2], from[3]);
        SendCorner(to[0], to[1], 2.0f * h, to[2], to[3]);
        SendCorner(0.0f, 0.0f, 4.0f * h, 0.5f, 0.5f);
    }
    glEnd();
}

void DrawExitMarker()
{
    constexpr float low = EXIT_INSET;
    constexpr float high = CELL_SIZE - EXIT_INSET;
    constexpr float plateY = CELL_SIZE * 0.5f;
    glBindTexture(GL_TEXTURE_2D, textureIds[TEX_EXIT_MARKER]);
    DrawBoxFaces(low, low, high, high, 0.0f, CELL_SIZE);
    // The sign stands on the box, once per side so it shows from both.
    glBegin(GL_QUADS);
    SendCorner(low, plateY, 1.0f, SIGN_LOW, SIGN_LOW);
    SendCorner(high, plateY, 1.0f, ATLAS_HIGH, SIGN_LOW);
    SendCorner(high, plateY, 2.0f, ATLAS_HIGH, ATLAS_HIGH);
    SendCorner(low, plateY, 2.0f, SIGN_LOW, ATLAS_HIGH);

    SendCorner(high, plateY, 1.0f, ATLAS_HIGH, SIGN_LOW);
    SendCorner(low, plateY, 1.0f, SIGN_LOW, SIGN_LOW);
    SendCorner(low, plateY, 2.0f, SIGN_LOW, ATLAS_HIGH);
    SendCorner(high, plateY, 2.0f, ATLAS_HIGH, ATLAS_HIGH);
    glEnd();
}

void DrawTexturedSquare(float edge)
{
    float half = edge * 0.5f;
    glBegin(GL_QUADS);
    SendCorner(-half, -half, 0.0f, 0.0f, 0.0f);
    SendCorner(half, -half, 0.0f, 1.0f, 0.0f);
    SendCorner(half, half, 0.0f, 1.0f, 1.0f);
    SendCorner(-half, half, 0.0f, 0.0f, 1.0f);
    glEnd();
}
