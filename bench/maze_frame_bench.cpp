// A frame of the play screen with the maze drawn by the game's renderer and by the reference
// that sends every face of every block each frame, in one run: the five fixed campaign mazes and
// a 128 x 128 custom maze, at rest and with the blocks flying in, each figure the median of 200
// frames at 1024 x 768, buffers swapped. Goals: 128 x 128 at rest at least 2.5 times as fast as
// the reference and at least 90 frames a second, 128 x 64 at rest at least 120, and 128 x 128
// flying at least as fast as the reference at rest. Also the first frame at rest, which makes
// the maze's list.
//
// Then the whole frame of play at rest as the game draws it, for each campaign maze, on the
// screens players have: the 1024 x 768 window, full screen at the desktop's mode in 4:3 and
// widescreen, and widescreen in a window of half the desktop's sides (the same picture at a
// quarter of the pixels, which tells the pixels' cost from the rest). Goal: every campaign maze
// at least 60 frames a second full screen at 1920 x 1080 widescreen.
//
//   bench_maze_frame [screens]   (screens: the second table alone)
//   under a display of the desktop's size: xvfb-run -a -s "-screen 0 1920x1080x24"
#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "bench/immediate_maze.h"
#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "flow/preferences.h"
#include "maze/maze_grid.h"
#include "maze/maze_render.h"
#include "platform/platform.h"
#include "present/gl_window.h"
#include "present/hud.h"
#include "present/scene.h"
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

// The play screen's frame at rest as the game draws it, then the swap.
double TimeSceneFrame(void (*)())
{
    Clock::time_point start = Clock::now();
    DrawScene();
    SwapWindowBuffers();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double MedianFrame(void (*drawMaze)(), double (*timeFrame)(void (*)()) = TimeFrame)
{
    std::vector<double> times;
    for (int32_t i = 0; i < FRAMES + 10; ++i)
    {
        double ms = timeFrame(drawMaze);
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

// One screen of the second table: full screen at the desktop's mode or a window of this size.
struct Screen
{
    bool fullscreen;
    int32_t width;
    int32_t height;
    bool widescreen;
};

// Opens the game's window for the screen as the command line does (full screen: --fullscreen
// without --size, at the desktop's mode), with the textures; false when it cannot.
bool OpenBenchWindow(const Screen& screen)
{
    launchOptions.fullscreen = screen.fullscreen ? 1 : -1;
    preferences.widescreen = screen.widescreen; // before the window, whose viewport may honour it
    textureCount = 0;
    if (!CreateGLWindow("Vortanai bench", screen.width, screen.height, 32, 60, 24,
                        screen.fullscreen) ||
        !LoadTextures())
    {
        std::fprintf(stderr, "no window or textures\n");
        return false;
    }
    return true;
}

void CloseBenchWindow()
{
    DeleteMazeLists();
    DestroyGLWindow();
}

bool PrintScreensTable()
{
    // The desktop's size is known once the first window has opened the window system.
    Screen screens[] = {
        {false, 1024, 768, false}, {true, 0, 0, false}, {true, 0, 0, true}, {false, 0, 0, true}};
    constexpr int32_t SCREEN_COUNT = sizeof screens / sizeof screens[0];
    double ms[CAMPAIGN_LEVEL_COUNT][SCREEN_COUNT] = {};
    for (int32_t column = 0; column < SCREEN_COUNT; ++column)
    {
        if (!OpenBenchWindow(screens[column]))
        {
            return false;
        }
        if (column == 0)
        {
            int32_t width = 0;
            int32_t height = 0;
            int32_t refreshRate = 0;
            GetDesktopMode(&width, &height, &refreshRate);
            screens[1].width = screens[2].width = width;
            screens[1].height = screens[2].height = height;
            screens[3].width = width / 2;
            screens[3].height = height / 2;
            std::printf("\nThe frame of play at rest on %s, median of %d frames:\n\n| maze |",
                        reinterpret_cast<const char*>(glGetString(GL_RENDERER)), FRAMES);
        }
        for (int32_t level = 0; level < CAMPAIGN_LEVEL_COUNT; ++level)
        {
            const CampaignLevel& row = CAMPAIGN_LEVELS[level];
            GenerateMaze(row.length, row.width, 10, row.fixedSeed);
            TimeSceneFrame(nullptr); // the maze's list is made
            ms[level][column] = MedianFrame(nullptr, TimeSceneFrame);
        }
        CloseBenchWindow();
    }
    for (const Screen& screen : screens)
    {
        std::printf(" %s %dx%d %s |", screen.fullscreen ? "full screen" : "window", screen.width,
                    screen.height, screen.widescreen ? "widescreen" : "4:3");
    }
    std::printf("\n|---|---|---|---|---|\n");
    for (int32_t level = 0; level < CAMPAIGN_LEVEL_COUNT; ++level)
    {
        std::printf("| level %d, %d x %d |", level + 1, CAMPAIGN_LEVELS[level].length,
                    CAMPAIGN_LEVELS[level].width);
        for (double cell : ms[level])
        {
            std::printf(" %.2f ms (%.0f fps) |", cell, 1000.0 / cell);
        }
        std::printf("\n");
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    launchOptions.uncapped = true; // every frame as soon as it is drawn
    gameState.screenState = STATE_PLAYING;
    gameState.levelIntro = false;
    ResetCamera();
    gameState.eyeX = gameState.lookX;
    gameState.eyeY = gameState.lookY - std::cos(gameState.cameraPitch) * gameState.cameraDistance;
    gameState.eyeZ = std::sin(gameState.cameraPitch) * gameState.cameraDistance;
    if (chdir(DATA_DIR) != 0)
    {
        std::fprintf(stderr, "no data at %s\n", DATA_DIR);
        return 1;
    }
    if (argc > 1 && std::strcmp(argv[1], "screens") == 0)
    {
        return PrintScreensTable() ? 0 : 1;
    }
    if (!OpenBenchWindow({false, 1024, 768, false}))
    {
        return 1;
    }
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
    CloseBenchWindow();
    return PrintScreensTable() ? 0 : 1;
}
