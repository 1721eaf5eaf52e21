#include "present/hud.h"

#include <GL/gl.h>

#include "flow/game_state.h"
#include "platform/platform.h"
#include "present/settings.h"
#include "present/text_output.h"

FpsCounter fpsCounter;

namespace
{

// "Užkraunami duomenys..." in code page 1257 (0xFE is z with caron).
constexpr const char* LOADING_TEXT = "U\xFEkraunami duomenys...";

void DrawLoadingPicture()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetOverlayView();
    glDisable(GL_DEPTH_TEST);
    glColor3f(0.6f, 0.6f, 0.6f);
    glRasterPos2f(-0.5f, 0.0f);
    PrintText("%s", LOADING_TEXT);
}

} // namespace

bool DrawLoadingScreen()
{
    // Both buffers hold the picture, so the splash, which never clears, fades it out.
    DrawLoadingPicture();
    SwapWindowBuffers();
    DrawLoadingPicture();
    return true;
}

bool DrawFps()
{
    SetOverlayView();
    glDisable(GL_DEPTH_TEST);
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    DrawBox(-5.5f, 3.7f, -3.5f, 4.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2f(-5.4f, 3.8f);
    UpdateFpsCounter();
    PrintText("FPS: %4i  %dx%d@%d", static_cast<int>(fpsCounter.fpsValue),
              static_cast<int>(settings.screenWidth), static_cast<int>(settings.screenHeight),
              static_cast<int>(settings.refreshRate));
    return true;
}

void UpdateFpsCounter()
{
    ++fpsCounter.fpsFrames;
    fpsCounter.fpsTicks += gameState.counterDelta;
    if (gameState.counterFrequency != 0 && fpsCounter.fpsTicks / gameState.counterFrequency >= 2)
    {
        fpsCounter.fpsValue = fpsCounter.fpsFrames;
        fpsCounter.fpsFrames = 0;
        fpsCounter.fpsTicks -= gameState.counterFrequency;
    }
}
