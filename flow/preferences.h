// The player's own choices beside the settings file: the preferences file under
// $XDG_CONFIG_HOME/vortanai/ as far as it is read, with the command line's choices put over it.
// Lives for the whole run; ReadPreferences resets it, tests too with `preferences =
// Preferences{};`.
#pragma once

#include <cstddef>
#include <cstdint>

#include "flow/key_bindings.h"
#include "text/translation.h"

enum LetterSize : int8_t
{
    LETTERS_GROWING, // rasterised at 12 pixels for every 768 lines of the picture
    LETTERS_FIXED,   // 12 pixels at every size
};

enum FullscreenChoice : int8_t
{
    FULLSCREEN_AS_SETTINGS = -1,
    FULLSCREEN_OFF = 0, // a window of the settings' size
    FULLSCREEN_ON = 1,  // full screen at the desktop's own mode
};

// The volumes' and the camera speeds' bounds, in per cent.
constexpr int VOLUME_HIGHEST = 100;
constexpr int SPEED_LOWEST = 25;
constexpr int SPEED_HIGHEST = 400;

struct Preferences
{
    char language[LANGUAGE_CODE_SIZE] = ""; // empty: the locale's
    bool widescreen = false; // the 3D scene of the menu and of play across the whole window
    LetterSize letters = LETTERS_GROWING;
    FullscreenChoice fullscreen = FULLSCREEN_AS_SETTINGS;
    uint8_t musicVolume = VOLUME_HIGHEST;
    uint8_t effectsVolume = VOLUME_HIGHEST;
    bool tiltInverted = false; // the mouse's height tilts the view the other way
    uint16_t panSpeed = 100;   // of the mouse's drag and the pad's stick
    uint16_t zoomSpeed = 100;  // of the wheel, the right button's drag and the shoulders
    KeyBindings bindings = DEFAULT_BINDINGS;
};

extern Preferences preferences;

// The preferences file: UTF-8 text, one `key = value` a line, `#` starting a comment line. Past
// this size it is not the game's: it is neither read nor written over.
constexpr size_t PREFERENCES_MAX_BYTES = 65536;

// $XDG_CONFIG_HOME/vortanai/vortanai.conf, or ~/.config/vortanai/vortanai.conf where the variable
// is unset, empty or not an absolute path; empty where not even HOME is set.
void FindPreferencesPath(char* path, size_t size);
// Resets the preferences to their defaults and puts the file's known keys over them; a missing
// file or folder leaves the defaults. A line it does not understand is skipped and a file that is
// not text is moved aside whole (vortanai.conf.sugadintas), each told on standard error.
void ReadPreferences();
// Writes the preferences into the file, through a temporary file: every line it does not
// understand stays as it was, byte for byte, known keys are updated where they stand and the
// missing ones appended where they differ from the defaults; the folder is made where needed.
// False, with a message on standard error and the file as it was, when it cannot be written.
bool WritePreferences();
