#include "flow/main_loop.h"

#include <algorithm>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "flow/options_screen.h"
#include "flow/pad_input.h"
#include "flow/screens.h"
#include "flow/window_proc.h"
#include "platform/platform.h"
#include "present/gl_window.h"
#include "present/hud.h"
#include "present/screenshot.h"
#include "present/settings.h"
#include "resources/resource_load.h"
#include "resources/sound_bank.h"
#include "text/translation.h"

namespace
{

constexpr int32_t MINIMISED_WAIT_MS = 250;

} // namespace

bool StartGame()
{
    if (!OpenScreen())
    {
        ShowMessageBox(Translate("Can't Create A GL Device Context."), Translate("KLAIDA"),
                       ICON_EXCLAMATION);
        DestroyGLWindow();
        return false;
    }
    if (!LoadSettings())
    {
        ShowMessageBox(Translate("Klaida uzkraunant nustatymus"), Translate("KLAIDA"),
                       ICON_EXCLAMATION);
        return false;
    }
    ApplyLaunchOptions();
    if (!ReleaseScreen())
    {
        ShowMessageBox(Translate("Release Device Context Failed."), Translate("SHUTDOWN ERROR"),
                       ICON_INFORMATION);
    }
    if (!CreateGLWindow(
            settings.windowTitle, static_cast<int32_t>(settings.screenWidth),
            static_cast<int32_t>(settings.screenHeight), static_cast<int32_t>(settings.colorBits),
            static_cast<int32_t>(settings.refreshRate), settings.depthBits, settings.fullscreen))
    {
        ShowMessageBox(Translate("Klaida CreateGLWindow"), Translate("KLAIDA"), ICON_EXCLAMATION);
        return false;
    }
    if (!InitSound())
    {
        ShowMessageBox(Translate("Klaida inicializuojant OpenAL"), Translate("KLAIDA"),
                       ICON_EXCLAMATION);
        return false;
    }
    if (!DrawLoadingScreen())
    {
        ShowMessageBox(Translate("Klaida piesiant scena"), Translate("KLAIDA"), ICON_EXCLAMATION);
        return false;
    }
    if (!LoadResources())
    {
        return false;
    }
    ApplySoundPreferences();
    return true;
}

FramePacing framePacing;

void PaceFrame()
{
    if (launchOptions.uncapped)
    {
        return;
    }
    int64_t now = ReadPerformanceCounter();
    if (!framePacing.pacing)
    {
        // A fifth above the display's rate for a whole second: the swap does not wait for it.
        if (framePacing.probeFrames++ == 0)
        {
            framePacing.probeStart = now;
        }
        int64_t spent = now - framePacing.probeStart;
        if (spent >= ReadPerformanceFrequency())
        {
            framePacing.pacing = (framePacing.probeFrames - 1) * framePacing.period > spent * 6 / 5;
            framePacing.probeFrames = 0;
            framePacing.due = now;
        }
        return;
    }
    // A frame that came late starts the count again rather than hurrying the next ones.
    framePacing.due += framePacing.period;
    if (framePacing.due <= now)
    {
        framePacing.due = now;
        return;
    }
    SleepUntilCounter(framePacing.due);
}

int32_t WinMain()
{
    if (!StartGame())
    {
        return 0;
    }
    int32_t width = 0;
    int32_t height = 0;
    int32_t refreshRate = 60;
    GetDesktopMode(&width, &height, &refreshRate);
    framePacing = FramePacing{};
    framePacing.period = ReadPerformanceFrequency() / std::max(refreshRate, 1);
    WindowMessage message = {};
    for (;;)
    {
        if (PeekWindowMessage(&message))
        {
            if (message.message == WM_QUIT)
            {
                break;
            }
            WndProc(message.message, message.wParam, message.lParam);
        }
        else if (!gameState.windowActive && WaitWindowMessage(MINIMISED_WAIT_MS))
        {
            // Minimised, the loop sleeps until the window system says something.
            continue;
        }
        else
        {
            // Some window systems never tell of a restored window: one seen again draws again.
            if (!gameState.windowActive && IsGameWindowShown())
            {
                gameState.windowActive = true;
            }
            if (RunIdlePass() == 0)
            {
                message.wParam = 0;
                break;
            }
            if (gameState.windowActive)
            {
                PaceFrame();
            }
        }
    }
    DestroyGLWindow();
    return static_cast<int32_t>(message.wParam);
}

int32_t RunIdlePass()
{
    if (gameState.windowActive && RunFrame() == 0)
    {
        return 0;
    }
    SwapWindowBuffers();
    UpdatePad();
    GetCursorPosition(&gameState.cursorPos.x, &gameState.cursorPos.y);
    gameState.mouseRoutine();
    gameState.thinkRoutine();
    return 1;
}

int32_t RunFrame()
{
    if (gameState.fixedCampaign && gameState.levelSetupPending)
    {
        SetUpCampaignLevel();
    }
    if (gameState.randomCampaign && gameState.levelSetupPending)
    {
        SetUpCampaignLevel();
    }
    if (gameState.stateChangePending)
    {
        gameState.stateChangePending = false;
        EnterScreen(gameState.screenState);
    }
    UpdateFrameTimer();
    if (gameState.drawRoutine() == 0)
    {
        ShowMessageBox(Translate("Klaida piesiant scena"), Translate("ERROR"), ICON_EXCLAMATION);
    }
    if (gameState.fpsShown)
    {
        DrawFps();
    }
    // The picture is the frame as it will show, without the line about the picture before.
    TakeRequestedScreenshot(glWindow.clientWidth, glWindow.clientHeight);
    DrawScreenshotNote();
    return gameState.quitRequested ? 0 : 1;
}

void StartFrameTimer()
{
    gameState.counterFrequency = ReadPerformanceFrequency();
    gameState.counterLast = ReadPerformanceCounter();
}

void UpdateFrameTimer()
{
    int64_t reading = ReadPerformanceCounter();
    gameState.counterDelta = reading - gameState.counterLast;
    gameState.counterLast = reading;
    gameState.frameSeconds =
        static_cast<float>(static_cast<long double>(gameState.counterDelta) /
                           static_cast<long double>(gameState.counterFrequency));
    gameState.phaseClock += gameState.frameSeconds;
}
