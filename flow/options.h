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
// F1 (help), F2 (music) and F3 (sound effects), which every screen with the menu panel takes;
// false for any other key.
bool HandleHelpAndSoundKey(uint8_t key);
// Those and F4 (camera), F5 (walls) and F12 (frame rate), as the menu and play screens take them.
bool HandleOptionKey(uint8_t key);
