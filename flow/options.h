// The option keys that several screens share: help, music, sound effects, camera, walls, frame
// rate.
#pragma once

#include <cstdint>

#include "flow/game_state.h"
#include "text/translation.h"

// The options screen's lines, top to bottom: the choices, an action's keys and pad button on each
// of the next lines, and the two resets.
enum OptionRow : uint8_t
{
    ROW_LANGUAGE,
    ROW_WIDESCREEN,
    ROW_LETTERS,
    ROW_FULLSCREEN,
    ROW_MUSIC_VOLUME,
    ROW_EFFECTS_VOLUME,
    ROW_TILT,
    ROW_PAN_SPEED,
    ROW_ZOOM_SPEED,
    ROW_FIRST_ACTION,
    ROW_RESET_KEYS = ROW_FIRST_ACTION + ACTION_COUNT,
    ROW_RESET_ALL,
    ROW_COUNT
};

// An action's line: its first key, its second key, its pad button.
enum OptionColumn : uint8_t
{
    COLUMN_FIRST_KEY,
    COLUMN_SECOND_KEY,
    COLUMN_PAD,
    COLUMN_COUNT
};

// Where the lines stand in the overlay view: each line's text at its height, a line's box from
// OPTIONS_BOX_BELOW under it to a line's step above that; the label, then the values or the three
// bindings of an action.
constexpr float OPTIONS_FIRST_Y = 3.35f;
constexpr float OPTIONS_ROW_STEP = 0.27f;
constexpr float OPTIONS_BOX_BELOW = 0.07f;
constexpr float OPTIONS_LABEL_X = -5.0f;
constexpr float OPTIONS_COLUMN_X[COLUMN_COUNT] = {-1.4f, 0.8f, 3.0f};

constexpr int LANGUAGES_MAX = 16;
constexpr int LANGUAGE_NAME_SIZE = 48;
constexpr int OPTIONS_NOTE_SIZE = 192;

// A language the game has texts in: the source's, and each catalog's.
struct LanguageChoice
{
    char code[LANGUAGE_CODE_SIZE];
    char name[LANGUAGE_NAME_SIZE]; // in the language itself
};

// The options screen: where the player is on it, and what it has to say of the last change. Lives
// for the whole run; the screen's entry sets it up afresh, the languages included; tests reset it
// with `optionsScreen = OptionsScreen{};`.
struct OptionsScreen
{
    uint8_t row;
    uint8_t column;
    bool capturing;     // waiting for the key, mouse button or pad button to bind
    int8_t returnState; // the menu or play, to which Esc goes back
    LanguageChoice languages[LANGUAGES_MAX];
    int languageCount;
    int languageIndex;
    char note[OPTIONS_NOTE_SIZE]; // a refused key, a swap, a file that could not be written
    CursorPoint lastCursor;
    bool leftWasDown;
};

extern OptionsScreen optionsScreen;

void ToggleHelp();
// Flips the music toggle and starts the music from its beginning or stops it, whether or not
// sound effects are enabled.
void ToggleMusic();
void ToggleSound();
// Steps the wall texture through slots 4..8 and round again.
void StepMazeTexture();
// F1 (help), F2 (music) and F3 (sound effects), which every screen with the menu panel takes;
// false for any other key.
bool HandleHelpAndSoundKey(uint8_t key);
// Those and F4 (camera), F5 (walls) and F12 (frame rate), as the menu and play screens take them.
bool HandleOptionKey(uint8_t key);
