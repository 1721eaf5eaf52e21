#include "maze/maze_render.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <numbers>
#include <numeric>
#include <utility>
#include <vector>

#include "bench/immediate_maze.h"
#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/screens.h"
#include "maze/maze_grid.h"
#include "resources/texture_list.h"
#include "tests/support/fake_system.h"
#include "tests/support/game_harness.h"
#include "tests/support/gl_fixture.h"

namespace
{

// A vertex as GL's feedback mode hands it back, mapped to world coordinates (identity camera).
struct Corner
{
    double x, y, z, s, t;
};

using Polygon = std::vector<Corner>;

// The capture sees +-EXTENT on every axis through a 4096-pixel viewport, close enough to map
// window coordinates back to world coordinates within 1e-3.
constexpr double EXTENT = 1024.0;
constexpr int VIEW_SIDE = 4096;

// Draws in feedback mode (GL_3D_COLOR_TEXTURE: x, y, z, RGBA, s, t, r, q per vertex) and returns
// the polygons GL would rasterise, in order.
std::vector<Polygon> Capture(void (*draw)())
{
    static std::vector<GLfloat> buffer(1 << 20);
    glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint used = glRenderMode(GL_RENDER); // -1, so nothing matches, if the buffer overflowed
    auto world = [](double window) { return (window / VIEW_SIDE * 2.0 - 1.0) * EXTENT; };
    std::vector<Polygon> polygons;
    for (GLint i = 0; i < used && buffer[i] == GL_POLYGON_TOKEN; i += 2)
    {
        for (Corner& c : polygons.emplace_back(static_cast<size_t>(buffer[i + 1])))
        {
            const GLfloat* f = &buffer[i + 2];
            c = {world(f[0]), world(f[1]), (1.0 - 2.0 * f[2]) * EXTENT, f[7], f[8]};
            i += 11;
        }
    }
    return polygons;
}

using Vector = std::array<double, 3>;

// Twice the vector area of a triangle or a quad: the diagonals' cross product. It points to the
// side from which the corners run anticlockwise.
Vector AreaVector(const Polygon& p)
{
    const Corner &a = p[0], &b = p[1], &c = p[2], &d = p[3 % p.size()];
    Vector u = {c.x - a.x, c.y - a.y, c.z - a.z}, v = {d.x - b.x, d.y - b.y, d.z - b.z};
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

const auto Dot = [](const Vector& a, const Vector& b)
{ return std::inner_product(a.begin(), a.end(), b.begin(), 0.0); };

// The same corner, atlas coordinates included.
bool Near(const Corner& a, const Corner& b)
{
    return std::max({std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z),
                     100 * std::fabs(a.s - b.s), 100 * std::fabs(a.t - b.t)}) < 1e-3;
}

// GL may hand a quad back whole or as triangles along either diagonal: each expected polygon, in
// order, must be covered by captured pieces made of its corners whose area vectors add up to its
// own, so a piece wound the other way round cannot pass.
testing::AssertionResult Matches(const std::vector<Polygon>& captured,
                                 const std::vector<Polygon>& expected)
{
    size_t next = 0;
    for (const Polygon& want : expected)
    {
        auto isCorner = [&want](const Corner& c)
        { return std::ranges::any_of(want, [&c](const Corner& w) { return Near(c, w); }); };
        Vector area = AreaVector(want), sum = {};
        while (Dot(sum, area) < Dot(area, area) - 1e-3 && next < captured.size() &&
               std::ranges::all_of(captured[next], isCorner))
        {
            Vector piece = AreaVector(captured[next++]);
            sum = {sum[0] + piece[0], sum[1] + piece[1], sum[2] + piece[2]};
        }
        if (Dot(sum, sum) - 2 * Dot(sum, area) + Dot(area, area) > 1e-6)
        {
            return testing::AssertionFailure()
                   << "no match at piece " << next << " for " << testing::PrintToString(want);
        }
    }
    return next == captured.size() ? testing::AssertionSuccess()
                                   : testing::AssertionFailure() << "extra pieces from " << next;
}

// A box's five faces (no bottom), anticlockwise seen from outside, per corner the low (0) or
// high (1) x, y, z and the atlas coordinates: the top from the top-left quadrant, the -Y and +Y
// faces from the bottom-left one, the -X and +X faces from the bottom-right one.
constexpr double BOX_FACES[5][4][5] = {
    {{0, 0, 1, 0.01, 0.49}, {1, 0, 1, 0.49, 0.49}, {1, 1, 1, 0.49, 0.99}, {0, 1, 1, 0.01, 0.99}},
    {{0, 0, 0, 0.01, 0.01}, {1, 0, 0, 0.49, 0.01}, {1, 0, 1, 0.49, 0.49}, {0, 0, 1, 0.01, 0.49}},
    {{1, 1, 0, 0.01, 0.01}, {0, 1, 0, 0.49, 0.01}, {0, 1, 1, 0.49, 0.49}, {1, 1, 1, 0.01, 0.49}},
    {{0, 1, 0, 0.49, 0.01}, {0, 0, 0, 0.99, 0.01}, {0, 0, 1, 0.99, 0.49}, {0, 1, 1, 0.49, 0.49}},
    {{1, 0, 0, 0.49, 0.01}, {1, 1, 0, 0.99, 0.01}, {1, 1, 1, 0.99, 0.49}, {1, 0, 1, 0.49, 0.49}},
};

// A box from (x0, y0, 0) to (x1, y1, 1).
void AddBox(std::vector<Polygon>* polygons, double x0, double y0, double x1, double y1)
{
    for (const auto& face : BOX_FACES)
    {
        Polygon& polygon = polygons->emplace_back();
        for (const double* c : face)
        {
            polygon.push_back({c[0] ? x1 : x0, c[1] ? y1 : y0, c[2], c[3], c[4]});
        }
    }
}

// The pyramid centred on (cx, cy), turned anticlockwise by `degrees` seen from above.
void AddPlayerMarker(std::vector<Polygon>* polygons, double cx, double cy, double degrees)
{
    const double base[4][4] = {
        {-0.4, -0.4, 0, 0}, {0.4, -0.4, 1, 0}, {0.4, 0.4, 1, 1}, {-0.4, 0.4, 0, 1}};
    double r = degrees * std::numbers::pi / 180.0, c = std::cos(r), s = std::sin(r);
    auto corner = [&](const double* b) {
        return Corner{cx + c * b[0] - s * b[1], cy + s * b[0] + c * b[1], 0.8, b[2], b[3]};
    };
    for (int i = 0; i < 4; ++i)
    {
        polygons->push_back({corner(base[i]), corner(base[(i + 1) % 4]), {cx, cy, 1.6, 0.5, 0.5}});
    }
}

// The exit box in the cell whose lower corner is (x, y), and its sign plate, once per side.
void AddExitMarker(std::vector<Polygon>* polygons, double x, double y)
{
    AddBox(polygons, x + 0.1, y + 0.1, x + 0.9, y + 0.9);
    Corner a{x + 0.1, y + 0.5, 1, 0.51, 0.51}, b{x + 0.9, y + 0.5, 1, 0.99, 0.51};
    Corner c{x + 0.9, y + 0.5, 2, 0.99, 0.99}, d{x + 0.1, y + 0.5, 2, 0.51, 0.99};
    polygons->insert(polygons->end(), {{a, b, c, d}, {b, a, d, c}});
}

// The test maze's wall cells and how far each flies out along the spiral, worked by hand as
// (16 - x) * ((x + y) % 10) + (8 - y) for a 32 x 16 maze.
constexpr double WALLS[4][3] = {{0, 0, 8}, {4, 0, 56}, {7, 0, 71}, {31, 15, -97}};

// The walls, each moved `scale` times its reach along the spiral, a third of a turn a second.
std::vector<Polygon> Walls(double seconds, double scale)
{
    double angle = seconds * 2.0 * std::numbers::pi / 3.0;
    std::vector<Polygon> walls;
    for (const double* w : WALLS)
    {
        double x = w[0] - 16.0 + std::cos(angle) * scale * w[2];
        double y = 7.0 - w[1] + std::sin(angle) * scale * w[2];
        AddBox(&walls, x, y, x + 1.0, y + 1.0);
    }
    return walls;
}

constexpr int32_t SHOT_WIDTH = 1024, SHOT_HEIGHT = 768;

// The maze in memory as the scene shows it from the eye at pose[0 .. 2] toward pose[3 .. 5].
std::vector<uint8_t> Shoot(void (*draw)(), const float* pose)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(pose[0], pose[1], pose[2], pose[3], pose[4], pose[5], 0, 0, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureIds[gameState.mazeTextureIndex % TEXTURE_SLOT_COUNT]);
    glColor4f(1, 1, 1, 1);
    draw();
    glDisable(GL_TEXTURE_2D);
    return ReadFramebuffer(SHOT_WIDTH, SHOT_HEIGHT);
}

