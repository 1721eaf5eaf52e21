// The player's own choices beside the settings file: the preferences file under
// $XDG_CONFIG_HOME/vortanai/ as far as it is read, with the command line's choices put over it.
// Lives for the whole run; tests reset it with `preferences = Preferences{};`.
#pragma once

#include <cstdint>

#include "text/translation.h"

enum LetterSize : int8_t
{
    LETTERS_GROWING, // rasterised at 12 pixels for every 768 lines of the picture
    LETTERS_FIXED,   // 12 pixels at every size
};

struct Preferences
{
    char language[LANGUAGE_CODE_SIZE] = ""; // empty: the locale's
    bool widescreen = false; // the 3D scene of the menu and of play across the whole window
    LetterSize letters = LETTERS_GROWING;
};

extern Preferences preferences;
