// The program's spine: start-up, the message loop, the frame tick and the frame timer.
#pragma once

#include <cstdint>

// The entry point: start-up, then the loop until the window closes or the credits end it, then
// teardown. Returns 0 when start-up fails, else the word parameter of the quit message.
int32_t WinMain();
// Start-up: screen, settings, window, sound, loading screen, resources. False when a step failed
// (it has shown its message); nothing is torn down then.
bool StartGame();
// One frame: level set-up, screen entry, timer, drawing, frame-rate line. 0 ends the program.
int32_t RunFrame();
// What a pass of the loop does when no message waits: a frame while the window is not
// minimised, the buffer swap, the cursor read, the mouse and think routines. 0 ends the loop.
int32_t RunIdlePass();
void StartFrameTimer();
void UpdateFrameTimer();
