// The desktop around the game window, over SDL2: message boxes, the cursor, the clock, the
// display and the browser.
#include "platform/platform.h"

#include <SDL2/SDL.h>
#include <cstdio>
#include <ctime>

#include "text/translation.h"

namespace
{

Uint32 IconFlags(MessageIcon icon)
{
    switch (icon)
    {
    case ICON_STOP:
        return SDL_MESSAGEBOX_ERROR;
    case ICON_INFORMATION:
        return SDL_MESSAGEBOX_INFORMATION;
    case ICON_EXCLAMATION:
    default:
        return SDL_MESSAGEBOX_WARNING;
    }
}

// Shows a box with the given buttons; the id of the button pressed, or -1 when the box failed.
int RunMessageBox(const char* text, const char* caption, MessageIcon icon,
                  const SDL_MessageBoxButtonData* buttons, int buttonCount)
{
    SDL_MessageBoxData box = {IconFlags(icon), nullptr, caption, text,
                              buttonCount,     buttons, nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0)
    {
        // The player is told in the terminal at least, where there is one.
        std::fprintf(stderr, "%s: %s (%s)\n", caption, text, SDL_GetError());
        return -1;
    }
    return pressed;
}

} // namespace

bool OpenScreen()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0)
    {
        // The box that follows cannot say why; the terminal can.
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

bool ReleaseScreen()
{
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
    return true;
}

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon)
{
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0,
         Translate("OK")},
    };
    RunMessageBox(text, caption, icon, buttons, 1);
}

bool AskYesNo(const char* text, const char* caption, MessageIcon icon)
{
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, Translate("No")},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, Translate("Yes")},
    };
    return RunMessageBox(text, caption, icon, buttons, 2) == 1;
}

void GetDesktopMode(int32_t* width, int32_t* height, int32_t* refreshRate)
{
    SDL_DisplayMode mode = {};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
    {
        mode.w = 0;
        mode.h = 0;
    }
    *width = mode.w;
    *height = mode.h;
    // A display that does not know its rate (Xvfb among them) is taken to run at 60 Hz.
    *refreshRate = mode.refresh_rate != 0 ? mode.refresh_rate : 60;
}

int64_t ReadPerformanceCounter()
{
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t ReadPerformanceFrequency()
{
    return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

void SleepUntilCounter(int64_t counter)
{
    // The kernel's sleep ends a little late: it sleeps all but the last quarter millisecond,
    // which is waited out on the clock.
    int64_t frequency = ReadPerformanceFrequency();
    int64_t early = counter - frequency / 4000;
    int64_t now = ReadPerformanceCounter();
    if (now < early)
    {
        int64_t nanoseconds = (early - now) * 1000000000 / frequency;
        timespec span = {static_cast<time_t>(nanoseconds / 1000000000), nanoseconds % 1000000000};
        nanosleep(&span, nullptr);
    }
    while (ReadPerformanceCounter() < counter)
    {
    }
}

void GetCursorPosition(int32_t* x, int32_t* y)
{
    int cursorX = 0;
    int cursorY = 0;
    SDL_GetGlobalMouseState(&cursorX, &cursorY);
    *x = cursorX;
    *y = cursorY;
}

void SetCursorPosition(int32_t x, int32_t y)
{
    SDL_WarpMouseGlobal(x, y);
}

void OpenAddress(const char* address)
{
    SDL_OpenURL(address);
}
