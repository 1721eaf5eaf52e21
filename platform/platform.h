// The game's window system: everything the game asks of the desktop, as plain functions.
// The game was written against Win32; these functions keep Win32's meaning (screen pixels,
// message numbers, virtual-key codes, code page 1257 titles) so that the logic above them is
// unchanged. system_sdl.cpp and window_sdl.cpp implement them over SDL2; tests link their own
// stand-ins for the system half to script the clock, the cursor and the message boxes.
#pragma once

#include <cstdint>

// Window messages, numbered as Win32 numbers them.
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
// A side button: XBUTTON1 or XBUTTON2 in the high word of wParam.
constexpr uint32_t WM_XBUTTONDOWN = 0x020B;
constexpr uint32_t WM_XBUTTONUP = 0x020C;
constexpr uint32_t XBUTTON1 = 1;
constexpr uint32_t XBUTTON2 = 2;
// Game pads, in the range Win32 leaves to programs: a button (wParam: its PadButton) going down or
// up, and a stick or trigger moving (wParam: its PadAxis; lParam: the signed 16-bit value).
constexpr uint32_t WM_PADBUTTONDOWN = 0x8010;
constexpr uint32_t WM_PADBUTTONUP = 0x8011;
constexpr uint32_t WM_PADAXIS = 0x8012;

// The flags Win32 gives a key's first down, a held key's repeated down, and its up.
constexpr uint32_t KEY_DOWN_FLAGS = 0x00000001;
constexpr uint32_t KEY_REPEAT_FLAGS = 0x40000001;
constexpr uint32_t KEY_UP_FLAGS = 0xC0000001;
// A bit Win32 leaves reserved, set by the game on a key message that stands for an action rather
// than for a key (a game pad's button, a mouse button): it means that action whatever keys the
// player has bound to it.
constexpr uint32_t KEY_ACTION_FLAG = 0x02000000;
// A key's place on the keyboard, as its messages carry it in bits 16 to 23 of lParam.
inline uint8_t ReadScanCode(uint32_t lParam)
{
    return static_cast<uint8_t>(lParam >> 16);
}

constexpr uint32_t SC_SCREENSAVE = 0xF140;
constexpr uint32_t SC_MONITORPOWER = 0xF170;
constexpr int32_t WHEEL_DELTA = 120;

