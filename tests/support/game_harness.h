// The whole game in-process: the real start-up, screens and frames, under Xvfb with a real GL
// context and the null audio device, with the clock, the cursor and the message boxes in the
// test's hands (see fake_system.h). Sounds started and stopped are counted in soundLog.
#pragma once

#include <cstdint>
#include <vector>

// One frame of play, as the harness runs it: 25 frames a second.
constexpr double HARNESS_FRAME_SECONDS = 0.04;

// Makes the working directory a fresh run directory from data/ (with a 320 x 240 window), puts
// every global record back to its start and runs the game's start-up. False when start-up
// failed.
bool StartHarnessGame();
// Tears the window, font, textures and sound down, as the end of the program does.
void StopHarnessGame();

// One pass of the main loop with an empty queue, after the clock has moved on by `seconds`.
void RunPass(double seconds = HARNESS_FRAME_SECONDS);
void RunSeconds(double seconds);
void PressKey(uint8_t key);
void ReleaseKey(uint8_t key);
// Down, then one pass, then up.
void TapKey(uint8_t key);

// The cells from the player's to the nearest cell within one cell of the exit, diagonals
// included, along open cells; empty when there is no way.
std::vector<std::pair<int32_t, int32_t>> FindPathToExit();
// Holds the arrow keys along the shortest way until the exit is reached (the outro begins).
// Returns the number of passes taken, or -1 when the exit was not reached in `maxPasses`.
int32_t WalkToExit(int32_t maxPasses);
