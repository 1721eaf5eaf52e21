#include "present/hud.h"

#include <GL/gl.h>

#include "flow/game_state.h"
#include "platform/platform.h"
#include "present/screenshot.h"
#include "present/text_output.h"
#include "records/best_times.h"
#include "resources/help_text.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "text/code_page.h"
#include "text/translation.h"

FpsCounter fpsCounter;

namespace
{

// A picture of the bound texture as a box; its lowest s and t go to the lower-left corner.
void DrawPicture(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1)
{
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(x0, y0);
    glTexCoord2f(s1, t0);
    glVertex2f(x1, y0);
    glTexCoord2f(s1, t1);
    glVertex2f(x1, y1);
    glTexCoord2f(s0, t1);
    glVertex2f(x0, y1);
    glEnd();
}

void BeginFlatPicture()
{
    SetOverlayView();
    glDisable(GL_DEPTH_TEST);
}

void SlideMenuPanel()
{
    if (gameState.menuShown)
    {
        if (gameState.menuOffset < MENU_OFFSET_SHOWN)
        {
            gameState.menuOffset =
                static_cast<float>(gameState.menuOffset + 2.0 * gameState.frameSeconds);
        }
    }
    else if (gameState.menuOffset > 0.0f)
    {
        gameState.menuOffset =
            static_cast<float>(gameState.menuOffset - 2.0 * gameState.frameSeconds);
    }
    if (gameState.menuOffset < 0.0f)
    {
        if (gameState.soundEnabled)
        {
            StopSound(SND_MENU_SLIDE);
        }
        gameState.menuOffset = 0.0f;
    }
    if (gameState.menuShown && gameState.menuOffset > MENU_OFFSET_SHOWN)
    {
        gameState.menuOffset = MENU_OFFSET_SHOWN;
        if (gameState.soundEnabled)
        {
            StopSound(SND_MENU_SLIDE);
        }
    }
}

void DrawHelpBox()
{
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    DrawBox(-4.1f, -3.1f, 4.1f, 3.1f);
    glColor4f(0.0f, 0.0f, 0.0f, 0.8f);
    DrawBox(-4.05f, -3.05f, 4.05f, 3.05f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    // Each line of the file, in UTF-8, is its own id in the catalog: a line the catalog lacks (a
    // player's own edit, an empty line) is drawn as it stands.
    for (uint32_t i = 0; i < helpLineCount; ++i)
    {
        char line[HELP_LINE_LENGTH * 3];
        ConvertToUtf8(helpLines[i], line, sizeof line);
        SetOverlayView();
        glRasterPos2f(-3.9f, 2.8f - 0.2f * static_cast<float>(i));
        PrintText("%s", line[0] != '\0' ? Translate(line) : line);
    }
}

void DrawLoadingPicture()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    BeginFlatPicture();
    glColor3f(0.6f, 0.6f, 0.6f);
    glRasterPos2f(-0.5f, 0.0f);
    PrintText("%s", Translate("Užkraunami duomenys..."));
}

} // namespace

void DrawHud()
{
    // A maze that keeps a best time shows it under the clock, and a run that beats it says so
    // once it has reached the exit: the box grows upward and wider for the longer line.
    bool newBestShown = race.newBest && gameState.levelOutro;
    bool bestShown =
        gameState.screenState == STATE_PLAYING && (race.bestSeconds >= 0 || newBestShown);
    bool campaign = gameState.fixedCampaign || gameState.randomCampaign;
    float lift = bestShown ? 0.2f : 0.0f; // every line up by one, and the box's top with them
    float textX = bestShown ? 3.4f : 4.1f;
    BeginFlatPicture();
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
    DrawBox(bestShown ? 3.2f : 3.9f, -4.1f, 5.3f, (campaign ? -3.2f : -3.6f) + lift);
    glColor4f(0.1f, 0.1f, 0.0f, 1.0f);
    DrawBox(bestShown ? 3.25f : 3.95f, -4.05f, 5.25f, (campaign ? -3.25f : -3.65f) + lift);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    if (campaign)
    {
        glRasterPos2f(textX, -3.5f + lift);
        PrintText(Translate("Vortanas: %i/5"), static_cast<int>(gameState.levelNumber));
        glRasterPos2f(textX, -3.7f + lift);
        PrintText(Translate("Rezultatas: %4i"), gameState.score);
    }
    glRasterPos2f(textX, -3.9f + lift);
    PrintText(Translate("Laikas: %4i"), gameState.levelSeconds);
    if (bestShown)
    {
        glRasterPos2f(textX, -3.9f);
        if (newBestShown)
        {
            PrintText("%s", Translate("Naujas geriausias laikas!"));
        }
        else
        {
            PrintText(Translate("Geriausias laikas: %i s"), static_cast<int>(race.bestSeconds));
        }
    }
    glEnable(GL_DEPTH_TEST);
}

void DrawOverlay()
{
    BeginFlatPicture();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureIds[TEX_MENU]);
    SlideMenuPanel();

    glPushMatrix();
    glTranslatef(0.0f, gameState.menuOffset, 0.0f);
    DrawPicture(-5.52f, -8.0f, -2.52f, -3.5f, 0.0f, 0.0f, 0.5f, 0.75f);
    glTranslatef(-3.6f, -5.0f - 0.5f * gameState.menuSelection, 0.0f);
    DrawPicture(-1.5f, -0.65f, 1.5f, 0.65f, 0.505f, 0.755f, 0.99f, 0.99f);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(-5.0f, -3.75f, 0.0f);
    glPushMatrix();
    glRotatef(gameState.menuOffset * 79.787f, 0.0f, 0.0f, 1.0f);
    DrawPicture(-0.75f, -0.75f, 0.75f, 0.75f, 0.0f, 0.755f, 0.245f, 1.0f);
    glPopMatrix();
    DrawPicture(-0.75f, -0.75f, 0.75f, 0.75f, 0.25f, 0.755f, 0.495f, 1.0f);
    glPopMatrix();

    glPushMatrix();
    if (gameState.helpShown)
    {
        DrawHelpBox();
    }
    else
    {
        DrawPicture(-5.3f, 3.6f, -3.9f, 4.3f, 0.5f, 0.01f, 1.0f, 0.25f);
        glDisable(GL_TEXTURE_2D);
    }
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

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
    BeginFlatPicture();
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    DrawBox(-5.5f, 3.7f, -3.5f, 4.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2f(-5.4f, 3.8f);
    UpdateFpsCounter();
    PrintText(Translate("FPS: %4i  %dx%d@%d"), static_cast<int>(fpsCounter.fpsValue),
              static_cast<int>(gameState.screenWidth), static_cast<int>(gameState.screenHeight),
              static_cast<int>(gameState.screenRefreshRate));
    return true;
}

void DrawScreenshotNote()
{
    int32_t state = screenshot.state;
    if ((state != SHOT_KEPT && state != SHOT_FAILED) || screenshot.noteSeconds > 2.0f)
    {
        return;
    }
    screenshot.noteSeconds += gameState.frameSeconds;
    BeginFlatPicture();
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    DrawBox(-5.5f, 3.35f, 1.5f, 3.65f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2f(-5.4f, 3.45f);
    // The name is the date and time, in ASCII.
    PrintText(state == SHOT_KEPT ? Translate("Nuotrauka išsaugota: Vortanai/%s")
                                 : Translate("Nuotraukos išsaugoti nepavyko: %s"),
              screenshot.name);
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
