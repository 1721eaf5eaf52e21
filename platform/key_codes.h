// SDL keys to the Win32 virtual-key codes the game reads.
#pragma once

#include <SDL2/SDL_keyboard.h>
#include <cstdint>

// The virtual-key code of a key, or 0 for a key the game has no code for. Letters follow the
// keyboard layout, as Win32's do; every other key is taken by its place on the keyboard. The
// keypad always gives its digits: the seed is typed there, and the window system's idea of the
// Num Lock state cannot be trusted.
uint8_t TranslateKey(SDL_Keycode keycode, SDL_Scancode scancode);
