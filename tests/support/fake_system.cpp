#include "tests/support/fake_system.h"

#include <algorithm>
#include <cmath>

#include "maze/maze_clock.h"

FakeSystem fakeSystem;

void ResetFakeSystem()
{
    fakeSystem = FakeSystem{};
}

void AdvanceFakeClock(double seconds)
{
    fakeSystem.counter += std::llround(seconds * static_cast<double>(fakeSystem.frequency));
}

bool OpenScreen()
{
    return fakeSystem.screenOpens;
}

bool ReleaseScreen()
{
    return fakeSystem.screenReleases;
}

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon)
{
    fakeSystem.boxes.push_back({text, caption, icon, false});
}

bool AskYesNo(const char* text, const char* caption, MessageIcon icon)
{
    fakeSystem.boxes.push_back({text, caption, icon, true});
    return fakeSystem.answerYes;
}

void GetDesktopMode(int32_t* width, int32_t* height, int32_t* refreshRate)
{
    *width = fakeSystem.desktopWidth;
    *height = fakeSystem.desktopHeight;
    *refreshRate = fakeSystem.desktopRefresh;
}

int64_t ReadPerformanceCounter()
{
    if (++fakeSystem.clockReads == fakeSystem.closeAfterClockReads)
    {
        PostQuitMessage(0);
    }
    return fakeSystem.counter;
}

void SleepUntilCounter(int64_t counter)
{
    fakeSystem.counter = std::max(fakeSystem.counter, counter);
}

int64_t ReadPerformanceFrequency()
{
    return fakeSystem.frequency;
}

void GetCursorPosition(int32_t* x, int32_t* y)
{
    *x = fakeSystem.cursorX;
    *y = fakeSystem.cursorY;
}

void SetCursorPosition(int32_t x, int32_t y)
{
    fakeSystem.cursorX = x;
    fakeSystem.cursorY = y;
    fakeSystem.cursorWarps.emplace_back(x, y);
}

void OpenAddress(const char* address)
{
    fakeSystem.addresses.emplace_back(address);
}

// The generator's seed 0 reads the scripted clock, one tick later on each read, so that a random
// level whose seed is refused tries a fresh one, as with the real counter, instead of the same
// seed for ever.
int64_t ReadMazeClock()
{
    return ReadPerformanceCounter() + fakeSystem.mazeClockReads++;
}
