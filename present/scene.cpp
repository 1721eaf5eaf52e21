#include "present/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "maze/maze_grid.h"
#include "maze/maze_render.h"
#include "present/gl_window.h"
#include "present/hud.h"
#include "records/best_times.h"
#include "resources/texture_list.h"

int32_t DrawScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The maze may spread across the whole window; the panel and the HUD stay in the 4:3 picture.
    SetSceneView();
    glLoadIdentity();
    gluLookAt(gameState.eyeX, gameState.eyeY, gameState.eyeZ, gameState.lookX, gameState.lookY,
              gameState.lookZ, gameState.upX, gameState.upY, gameState.upZ);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureIds[gameState.mazeTextureIndex % TEXTURE_SLOT_COUNT]);
    // The walls' textures carry no alpha, so they take the current colour's: whatever the last
    // flat picture left (the splash leaves it clear) would make them see-through.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (!gameState.levelIntro && !gameState.levelOutro)
    {
        DrawMaze();
        if (gameState.screenState == STATE_PLAYING)
        {
            float ghostX = 0.0f;
            float ghostY = 0.0f;
            if (FindGhost(gameState.phaseClock, &ghostX, &ghostY))
            {
                DrawGhostMarker(ghostX, ghostY);
            }
            RecordRaceStep(gameState.phaseClock, mazeGrid.playerX, mazeGrid.playerY);
        }
        SetPictureView();
        DrawOverlay();
        CountLevelSeconds();
        DrawHud();
    }
    if (gameState.levelIntro)
    {
        DrawMazeAssembling();
        SetPictureView();
        // The menu panel slides in only once the maze has assembled.
        if (gameState.screenState > STATE_MENU)
        {
            DrawOverlay();
        }
        EndIntroIfDue();
    }
    // Runs right after the intro in the same frame when the exit was reached during it.
    if (gameState.levelOutro)
    {
        SetSceneView();
        DrawMazeScattering();
        SetPictureView();
        DrawOverlay();
        DrawHud();
        EndOutroIfDue();
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    return 1;
}