// The pixels of which some channel differs by more than a tenth.
int32_t CountDifferentPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int32_t count = 0;
    for (size_t i = 0; i < a.size(); i += 3)
    {
        count += std::abs(a[i] - b[i]) > 25 || std::abs(a[i + 1] - b[i + 1]) > 25 ||
                 std::abs(a[i + 2] - b[i + 2]) > 25;
    }
    return count;
}

} // namespace

// The game's lists and batches show what sending every face of every block each frame showed, for
// each campaign maze at rest and at three moments of its intro and outro, from the start pose,
// from low and near over the -X half and from nearly overhead (north faces show), within noise:
// at most 0.1% of the pixels differ by more than a tenth. A maze's list goes when the next maze
// flies in, and the last one with the window.
TEST(MazeRender, ListsShowWhatEveryFaceShowed)
{
    ASSERT_TRUE(StartHarnessGame(SHOT_WIDTH, SHOT_HEIGHT));
    RunPass(); // the splash starts the frame timer
    auto expectSame = [](void (*draw)(), void (*reference)(), const char* moment)
    {
        const float poses[3][6] = {{gameState.eyeX, gameState.eyeY, gameState.eyeZ, 0, 0, 0},
                                   {-30, -38.2f, 11.8f, -30, 0, 0},
                                   {20, 7.5f, 59.9f, 20, 10, 0}};
        for (const float* pose : poses)
        {
            std::vector<uint8_t> shot = Shoot(draw, pose), was = Shoot(reference, pose);
            EXPECT_LE(CountDifferentPixels(shot, was), SHOT_WIDTH * SHOT_HEIGHT / 1000)
                << "maze " << int{gameState.levelNumber} << " " << moment << " "
                << gameState.phaseClock << " s from " << pose[0] << ", " << pose[1] << ", "
                << pose[2];
        }
    };
    GLuint lastList = 0;
    for (int32_t level = 1; level <= CAMPAIGN_LEVEL_COUNT; ++level)
    {
        gameState.fixedCampaign = true;
        gameState.backgroundMaze = false;
        gameState.levelNumber = level;
        gameState.levelSetupPending = true;
        ChangeScreen(STATE_PLAYING);
        for (double seconds : {0.04, 1.48, 1.44, 0.08})
        {
            RunPass(seconds);
            if (gameState.levelIntro)
            {
                expectSame(DrawMazeAssembling, DrawMazeAssemblingImmediately, "flying in");
            }
        }
        EXPECT_FALSE(glIsList(lastList)) << "maze " << level;
        RunPass();
        expectSame(DrawMaze, DrawMazeImmediately, "at rest");
        if (level == 1) // a translucent wall texture of the player's shows the faces behind
        {
            auto walls = std::exchange(gameState.mazeTextureIndex, TEX_MENU);
            expectSame(DrawMaze, DrawMazeImmediately, "at rest, translucent");
            gameState.mazeTextureIndex = walls;
        }
        lastList = mazeLists.restList;
        mazeGrid.playerX = static_cast<float>(mazeGrid.exitX);
        mazeGrid.playerY = static_cast<float>(mazeGrid.exitY);
        for (double seconds : {0.04, 0.04, 1.96, 2.96})
        {
            RunPass(seconds);
            if (gameState.levelOutro && gameState.phaseClock > 0)
            {
                expectSame(DrawMazeScattering, DrawMazeScatteringImmediately, "flying out");
            }
        }
    }
    EXPECT_TRUE(glIsList(lastList));
    StopHarnessGame();
    EXPECT_EQ(mazeLists.restList, 0u);
}

