// The program's spine: start-up, the message loop, the frame tick and the frame timer.
#pragma once

#include <cstdint>

// How the loop paces its frames where the driver's swap does not wait for the display: by sleeping
// to the display's rate, once frames were seen to run well above it for a second. Reset by
// WinMain; the harness's passes never pace.
struct FramePacing
{
    bool pacing;
    int64_t period;     // performance counter ticks a display frame
    int64_t due;        // when the next frame is due, while pacing
    int64_t probeStart; // the second of frames being counted, while not pacing
    int32_t probeFrames;
};

extern FramePacing framePacing;

// Sleeps until the next frame is due, while pacing; otherwise counts the frame.
void PaceFrame();

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
