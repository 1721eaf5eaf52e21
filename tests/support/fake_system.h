// The system half of the platform under the test's control: the clock (the generator's seed 0
// reads it too) only moves when the test moves it, the cursor is a pair of numbers, and every
// message box, cursor warp and opened address is written down instead of shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

struct RecordedBox
{
    std::string text;
    std::string caption;
    MessageIcon icon;
    bool yesNo;
};

struct FakeSystem
{
    bool screenOpens = true;
    bool screenReleases = true;
    bool answerYes = true; // the answer every Yes/No box gets
    int32_t desktopWidth = 1024;
    int32_t desktopHeight = 768;
    int32_t desktopRefresh = 60;
    int64_t counter = 1000000;
    int64_t frequency = 1000000;
    // Closes the game window, as the player would, once the clock has been read this often.
    int64_t closeAfterClockReads = -1;
    int64_t clockReads = 0;
    // The generator's reads of its clock: like the real counter, each read is later than the last.
    int64_t mazeClockReads = 0;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    std::vector<RecordedBox> boxes;
    std::vector<std::pair<int32_t, int32_t>> cursorWarps;
    std::vector<std::string> addresses;
};

// Reset by ResetFakeSystem(), which tests call in their set-up.
extern FakeSystem fakeSystem;

void ResetFakeSystem();
// Moves the scripted clock on by a number of seconds.
void AdvanceFakeClock(double seconds);
