// The game window's message procedure: raw input into GameState, key presses to the screen.
#pragma once

#include <cstdint>

int32_t WndProc(uint32_t message, uint32_t wParam, uint32_t lParam);
// F11 and Alt+Enter: full screen at the desktop's own mode, or back to the settings' window. The
// mouse and the frame-rate line then count with the screen the game has.
void SwitchScreenMode();
