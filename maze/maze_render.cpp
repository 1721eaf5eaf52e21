#include "maze/maze_render.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstring>

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

enum BoxFace
{
    FACE_TOP,
    FACE_SOUTH, // toward -Y, the next row's side
    FACE_NORTH, // toward +Y, the row before's side
    FACE_WEST,  // toward -X
    FACE_EAST,  // toward +X
    FACE_COUNT
};

// The five outer faces of a box (no bottom), wound counter-clockwise seen from outside, per
// corner the low (0) or high (1) x, y, z and the atlas coordinates: the top from the top-left
// quadrant, the faces toward -Y and +Y from the bottom-left one, the faces toward -X and +X from
// the bottom-right one.
constexpr float BOX_FACES[FACE_COUNT][4][5] = {
    {{0, 0, 1, ATLAS_LOW, ATLAS_MIDDLE},
     {1, 0, 1, ATLAS_MIDDLE, ATLAS_MIDDLE},
     {1, 1, 1, ATLAS_MIDDLE, ATLAS_HIGH},
     {0, 1, 1, ATLAS_LOW, ATLAS_HIGH}},
    {{0, 0, 0, ATLAS_LOW, ATLAS_LOW},
     {1, 0, 0, ATLAS_MIDDLE, ATLAS_LOW},
     {1, 0, 1, ATLAS_MIDDLE, ATLAS_MIDDLE},
     {0, 0, 1, ATLAS_LOW, ATLAS_MIDDLE}},
    {{1, 1, 0, ATLAS_LOW, ATLAS_LOW},
     {0, 1, 0, ATLAS_MIDDLE, ATLAS_LOW},
     {0, 1, 1, ATLAS_MIDDLE, ATLAS_MIDDLE},
     {1, 1, 1, ATLAS_LOW, ATLAS_MIDDLE}},
    {{0, 1, 0, ATLAS_MIDDLE, ATLAS_LOW},
     {0, 0, 0, ATLAS_HIGH, ATLAS_LOW},
     {0, 0, 1, ATLAS_HIGH, ATLAS_MIDDLE},
     {0, 1, 1, ATLAS_MIDDLE, ATLAS_MIDDLE}},
    {{1, 0, 0, ATLAS_MIDDLE, ATLAS_LOW},
     {1, 1, 0, ATLAS_HIGH, ATLAS_LOW},
     {1, 1, 1, ATLAS_HIGH, ATLAS_MIDDLE},
     {1, 0, 1, ATLAS_MIDDLE, ATLAS_MIDDLE}},
};

void DrawBoxFaces(float x0, float y0, float x1, float y1, float z0, float z1)
{
    glBegin(GL_QUADS);
    for (const auto& face : BOX_FACES)
    {
        for (const float* c : face)
        {
            SendCorner(c[0] ? x1 : x0, c[1] ? y1 : y0, c[2] ? z1 : z0, c[3], c[4]);
        }
    }
    glEnd();
}

// Sends one face of the unit block whose lower corner is at (x, y, 0), inside glBegin(GL_QUADS).
void SendWallFace(int32_t face, float x, float y)
{
    for (const float* c : BOX_FACES[face])
    {
        SendCorner(x + c[0], y + c[1], c[2], c[3], c[4]);
    }
}

void TranslateToOrigin()
{
    glTranslatef(-mazeGrid.mazeLength * 0.5f, mazeGrid.mazeWidth * 0.5f - 1.0f, 0.0f);
}

// Only cells inside the grid's storage are looked at, whatever size the maze claims.
bool IsWallCell(int32_t x, int32_t y)
{
    return x < MAZE_MAX_SIZE && y < MAZE_MAX_SIZE && mazeGrid.cells[y][x] == CELL_WALL;
}

// A wall block that is drawn: one of the cells in use.
bool IsDrawnWall(int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < mazeGrid.mazeLength && y < mazeGrid.mazeWidth &&
           IsWallCell(x, y);
}

