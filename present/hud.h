// Flat pictures over the screens: the head-up display, the menu overlay (sliding panel,
// highlight, turning emblem, help box or hint), the loading line and the frame-rate line.
#pragma once

#include <cstdint>

// Frame-rate measurement; counts gathered while the line is shown, kept while it is hidden.
// Lives for the whole run; tests reset it with `fpsCounter = FpsCounter{};`.
struct FpsCounter
{
    uint32_t fpsValue;
    uint32_t fpsFrames;
    int64_t fpsTicks;
};

extern FpsCounter fpsCounter;

// The panel is fully out at this offset, and moves this many units a second.
constexpr float MENU_OFFSET_SHOWN = 3.76f;

// Time, and during a campaign also the maze number and the score.
void DrawHud();
// Slides the menu panel toward where menuShown wants it and draws it with its highlight, the
// emblem turned to match, and the help box or the help hint.
void DrawOverlay();
// Draws "Užkraunami duomenys..." into both buffers. Always true.
bool DrawLoadingScreen();
// The frame-rate line over the top left of any screen. Always true.
bool DrawFps();
// The line that says for two seconds that a picture of the screen was kept, or was not.
void DrawScreenshotNote();
void UpdateFpsCounter();
