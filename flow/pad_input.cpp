#include "flow/pad_input.h"

#include <algorithm>
#include <cstdlib>

#include "flow/game_state.h"
#include "flow/options_screen.h"
#include "flow/preferences.h"

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

// Up, down, left and right, in the order of the D-pad's buttons and of the moves' actions. A
// repeat's source is one of them, or a shoulder.
constexpr int DIRECTION_COUNT = 4;
constexpr int8_t REPEAT_LEFT_SHOULDER = DIRECTION_COUNT;
constexpr int8_t REPEAT_RIGHT_SHOULDER = DIRECTION_COUNT + 1;
// Start held this long opens the options.
constexpr double OPTIONS_HOLD_SECONDS = 1.0;

// The action's key down, up or again, as the action itself whatever keys stand for it.
void PostAction(int action, uint32_t flags)
{
    PostWindowMessage(flags == KEY_UP_FLAGS ? WM_KEYUP : WM_KEYDOWN, ACTIONS[action].key,
                      flags | KEY_ACTION_FLAG);
}

bool IsPadInputHeld(uint8_t input)
{
    return input < PAD_BUTTON_COUNT  ? gamePad.buttons[input]
           : input < PAD_INPUT_COUNT ? gamePad.triggersDown[input - PAD_INPUT_LEFT_TRIGGER]
                                     : false;
}

bool IsMove(int action)
{
    return action >= ACTION_UP && action < ACTION_UP + DIRECTION_COUNT;
}

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
        PostAction(ACTION_UP + direction, KEY_DOWN_FLAGS);
    }
    StartRepeat(static_cast<int8_t>(direction));
}

void ReleaseDirection(int direction)
{
    if ((gamePad.arrowsDown & 1 << direction) != 0)
    {
        gamePad.arrowsDown = static_cast<uint8_t>(gamePad.arrowsDown & ~(1 << direction));
        PostAction(ACTION_UP + direction, KEY_UP_FLAGS);
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
    // The left stick always moves; the buttons that stand for the moves move too.
    bool pushed[DIRECTION_COUNT] = {(y < -DEAD_ZONE), (y > DEAD_ZONE), (x < -DEAD_ZONE),
                                    (x > DEAD_ZONE)};
    uint8_t directions = 0;
    for (int i = 0; i < DIRECTION_COUNT; ++i)
    {
        bool held = pushed[i] || IsPadInputHeld(preferences.bindings.padInputs[ACTION_UP + i]);
        directions = static_cast<uint8_t>(directions | (held ? 1 << i : 0));
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

// A button or a trigger: the options take it while they wait for one to bind; a shoulder rolls
// the wheel; a move's input moves; the screen's own pad routine has the others first, then they
// stand for their actions.
void PressInput(uint8_t input)
{
    if (input == PAD_START)
    {
        gamePad.optionsDue = CounterAfter(OPTIONS_HOLD_SECONDS);
    }
    if (CapturePadInput(input))
    {
        return;
    }
    if (input == PAD_LEFT_SHOULDER || input == PAD_RIGHT_SHOULDER)
    {
        RollWheel(input == PAD_LEFT_SHOULDER);
        StartRepeat(input == PAD_LEFT_SHOULDER ? REPEAT_LEFT_SHOULDER : REPEAT_RIGHT_SHOULDER);
        return;
    }
    int action = FindPadAction(input);
    if (IsMove(action))
    {
        UpdateDirections();
    }
    else if (input == PAD_A || input == PAD_B)
    {
        if (!gameState.padRoutine(input, false))
        {
            gamePad.heldKeys[input] = input == PAD_A ? VK_RETURN : VK_ESCAPE;
            PostWindowMessage(WM_KEYDOWN, gamePad.heldKeys[input], KEY_DOWN_FLAGS);
        }
    }
    else if (!gameState.padRoutine(input, false) && action >= 0)
    {
        gamePad.heldKeys[input] = ACTIONS[action].key;
        PostAction(action, KEY_DOWN_FLAGS);
    }
}

void ReleaseInput(uint8_t input)
{
    if (input == PAD_START)
    {
        gamePad.optionsDue = 0;
    }
    if (input == PAD_LEFT_SHOULDER || input == PAD_RIGHT_SHOULDER)
    {
        if (gamePad.repeatSource ==
            (input == PAD_LEFT_SHOULDER ? REPEAT_LEFT_SHOULDER : REPEAT_RIGHT_SHOULDER))
        {
            gamePad.repeatSource = -1;
        }
    }
    else if (uint8_t key = gamePad.heldKeys[input]; key != 0)
    {
        gamePad.heldKeys[input] = 0;
        bool plain = input == PAD_A || input == PAD_B;
        PostWindowMessage(WM_KEYUP, key, plain ? KEY_UP_FLAGS : KEY_UP_FLAGS | KEY_ACTION_FLAG);
    }
    UpdateDirections();
}

void MoveTrigger(int trigger, int32_t value)
{
    bool down = gamePad.triggersDown[trigger];
    auto input = static_cast<uint8_t>(PAD_INPUT_LEFT_TRIGGER + trigger);
    if (!down && value > TRIGGER_PRESS)
    {
        gamePad.triggersDown[trigger] = true;
        PressInput(input);
    }
    else if (down && value < TRIGGER_RELEASE)
    {
        gamePad.triggersDown[trigger] = false;
        ReleaseInput(input);
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
                PressInput(button);
            }
            else
            {
                ReleaseInput(button);
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
            PostAction(ACTION_UP + source, KEY_REPEAT_FLAGS);
        }
        else
        {
            gameState.padRoutine(ButtonOfDirection(source), true);
        }
    }
    if (gamePad.optionsDue != 0 && ReadPerformanceCounter() >= gamePad.optionsDue)
    {
        gamePad.optionsDue = 0;
        PostWindowMessage(WM_SYSKEYDOWN, VK_F10, KEY_DOWN_FLAGS);
        PostWindowMessage(WM_SYSKEYUP, VK_F10, KEY_UP_FLAGS);
    }
    MovePointer();
}
