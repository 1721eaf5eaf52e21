#include "maze/maze_render.h"

#include <GL/gl.h>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

#include "flow/game_state.h"
#include "maze/maze_grid.h"
#include "resources/texture_list.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"

namespace
{

// Every vertex GL hands back, mapped from window coordinates back to the drawing's world
// coordinates (the camera is the identity).
struct Corner
{
    double x, y, z, s, t;
};

using Polygon = std::vector<Corner>;

// The orthographic box the capture sees: +-extent in x, y and z, on a viewport of VIEW_SIDE
// pixels, so window coordinates map back to world coordinates exactly enough.
constexpr int VIEW_SIDE = 4096;
// GL_3D_COLOR_TEXTURE: x, y, z, an RGBA colour and four texture coordinates.
constexpr int VERTEX_FLOATS = 11;

// Draws through GL's feedback mode and returns the polygons, in order, as GL would rasterise them
// (back-face culling off, so every face comes back).
template <typename Draw> std::vector<Polygon> Capture(double extent, Draw draw)
{
    static std::vector<GLfloat> buffer(1 << 22);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, VIEW_SIDE, VIEW_SIDE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint used = glRenderMode(GL_RENDER);
    glEnable(GL_CULL_FACE);
    EXPECT_GE(used, 0) << "feedback buffer too small";
    std::vector<Polygon> polygons;
    auto toWorld = [extent](double window) { return window / VIEW_SIDE * 2.0 * extent - extent; };
    for (GLint i = 0; i < used;)
    {
        GLint token = static_cast<GLint>(buffer[i++]);
        EXPECT_EQ(token, GL_POLYGON_TOKEN);
        if (token != GL_POLYGON_TOKEN)
        {
            break;
        }
        int count = static_cast<int>(buffer[i++]);
        Polygon polygon;
        for (int v = 0; v < count; ++v, i += VERTEX_FLOATS)
        {
            const GLfloat* f = &buffer[i];
            polygon.push_back(
                {toWorld(f[0]), toWorld(f[1]), -(2.0 * f[2] - 1.0) * extent, f[7], f[8]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

// Twice the vector area of a polygon (Newell's method): its length is twice the area, its
// direction the side from which the corners run counter-clockwise.
void AreaVector(const Polygon& polygon, double normal[3])
{
    normal[0] = normal[1] = normal[2] = 0.0;
    for (size_t i = 0; i < polygon.size(); ++i)
    {
        const Corner& a = polygon[i];
        const Corner& b = polygon[(i + 1) % polygon.size()];
        normal[0] += (a.y - b.y) * (a.z + b.z);
        normal[1] += (a.z - b.z) * (a.x + b.x);
        normal[2] += (a.x - b.x) * (a.y + b.y);
    }
}

double Area(const Polygon& polygon)
{
    double n[3];
    AreaVector(polygon, n);
    return 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
}

bool SameCorner(const Corner& a, const Corner& b, double tolerance)
{
    return std::fabs(a.x - b.x) < tolerance && std::fabs(a.y - b.y) < tolerance &&
           std::fabs(a.z - b.z) < tolerance && std::fabs(a.s - b.s) < 1e-5 &&
           std::fabs(a.t - b.t) < 1e-5;
}

std::string Describe(const Polygon& polygon)
{
    std::string text;
    for (const Corner& c : polygon)
    {
        char line[160];
        std::snprintf(line, sizeof line, " (%.3f %.3f %.3f | %.3f %.3f)", c.x, c.y, c.z, c.s, c.t);
        text += line;
    }
    return text;
}

// GL may hand a quad back whole or cut into triangles along either diagonal. Each expected
// polygon must be covered, in order, by captured pieces whose corners are its own corners (with
// their texture coordinates), running the same way round, and whose areas add up to its own.
::testing::AssertionResult MatchesInOrder(const std::vector<Polygon>& captured,
                                          const std::vector<Polygon>& expected,
                                          double tolerance = 1e-3)
{
    size_t next = 0;
    for (size_t p = 0; p < expected.size(); ++p)
    {
        const Polygon& want = expected[p];
        double covered = 0.0;
        double area = Area(want);
        while (covered < area - 1e-3)
        {
            if (next >= captured.size())
            {
                return ::testing::AssertionFailure()
                       << "polygon " << p << " missing:" << Describe(want);
            }
            const Polygon& piece = captured[next++];
            std::vector<int> at;
            for (const Corner& corner : piece)
            {
                int found = -1;
                for (size_t k = 0; k < want.size(); ++k)
                {
                    if (SameCorner(corner, want[k], tolerance))
                    {
                        found = static_cast<int>(k);
                    }
                }
                if (found < 0)
                {
                    return ::testing::AssertionFailure()
                           << "polygon " << p << " expected" << Describe(want) << "\n got"
                           << Describe(piece);
                }
                at.push_back(found);
            }
            // The corners must follow the expected order round the polygon: their steps forward
            // add up to exactly one turn.
            int steps = 0;
            int n = static_cast<int>(want.size());
            for (size_t k = 0; k < at.size(); ++k)
            {
                steps += (at[(k + 1) % at.size()] - at[k] + n) % n;
            }
            if (steps != n)
            {
                return ::testing::AssertionFailure()
                       << "polygon " << p << " wound the other way:" << Describe(piece);
            }
            covered += Area(piece);
        }
        if (std::fabs(covered - area) > 1e-3)
        {
            return ::testing::AssertionFailure() << "polygon " << p << " over-covered";
        }
    }
    if (next != captured.size())
    {
        return ::testing::AssertionFailure()
               << captured.size() - next
               << " pieces more than expected, first:" << Describe(captured[next]);
    }
    return ::testing::AssertionSuccess();
}

// The faces of a box from the renderer's tables: per face, the corners as (0 = low, 1 = high)
// picks of x, y, z with their atlas coordinates.
struct FaceCorner
{
    int x, y, z;
    double s, t;
};

constexpr FaceCorner BOX_FACES[5][4] = {
    {{0, 0, 1, 0.01, 0.49}, {1, 0, 1, 0.49, 0.49}, {1, 1, 1, 0.49, 0.99}, {0, 1, 1, 0.01, 0.99}},
    {{0, 0, 0, 0.01, 0.01}, {1, 0, 0, 0.49, 0.01}, {1, 0, 1, 0.49, 0.49}, {0, 0, 1, 0.01, 0.49}},
    {{1, 1, 0, 0.01, 0.01}, {0, 1, 0, 0.49, 0.01}, {0, 1, 1, 0.49, 0.49}, {1, 1, 1, 0.01, 0.49}},
    {{0, 1, 0, 0.49, 0.01}, {0, 0, 0, 0.99, 0.01}, {0, 0, 1, 0.99, 0.49}, {0, 1, 1, 0.49, 0.49}},
    {{1, 0, 0, 0.49, 0.01}, {1, 1, 0, 0.99, 0.01}, {1, 1, 1, 0.99, 0.49}, {1, 0, 1, 0.49, 0.49}},
};

void AddBox(std::vector<Polygon>* polygons, double x0, double y0, double x1, double y1)
{
    for (const auto& face : BOX_FACES)
    {
        Polygon polygon;
        for (const FaceCorner& c : face)
        {
            polygon.push_back({c.x ? x1 : x0, c.y ? y1 : y0, c.z ? 1.0 : 0.0, c.s, c.t});
        }
        polygons->push_back(polygon);
    }
}

void AddWallBlock(std::vector<Polygon>* polygons, double x, double y)
{
    AddBox(polygons, x, y, x + 1.0, y + 1.0);
}

// The pyramid centred on (cx, cy), turned counter-clockwise by `degrees` seen from above.
void AddPlayerMarker(std::vector<Polygon>* polygons, double cx, double cy, double degrees)
{
    const double h = 0.4;
    const double base[4][4] = {{-h, -h, 0, 0}, {h, -h, 1, 0}, {h, h, 1, 1}, {-h, h, 0, 1}};
    double c = std::cos(degrees * std::numbers::pi / 180.0);
    double s = std::sin(degrees * std::numbers::pi / 180.0);
    auto corner = [&](const double* b) {
        return Corner{cx + c * b[0] - s * b[1], cy + s * b[0] + c * b[1], 0.8, b[2], b[3]};
    };
    for (int i = 0; i < 4; ++i)
    {
        polygons->push_back(
            {corner(base[i]), corner(base[(i + 1) % 4]), Corner{cx, cy, 1.6, 0.5, 0.5}});
    }
}

// The exit box and its two-sided sign, in the cell whose lower corner is (x, y).
void AddExitMarker(std::vector<Polygon>* polygons, double x, double y)
{
    AddBox(polygons, x + 0.1, y + 0.1, x + 0.9, y + 0.9);
    double py = y + 0.5;
    polygons->push_back({{x + 0.1, py, 1, 0.51, 0.51},
                         {x + 0.9, py, 1, 0.99, 0.51},
                         {x + 0.9, py, 2, 0.99, 0.99},
                         {x + 0.1, py, 2, 0.51, 0.99}});
    polygons->push_back({{x + 0.9, py, 1, 0.99, 0.51},
                         {x + 0.1, py, 1, 0.51, 0.51},
                         {x + 0.1, py, 2, 0.51, 0.99},
                         {x + 0.9, py, 2, 0.99, 0.99}});
}

class MazeRender : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        ResetFakeSystem();
        ASSERT_TRUE(OpenTestWindow(64, 64));
        glGenTextures(TEXTURE_SLOT_COUNT, textureIds);
    }

    static void TearDownTestSuite()
    {
        glDeleteTextures(TEXTURE_SLOT_COUNT, textureIds);
        CloseTestWindow();
    }

    void SetUp() override
    {
        gameState = GameState{};
        mazeGrid = MazeGrid{};
    }

    // A maze of `length` x `width` open cells (value 1) with walls at the listed cells.
    static void MakeMaze(int length, int width, std::initializer_list<std::pair<int, int>> walls)
    {
        std::memset(mazeGrid.cells, CELL_PATH, sizeof mazeGrid.cells);
        mazeGrid.mazeLength = static_cast<float>(length);
        mazeGrid.mazeWidth = static_cast<float>(width);
        for (auto [x, y] : walls)
        {
            mazeGrid.cells[y][x] = CELL_WALL;
        }
    }
};

} // namespace

TEST_F(MazeRender, AWallBlockIsFiveOutwardFacesOnTheAtlasQuadrants)
{
    std::vector<Polygon> captured = Capture(4.0, [] { DrawWallBlock(); });
    std::vector<Polygon> expected;
    AddWallBlock(&expected, 0.0, 0.0);
    EXPECT_TRUE(MatchesInOrder(captured, expected));
    // Counter-clockwise seen from outside: every face's area vector points away from the centre.
    for (const Polygon& piece : captured)
    {
        double n[3];
        AreaVector(piece, n);
        double outward = 0.0;
        for (const Corner& c : piece)
        {
            outward += n[0] * (c.x - 0.5) + n[1] * (c.y - 0.5) + n[2] * (c.z - 0.5);
        }
        EXPECT_GT(outward, 0.0) << Describe(piece);
    }
}

TEST_F(MazeRender, TheRestPictureCentresTheMazeAndPlacesBothMarkers)
{
    // The campaign's first maze: 32 x 16, the player at column 2, row 8.
    MakeMaze(32, 16, {{0, 0}, {5, 0}, {31, 15}, {2, 3}});
    mazeGrid.playerX = 2.0f;
    mazeGrid.playerY = 8.0f;
    mazeGrid.exitX = 31;
    mazeGrid.exitY = 9;
    std::vector<Polygon> captured = Capture(32.0, [] { DrawMaze(); });

    std::vector<Polygon> expected;
    AddWallBlock(&expected, -16.0, 7.0); // cell (0, 0) spans X -16 .. -15, Y 7 .. 8
    AddWallBlock(&expected, -11.0, 7.0);
    AddWallBlock(&expected, -14.0, 4.0);
    AddWallBlock(&expected, 15.0, -8.0); // the far corner reaches X 16, Y -8
    AddPlayerMarker(&expected, -13.5, -0.5, 0.0);
    AddExitMarker(&expected, 15.0, -2.0);
    EXPECT_TRUE(MatchesInOrder(captured, expected));

    // The origin offset stays on the modelview; the exit marker's texture stays bound.
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[12], -16.0f);
    EXPECT_FLOAT_EQ(matrix[13], 7.0f);
    EXPECT_FLOAT_EQ(matrix[14], 0.0f);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<uint32_t>(bound), textureIds[TEX_EXIT_MARKER]);
}

TEST_F(MazeRender, OnlyCellsHoldingExactlyZeroAreWalls)
{
    MakeMaze(8, 2, {});
    const uint8_t values[8] = {0, 1, 2, 3, 0, 4, 255, 0};
    std::memcpy(mazeGrid.cells[1], values, sizeof values);
    mazeGrid.exitX = 7;
    std::vector<Polygon> captured = Capture(16.0, [] { DrawMaze(); });
    std::vector<Polygon> expected;
    AddWallBlock(&expected, -4.0, -1.0);
    AddWallBlock(&expected, 0.0, -1.0);
    AddWallBlock(&expected, 3.0, -1.0);
    AddPlayerMarker(&expected, -3.5, 0.5, 0.0);
    AddExitMarker(&expected, 3.0, 0.0);
    EXPECT_TRUE(MatchesInOrder(captured, expected));
}

TEST_F(MazeRender, AnEmptyMazeStillDrawsBothMarkers)
{
    // Length 0 or width 0: no block, whatever the cells hold (all walls here).
    std::memset(mazeGrid.cells, CELL_WALL, sizeof mazeGrid.cells);
    mazeGrid.playerX = 1.0f;
    mazeGrid.playerY = 2.0f;
    mazeGrid.exitX = 3;
    mazeGrid.exitY = 4;
    for (auto [length, width] : {std::pair{0.0f, 6.0f}, std::pair{6.0f, 0.0f}})
    {
        mazeGrid.mazeLength = length;
        mazeGrid.mazeWidth = width;
        double ox = -length * 0.5;
        double oy = width * 0.5 - 1.0;
        std::vector<Polygon> expected;
        AddPlayerMarker(&expected, ox + 1.5, oy - 1.5, 0.0);
        AddExitMarker(&expected, ox + 3.0, oy - 4.0);
        EXPECT_TRUE(MatchesInOrder(Capture(16.0, [] { DrawMaze(); }), expected))
            << length << " x " << width;
    }
}

TEST_F(MazeRender, ThePlayerMarkerTurns100DegreesASecondCounterClockwise)
{
    MakeMaze(8, 8, {});
    mazeGrid.playerX = 4.0f;
    mazeGrid.playerY = 4.0f;
    for (float seconds : {0.45f, 0.9f, 2.0f, 7.3f})
    {
        gameState.phaseClock = seconds;
        std::vector<Polygon> captured = Capture(16.0, [] { DrawMaze(); });
        std::vector<Polygon> expected;
        AddPlayerMarker(&expected, 0.5, -0.5, seconds * 100.0);
        AddExitMarker(&expected, -4.0, 3.0);
        EXPECT_TRUE(MatchesInOrder(captured, expected)) << seconds << " s";
    }
}

TEST_F(MazeRender, AssemblingLandsOnTheRestPictureAndScatteringStartsFromIt)
{
    MakeMaze(32, 16, {{0, 0}, {3, 2}, {9, 9}, {31, 15}, {17, 4}});
    std::vector<Polygon> rest = Capture(1024.0, [] { DrawMaze(); });
    std::vector<Polygon> wallsOnly;
    for (auto [x, y] : {std::pair{0, 0}, {3, 2}, {17, 4}, {9, 9}, {31, 15}})
    {
        AddWallBlock(&wallsOnly, x - 16.0, 7.0 - y);
    }

    gameState.phaseClock = 3.0f;
    EXPECT_TRUE(MatchesInOrder(Capture(1024.0, [] { DrawMazeAssembling(); }), wallsOnly, 1e-2));
    gameState.phaseClock = 0.0f;
    EXPECT_TRUE(MatchesInOrder(Capture(1024.0, [] { DrawMazeScattering(); }), wallsOnly, 1e-2));
    // Landed, the blocks are the rest picture's walls to the last bit; no marker follows them.
    gameState.phaseClock = 3.0f;
    std::vector<Polygon> landed = Capture(1024.0, [] { DrawMazeAssembling(); });
    ASSERT_LE(landed.size(), rest.size());
    for (size_t i = 0; i < landed.size(); ++i)
    {
        ASSERT_EQ(landed[i].size(), rest[i].size());
        for (size_t k = 0; k < landed[i].size(); ++k)
        {
            EXPECT_TRUE(SameCorner(landed[i][k], rest[i][k], 1e-9)) << i;
        }
    }
}

TEST_F(MazeRender, FlyingBlocksFollowTheSpiral)
{
    // Cells (3, 2) and (9, 9) of a 32 x 16 maze: k = 5 and 8, so the reaches are
    // a = (16 - 3) * 5 + (8 - 2) = 71 and a = (16 - 9) * 8 + (8 - 9) = 55.
    MakeMaze(32, 16, {{3, 2}, {9, 9}});
    struct Block
    {
        double x, y, a;
    };
    const Block blocks[] = {{-13.0, 5.0, 71.0}, {-7.0, -2.0, 55.0}};
    auto expectAt = [&](double t, double scale)
    {
        double angle = t * 0.6666667 * 3.14159265;
        std::vector<Polygon> expected;
        for (const Block& block : blocks)
        {
            AddWallBlock(&expected, block.x + std::cos(angle) * scale * block.a,
                         block.y + std::sin(angle) * scale * block.a);
        }
        return expected;
    };
    for (double t : {0.5, 1.5, 2.9})
    {
        gameState.phaseClock = static_cast<float>(t);
        EXPECT_TRUE(MatchesInOrder(Capture(1024.0, [] { DrawMazeAssembling(); }),
                                   expectAt(t, 3.0 - t), 1e-2))
            << "assembling at " << t;
    }
    for (double t : {0.5, 2.0, 5.0})
    {
        gameState.phaseClock = static_cast<float>(t);
        EXPECT_TRUE(
            MatchesInOrder(Capture(1024.0, [] { DrawMazeScattering(); }), expectAt(t, t), 1e-2))
            << "scattering at " << t;
    }
}

TEST_F(MazeRender, MarkersBindTheirOwnTextures)
{
    Capture(4.0, [] { DrawPlayerMarker(); });
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<uint32_t>(bound), textureIds[TEX_PLAYER_MARKER]);