// Virtual-key codes: those the game reads and those of the other keys of a PC keyboard.
constexpr uint8_t VK_BACK = 0x08;
constexpr uint8_t VK_TAB = 0x09;
constexpr uint8_t VK_RETURN = 0x0D;
constexpr uint8_t VK_SHIFT = 0x10;
constexpr uint8_t VK_CONTROL = 0x11;
constexpr uint8_t VK_MENU = 0x12;
constexpr uint8_t VK_PAUSE = 0x13;
constexpr uint8_t VK_CAPITAL = 0x14;
constexpr uint8_t VK_ESCAPE = 0x1B;
constexpr uint8_t VK_SPACE = 0x20;
constexpr uint8_t VK_PRIOR = 0x21;
constexpr uint8_t VK_NEXT = 0x22;
constexpr uint8_t VK_END = 0x23;
constexpr uint8_t VK_HOME = 0x24;
constexpr uint8_t VK_LEFT = 0x25;
constexpr uint8_t VK_UP = 0x26;
constexpr uint8_t VK_RIGHT = 0x27;
constexpr uint8_t VK_DOWN = 0x28;
constexpr uint8_t VK_SNAPSHOT = 0x2C;
constexpr uint8_t VK_INSERT = 0x2D;
constexpr uint8_t VK_DELETE = 0x2E;
constexpr uint8_t VK_LWIN = 0x5B;
constexpr uint8_t VK_RWIN = 0x5C;
constexpr uint8_t VK_APPS = 0x5D;
constexpr uint8_t VK_NUMPAD0 = 0x60;
constexpr uint8_t VK_MULTIPLY = 0x6A;
constexpr uint8_t VK_ADD = 0x6B;
constexpr uint8_t VK_SUBTRACT = 0x6D;
constexpr uint8_t VK_DECIMAL = 0x6E;
constexpr uint8_t VK_DIVIDE = 0x6F;
constexpr uint8_t VK_F1 = 0x70;
constexpr uint8_t VK_F2 = 0x71;
constexpr uint8_t VK_F3 = 0x72;
constexpr uint8_t VK_F4 = 0x73;
constexpr uint8_t VK_F5 = 0x74;
constexpr uint8_t VK_F6 = 0x75;
constexpr uint8_t VK_F9 = 0x78;
constexpr uint8_t VK_F10 = 0x79;
constexpr uint8_t VK_F11 = 0x7A;
constexpr uint8_t VK_F12 = 0x7B;
constexpr uint8_t VK_F13 = 0x7C;
constexpr uint8_t VK_NUMLOCK = 0x90;
constexpr uint8_t VK_SCROLL = 0x91;
constexpr uint8_t VK_OEM_1 = 0xBA; // ; :
constexpr uint8_t VK_OEM_PLUS = 0xBB;
constexpr uint8_t VK_OEM_COMMA = 0xBC;
constexpr uint8_t VK_OEM_MINUS = 0xBD;
constexpr uint8_t VK_OEM_PERIOD = 0xBE;
constexpr uint8_t VK_OEM_2 = 0xBF;   // / ?
constexpr uint8_t VK_OEM_3 = 0xC0;   // ` ~
constexpr uint8_t VK_OEM_4 = 0xDB;   // [ {
constexpr uint8_t VK_OEM_5 = 0xDC;   // \ |
constexpr uint8_t VK_OEM_6 = 0xDD;   // ] }
constexpr uint8_t VK_OEM_7 = 0xDE;   // ' "
constexpr uint8_t VK_OEM_102 = 0xE2; // the key beside the left Shift of an ISO keyboard

// A game pad's buttons and axes, by their place on a pad of the common layout (A at the bottom of
// the four face buttons). Sticks run -32768..32767, down and right positive; triggers 0..32767.
enum PadButton : uint8_t
{
    PAD_A,
    PAD_B,
    PAD_X,
    PAD_Y,
    PAD_BACK,
    PAD_GUIDE,
    PAD_START,
    PAD_LEFT_STICK,
    PAD_RIGHT_STICK,
    PAD_LEFT_SHOULDER,
    PAD_RIGHT_SHOULDER,
    PAD_DPAD_UP,
    PAD_DPAD_DOWN,
    PAD_DPAD_LEFT,
    PAD_DPAD_RIGHT,
    PAD_MISC, // share, capture or microphone
    PAD_PADDLE_1,
    PAD_PADDLE_2,
    PAD_PADDLE_3,
    PAD_PADDLE_4,
    PAD_TOUCHPAD,
    PAD_BUTTON_COUNT
};

enum PadAxis : uint8_t
{
    PAD_LEFT_X,
    PAD_LEFT_Y,
    PAD_RIGHT_X,
    PAD_RIGHT_Y,
    PAD_LEFT_TRIGGER,
    PAD_RIGHT_TRIGGER,
    PAD_AXIS_COUNT
};

// One window message as the window procedure takes it.
struct WindowMessage
{
    uint32_t message;
    uint32_t wParam;
    uint32_t lParam;
};

enum MessageIcon
{
    ICON_EXCLAMATION,
    ICON_STOP,
    ICON_INFORMATION,
};

// ---- System (system_sdl.cpp) ----

