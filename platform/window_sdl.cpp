// The game window, its OpenGL context and its messages, over SDL2.
#include "platform/platform.h"

#include <SDL2/SDL.h>
#include <cstdlib>

#include "platform/game_pad_sdl.h"
#include "platform/key_codes.h"
#include "text/code_page.h"

namespace
{

// Room for what one SDL event becomes and for what a game pad posts in a pass.
constexpr int MESSAGE_QUEUE_SIZE = 32;
// A title is at most 15 code page 1257 characters, each at most 3 bytes of UTF-8.
constexpr size_t TITLE_UTF8_SIZE = 64;

// The window system's side of the one game window. Lives from CreateGameWindow to
// DestroyGameWindow; the queue holds messages that one SDL event turned into several.
struct SdlWindow
{
    SDL_Window* window;
    SDL_GLContext context;
    bool classRegistered;
    bool displayModeChanged;
    SDL_DisplayMode fullscreenMode;
    bool quitPosted;
    int32_t quitCode;
    WindowMessage queue[MESSAGE_QUEUE_SIZE];
    int queueHead;
    int queueLength;
};

SdlWindow sdlWindow;

void QueueMessage(uint32_t message, uint32_t wParam, uint32_t lParam)
{
    if (sdlWindow.queueLength == MESSAGE_QUEUE_SIZE)
    {
        return;
    }
    int slot = (sdlWindow.queueHead + sdlWindow.queueLength) % MESSAGE_QUEUE_SIZE;
    sdlWindow.queue[slot] = {message, wParam, lParam};
    ++sdlWindow.queueLength;
}

uint32_t PackWords(uint32_t low, uint32_t high)
{
    return (low & 0xFFFF) | ((high & 0xFFFF) << 16);
}

void QueueWindowEvent(const SDL_WindowEvent& event)
{
    switch (event.event)
    {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        QueueMessage(
            WM_SIZE, 0,
            PackWords(static_cast<uint32_t>(event.data1), static_cast<uint32_t>(event.data2)));
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        // Win32 reports a minimised window as a client area of 0 x 0 and a minimised flag.
        QueueMessage(WM_SIZE, 0, 0);
        QueueMessage(WM_ACTIVATE, PackWords(0, 1), 0);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    {
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(sdlWindow.window, &width, &height);
        QueueMessage(WM_ACTIVATE, PackWords(1, 0), 0);
        QueueMessage(WM_SIZE, 0,
                     PackWords(static_cast<uint32_t>(width), static_cast<uint32_t>(height)));
        break;
    }
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
    {
        bool minimised = (SDL_GetWindowFlags(sdlWindow.window) & SDL_WINDOW_MINIMIZED) != 0;
        uint32_t active = event.event == SDL_WINDOWEVENT_FOCUS_GAINED ? 1 : 0;
        QueueMessage(WM_ACTIVATE, PackWords(active, minimised ? 1 : 0), 0);
        break;
    }
    case SDL_WINDOWEVENT_CLOSE:
        QueueMessage(WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void QueueKeyEvent(const SDL_KeyboardEvent& event)
{
    WindowMessage message;
    if (TranslateKeyEvent(event, &message))
    {
        QueueMessage(message.message, message.wParam, message.lParam);
    }
}

void QueueMouseButton(const SDL_MouseButtonEvent& event)
{
    bool down = event.type == SDL_MOUSEBUTTONDOWN;
    uint32_t lParam = PackWords(static_cast<uint32_t>(event.x), static_cast<uint32_t>(event.y));
    if (event.button == SDL_BUTTON_LEFT)
    {
        QueueMessage(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, lParam);
    }
    else if (event.button == SDL_BUTTON_RIGHT)
    {
        QueueMessage(down ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, lParam);
    }
    else if (event.button == SDL_BUTTON_MIDDLE)
    {
        QueueMessage(down ? WM_MBUTTONDOWN : WM_MBUTTONUP, 0, lParam);
    }
    else if (event.button == SDL_BUTTON_X1 || event.button == SDL_BUTTON_X2)
    {
        uint32_t side = event.button == SDL_BUTTON_X1 ? XBUTTON1 : XBUTTON2;
        QueueMessage(down ? WM_XBUTTONDOWN : WM_XBUTTONUP, PackWords(0, side), lParam);
    }
}

void QueueMouseWheel(const SDL_MouseWheelEvent& event)
{
    int32_t notches = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    if (notches == 0)
    {
        return;
    }
    // Win32 puts the signed delta, 120 a notch away from the user, in the high word.
    uint32_t delta = static_cast<uint32_t>(notches * WHEEL_DELTA);
    QueueMessage(WM_MOUSEWHEEL, PackWords(0, delta), 0);
}

void QueuePadEvent(const SDL_Event& event)
{
    WindowMessage message;
    if (TranslatePadEvent(event, &message))
    {
        QueueMessage(message.message, message.wParam, message.lParam);
    }
}

void QueueEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_QUIT:
        QueueMessage(WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        QueueWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        QueueKeyEvent(event.key);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        QueueMouseButton(event.button);
        break;
    case SDL_MOUSEWHEEL:
        QueueMouseWheel(event.wheel);
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
        QueuePadEvent(event);
        break;
    default:
        break;
    }
}

bool TakeQueuedMessage(WindowMessage* message)
{
    if (sdlWindow.queueLength == 0)
    {
        return false;
    }
    *message = sdlWindow.queue[sdlWindow.queueHead];
    sdlWindow.queueHead = (sdlWindow.queueHead + 1) % MESSAGE_QUEUE_SIZE;
    --sdlWindow.queueLength;
    return true;
}

SDL_Window* TryCreateWindow(const char* title, int32_t width, int32_t height, bool fullscreen,
                            int32_t colorBits, int32_t depthBits)
{
    int channelBits = colorBits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen)
    {
        flags |=
            sdlWindow.displayModeChanged ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    else
    {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    char utf8Title[TITLE_UTF8_SIZE];
    ConvertToUtf8(title, utf8Title, sizeof utf8Title);
    return SDL_CreateWindow(utf8Title, 0, 0, width, height, flags);
}

} // namespace

bool RegisterWindowClass()
{
    // X11 takes the window class from the environment when the window is made.
    setenv("SDL_VIDEO_X11_WMCLASS", "Vortanai", 0);
    SDL_SetHint(SDL_HINT_APP_NAME, "Vortanai");
    // A full-screen Win32 window stays as it is when a message box takes the focus.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    sdlWindow.classRegistered = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (sdlWindow.classRegistered)
    {
        // A game without pads is the game as it always was.
        OpenGamePads();
    }
    return sdlWindow.classRegistered;
}

bool UnregisterWindowClass()
{
    if (!sdlWindow.classRegistered)
    {
        return false;
    }
    CloseGamePads();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    sdlWindow.classRegistered = false;
    return true;
}

bool ChangeDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel, int32_t refreshRate)
{
    // Only an exact mode will do; SDL would otherwise pick the closest one silently. Bits per
    // pixel count as Win32 counts them, the bytes a pixel takes (XRGB8888 is a 32-bit mode), and a
    // display that does not know a mode's rate (refresh 0) has it at any rate asked for.
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i)
    {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
        {
            continue;
        }
        int32_t bytes = static_cast<int32_t>(SDL_BYTESPERPIXEL(mode.format));
        int32_t bits = bytes != 0 ? bytes * 8 : static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
        if (mode.w == width && mode.h == height && bits == bitsPerPixel &&
            (mode.refresh_rate == refreshRate || mode.refresh_rate == 0))
        {
            sdlWindow.fullscreenMode = mode;
            sdlWindow.displayModeChanged = true;
            return true;
        }
    }
    return false;
}

bool RestoreDisplayMode()
{
    // Leaving full screen gives the desktop its mode back at once, before the window goes.
    sdlWindow.displayModeChanged = false;
    return sdlWindow.window == nullptr || SDL_SetWindowFullscreen(sdlWindow.window, 0) == 0;
}

void ShowMouseCursor(bool shown)
{
    SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

WindowResult CreateGameWindow(const char* title, int32_t width, int32_t height, bool fullscreen,
                              int32_t colorBits, int32_t depthBits)
{
    // X visuals rarely offer a 32-bit depth buffer: like ChoosePixelFormat, settle for the
    // closest smaller one.
    const int32_t depths[] = {depthBits, 24, 16};
    for (int32_t depth : depths)
    {
        if (depth > depthBits)
        {
            continue;
        }
        sdlWindow.window = TryCreateWindow(title, width, height, fullscreen, colorBits, depth);
        if (sdlWindow.window != nullptr)
        {
            break;
        }
    }
    if (sdlWindow.window == nullptr)
    {
        // Tell a display without a fitting GL visual from one that makes no window at all.
        SDL_Window* plain = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_HIDDEN);
        if (plain == nullptr)
        {
            return WINDOW_NOT_CREATED;
        }
        SDL_DestroyWindow(plain);
        return WINDOW_NO_PIXEL_FORMAT;
    }
    if (fullscreen && sdlWindow.displayModeChanged)
    {
        SDL_SetWindowDisplayMode(sdlWindow.window, &sdlWindow.fullscreenMode);
    }
    return WINDOW_CREATED;
}

bool DestroyGameWindow()
{
    if (sdlWindow.window == nullptr)
    {
        return false;
    }
    SDL_DestroyWindow(sdlWindow.window);
    sdlWindow.window = nullptr;
    return true;
}

bool CreateRenderingContext()
{
    sdlWindow.context = SDL_GL_CreateContext(sdlWindow.window);
    return sdlWindow.context != nullptr;
}

bool MakeRenderingContextCurrent()
{
    return SDL_GL_MakeCurrent(sdlWindow.window, sdlWindow.context) == 0;
}

bool ReleaseRenderingContext()
{
    return SDL_GL_MakeCurrent(sdlWindow.window, nullptr) == 0;
}

bool DeleteRenderingContext()
{
    if (sdlWindow.context == nullptr)
    {
        return false;
    }
    SDL_GL_DeleteContext(sdlWindow.context);
    sdlWindow.context = nullptr;
    return true;
}

void ShowGameWindow()
{
    SDL_ShowWindow(sdlWindow.window);
    SDL_RaiseWindow(sdlWindow.window);
}

void SetSwapWait(bool wait)
{
    if (!wait || SDL_GL_SetSwapInterval(-1) != 0)
    {
        SDL_GL_SetSwapInterval(wait ? 1 : 0);
    }
}

bool WaitWindowMessage(int32_t milliseconds)
{
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, milliseconds) == 0)
    {
        return false;
    }
    QueueEvent(event);
    return true;
}

