#include "platform/key_codes.h"

#include <gtest/gtest.h>
#include <tuple>

#include "platform/platform.h"

// Letters follow the layout and every other key its place: each key gives the virtual-key code of
// its place both with its own keycode and with none (a letter key that types no Latin letter, the
// keypad without Num Lock); keys Win32 has no code for give 0. Going down then up, a key posts
// what Win32 posts: F10 and Alt (without Ctrl) are system keys; Print Screen goes down to the
// system and only its release is posted; keys Win32 has no code for stay silent, and a message
// not posted is left as it was.
TEST(KeyCodes, LettersFollowTheLayoutEverythingElseThePlaceAndEachPostsWhatWin32Posts)
{
    // A key by its place and the code it gives; for what it posts, the modifiers held and the
    // message posted going down and going up (0: none).
    struct Key
    {
        SDL_Scancode scancode;
        uint8_t key;
        uint16_t mod = 0;
        uint32_t down = 0, up = 0;
    };
    EXPECT_EQ(TranslateKey(SDLK_a, SDL_SCANCODE_Q), 'A'); // a French keyboard's A sits where Q is
    const Key keys[] = {
        {SDL_SCANCODE_A, 'A'},     {SDL_SCANCODE_KP_9, 0x69},   {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
        {SDL_SCANCODE_Q, 'Q'},     {SDL_SCANCODE_RETURN, 0x0D}, {SDL_SCANCODE_KP_PLUS, 0x6B},
        {SDL_SCANCODE_Z, 'Z'},     {SDL_SCANCODE_ESCAPE, 0x1B}, {SDL_SCANCODE_KP_MINUS, 0x6D},
        {SDL_SCANCODE_1, '1'},     {SDL_SCANCODE_SPACE, 0x20},  {SDL_SCANCODE_KP_PERIOD, 0x6E},
        {SDL_SCANCODE_9, '9'},     {SDL_SCANCODE_LSHIFT, 0x10}, {SDL_SCANCODE_KP_DIVIDE, 0x6F},
        {SDL_SCANCODE_0, '0'},     {SDL_SCANCODE_RSHIFT, 0x10}, {SDL_SCANCODE_KP_ENTER, 0x0D},
        {SDL_SCANCODE_KP_0, 0x60}, {SDL_SCANCODE_LCTRL, 0x11},  {SDL_SCANCODE_BACKSPACE, 0x08},
        {SDL_SCANCODE_KP_1, 0x61}, {SDL_SCANCODE_RCTRL, 0x11},  {SDL_SCANCODE_CAPSLOCK, 0x14},
        {SDL_SCANCODE_KP_2, 0x62}, {SDL_SCANCODE_LALT, 0x12},   {SDL_SCANCODE_SCROLLLOCK, 0x91},
        {SDL_SCANCODE_KP_3, 0x63}, {SDL_SCANCODE_RALT, 0x12},   {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
        {SDL_SCANCODE_KP_4, 0x64}, {SDL_SCANCODE_LEFT, 0x25},   {SDL_SCANCODE_PRINTSCREEN, 0x2C},
        {SDL_SCANCODE_KP_5, 0x65}, {SDL_SCANCODE_RIGHT, 0x27},  {SDL_SCANCODE_PAGEDOWN, 0x22},
        {SDL_SCANCODE_KP_6, 0x66}, {SDL_SCANCODE_DOWN, 0x28},   {SDL_SCANCODE_APPLICATION, 0x5D},
        {SDL_SCANCODE_KP_7, 0x67}, {SDL_SCANCODE_PAUSE, 0x13},  {SDL_SCANCODE_SEMICOLON, 0xBA},
        {SDL_SCANCODE_KP_8, 0x68}, {SDL_SCANCODE_INSERT, 0x2D}, {SDL_SCANCODE_EQUALS, 0xBB},
        {SDL_SCANCODE_TAB, 0x09},  {SDL_SCANCODE_DELETE, 0x2E}, {SDL_SCANCODE_PERIOD, 0xBE},
        {SDL_SCANCODE_UP, 0x26},   {SDL_SCANCODE_HOME, 0x24},   {SDL_SCANCODE_LEFTBRACKET, 0xDB},
        {SDL_SCANCODE_F1, 0x70},   {SDL_SCANCODE_PAGEUP, 0x21}, {SDL_SCANCODE_BACKSLASH, 0xDC},
        {SDL_SCANCODE_F10, 0x79},  {SDL_SCANCODE_LGUI, 0x5B},   {SDL_SCANCODE_NONUSHASH, 0xDC},
        {SDL_SCANCODE_F12, 0x7B},  {SDL_SCANCODE_RGUI, 0x5C},   {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
        {SDL_SCANCODE_F13, 0x7C},  {SDL_SCANCODE_COMMA, 0xBC},  {SDL_SCANCODE_APOSTROPHE, 0xDE},
        {SDL_SCANCODE_F24, 0x87},  {SDL_SCANCODE_MINUS, 0xBD},  {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
        {SDL_SCANCODE_END, 0x23},  {SDL_SCANCODE_SLASH, 0xBF},  {SDL_SCANCODE_KP_LEFTBRACE, 0},
        {SDL_SCANCODE_KP_XOR, 0},  {SDL_SCANCODE_GRAVE, 0xC0},
    };
    for (const Key& k : keys)
    {
        for (SDL_Keycode keycode : {SDL_GetKeyFromScancode(k.scancode), SDL_Keycode{SDLK_UNKNOWN}})
        {
            EXPECT_EQ(TranslateKey(keycode, k.scancode), k.key) << SDL_GetScancodeName(k.scancode);
        }
    }
    constexpr uint32_t KD = WM_KEYDOWN, KU = WM_KEYUP, SD = WM_SYSKEYDOWN, SU = WM_SYSKEYUP;
    const Key posting[] = {{SDL_SCANCODE_RETURN, 0x0D, 0, KD, KU},
                           {SDL_SCANCODE_F11, 0x7A, 0, KD, KU},
                           {SDL_SCANCODE_LCTRL, 0x11, 0, KD, KU},
                           {SDL_SCANCODE_F10, 0x79, 0, SD, SU},
                           {SDL_SCANCODE_LALT, 0x12, 0, SD, SU},
                           {SDL_SCANCODE_RALT, 0x12, 0, SD, SU},
                           {SDL_SCANCODE_M, 'M', KMOD_LALT, SD, SU},
                           {SDL_SCANCODE_M, 'M', KMOD_LALT | KMOD_LCTRL, KD, KU},
                           {SDL_SCANCODE_PRINTSCREEN, 0x2C, 0, 0, KU},
                           {SDL_SCANCODE_KP_LEFTBRACE, 0, 0, 0, 0}};
    for (const Key& k : posting)
    {
        for (bool pressed : {true, false})
        {
            SCOPED_TRACE(SDL_GetScancodeName(k.scancode));
            const uint32_t expected = pressed ? k.down : k.up;
            SDL_KeyboardEvent event = {};
            event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
            event.keysym = {k.scancode, SDL_GetKeyFromScancode(k.scancode), k.mod, 0};
            WindowMessage message = {};
            EXPECT_EQ(TranslateKeyEvent(event, &message), expected != 0);
            // Released: was down.
            EXPECT_EQ(std::tuple(message.message, message.wParam, message.lParam >> 30),
                      std::tuple(expected, expected != 0 ? k.key : 0u,
                                 expected != 0 && !pressed ? 3u : 0u));
        }
    }
}
