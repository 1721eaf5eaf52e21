// A frame of the play screen with the maze drawn by the game's renderer and by the reference
// that sends every face of every block each frame, in one run: the five fixed campaign mazes and
// a 128 x 128 custom maze, at rest and with the blocks flying in, each figure the median of 200
// frames at 1024 x 768, buffers swapped. Goals: 128 x 128 at rest at least 2.5 times as fast as
// the reference and at least 90 frames a second, 128 x 64 at rest at least 120, and 128 x 128
// flying at least as fast as the reference at rest. Also the first frame at rest, which makes
// the maze's list.
//
//   bench_maze_frame   (under a display: xvfb-run -a -s "-screen 0 1280x1024x24")
#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "bench/immediate_maze.h"
#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "maze/maze_grid.h"
#include "maze/maze_render.h"
#include "platform/platform.h"
#include "present/gl_window.h"
#include "present/hud.h"
#include "present/settings.h"
#include "resources/texture_list.h"

namespace
{

using Clock = std::chrono::steady_clock;

constexpr int32_t FRAMES = 200;

// The play screen's frame as DrawScene draws it, with `drawMaze` for the walls, then the swap.
double TimeFrame(void (*drawMaze)())
{
    Clock::time_point start = Clock::now();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(gameState.eyeX, gameState.eyeY, gameState.eyeZ, gameState.lookX, gameState.lookY,
              gameState.lookZ, 0.0, 0.0, 1.0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureIds[gameState.mazeTextureIndex]);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawMaze();
    DrawOverlay();
    DrawHud();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    SwapWindowBuffers();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double MedianFrame(void (*drawMaze)())
{
    std::vector<double> times;
    for (int32_t i = 0; i < FRAMES + 10; ++i)
    {
        double ms = TimeFrame(drawMaze);
        if (i >= 10)
        {
            times.push_back(ms);
        }
    }
    std::nth_element(times.begin(), times.begin() + FRAMES / 2, times.end());
    return times[FRAMES / 2];
}

void PrintRow(const char* maze, const char* phase, double oldMs, double newMs)
{
    std::printf("| %s | %s | %.2f ms (%.0f fps) | %.2f ms (%.0f fps) | %.1fx |\n", maze, phase,
                oldMs, 1000.0 / oldMs, newMs, 1000.0 / newMs, oldMs / newMs);
}

} // namespace

int main()
{
    launchOptions.uncapped = true; // every frame as soon as it is drawn
    if (chdir(DATA_DIR) != 0 || !CreateGLWindow("Vortanai bench", 1024, 768, 32, 60, 24, false) ||
        !LoadTextures())
    {
        std::fprintf(stderr, "no window or textures\n");
        return 1;
    }
    gameState.screenState = STATE_PLAYING;
    ResetCamera();
    gameState.eyeX = gameState.lookX;
    gameState.eyeY = gameState.lookY - std::cos(gameState.cameraPitch) * gameState.cameraDistance;
    gameState.eyeZ = std::sin(gameState.cameraPitch) * gameState.cameraDistance;
    struct Maze
    {
        const char* name;
        int32_t length, width, seed;
    } mazes[CAMPAIGN_LEVEL_COUNT + 1] = {{"custom 128 x 128, seed 42", 128, 128, 42}};
    for (int32_t level = 0; level < CAMPAIGN_LEVEL_COUNT; ++level)
    {
        const CampaignLevel& row = CAMPAIGN_LEVELS[level];
        static char names[CAMPAIGN_LEVEL_COUNT][32];
        std::snprintf(names[level], sizeof names[level], "level %d, %d x %d", level + 1, row.length,
                      row.width);
        mazes[level + 1] = {names[level], row.length, row.width, row.fixedSeed};
    }
    std::printf("| maze | phase | face by face | game | speed-up |\n|---|---|---|---|---|\n");
    for (const Maze& maze : mazes)
    {
        GenerateMaze(maze.length, maze.width, 10, maze.seed);
        gameState.phaseClock = 1.5f;
        PrintRow(maze.name, "flying in at 1.5 s", MedianFrame(DrawMazeAssemblingImmediately),
                 MedianFrame(DrawMazeAssembling));
        Clock::time_point start = Clock::now();
        TimeFrame(DrawMaze);
        double firstMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        double oldMs = MedianFrame(DrawMazeImmediately);
        double newMs = MedianFrame(DrawMaze);
        PrintRow(maze.name, "at rest", oldMs, newMs);
        std::printf("| %s | first frame at rest (list made) | | %.2f ms | |\n", maze.name, firstMs);
    }
    DeleteMazeLists();
    return 0;
}
