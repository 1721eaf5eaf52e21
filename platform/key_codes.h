// SDL keys to the Win32 virtual-key codes and key messages.
#pragma once

#include <SDL2/SDL_events.h>
#include <cstdint>

struct WindowMessage;

// The virtual-key code of a key, or 0 for a key Win32 has no code for. Letters follow the
// keyboard layout, as Win32's do; every other key is taken by its place on the keyboard. The
// keypad always gives its digits: the seed is typed there, and the window system's idea of the
// Num Lock state cannot be trusted.
uint8_t TranslateKey(SDL_Keycode keycode, SDL_Scancode scancode);
// The message Win32 posts for a key going down or up: WM_SYSKEYDOWN / WM_SYSKEYUP for F10 and
// for keys pressed while Alt is held without Ctrl, WM_KEYDOWN / WM_KEYUP otherwise. False when
// Win32 posts nothing: a key without a code, and Print Screen going down (the system takes it).
bool TranslateKeyEvent(const SDL_KeyboardEvent& event, WindowMessage* message);
