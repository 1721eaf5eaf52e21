#include "present/gl_window.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <numbers>

#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "flow/preferences.h"
#include "maze/maze_render.h"
#include "platform/platform.h"
#include "present/screenshot.h"
#include "present/settings.h"
#include "present/text_output.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "text/translation.h"

GlWindow glWindow;

namespace
{

bool FailWindow(const char* text)
{
    DestroyGLWindow();
    ShowMessageBox(text, Translate("KLAIDA"), ICON_EXCLAMATION);
    return false;
}

void ReportTeardownFailure(const char* text)
{
    ShowMessageBox(text, Translate("SHUTDOWN ERROR"), ICON_INFORMATION);
}

} // namespace

bool CreateGLWindow(const char* title, int32_t width, int32_t height, int32_t colorBits,
                    int32_t refreshRate, uint8_t depthBits, bool fullscreen)
{
    settings.fullscreen = fullscreen;
    if (!RegisterWindowClass())
    {
        ShowMessageBox(Translate("Failed To Register The Window Class."), Translate("ERROR"),
                       ICON_EXCLAMATION);
        return false;
    }
    // Full screen at the desktop's own mode (--fullscreen without --size, or the preferences'
    // full screen) keeps the desktop as it is: no mode to switch, nothing to ask.
    bool atDesktopMode = IsAtDesktopMode();
    if (settings.fullscreen && !atDesktopMode &&
        !ChangeDisplayMode(width, height, colorBits, refreshRate))
    {
        if (!AskYesNo(Translate("The Requested Fullscreen Mode Is Not Supported By\nYour Video "
                                "Card. \nUse Windowed Mode Instead?"),
                      modeText, ICON_EXCLAMATION))
        {
            ShowMessageBox(Translate("Program Will Now Close."), Translate("KLAIDA"), ICON_STOP);
            return false;
        }
        settings.fullscreen = false;
    }
    if (settings.fullscreen)
    {
        ShowMouseCursor(false);
    }
    WindowResult result =
        CreateGameWindow(title, width, height, settings.fullscreen, colorBits, depthBits);
    if (result == WINDOW_NOT_CREATED)
    {
        return FailWindow(Translate("Nesukurtas langas"));
    }
    if (result == WINDOW_NO_PIXEL_FORMAT)
    {
        return FailWindow(Translate("Can't Find A Suitable PixelFormat."));
    }
    glWindow.windowCreated = true;
    if (!CreateRenderingContext())
    {
        return FailWindow(Translate("Nesukurtas GL Rendering Context."));
    }
    glWindow.renderingContextCreated = true;
    if (!MakeRenderingContextCurrent())
    {
        return FailWindow(Translate("Neaktyvuotas GL Rendering Context."));
    }
    SetSwapWait(!launchOptions.uncapped);
    ShowGameWindow();
    MeasureScreen(atDesktopMode, width, height, refreshRate);
    ResizeViewport(gameState.screenWidth, gameState.screenHeight);
    if (!InitGL())
    {
        return FailWindow(Translate("Klaida InitGL"));
    }
    return true;
}

void MeasureScreen(bool atDesktopMode, int32_t width, int32_t height, int32_t refreshRate)
{
    gameState.screenWidth = width;
    gameState.screenHeight = height;
    gameState.screenRefreshRate = refreshRate;
    if (atDesktopMode)
    {
        GetDesktopMode(&gameState.screenWidth, &gameState.screenHeight,
                       &gameState.screenRefreshRate);
    }
}

bool InitGL()
{
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // A textured polygon shows its texture's own colours and alpha: there is no lighting.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    if (!BuildFont())
    {
        ShowMessageBox(Translate("Klaida BuildFont"), Translate("ERROR"), ICON_INFORMATION);
        return false;
    }
    return true;
}

ViewportBox ComputeViewport(int32_t width, int32_t height)
{
    int32_t h = height < 10 ? 10 : height;
    float ratio = static_cast<float>(width) / static_cast<float>(h);
    ViewportBox box = {0, 0, width, h};
    if (ratio < 1.3333f)
    {
        box.height = static_cast<int32_t>(width * 0.25 * 3.0);
    }
    else if (ratio > 1.3334f)
    {
        // The float nearest a third lies just above it, so a height that is a multiple of 3
        // gives exactly four thirds of it.
        box.width = static_cast<int32_t>(h * static_cast<double>(0.33333334f) * 4.0);
    }
    box.x = (width - box.width) / 2;
    box.y = (height - box.height) / 2;
    return box;
}

void ResizeViewport(int32_t width, int32_t height)
{
    glWindow.clientWidth = width;
    glWindow.clientHeight = height;
    SetPictureView();
    glLoadIdentity();
    ViewportBox box = ComputeViewport(width, height);
    SetLetterHeight(ChooseLetterHeight(box.height, preferences.letters == LETTERS_FIXED));
}

void SetPictureView()
{
    ViewportBox box = ComputeViewport(glWindow.clientWidth, glWindow.clientHeight);
    glViewport(box.x, box.y, box.width, box.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 4.0 / 3.0, 1.0, 300.0);
    glMatrixMode(GL_MODELVIEW);
}

void SetSceneView()
{
    ViewportBox box = ComputeViewport(glWindow.clientWidth, glWindow.clientHeight);
    if (!IsWidescreen() || box.width <= 0 || box.height <= 0)
    {
        SetPictureView();
        return;
    }
    // The picture's own frustum carried out to the window's edges: a window wider than 4:3 keeps
    // the 45-degree vertical field of view and sees more at the sides, a taller one more above and
    // below, and the 4:3 picture itself shows what it shows without the wide screen.
    double step = 2.0 * std::tan(22.5 * std::numbers::pi / 180.0) / box.height; // at the near plane
    double middleX = box.x + box.width / 2.0;
    double middleY = box.y + box.height / 2.0;
    glViewport(0, 0, glWindow.clientWidth, glWindow.clientHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-middleX * step, (glWindow.clientWidth - middleX) * step, -middleY * step,
              (glWindow.clientHeight - middleY) * step, 1.0, 300.0);
    glMatrixMode(GL_MODELVIEW);
}

void DestroyGLWindow()
{
    // A picture still being written is finished first: its thread must not outlive the game.
    FinishScreenshots();
    if (settings.fullscreen)
    {
        RestoreDisplayMode();
        ShowMouseCursor(true);
    }
    if (glWindow.renderingContextCreated)
    {
        DeleteFont();
        DeleteMazeLists();
        glDeleteTextures(static_cast<GLsizei>(textureCount), textureIds);
        if (!ReleaseRenderingContext())
        {
            ReportTeardownFailure(Translate("Release Of DC And RC Failed."));
        }
        if (!DeleteRenderingContext())
        {
            ReportTeardownFailure(Translate("Release Rendering Context Failed."));
        }
        glWindow.renderingContextCreated = false;
    }
    // SDL's window has no drawing surface of its own to release: it goes with the window.
    if (glWindow.windowCreated)
    {
        if (!DestroyGameWindow())
        {
            ReportTeardownFailure(Translate("Could Not Release hWnd."));
        }
        glWindow.windowCreated = false;
    }
    if (!UnregisterWindowClass())
    {
        ReportTeardownFailure(Translate("Could Not Unregister Class."));
    }
    ShutdownSound();
}