    std::vector<Polygon> exit = Capture(4.0, [] { DrawExitMarker(); });
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<uint32_t>(bound), textureIds[TEX_EXIT_MARKER]);
    std::vector<Polygon> expected;
    AddExitMarker(&expected, 0.0, 0.0);
    EXPECT_TRUE(MatchesInOrder(exit, expected));
}

TEST_F(MazeRender, TheTexturedSquareCoversItsEdgeWithTheWholeTexture)
{
    std::vector<Polygon> expected = {
        {{-10, -10, 0, 0, 0}, {10, -10, 0, 1, 0}, {10, 10, 0, 1, 1}, {-10, 10, 0, 0, 1}}};
    EXPECT_TRUE(MatchesInOrder(Capture(16.0, [] { DrawTexturedSquare(20.0f); }), expected));
    expected = {{{-0.25, -0.25, 0, 0, 0},
                 {0.25, -0.25, 0, 1, 0},
                 {0.25, 0.25, 0, 1, 1},
                 {-0.25, 0.25, 0, 0, 1}}};
    EXPECT_TRUE(MatchesInOrder(Capture(1.0, [] { DrawTexturedSquare(0.5f); }), expected));
}

TEST_F(MazeRender, AMazeClaimingMoreThanTheGridHoldsDrawsOnlyStoredCells)
{
    // 130 columns claimed: columns 128 and 129 are not in the grid, so no block stands there and
    // the next row is not read in their place.
    std::memset(mazeGrid.cells, CELL_WALL, sizeof mazeGrid.cells);
    mazeGrid.mazeLength = 130.0f;
    mazeGrid.mazeWidth = 2.0f;
    gameState.phaseClock = 3.0f;
    std::vector<Polygon> expected;
    for (int y = 0; y < 2; ++y)
    {
        for (int x = 0; x < MAZE_MAX_SIZE; ++x)
        {
            AddWallBlock(&expected, x - 65.0, -y);
        }
    }
    EXPECT_TRUE(MatchesInOrder(Capture(128.0, [] { DrawMazeAssembling(); }), expected));
}
