#include "platform/key_codes.h"

#include <SDL2/SDL_keyboard.h>
#include <cstdio>

#include "platform/platform.h"

namespace
{

struct KeyPair
{
    SDL_Scancode scancode;
    uint8_t key;
};

constexpr KeyPair FIXED_KEYS[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_RETURN, VK_RETURN},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU},
    {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_PAUSE, VK_PAUSE},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT},
    {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_LGUI, VK_LWIN},
    {SDL_SCANCODE_RGUI, VK_RWIN},
    {SDL_SCANCODE_APPLICATION, VK_APPS},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY},
    {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},
    // The punctuation keys by their place on a US keyboard, as Win32 names them.
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, VK_OEM_2},
    {SDL_SCANCODE_GRAVE, VK_OEM_3},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5},
    {SDL_SCANCODE_NONUSHASH, VK_OEM_5}, // the same key on an ISO keyboard
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102},
};

} // namespace

uint8_t TranslateKey(SDL_Keycode keycode, SDL_Scancode scancode)
{
    if (keycode >= SDLK_a && keycode <= SDLK_z)
    {
        return static_cast<uint8_t>('A' + (keycode - SDLK_a));
    }
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    {
        return static_cast<uint8_t>('A' + (scancode - SDL_SCANCODE_A));
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    {
        return static_cast<uint8_t>('1' + (scancode - SDL_SCANCODE_1));
    }
    if (scancode == SDL_SCANCODE_0)
    {
        return '0';
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    {
        return static_cast<uint8_t>(VK_F1 + (scancode - SDL_SCANCODE_F1));
    }
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
    {
        return static_cast<uint8_t>(VK_F13 + (scancode - SDL_SCANCODE_F13));
    }
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    {
        return static_cast<uint8_t>(VK_NUMPAD0 + 1 + (scancode - SDL_SCANCODE_KP_1));
    }
    if (scancode == SDL_SCANCODE_KP_0)
    {
        return VK_NUMPAD0;
    }
    if (scancode == SDL_SCANCODE_KP_PERIOD)
    {
        return VK_DECIMAL;
    }
    for (const KeyPair& pair : FIXED_KEYS)
    {
        if (pair.scancode == scancode)
        {
            return pair.key;
        }
    }
    return 0;
}

bool TranslateKeyEvent(const SDL_KeyboardEvent& event, WindowMessage* message)
{
    uint8_t key = TranslateKey(event.keysym.sym, event.keysym.scancode);
    bool down = event.type == SDL_KEYDOWN;
    if (key == 0 || (key == VK_SNAPSHOT && down))
    {
        return false;
    }
    bool alt = key == VK_MENU || (event.keysym.mod & KMOD_ALT) != 0;
    bool control = key == VK_CONTROL || (event.keysym.mod & KMOD_CTRL) != 0;
    // Ctrl with Alt (AltGr among them) types ordinary keys.
    bool system = key == VK_F10 || (alt && !control);
    message->message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    message->wParam = key;
    // The long parameter as Win32 packs it: repeat count 1, scan code, Alt held, previous and
    // transition states.
    uint32_t lParam = 1 | (static_cast<uint32_t>(event.keysym.scancode & 0xFF) << 16);
    if (alt && system)
    {
        lParam |= 1u << 29;
    }
    if (event.repeat != 0 || !down)
    {
        lParam |= 1u << 30;
    }
    if (!down)
    {
        lParam |= 1u << 31;
    }
    message->lParam = lParam;
    return true;
}

uint8_t MapVirtualKey(uint8_t key)
{
    // The first place whose key gives the code: Return before the keypad's Enter, the left Shift
    // before the right one.
    for (int place = SDL_SCANCODE_A; place < 256; ++place)
    {
        auto scancode = static_cast<SDL_Scancode>(place);
        if (TranslateKey(SDL_GetKeyFromScancode(scancode), scancode) == key)
        {
            return static_cast<uint8_t>(place);
        }
    }
    return 0;
}

void GetKeyNameText(uint8_t scanCode, char* name, int32_t size)
{
    auto scancode = static_cast<SDL_Scancode>(scanCode);
    const char* label = SDL_GetKeyName(SDL_GetKeyFromScancode(scancode));
    if (label[0] == '\0')
    {
        label = SDL_GetScancodeName(scancode);
    }
    std::snprintf(name, static_cast<size_t>(size), "%s", label);
}
