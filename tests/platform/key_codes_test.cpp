#include "platform/key_codes.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "platform/platform.h"

TEST(KeyCodes, LettersFollowTheLayoutAndEverythingElseThePlace)
{
    // A French keyboard's A key sits where Q is; a letter key that types no Latin letter still
    // gives the letter of its place.
    const std::tuple<SDL_Keycode, SDL_Scancode, uint8_t> cases[] = {
        {SDLK_a, SDL_SCANCODE_A, 'A'}, {SDLK_z, SDL_SCANCODE_Z, 'Z'},
        {SDLK_a, SDL_SCANCODE_Q, 'A'}, {0x0105, SDL_SCANCODE_Q, 'Q'},
        {SDLK_1, SDL_SCANCODE_1, '1'}, {SDLK_0, SDL_SCANCODE_0, '0'}};
    for (const auto& [keycode, scancode, key] : cases)
    {
        EXPECT_EQ(TranslateKey(keycode, scancode), key) << SDL_GetScancodeName(scancode);
    }
    for (int digit = 0; digit < 10; ++digit) // the keypad gives its digits, Num Lock or not
    {
        SDL_Scancode scancode = digit == 0
                                    ? SDL_SCANCODE_KP_0
                                    : static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + digit - 1);
        EXPECT_EQ(TranslateKey(SDLK_UNKNOWN, scancode), VK_NUMPAD0 + digit);
        EXPECT_EQ(TranslateKey(SDL_GetKeyFromScancode(scancode), scancode), VK_NUMPAD0 + digit);
    }
}

TEST(KeyCodes, EveryKeyPostsWhatWin32Posts)
{
    // Each key, going down then up, with its modifiers: the message posted (0: none) and the
    // virtual-key code. F10 and Alt (without Ctrl) are system keys; Print Screen goes down to the
    // system and only its release is posted; keys Win32 has no code for stay silent.
    constexpr uint32_t KD = WM_KEYDOWN, KU = WM_KEYUP, SD = WM_SYSKEYDOWN, SU = WM_SYSKEYUP;
    std::vector<std::tuple<SDL_Scancode, uint16_t, uint32_t, uint32_t, uint8_t>> cases = {
        {SDL_SCANCODE_F10, 0, SD, SU, 0x79},
        {SDL_SCANCODE_LALT, 0, SD, SU, 0x12},
        {SDL_SCANCODE_RALT, 0, SD, SU, 0x12},
        {SDL_SCANCODE_M, KMOD_LALT, SD, SU, 'M'},
        {SDL_SCANCODE_M, KMOD_LALT | KMOD_LCTRL, KD, KU, 'M'},
        {SDL_SCANCODE_PRINTSCREEN, 0, 0, KU, 0x2C},
        {SDL_SCANCODE_KP_LEFTBRACE, 0, 0, 0, 0},
        {SDL_SCANCODE_KP_XOR, 0, 0, 0, 0},
    };
    const std::pair<SDL_Scancode, uint8_t> control[] = {
        {SDL_SCANCODE_RETURN, 0x0D},    {SDL_SCANCODE_KP_ENTER, 0x0D}, {SDL_SCANCODE_ESCAPE, 0x1B},
        {SDL_SCANCODE_BACKSPACE, 0x08}, {SDL_SCANCODE_SPACE, 0x20},    {SDL_SCANCODE_TAB, 0x09},
        {SDL_SCANCODE_LSHIFT, 0x10},    {SDL_SCANCODE_RSHIFT, 0x10},   {SDL_SCANCODE_LCTRL, 0x11},
        {SDL_SCANCODE_RCTRL, 0x11},     {SDL_SCANCODE_LEFT, 0x25},     {SDL_SCANCODE_UP, 0x26},
        {SDL_SCANCODE_RIGHT, 0x27},     {SDL_SCANCODE_DOWN, 0x28},     {SDL_SCANCODE_F1, 0x70},
        {SDL_SCANCODE_F12, 0x7B},       {SDL_SCANCODE_F13, 0x7C},
    };
    const std::pair<SDL_Scancode, uint8_t> others[] = {
        {SDL_SCANCODE_CAPSLOCK, 0x14},    {SDL_SCANCODE_PAUSE, 0x13},
        {SDL_SCANCODE_SCROLLLOCK, 0x91},  {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
        {SDL_SCANCODE_INSERT, 0x2D},      {SDL_SCANCODE_DELETE, 0x2E},
        {SDL_SCANCODE_HOME, 0x24},        {SDL_SCANCODE_PAGEDOWN, 0x22},
        {SDL_SCANCODE_LGUI, 0x5B},        {SDL_SCANCODE_RGUI, 0x5C},
        {SDL_SCANCODE_APPLICATION, 0x5D}, {SDL_SCANCODE_SEMICOLON, 0xBA},
        {SDL_SCANCODE_EQUALS, 0xBB},      {SDL_SCANCODE_COMMA, 0xBC},
        {SDL_SCANCODE_MINUS, 0xBD},       {SDL_SCANCODE_PERIOD, 0xBE},
        {SDL_SCANCODE_SLASH, 0xBF},       {SDL_SCANCODE_GRAVE, 0xC0},
        {SDL_SCANCODE_LEFTBRACKET, 0xDB}, {SDL_SCANCODE_BACKSLASH, 0xDC},
        {SDL_SCANCODE_NONUSHASH, 0xDC},   {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
        {SDL_SCANCODE_APOSTROPHE, 0xDE},  {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
        {SDL_SCANCODE_KP_PERIOD, 0x6E},   {SDL_SCANCODE_KP_DIVIDE, 0x6F},
    };
    for (const auto& [scancode, key] : control)
    {
        cases.emplace_back(scancode, 0, KD, KU, key);
    }
    for (const auto& [scancode, key] : others)
    {
        cases.emplace_back(scancode, 0, KD, KU, key);
    }
    for (const auto& [scancode, mod, down, up, key] : cases)
    {
        for (bool pressed : {true, false})
        {
            uint32_t expected = pressed ? down : up;
            SDL_KeyboardEvent event = {};
            event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
            event.keysym = {scancode, SDL_GetKeyFromScancode(scancode), mod, 0};
            WindowMessage message = {};
            SCOPED_TRACE(SDL_GetScancodeName(scancode));
            ASSERT_EQ(TranslateKeyEvent(event, &message), expected != 0);
            if (expected != 0)
            {
                EXPECT_EQ(message.message, expected);
                EXPECT_EQ(message.wParam, key);
                EXPECT_EQ(message.lParam >> 30, pressed ? 0u : 3u); // released: was down
            }
        }
    }
}
