// What the command line asks of one run: full screen or a window, and its size. It goes over the
// settings file's values once they are read, and the file itself is never rewritten.
#pragma once

#include <cstdint>

#include "text/translation.h"

struct LaunchOptions
{
    int8_t fullscreen = -1; // 1 full screen, 0 a window, -1 as the settings say
    uint32_t width = 0;     // 0: as the settings say
    uint32_t height = 0;
    bool uncapped = false;   // frames as fast as the driver lets them: no pacing, no swap wait
    bool widescreen = false; // the 3D scene across the whole window for this run
    bool settingsFullscreen = false; // what the settings file asked, kept by ApplyLaunchOptions
    char localeLanguage[LANGUAGE_CODE_SIZE] = ""; // the locale's catalog; empty: the texts' own
};

// Filled once by ReadLaunchOptions before anything else runs; tests reset it with
// `launchOptions = LaunchOptions{};`.
extern LaunchOptions launchOptions;

// The largest and smallest side --size takes.
constexpr uint32_t LAUNCH_SIZE_LOW = 64;
constexpr uint32_t LAUNCH_SIZE_HIGH = 16384;

// Reads the options of `argv`. -1 when the game is to start; otherwise the exit status: 0 after
// --help or --version (printed on standard output), 2 after a bad option or size, with a message
// on standard error.
int32_t ReadLaunchOptions(int argc, char** argv);
// Puts what the command line and the preferences asked over the settings just read; the settings
// file itself is never written.
void ApplyLaunchOptions();
// Full screen without a mode of its own: --fullscreen without --size, or the preferences' full
// screen where the command line asks nothing.
bool IsAtDesktopMode();
// The 3D scene across the whole window: --widescreen for this run, or the preferences. What the
// command line chose for one run is never kept in the preferences file.
bool IsWidescreen();
// Where the catalogs are: the installed ones, or those VORTANAI_LOCALE_DIR names (the build's).
const char* FindCatalogDir();
