#include "platform/key_codes.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

TEST(KeyCodes, LettersFollowTheLayoutAndEverythingElseThePlace)
{
    EXPECT_EQ(TranslateKey(SDLK_a, SDL_SCANCODE_A), 'A');
    EXPECT_EQ(TranslateKey(SDLK_m, SDL_SCANCODE_M), 'M');
    EXPECT_EQ(TranslateKey(SDLK_z, SDL_SCANCODE_Z), 'Z');
    // A French keyboard's A key sits where Q is.
    EXPECT_EQ(TranslateKey(SDLK_a, SDL_SCANCODE_Q), 'A');
    // A letter key that types no Latin letter still gives the letter of its place.
    EXPECT_EQ(TranslateKey(0x0105, SDL_SCANCODE_Q), 'Q');
    EXPECT_EQ(TranslateKey(SDLK_1, SDL_SCANCODE_1), '1');
    EXPECT_EQ(TranslateKey(SDLK_9, SDL_SCANCODE_9), '9');
    EXPECT_EQ(TranslateKey(SDLK_0, SDL_SCANCODE_0), '0');
}

TEST(KeyCodes, ControlKeysGiveTheirWin32Codes)
{
    struct Case
    {
        SDL_Scancode scancode;
        uint8_t key;
    };
    const Case cases[] = {
        {SDL_SCANCODE_RETURN, 0x0D},    {SDL_SCANCODE_KP_ENTER, 0x0D}, {SDL_SCANCODE_ESCAPE, 0x1B},
        {SDL_SCANCODE_BACKSPACE, 0x08}, {SDL_SCANCODE_SPACE, 0x20},    {SDL_SCANCODE_LSHIFT, 0x10},
        {SDL_SCANCODE_RSHIFT, 0x10},    {SDL_SCANCODE_LCTRL, 0x11},    {SDL_SCANCODE_RCTRL, 0x11},
        {SDL_SCANCODE_LEFT, 0x25},      {SDL_SCANCODE_UP, 0x26},       {SDL_SCANCODE_RIGHT, 0x27},
        {SDL_SCANCODE_DOWN, 0x28},      {SDL_SCANCODE_F1, 0x70},       {SDL_SCANCODE_F5, 0x74},
        {SDL_SCANCODE_F12, 0x7B},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(TranslateKey(SDL_GetKeyFromScancode(c.scancode), c.scancode), c.key)
            << SDL_GetScancodeName(c.scancode);
    }
}

TEST(KeyCodes, TheKeypadGivesItsDigits)
{
    const SDL_Scancode digits[] = {SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_2,
                                   SDL_SCANCODE_KP_3, SDL_SCANCODE_KP_4, SDL_SCANCODE_KP_5,
                                   SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_7, SDL_SCANCODE_KP_8,
                                   SDL_SCANCODE_KP_9};
    for (int digit = 0; digit < 10; ++digit)
    {
        EXPECT_EQ(TranslateKey(SDLK_UNKNOWN, digits[digit]), VK_NUMPAD0 + digit);
        EXPECT_EQ(TranslateKey(SDL_GetKeyFromScancode(digits[digit]), digits[digit]),
                  VK_NUMPAD0 + digit);
    }
}

TEST(KeyCodes, KeysWithoutACodeGiveNothing)
{
    EXPECT_EQ(TranslateKey(SDLK_UNKNOWN, SDL_SCANCODE_APPLICATION), 0);
    EXPECT_EQ(TranslateKey(SDLK_UNKNOWN, SDL_SCANCODE_F13), 0);
}
