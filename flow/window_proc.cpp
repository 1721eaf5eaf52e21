#include "flow/window_proc.h"

#include "flow/game_state.h"
#include "flow/pad_input.h"
#include "platform/platform.h"
#include "present/gl_window.h"
#include "present/screenshot.h"
#include "present/settings.h"

namespace
{

uint32_t LowWord(uint32_t value)
{
    return value & 0xFFFF;
}

uint32_t HighWord(uint32_t value)
{
    return (value >> 16) & 0xFFFF;
}

// F11 and Alt+Enter: full screen at the desktop's own mode, or back to the settings' window. The
// mouse and the frame-rate line then count with the screen the game has.
void SwitchScreenMode()
{
    auto width = static_cast<int32_t>(settings.screenWidth);
    auto height = static_cast<int32_t>(settings.screenHeight);
    MeasureScreen(SwitchFullscreen(width, height), width, height,
                  static_cast<int32_t>(settings.refreshRate));
}

} // namespace

int32_t WndProc(uint32_t message, uint32_t wParam, uint32_t lParam)
{
    switch (message)
    {
    case WM_SIZE:
        ResizeViewport(static_cast<int32_t>(LowWord(lParam)),
                       static_cast<int32_t>(HighWord(lParam)));
        return 0;
    case WM_ACTIVATE:
        // Only minimising stops the frames; losing the focus does not.
        gameState.windowActive = HighWord(wParam) == 0;
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        gameState.keyDown[wParam & 0xFF] = true;
        // F9, which no screen has a use for, takes a picture of whatever screen is shown.
        if ((wParam & 0xFF) == VK_F9)
        {
            RequestScreenshot();
        }
        if ((wParam & 0xFF) == VK_F11)
        {
            SwitchScreenMode();
        }
        gameState.keyRoutine(wParam);
        return 0;
    case WM_SYSKEYDOWN:
        if ((wParam & 0xFF) == VK_RETURN)
        {
            SwitchScreenMode();
            return 0;
        }
        break;
    case WM_KEYUP:
        gameState.keyDown[wParam & 0xFF] = false;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
        {
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        gameState.leftButton = true;
        return 0;
    case WM_LBUTTONUP:
        gameState.leftButton = false;
        return 0;
    case WM_RBUTTONDOWN:
        gameState.rightButton = true;
        return 0;
    case WM_RBUTTONUP:
        gameState.rightButton = false;
        return 0;
    case WM_MOUSEWHEEL:
        // The high word is taken unsigned: a notch toward the user (-120) reads as 545.
        gameState.wheelNotches = static_cast<int32_t>(HighWord(wParam) / WHEEL_DELTA);
        return 0;
    case WM_PADBUTTONDOWN:
    case WM_PADBUTTONUP:
    case WM_PADAXIS:
        // The pad posts the keys, buttons and wheel it means, which come back here in turn.
        OnPadMessage(message, wParam, lParam);
        return 0;
    default:
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}
