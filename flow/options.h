// The option keys that several screens share: help, music, sound effects, camera, walls, frame
// rate.
#pragma once

#include <cstdint>

void ToggleHelp();
// Flips the music toggle and starts the music from its beginning or stops it, whether or not
// sound effects are enabled.
void ToggleMusic();
void ToggleSound();
// Steps the wall texture through slots 4..8 and round again.
void StepMazeTexture();
// F1, F2, F3, F4, F5 and F12 as the menu and play screens take them; false for any other key.
bool HandleOptionKey(uint8_t key);
