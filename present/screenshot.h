// Pictures of the screen at F9: PNG files in Vortanai/ of the player's pictures folder, named by
// the date and time. The frame is read at once and written beside the game's frames, so that a
// picture holds up one frame at most; a line on the screen then says for two seconds how it went.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

enum ShotState : int32_t
{
    SHOT_NONE,
    SHOT_REQUESTED, // F9 was pressed; the frame being drawn is taken
    SHOT_WRITING,
    SHOT_KEPT,
    SHOT_FAILED,
};

// The picture under way or last taken. Lives for the whole run; a new one replaces it when the
// last is written.
struct Screenshot
{
    std::atomic<int32_t> state;
    char name[160];    // the file's name within Vortanai/, in the game's code page
    float noteSeconds; // how long the line has been shown
};

extern Screenshot screenshot;

// Vortanai/ in XDG_PICTURES_DIR of the user's user-dirs.dirs, else in ~/Pictures.
std::string FindPicturesFolder();
// F9: the frame being drawn is taken, unless the last picture is still being written.
void RequestScreenshot();
// Reads the back buffer of a width x height window once a picture is asked for, and starts
// writing it.
void TakeRequestedScreenshot(int32_t width, int32_t height);
// Waits for a picture still being written; DestroyGLWindow calls it, so that no writer outlives
// the window.
void FinishScreenshots();