// How far each row starts to the right of the one before: a row walks a whole number of cells
// and steps back by the maze's length, which only a length read from a file leaves fractional.
double MeasureRowShift()
{
    return std::ceil(std::max(mazeGrid.mazeLength, 0.0f)) - mazeGrid.mazeLength;
}

// Hands each wall cell to `drawCell` with its block's lower corner, relative to the maze's origin
// offset, where the walk of a translation per cell and a step back per row puts it. The last row
// comes first: the camera always looks from the -Y side, so the nearest walls are drawn before the
// ones they hide, whose pixels the depth test then throws away before they are textured.
template <typename DrawCell> void WalkWalls(DrawCell drawCell)
{
    double rowShift = MeasureRowShift();
    int32_t rows = static_cast<int32_t>(std::ceil(std::max(mazeGrid.mazeWidth, 0.0f)));
    for (int32_t y = rows - 1; y >= 0; --y)
    {
        for (int32_t x = 0; x < mazeGrid.mazeLength; ++x)
        {
            if (IsWallCell(x, y))
            {
                drawCell(x, y, static_cast<float>(x + y * rowShift), static_cast<float>(-y));
            }
        }
    }
}

// How far a flying block stands from its place along the spiral: neighbouring diagonals travel
// very different distances.
double SpiralReach(int32_t x, int32_t y)
{
    double k = (x + y) % 10;
    return (mazeGrid.mazeLength * 0.5 - x) * k + (mazeGrid.mazeWidth * 0.5 - y);
}

// One unit block's five faces for a vertex array: texture coordinates, then position, per corner.
struct BlockCorners
{
    float corners[FACE_COUNT * 4][5];
};

constexpr BlockCorners LayOutBlockCorners()
{
    BlockCorners block{};
    for (int32_t i = 0; i < FACE_COUNT * 4; ++i)
    {
        const float* c = BOX_FACES[i / 4][i % 4];
        block.corners[i][0] = c[3];
        block.corners[i][1] = c[4];
        block.corners[i][2] = c[0];
        block.corners[i][3] = c[1];
        block.corners[i][4] = c[2];
    }
    return block;
}

constexpr BlockCorners BLOCK_CORNERS = LayOutBlockCorners();

// Every block, all five faces, `reachScale` times its reach out along the spiral, a third of a
// turn a second. Blocks that cross show coplanar faces, whose depths tie but for rounding: each
// block is placed through the same chain of translations as ever, a step per cell and a step back
// per row, and sent as the same quads in one draw from an array, so that every tie falls as it
// always has. (A display list gives the same faces but not the same ties.)
void DrawFlyingWalls(double reachScale)
{
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glInterleavedArrays(GL_T2F_V3F, 0, BLOCK_CORNERS.corners);
    double angle = gameState.phaseClock * 0.6666667 * 3.14159265;
    TranslateToOrigin();
    glPushMatrix();
    for (int32_t y = 0; y < mazeGrid.mazeWidth; ++y)
    {
        for (int32_t x = 0; x < mazeGrid.mazeLength; ++x)
        {
            if (IsWallCell(x, y))
            {
                double reach = reachScale * SpiralReach(x, y);
                glPushMatrix();
                glTranslatef(static_cast<float>(std::cos(angle) * reach),
                             static_cast<float>(std::sin(angle) * reach), 0.0f);
                glDrawArrays(GL_QUADS, 0, FACE_COUNT * 4);
                glPopMatrix();
            }
            glTranslatef(CELL_SIZE, 0.0f, 0.0f);
        }
        glTranslatef(-mazeGrid.mazeLength, -CELL_SIZE, 0.0f);
    }
    glPopMatrix();
    glPopClientAttrib();
}

bool IsRestListCurrent()
{
    return mazeLists.restList != 0 && mazeLists.mazeLength == mazeGrid.mazeLength &&
           mazeLists.mazeWidth == mazeGrid.mazeWidth &&
           std::memcmp(mazeLists.cells, mazeGrid.cells, sizeof mazeGrid.cells) == 0;
}

