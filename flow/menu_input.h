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
void OnCreditsKey(uint32_t key);
