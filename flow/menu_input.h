// Key and mouse routines of the splash, menu, custom-maze and credits screens, and the idle
// mouse routine of the flat screens.
#pragma once

#include <cstdint>

void OnSplashKey(uint32_t key);
void OnMenuKey(uint32_t key);
void UpdateMenuMouse();
void UpdateMouseIdle();
void OnCustomMazeKey(uint32_t key);
void UpdateCustomMaze();
// On the seed's line, the pad types the seed: left and right step its last digit round from 9 to
// 0, Y adds a digit and X deletes one.
bool OnCustomMazePad(uint8_t button, bool repeated);
void OnCreditsKey(uint32_t key);
