// The game's actions and what stands for each: two keys or mouse buttons, and one pad button.
// Every screen reads its keys through them; Enter and Esc are no action and keep their roles
// everywhere, so that no binding can lock the player out. The bindings themselves are a part of
// the player's preferences (flow/preferences.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "text/translation.h"

enum GameAction : uint8_t
{
    ACTION_UP,
    ACTION_DOWN,
    ACTION_LEFT,
    ACTION_RIGHT,
    ACTION_MENU,
    ACTION_HELP,
    ACTION_MUSIC,
    ACTION_SOUND,
    ACTION_CAMERA,
    ACTION_WALLS,
    ACTION_GHOST,
    ACTION_SCREENSHOT,
    ACTION_FULLSCREEN,
    ACTION_FPS,
    ACTION_COUNT
};

enum InputKind : uint8_t
{
    INPUT_NONE,
    INPUT_KEY,      // the key that gives this virtual-key code in the player's layout
    INPUT_SCANCODE, // the key at this place on the keyboard, whatever it gives
    INPUT_MOUSE,    // a MouseButton
};

// The mouse buttons that may stand for an action; the left and right ones move the camera.
enum MouseButton : uint8_t
{
    MOUSE_MIDDLE,
    MOUSE_SIDE_1,
    MOUSE_SIDE_2,
    MOUSE_BUTTON_COUNT
};

struct InputBinding
{
    InputKind kind = INPUT_NONE;
    uint8_t code = 0;
};

constexpr int BINDING_SLOTS = 2;
// A pad's inputs: its buttons (PadButton), then its two triggers pressed past half way.
constexpr uint8_t PAD_INPUT_LEFT_TRIGGER = PAD_BUTTON_COUNT;
constexpr uint8_t PAD_INPUT_RIGHT_TRIGGER = PAD_BUTTON_COUNT + 1;
constexpr uint8_t PAD_INPUT_COUNT = PAD_BUTTON_COUNT + 2;
constexpr uint8_t PAD_INPUT_NONE = 0xFF;

struct KeyBindings
{
    InputBinding keys[ACTION_COUNT][BINDING_SLOTS];
    uint8_t padInputs[ACTION_COUNT]; // a pad input, or PAD_INPUT_NONE
};

struct ActionInfo
{
    const char* name;  // in the preferences file
    const char* label; // on the options screen, looked up in the catalog as it is drawn
    uint8_t key;       // the key the screens read for it, which stands for it by default
    uint8_t padInput;  // the pad's input that stands for it by default
};

inline constexpr ActionInfo ACTIONS[ACTION_COUNT] = {
    {"up", MarkText("Į viršų"), VK_UP, PAD_DPAD_UP},
    {"down", MarkText("Į apačią"), VK_DOWN, PAD_DPAD_DOWN},
    {"left", MarkText("Į kairę"), VK_LEFT, PAD_DPAD_LEFT},
    {"right", MarkText("Į dešinę"), VK_RIGHT, PAD_DPAD_RIGHT},
    {"menu", MarkText("Meniu"), 'M', PAD_START},
    {"help", MarkText("Pagalba"), VK_F1, PAD_BACK},
    {"music", MarkText("Muzika"), VK_F2, PAD_INPUT_LEFT_TRIGGER},
    {"effects", MarkText("Garso efektai"), VK_F3, PAD_INPUT_RIGHT_TRIGGER},
    {"camera", MarkText("Kamera iš naujo"), VK_F4, PAD_LEFT_STICK},
    {"walls", MarkText("Sienos"), VK_F5, PAD_X},
    {"ghost", MarkText("Rekordo vaiduoklis"), VK_F6, PAD_Y},
    {"screenshot", MarkText("Nuotrauka"), VK_F9, PAD_MISC},
    {"fullscreen", MarkText("Visas ekranas ar langas"), VK_F11, PAD_GUIDE},
    {"fps", MarkText("Kadrų dažnis"), VK_F12, PAD_TOUCHPAD},
};

// The game's keys as they always were, by the layout (M is the key labelled M; Return and the
// keypad's Enter are both Enter), and the pad's buttons as they always were.
constexpr KeyBindings MakeDefaultBindings()
{
    KeyBindings bindings = {};
    for (int action = 0; action < ACTION_COUNT; ++action)
    {
        bindings.keys[action][0] = {INPUT_KEY, ACTIONS[action].key};
        bindings.padInputs[action] = ACTIONS[action].padInput;
    }
    return bindings;
}
inline constexpr KeyBindings DEFAULT_BINDINGS = MakeDefaultBindings();

// The pad's inputs by name, as the preferences file names them; by pad input.
extern const char* const PAD_INPUT_NAMES[PAD_INPUT_COUNT];

// The action a key message stands for (its key and lParam), or -1: a bound key, or any key of an
// action message (KEY_ACTION_FLAG).
int FindKeyAction(uint8_t key, uint32_t lParam);
int FindMouseAction(MouseButton button);
int FindPadAction(uint8_t padInput);
// What the key message being handled means to a screen: the key of the action it stands for,
// Enter or Esc as themselves, 0 for anything else. The letters and digits of a name and the keypad
// digits of a seed are typed there whatever they are bound to, and mean no action.
uint8_t ReadKeyAction(uint32_t key);
// A move or the menu key is held by any of its keys, buttons or the pad.
bool IsActionHeld(GameAction action);
// Binds `binding` to a slot of `action`; where another slot has it, that slot takes what this one
// had. Returns the action it was taken from, or -1.
int BindInput(GameAction action, int slot, InputBinding binding);
int BindPadInput(GameAction action, uint8_t padInput);
// The pad inputs an action may have: not A and B (Enter and Esc), nor what moves the camera.
bool IsBindablePadInput(uint8_t padInput);
// A binding as the options screen shows it: the key's name in the player's layout, or the
// button's; "—" for none.
void DescribeBinding(InputBinding binding, char* text, size_t size);
const char* DescribePadInput(uint8_t padInput);
// A binding as the preferences file keeps it ("key:77", "scancode:4", "mouse:middle", "none"), and
// back; false for a value it does not take.
void FormatBinding(InputBinding binding, char* text, size_t size);
bool ParseBinding(const char* text, size_t length, InputBinding* binding);
