// The game window's message procedure: raw input into GameState, key presses to the screen.
#pragma once

#include <cstdint>

int32_t WndProc(uint32_t message, uint32_t wParam, uint32_t lParam);
