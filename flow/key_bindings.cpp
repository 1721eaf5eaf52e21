#include "flow/key_bindings.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "flow/game_state.h"
#include "flow/preferences.h"

const char* const PAD_INPUT_NAMES[PAD_INPUT_COUNT] = {
    "a",
    "b",
    "x",
    "y",
    "back",
    "guide",
    "start",
    "left-stick",
    "right-stick",
    "left-shoulder",
    "right-shoulder",
    "dpad-up",
    "dpad-down",
    "dpad-left",
    "dpad-right",
    "misc",
    "paddle-1",
    "paddle-2",
    "paddle-3",
    "paddle-4",
    "touchpad",
    "left-trigger",
    "right-trigger",
};

namespace
{

// As the buttons are printed on the common pad.
constexpr const char* PAD_INPUT_LABELS[PAD_INPUT_COUNT] = {
    "A",   "B",   "X",   "Y",     "Back", "Guide", "Start", "L3", "R3",       "LB", "RB", "D ↑",
    "D ↓", "D ←", "D →", "Share", "P1",   "P2",    "P3",    "P4", "Touchpad", "LT", "RT",
};

constexpr const char* MOUSE_NAMES[MOUSE_BUTTON_COUNT] = {"middle", "side1", "side2"};
constexpr const char* MOUSE_LABELS[MOUSE_BUTTON_COUNT] = {
    MarkText("Pelės vidurinis"), MarkText("Pelės šoninis 1"), MarkText("Pelės šoninis 2")};

// The name takes its letters and digits, and the seed line its keypad digits, as typed.
bool IsTypedKey(uint8_t key)
{
    if (gameState.screenState == STATE_NAME_ENTRY)
    {
        return key == VK_SPACE || key == VK_BACK || (key >= '0' && key <= 'Z');
    }
    return gameState.screenState == STATE_CUSTOM_MAZE && gameState.customField == CUSTOM_SEED &&
           (key == VK_BACK || (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9));
}

bool MatchesKey(InputBinding binding, uint8_t key, uint8_t scanCode)
{
    return (binding.kind == INPUT_KEY && binding.code == key) ||
           (binding.kind == INPUT_SCANCODE && scanCode != 0 && binding.code == scanCode);
}

// Two bindings of the same key: the same, or a key by its code and by its place.
bool IsSameInput(InputBinding a, InputBinding b)
{
    if (a.kind == INPUT_SCANCODE && b.kind == INPUT_KEY)
    {
        return IsSameInput(b, a);
    }
    return (a.kind == b.kind && a.code == b.code && a.kind != INPUT_NONE) ||
           (a.kind == INPUT_KEY && b.kind == INPUT_SCANCODE && MapVirtualKey(a.code) == b.code);
}

} // namespace

int FindKeyAction(uint8_t key, uint32_t lParam)
{
    if (key == VK_RETURN || key == VK_ESCAPE)
    {
        return -1;
    }
    for (int action = 0; action < ACTION_COUNT; ++action)
    {
        if ((lParam & KEY_ACTION_FLAG) != 0)
        {
            if (ACTIONS[action].key == key)
            {
                return action;
            }
            continue;
        }
        for (InputBinding binding : preferences.bindings.keys[action])
        {
            if (MatchesKey(binding, key, ReadScanCode(lParam)))
            {
                return action;
            }
        }
    }
    return -1;
}

int FindMouseAction(MouseButton button)
{
    for (int action = 0; action < ACTION_COUNT; ++action)
    {
        for (InputBinding binding : preferences.bindings.keys[action])
        {
            if (binding.kind == INPUT_MOUSE && binding.code == button)
            {
                return action;
            }
        }
    }
    return -1;
}

int FindPadAction(uint8_t padInput)
{
    for (int action = 0; action < ACTION_COUNT; ++action)
    {
        if (preferences.bindings.padInputs[action] == padInput)
        {
            return action;
        }
    }
    return -1;
}

uint8_t ReadKeyAction(uint32_t key)
{
    auto code = static_cast<uint8_t>(key);
    if (code == VK_RETURN || code == VK_ESCAPE)
    {
        return code;
    }
    bool typed = (gameState.keyFlags & KEY_ACTION_FLAG) == 0 && IsTypedKey(code);
    int action = typed ? -1 : FindKeyAction(code, gameState.keyFlags);
    return action < 0 ? 0 : ACTIONS[action].key;
}