// One scene of each kind at a few times: the rest picture centres the walls (cell (0, 0) spans
// X -16 ... -15, Y 7 ... 8) and turns the player marker 100 degrees a second anticlockwise; the
// blocks fly in for three seconds along the spiral, landing on the rest picture's walls, and fly
// out from it; the rest of the time each block stands `scale` times its reach out.
TEST(MazeRender, EachSceneDrawsItsBoxesAtTheirPlaces)
{
    ResetFakeSystem();
    ASSERT_TRUE(OpenTestWindow(64, 64));
    glDisable(GL_CULL_FACE); // the sign's far side too
    glViewport(0, 0, VIEW_SIDE, VIEW_SIDE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-EXTENT, EXTENT, -EXTENT, EXTENT, -EXTENT, EXTENT);
    glMatrixMode(GL_MODELVIEW);
    glGenTextures(TEXTURE_SLOT_COUNT, textureIds);
    // 32 x 16 like the first campaign maze: open but for the WALLS, with row 0 holding values
    // other than 0 between them, none of which is a wall.
    gameState = GameState{};
    mazeGrid = MazeGrid{{}, 32.0f, 16.0f, 30, 9, 2.0f, 8.0f, true};
    std::memset(mazeGrid.cells, CELL_PATH, sizeof mazeGrid.cells);
    std::memcpy(mazeGrid.cells[0], "\0\1\2\3\0\4\377\0", 8);
    mazeGrid.cells[15][31] = CELL_WALL;

    struct Scene
    {
        void (*draw)();
        double seconds, scale;
    };
    const Scene scenes[] = {{DrawMaze, 0.0, 0.0},           {DrawMaze, 0.45, 0.0},
                            {DrawMaze, 7.3, 0.0},           {DrawMazeAssembling, 0.5, 2.5},
                            {DrawMazeAssembling, 2.9, 0.1}, {DrawMazeAssembling, 3.0, 0.0},
                            {DrawMazeScattering, 0.0, 0.0}, {DrawMazeScattering, 5.0, 5.0}};
    for (const Scene& scene : scenes)
    {
        gameState.phaseClock = static_cast<float>(scene.seconds);
        std::vector<Polygon> expected = Walls(scene.seconds, scene.scale);
        if (scene.draw == DrawMaze)
        {
            // At rest the last row's walls come first.
            std::rotate(expected.begin(), expected.end() - 5, expected.end());
            AddPlayerMarker(&expected, -13.5, -0.5, scene.seconds * 100.0);
            AddExitMarker(&expected, 14.0, -2.0);
        }
        EXPECT_TRUE(Matches(Capture(scene.draw), expected)) << scene.seconds << " s";
    }

    // The exit marker's texture stays bound; the player marker binds its own.
    GLint bound = 0;
    Capture(DrawMaze);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textureIds[TEX_EXIT_MARKER]);
    Capture(DrawPlayerMarker);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textureIds[TEX_PLAYER_MARKER]);
    glDeleteTextures(TEXTURE_SLOT_COUNT, textureIds);
    CloseTestWindow();
}
