#include "flow/pad_input.h"

#include <algorithm>
#include <cstdlib>

#include "flow/game_state.h"

GamePad gamePad;

namespace
{

// A stick counts only past a quarter of its reach: a worn stick at rest is rarely at 0.
constexpr int32_t DEAD_ZONE = 8192;
constexpr int32_t STICK_REACH = 32767;
// A trigger presses past half way and lets go below a quarter, so that a finger resting near the
// point does not flicker.
constexpr int32_t TRIGGER_PRESS = 16384;
constexpr int32_t TRIGGER_RELEASE = 8192;
// Held, a direction or a shoulder is sent again after this long, then this often, as a keyboard
// repeats a key.
constexpr double REPEAT_DELAY_SECONDS = 0.4;
constexpr double REPEAT_PERIOD_SECONDS = 0.08;
// The pointer's speed at a stick pushed all the way.
constexpr double POINTER_PIXELS_PER_SECOND = 400.0;

// Up, down, left and right, in the order of the D-pad's buttons: their arrow keys. A repeat's
// source is one of them, or a shoulder.
constexpr int DIRECTION_COUNT = 4;
constexpr uint8_t DIRECTION_KEYS[DIRECTION_COUNT] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
constexpr int8_t REPEAT_LEFT_SHOULDER = DIRECTION_COUNT;
constexpr int8_t REPEAT_RIGHT_SHOULDER = DIRECTION_COUNT + 1;
constexpr uint8_t TRIGGER_KEYS[2] = {VK_F2, VK_F3};

// The key each button stands for; 0 for the D-pad, the shoulders and the right stick's press,
// which have roles of their own, and the paddles, which have none.
constexpr uint8_t BUTTON_KEYS[PAD_BUTTON_COUNT] = {
    VK_RETURN, // A
    VK_ESCAPE, // B
    VK_F5,     // X
    VK_F6,     // Y
    VK_F1,     // back
    VK_F11,    // guide
    'M',       // start
    VK_F4,     // left stick
    0,         // right stick
    0,         // left shoulder
    0,         // right shoulder
    0,         // D-pad up
    0,         // D-pad down
    0,         // D-pad left
    0,         // D-pad right
    VK_F9,     // share
    0,         // paddle 1
    0,         // paddle 2
    0,         // paddle 3
    0,         // paddle 4
    VK_F12,    // touchpad
};

int64_t CounterAfter(double seconds)
{
    return ReadPerformanceCounter() +
           static_cast<int64_t>(seconds * static_cast<double>(ReadPerformanceFrequency()));
}

// A notch away from the player zooms out, one toward the player in.
void RollWheel(bool away)
{
    int32_t delta = away ? WHEEL_DELTA : -WHEEL_DELTA;
    PostWindowMessage(WM_MOUSEWHEEL, static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16, 0);
}

void StartRepeat(int8_t source)
{
    gamePad.repeatSource = source;
    gamePad.repeatDue = CounterAfter(REPEAT_DELAY_SECONDS);
}

// The D-pad's button of a direction, which the screen's own pad routine is given.
uint8_t ButtonOfDirection(int direction)
{
    return static_cast<uint8_t>(PAD_DPAD_UP + direction);
}

void PressDirection(int direction)
{
    if (!gameState.padRoutine(ButtonOfDirection(direction), false))
    {
        gamePad.arrowsDown = static_cast<uint8_t>(gamePad.arrowsDown | 1 << direction);
        PostWindowMessage(WM_KEYDOWN, DIRECTION_KEYS[direction], KEY_DOWN_FLAGS);
    }
    StartRepeat(static_cast<int8_t>(direction));
}

void ReleaseDirection(int direction)
{
    if ((gamePad.arrowsDown & 1 << direction) != 0)
    {
        gamePad.arrowsDown = static_cast<uint8_t>(gamePad.arrowsDown & ~(1 << direction));
        PostWindowMessage(WM_KEYUP, DIRECTION_KEYS[direction], KEY_UP_FLAGS);
    }
    if (gamePad.repeatSource == direction)
    {
        gamePad.repeatSource = -1;
    }
}

uint8_t ReadDirections()
{
    int32_t x = gamePad.axes[PAD_LEFT_X];
    int32_t y = gamePad.axes[PAD_LEFT_Y];
    bool held[DIRECTION_COUNT] = {
        gamePad.buttons[PAD_DPAD_UP] || y < -DEAD_ZONE,
        gamePad.buttons[PAD_DPAD_DOWN] || y > DEAD_ZONE,
        gamePad.buttons[PAD_DPAD_LEFT] || x < -DEAD_ZONE,
        gamePad.buttons[PAD_DPAD_RIGHT] || x > DEAD_ZONE,
    };
    uint8_t directions = 0;
    for (int i = 0; i < DIRECTION_COUNT; ++i)
    {
        directions = static_cast<uint8_t>(directions | (held[i] ? 1 << i : 0));
    }
    return directions;
}

void UpdateDirections()
{
    uint8_t now = ReadDirections();
    for (int i = 0; i < DIRECTION_COUNT; ++i)
    {
        bool was = (gamePad.directions & 1 << i) != 0;
        bool is = (now & 1 << i) != 0;
        gamePad.directions = static_cast<uint8_t>(gamePad.directions ^ (was != is ? 1 << i : 0));
        if (is && !was)
        {
            PressDirection(i);
        }
        else if (was && !is)
        {
            ReleaseDirection(i);
        }
    }
}

void PressButton(uint8_t button)
{
    if (button >= PAD_DPAD_UP && button <= PAD_DPAD_RIGHT)
    {
        UpdateDirections();
    }
    else if (button == PAD_LEFT_SHOULDER || button == PAD_RIGHT_SHOULDER)
    {
        RollWheel(button == PAD_LEFT_SHOULDER);
        StartRepeat(button == PAD_LEFT_SHOULDER ? REPEAT_LEFT_SHOULDER : REPEAT_RIGHT_SHOULDER);
    }
    else if (!gameState.padRoutine(button, false) && BUTTON_KEYS[button] != 0)
    {
        gamePad.heldKeys[button] = BUTTON_KEYS[button];
        PostWindowMessage(WM_KEYDOWN, BUTTON_KEYS[button], KEY_DOWN_FLAGS);
    }
}

void ReleaseButton(uint8_t button)
{
    if (button >= PAD_DPAD_UP && button <= PAD_DPAD_RIGHT)
    {
        UpdateDirections();
    }
    else if (button == PAD_LEFT_SHOULDER || button == PAD_RIGHT_SHOULDER)
    {
        if (gamePad.repeatSource ==
            (button == PAD_LEFT_SHOULDER ? REPEAT_LEFT_SHOULDER : REPEAT_RIGHT_SHOULDER))
        {
            gamePad.repeatSource = -1;
        }
    }
    else if (uint8_t key = gamePad.heldKeys[button]; key != 0)
    {
        gamePad.heldKeys[button] = 0;
        PostWindowMessage(WM_KEYUP, key, KEY_UP_FLAGS);
    }
}

void MoveTrigger(int trigger, int32_t value)
{
    bool down = gamePad.triggersDown[trigger];
    if (!down && value > TRIGGER_PRESS)
    {
        gamePad.triggersDown[trigger] = true;
        PostWindowMessage(WM_KEYDOWN, TRIGGER_KEYS[trigger], KEY_DOWN_FLAGS);
    }
    else if (down && value < TRIGGER_RELEASE)
    {
        gamePad.triggersDown[trigger] = false;
        PostWindowMessage(WM_KEYUP, TRIGGER_KEYS[trigger], KEY_UP_FLAGS);
    }
}

// How far a stick is pushed past the dead zone, -1 to 1; squared, so that a small push is fine.
double ReadStickPush(int16_t value)
{
    int32_t reach = std::abs(static_cast<int32_t>(value)) - DEAD_ZONE;
    if (reach <= 0)
    {
        return 0.0;
    }
    double push = std::min(1.0, reach / static_cast<double>(STICK_REACH - DEAD_ZONE));
    return value < 0 ? -push * push : push * push;
}

void MovePointer()
{
    double x = ReadStickPush(gamePad.axes[PAD_RIGHT_X]);
    double y = ReadStickPush(gamePad.axes[PAD_RIGHT_Y]);
    bool pushed = x != 0.0 || y != 0.0;
    bool drag = pushed && !gamePad.buttons[PAD_RIGHT_STICK];
    if (drag != gamePad.dragging)
    {
        gamePad.dragging = drag;
        PostWindowMessage(drag ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, 0);
    }
    if (!pushed)
    {
        gamePad.pointerX = 0.0;
        gamePad.pointerY = 0.0;
        return;
    }
    double reach = POINTER_PIXELS_PER_SECOND * static_cast<double>(gameState.frameSeconds);
    gamePad.pointerX += x * reach;
    gamePad.pointerY += y * reach;
    int32_t dx = static_cast<int32_t>(gamePad.pointerX);
    int32_t dy = static_cast<int32_t>(gamePad.pointerY);
    if (dx == 0 && dy == 0)
    {
        return;
    }
    gamePad.pointerX -= dx;
    gamePad.pointerY -= dy;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    GetCursorPosition(&cursorX, &cursorY);
    SetCursorPosition(std::clamp(cursorX + dx, 0, gameState.screenWidth - 1),
                      std::clamp(cursorY + dy, 0, gameState.screenHeight - 1));
}

} // namespace

