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
// Steps the seed's last digit up or down by one, round from 9 to 0: the pad's way of typing it.
void StepCustomSeedDigit(int32_t step);
void OnCreditsKey(uint32_t key);