// The walls at rest in one list. A face against another wall block is never seen at rest, so
// only the faces toward open cells and the maze's rim go in; rows that do not line up (a
// fractional length) keep their faces toward each other.
void CompileRestList()
{
    DeleteMazeLists();
    mazeLists.restList = glGenLists(1);
    bool rowsMeet = MeasureRowShift() == 0.0;
    glNewList(mazeLists.restList, GL_COMPILE);
    glBegin(GL_QUADS);
    WalkWalls(
        [=](int32_t x, int32_t y, float cornerX, float cornerY)
        {
            SendWallFace(FACE_TOP, cornerX, cornerY);
            if (!rowsMeet || !IsDrawnWall(x, y + 1))
            {
                SendWallFace(FACE_SOUTH, cornerX, cornerY);
            }
            if (!rowsMeet || !IsDrawnWall(x, y - 1))
            {
                SendWallFace(FACE_NORTH, cornerX, cornerY);
            }
            if (!IsDrawnWall(x - 1, y))
            {
                SendWallFace(FACE_WEST, cornerX, cornerY);
            }
            if (!IsDrawnWall(x + 1, y))
            {
                SendWallFace(FACE_EAST, cornerX, cornerY);
            }
        });
    glEnd();
    glEndList();
    mazeLists.mazeLength = mazeGrid.mazeLength;
    mazeLists.mazeWidth = mazeGrid.mazeWidth;
    std::memcpy(mazeLists.cells, mazeGrid.cells, sizeof mazeGrid.cells);
}

// A replaced maze gives its list back as soon as its successor flies in.
void DeleteStaleRestList()
{
    if (!IsRestListCurrent())
    {
        DeleteMazeLists();
    }
}

// The player's pyramid standing on cell (x, y), spinning with phaseClock.
void DrawSpinningMarker(float x, float y)
{
    glPushMatrix();
    glTranslatef(x + 0.5f, 0.5f - y, 0.0f);
    glRotatef(static_cast<float>(gameState.phaseClock * 100.0), 0.0f, 0.0f, 1.0f);
    DrawPlayerMarker();
    glPopMatrix();
}

} // namespace

MazeLists mazeLists;

void DeleteMazeLists()
{
    if (mazeLists.restList != 0)
    {
        glDeleteLists(mazeLists.restList, 1);
    }
    mazeLists.restList = 0;
}

void DrawMaze()
{
    GLint alphaBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    if (alphaBits != 0)
    {
        // A translucent wall lets the faces behind it through, and blending wants them far to
        // near: every face of every block, as the blocks stand once they have landed.
        DrawFlyingWalls(0.0);
        DrawMazeMarkers();
        return;
    }
    if (!IsRestListCurrent())
    {
        CompileRestList();
    }
    TranslateToOrigin();
    // An opaque wall leaves every pixel as it is without blending, which would only cost.
    glDisable(GL_BLEND);
    glCallList(mazeLists.restList);
    glEnable(GL_BLEND);
    DrawMazeMarkers();
}

void DrawGhostMarker(float x, float y)
{
    // An opaque texture takes its alpha from the colour.
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
    glDepthMask(GL_FALSE);
    DrawSpinningMarker(x, y);
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void DrawMazeMarkers()
{
    DrawSpinningMarker(mazeGrid.playerX, mazeGrid.playerY);

    glPushMatrix();
    glTranslatef(static_cast<float>(mazeGrid.exitX), -static_cast<float>(mazeGrid.exitY), 0.0f);
    DrawExitMarker();
    glPopMatrix();
}

// The blocks land exactly in place when the three seconds of the intro are up.
void DrawMazeAssembling()
{
    DeleteStaleRestList();
    DrawFlyingWalls(3.0 - gameState.phaseClock);
}

// The blocks start in place and spiral outward, ever faster.
void DrawMazeScattering()
{
    DeleteStaleRestList();
    DrawFlyingWalls(gameState.phaseClock);
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