void OnPadMessage(uint32_t message, uint32_t wParam, uint32_t lParam)
{
    switch (message)
    {
    case WM_PADBUTTONDOWN:
    case WM_PADBUTTONUP:
        if (wParam < PAD_BUTTON_COUNT && gamePad.buttons[wParam] != (message == WM_PADBUTTONDOWN))
        {
            uint8_t button = static_cast<uint8_t>(wParam);
            gamePad.buttons[button] = message == WM_PADBUTTONDOWN;
            if (gamePad.buttons[button])
            {
                PressButton(button);
            }
            else
            {
                ReleaseButton(button);
            }
        }
        break;
    case WM_PADAXIS:
        if (wParam < PAD_AXIS_COUNT)
        {
            int16_t value = static_cast<int16_t>(lParam);
            gamePad.axes[wParam] = value;
            if (wParam == PAD_LEFT_X || wParam == PAD_LEFT_Y)
            {
                UpdateDirections();
            }
            else if (wParam >= PAD_LEFT_TRIGGER)
            {
                MoveTrigger(static_cast<int>(wParam - PAD_LEFT_TRIGGER), value);
            }
        }
        break;
    default:
        break;
    }
}

void UpdatePad()
{
    if (gamePad.repeatSource >= 0 && ReadPerformanceCounter() >= gamePad.repeatDue)
    {
        gamePad.repeatDue = CounterAfter(REPEAT_PERIOD_SECONDS);
        int8_t source = gamePad.repeatSource;
        if (source >= REPEAT_LEFT_SHOULDER)
        {
            RollWheel(source == REPEAT_LEFT_SHOULDER);
        }
        else if ((gamePad.arrowsDown & 1 << source) != 0)
        {
            PostWindowMessage(WM_KEYDOWN, DIRECTION_KEYS[source], KEY_REPEAT_FLAGS);
        }
        else
        {
            gameState.padRoutine(ButtonOfDirection(source), true);
        }
    }
    MovePointer();
}
