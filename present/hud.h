// Flat pictures over the screens: the loading line and the frame-rate line.
#pragma once

#include <cstdint>

// Frame-rate measurement; counts gathered while the line is shown, kept while it is hidden.
struct FpsCounter
{
    uint32_t fpsValue;
    uint32_t fpsFrames;
    int64_t fpsTicks;
};

extern FpsCounter fpsCounter;

// Draws "Užkraunami duomenys..." into both buffers. Always true.
bool DrawLoadingScreen();
// The frame-rate line over the top left of any screen. Always true.
bool DrawFps();
void UpdateFpsCounter();