bool IsGameWindowShown()
{
    uint32_t flags = sdlWindow.window != nullptr ? SDL_GetWindowFlags(sdlWindow.window) : 0;
    return (flags & SDL_WINDOW_SHOWN) != 0 && (flags & SDL_WINDOW_MINIMIZED) == 0 &&
           (flags & SDL_WINDOW_HIDDEN) == 0;
}

bool IsGameWindowFullscreen()
{
    return sdlWindow.window != nullptr &&
           (SDL_GetWindowFlags(sdlWindow.window) & SDL_WINDOW_FULLSCREEN) != 0;
}

bool SwitchFullscreen(int32_t windowWidth, int32_t windowHeight)
{
    if (sdlWindow.window == nullptr)
    {
        return false;
    }
    if ((SDL_GetWindowFlags(sdlWindow.window) & SDL_WINDOW_FULLSCREEN) != 0)
    {
        SDL_SetWindowFullscreen(sdlWindow.window, 0);
        SDL_SetWindowSize(sdlWindow.window, windowWidth, windowHeight);
        return false;
    }
    return SDL_SetWindowFullscreen(sdlWindow.window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

void SwapWindowBuffers()
{
    if (sdlWindow.window != nullptr)
    {
        SDL_GL_SwapWindow(sdlWindow.window);
    }
}

bool PeekWindowMessage(WindowMessage* message)
{
    if (TakeQueuedMessage(message))
    {
        return true;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
    {
        QueueEvent(event);
        if (TakeQueuedMessage(message))
        {
            return true;
        }
    }
    if (sdlWindow.quitPosted)
    {
        sdlWindow.quitPosted = false;
        *message = {WM_QUIT, static_cast<uint32_t>(sdlWindow.quitCode), 0};
        return true;
    }
    return false;
}

void PostWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam)
{
    QueueMessage(message, wParam, lParam);
}

void PostQuitMessage(int32_t exitCode)
{
    sdlWindow.quitPosted = true;
    sdlWindow.quitCode = exitCode;
}

int32_t DefWindowProc(uint32_t, uint32_t, uint32_t)
{
    return 0;
}