// Takes hold of the screen before any window exists (the desktop's device context).
bool OpenScreen();
// Lets go of the screen once the settings have been read.
bool ReleaseScreen();
// Shows a modal box with an OK button and no owner window; texts are UTF-8, in the player's
// language.
void ShowMessageBox(const char* text, const char* caption, MessageIcon icon);
// Shows a modal Yes/No box (Enter answers Yes, Esc No); true when Yes was chosen.
bool AskYesNo(const char* text, const char* caption, MessageIcon icon);
// The primary display's current size and refresh rate (60 where it reports none).
void GetDesktopMode(int32_t* width, int32_t* height, int32_t* refreshRate);
int64_t ReadPerformanceCounter();
int64_t ReadPerformanceFrequency();
// Sleeps until the performance counter reads `counter`, to within a fraction of a millisecond.
void SleepUntilCounter(int64_t counter);
// The cursor in screen pixels.
void GetCursorPosition(int32_t* x, int32_t* y);
void SetCursorPosition(int32_t x, int32_t y);
// Opens an address in the user's web browser; failures are silent.
void OpenAddress(const char* address);

// ---- Window (window_sdl.cpp) ----

enum WindowResult
{
    WINDOW_CREATED,
    WINDOW_NOT_CREATED,
    WINDOW_NO_PIXEL_FORMAT,
};

// Registering the window class also opens the game pads: those connected then and those connected
// later, with the mappings SDL knows, those of SDL_GAMECONTROLLERCONFIG and those of a
// gamecontrollerdb.txt in the working directory. A pad that goes away is closed.
bool RegisterWindowClass();
bool UnregisterWindowClass();
// Switches the display to exactly this mode; false when the display has no such mode.
bool ChangeDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel, int32_t refreshRate);
bool RestoreDisplayMode();
void ShowMouseCursor(bool shown);
// Creates the game window at (0, 0) with a double-buffered RGBA surface of the given colour and
// depth sizes; the closest depth buffer the display offers is taken, as Win32 would choose. Full
// screen takes the mode ChangeDisplayMode chose, or the desktop's own mode where it chose none.
WindowResult CreateGameWindow(const char* title, int32_t width, int32_t height, bool fullscreen,
                              int32_t colorBits, int32_t depthBits);
bool DestroyGameWindow();
bool CreateRenderingContext();
bool MakeRenderingContextCurrent();
bool ReleaseRenderingContext();
bool DeleteRenderingContext();
// Shows the window, brings it to the front and gives it the keyboard focus.
void ShowGameWindow();
// Asks the driver to wait for the display at every swap (adaptive where it can), or not to.
void SetSwapWait(bool wait);
// Waits for a window message up to `milliseconds`; true when one came.
bool WaitWindowMessage(int32_t milliseconds);
// The window is on the screen: shown and not minimised.
bool IsGameWindowShown();
bool IsGameWindowFullscreen();
// Full screen at the desktop's own mode, or back from full screen to a window of this size; true
// when the window is full screen now.
bool SwitchFullscreen(int32_t windowWidth, int32_t windowHeight);
void SwapWindowBuffers();
// Takes the next window message, if any; WM_QUIT comes once the queue is empty after
// PostQuitMessage.
bool PeekWindowMessage(WindowMessage* message);
// Puts a message at the end of the queue, as if the window system had sent it: the game pad's
// keys, buttons and wheel reach the window procedure this way, in their turn.
void PostWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam);
// A key's down and then its up.
inline void PostKeyTap(uint8_t key)
{
    PostWindowMessage(WM_KEYDOWN, key, KEY_DOWN_FLAGS);
    PostWindowMessage(WM_KEYUP, key, KEY_UP_FLAGS);
}
void PostQuitMessage(int32_t exitCode);
// The scan code of the key that gives this virtual-key code in the player's layout; 0 for none.
uint8_t MapVirtualKey(uint8_t key);
// The name of the key at this place on the keyboard as the player's layout labels it, in UTF-8;
// empty for a place with no key.
void GetKeyNameText(uint8_t scanCode, char* name, int32_t size);
// What Win32 does with messages the game leaves alone.
int32_t DefWindowProc(uint32_t message, uint32_t wParam, uint32_t lParam);