bool IsActionHeld(GameAction action)
{
    if (gameState.actionDown[action])
    {
        return true;
    }
    for (InputBinding binding : preferences.bindings.keys[action])
    {
        if ((binding.kind == INPUT_KEY && gameState.keyDown[binding.code]) ||
            (binding.kind == INPUT_SCANCODE && gameState.scanCodeDown[binding.code]))
        {
            return true;
        }
    }
    return false;
}

int BindInput(GameAction action, int slot, InputBinding binding)
{
    InputBinding(&keys)[ACTION_COUNT][BINDING_SLOTS] = preferences.bindings.keys;
    for (int other = 0; other < ACTION_COUNT; ++other)
    {
        for (int otherSlot = 0; otherSlot < BINDING_SLOTS; ++otherSlot)
        {
            if ((other != action || otherSlot != slot) &&
                IsSameInput(keys[other][otherSlot], binding))
            {
                keys[other][otherSlot] = keys[action][slot];
                keys[action][slot] = binding;
                return other;
            }
        }
    }
    keys[action][slot] = binding;
    return -1;
}

int BindPadInput(GameAction action, uint8_t padInput)
{
    uint8_t(&inputs)[ACTION_COUNT] = preferences.bindings.padInputs;
    int other = padInput == PAD_INPUT_NONE ? -1 : FindPadAction(padInput);
    if (other >= 0 && other != action)
    {
        inputs[other] = inputs[action];
    }
    inputs[action] = padInput;
    return other == action ? -1 : other;
}

bool IsBindablePadInput(uint8_t padInput)
{
    return padInput < PAD_INPUT_COUNT && padInput != PAD_A && padInput != PAD_B &&
           padInput != PAD_RIGHT_STICK && padInput != PAD_LEFT_SHOULDER &&
           padInput != PAD_RIGHT_SHOULDER;
}

void DescribeBinding(InputBinding binding, char* text, size_t size)
{
    uint8_t scanCode = binding.kind == INPUT_KEY        ? MapVirtualKey(binding.code)
                       : binding.kind == INPUT_SCANCODE ? binding.code
                                                        : 0;
    text[0] = '\0';
    if (scanCode != 0)
    {
        GetKeyNameText(scanCode, text, static_cast<int32_t>(size));
    }
    else if (binding.kind == INPUT_MOUSE && binding.code < MOUSE_BUTTON_COUNT)
    {
        std::snprintf(text, size, "%s", Translate(MOUSE_LABELS[binding.code]));
    }
    if (text[0] == '\0')
    {
        std::snprintf(text, size, "%s", "—");
    }
}

const char* DescribePadInput(uint8_t padInput)
{
    return padInput < PAD_INPUT_COUNT ? PAD_INPUT_LABELS[padInput] : "—";
}

void FormatBinding(InputBinding binding, char* text, size_t size)
{
    switch (binding.kind)
    {
    case INPUT_KEY:
        std::snprintf(text, size, "key:%u", binding.code);
        break;
    case INPUT_SCANCODE:
        std::snprintf(text, size, "scancode:%u", binding.code);
        break;
    case INPUT_MOUSE:
        std::snprintf(text, size, "mouse:%s", MOUSE_NAMES[binding.code % MOUSE_BUTTON_COUNT]);
        break;
    default:
        std::snprintf(text, size, "none");
        break;
    }
}

bool ParseBinding(const char* text, size_t length, InputBinding* binding)
{
    std::string_view value(text, length);
    if (value == "none")
    {
        *binding = {};
        return true;
    }
    for (uint8_t button = 0; button < MOUSE_BUTTON_COUNT; ++button)
    {
        if (value.substr(0, 6) == "mouse:" && value.substr(6) == MOUSE_NAMES[button])
        {
            *binding = {INPUT_MOUSE, button};
            return true;
        }
    }
    for (InputKind kind : {INPUT_KEY, INPUT_SCANCODE})
    {
        std::string_view prefix = kind == INPUT_KEY ? "key:" : "scancode:";
        unsigned code = 0;
        if (value.substr(0, prefix.size()) != prefix)
        {
            continue;
        }
        auto [end, error] = std::from_chars(value.data() + prefix.size(), value.end(), code);
        // Enter and Esc are no action's; 0 is no key.
        if (error != std::errc() || end != value.end() || code == 0 || code > 255 ||
            (kind == INPUT_KEY && (code == VK_RETURN || code == VK_ESCAPE)))
        {
            return false;
        }
        *binding = {kind, static_cast<uint8_t>(code)};
        return true;
    }
    return false;
}
