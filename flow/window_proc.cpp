#include "flow/window_proc.h"

#include "flow/game_state.h"
#include "flow/options.h"
#include "flow/options_screen.h"
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

// A key going down or up. An action message (from a pad or a mouse button) holds its action; a
// key holds itself. F9 (picture) and F11 (full screen) work on every screen, by their bindings,
// but not while the options wait for a key to bind.
void OnKeyMessage(uint32_t wParam, uint32_t lParam, bool down)
{
    auto key = static_cast<uint8_t>(wParam);
    if ((lParam & KEY_ACTION_FLAG) != 0)
    {
        int action = FindKeyAction(key, lParam);
        if (action >= 0)
        {
            gameState.actionDown[action] = down;
        }
    }
    else
    {
        gameState.keyDown[key] = down;
        gameState.scanCodeDown[ReadScanCode(lParam)] = down;
    }
    if (!down)
    {
        return;
    }
    gameState.keyFlags = lParam;
    bool binding = gameState.screenState == STATE_OPTIONS && optionsScreen.capturing;
    uint8_t action = binding ? 0 : ReadKeyAction(wParam);
    if (action == VK_F9)
    {
        RequestScreenshot();
    }
    if (action == VK_F11)
    {
        SwitchScreenMode();
    }
    gameState.keyRoutine(wParam);
}

// The middle and side buttons stand for the actions bound to them, or are bound themselves.
void OnMouseButton(MouseButton button, bool down)
{
    if (down && CaptureMouseButton(button))
    {
        return;
    }
    int action = FindMouseAction(button);
    if (action >= 0)
    {
        OnKeyMessage(ACTIONS[action].key, (down ? KEY_DOWN_FLAGS : KEY_UP_FLAGS) | KEY_ACTION_FLAG,
                     down);
    }
}

} // namespace

void SwitchScreenMode()
{
    auto width = static_cast<int32_t>(settings.screenWidth);
    auto height = static_cast<int32_t>(settings.screenHeight);
    MeasureScreen(SwitchFullscreen(width, height), width, height,
                  static_cast<int32_t>(settings.refreshRate));
}

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
    case WM_KEYUP:
        OnKeyMessage(wParam, lParam, message == WM_KEYDOWN);
        return 0;
    case WM_SYSKEYDOWN:
        if ((wParam & 0xFF) == VK_RETURN)
        {
            SwitchScreenMode();
            return 0;
        }
        // F10 comes as a system key; it opens the options over the menu or play.
        if ((wParam & 0xFF) == VK_F10)
        {
            OpenOptions();
            return 0;
        }
        break;
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
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        OnMouseButton(MOUSE_MIDDLE, message == WM_MBUTTONDOWN);
        return 0;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
        OnMouseButton(HighWord(wParam) == XBUTTON1 ? MOUSE_SIDE_1 : MOUSE_SIDE_2,
                      message == WM_XBUTTONDOWN);
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
