// The one record of the running game: the screen and its routines, the campaign and the phases
// of the maze in memory, the custom-maze values, the menu and options, raw input, the overhead
// camera and the frame timer.
#pragma once

#include <cstdint>

#include "flow/key_bindings.h"

enum ScreenState : int8_t
{
    STATE_SPLASH = 0,
    STATE_MENU = 1,
    STATE_CUSTOM_MAZE = 2,
    STATE_PLAYING = 3,
    STATE_NAME_ENTRY = 4,
    STATE_RECORDS = 5,
    STATE_CREDITS = 6,
    STATE_OPTIONS = 7, // language, picture, sound, camera and keys, over the menu or play
};

using DrawRoutine = int32_t (*)();
using ThinkRoutine = void (*)();
using KeyRoutine = void (*)(uint32_t key);
using MouseRoutine = void (*)();
// A pad's button pressed, or a held direction repeated, on a screen that reads the pad its own way.
// The directions come as the D-pad's buttons, which the left stick's directions press as well. True
// when the screen took the button for itself; otherwise it stands for its key as on every screen.
using PadRoutine = bool (*)(uint8_t button, bool repeated);

// The routines a slot holds before the first frame enters the splash (and for screens without
// anything to do there): a key queued during loading or an idle pass must find something to call.
int32_t DrawNothing();
void UpdateNothing();
void IgnoreKey(uint32_t key);
bool IgnorePad(uint8_t button, bool repeated);

// The menu's items, top to bottom.
enum MenuItem : uint8_t
{
    MENU_RESUME = 0,
    MENU_CUSTOM_MAZE = 1,
    MENU_FIXED_CAMPAIGN = 2,
    MENU_RANDOM_CAMPAIGN = 3,
    MENU_RECORDS = 4,
    MENU_CREDITS = 5,
    MENU_ITEM_COUNT = 6,
};

// The custom maze screen's lines, top to bottom.
enum CustomLine : uint8_t
{
    CUSTOM_LENGTH = 0,
    CUSTOM_WIDTH = 1,
    CUSTOM_DIFFICULTY = 2,
    CUSTOM_SEED = 3,
};

constexpr float PI_FLOAT = 3.14159265f;
// The nearest the eye comes to the point it looks at when zoomed by dragging.
constexpr float MIN_CAMERA_DISTANCE = 1.0f;

struct CursorPoint
{
    int32_t x;
    int32_t y;
};

struct GameState
{
    // The screen machine and program control.
    DrawRoutine drawRoutine = DrawNothing;
    ThinkRoutine thinkRoutine = UpdateNothing;
    KeyRoutine keyRoutine = IgnoreKey;
    MouseRoutine mouseRoutine = UpdateNothing;
    PadRoutine padRoutine = IgnorePad;
    int8_t screenState = STATE_SPLASH;
    bool stateChangePending = true; // so the very first frame enters the splash
    bool quitRequested = false;
    bool windowActive = true; // frames run before the first activation message

    // Campaign and the maze in memory.
    bool fixedCampaign = false;
    bool randomCampaign = false;
    bool levelSetupPending = false;
    int8_t levelNumber = 0;
    int32_t score = 0;
    int32_t levelSeconds = 0;
    float phaseClock = 0.0f;
    bool levelIntro = true; // the menu background opens with its intro
    bool levelOutro = false;
    bool levelFinished = false;
    bool backgroundMaze = false;

    // Custom maze parameters.
    int32_t customLength = 64;
    int32_t customWidth = 64;
    int32_t customDifficulty = 10;
    int32_t customSeed = 0;
    uint8_t customField = CUSTOM_LENGTH;
    // The seed typed last gives a maze whose exit cannot be reached; any key clears it.
    bool customSeedRejected = false;

    // Menu and options.
    uint8_t menuSelection = MENU_RESUME;
    uint8_t menuItemCount = MENU_ITEM_COUNT;
    bool menuShown = true;
    float menuOffset = 0.0f;
    bool soundEnabled = true;
    bool musicToggle = false;
    bool helpShown = false;
    bool fpsShown = false;
    uint8_t mazeTextureIndex = 4;

    // Input.
    bool keyDown[256] = {};
    bool scanCodeDown[256] = {};        // by the keys' places on the keyboard
    bool actionDown[ACTION_COUNT] = {}; // held by a pad's or a mouse button's action message
    uint32_t keyFlags = 0;              // the lParam of the key message being handled
    bool leftButton = false;
    bool rightButton = false;
    int32_t wheelNotches = 0;
    CursorPoint cursorPos = {0, 0};
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    // The screen the cursor moves on, as the mouse and the frame-rate line count it: the
    // desktop's while the game fills it at the desktop's own mode, otherwise the settings' mode
    // (a window, or a mode switched to). Set when the window is made and at F11 or Alt+Enter.
    int32_t screenWidth = 640;
    int32_t screenHeight = 480;
    int32_t screenRefreshRate = 75;

    // Overhead camera.
    float eyeX = 0.0f;
    float eyeY = 0.0f;
    float eyeZ = 0.0f;
    float lookX = 0.0f;
    float lookY = 0.0f;
    float lookZ = 0.0f;
    float upX = 0.0f;
    float upY = 0.0f;
    float upZ = 1.0f;
    float cameraYaw = 0.0f;
    float cameraPitch = 0.0f;
    float cameraDistance = 100.0f;

    // Frame timer.
    int64_t counterFrequency = 0;
    int64_t counterLast = 0;
    int64_t counterDelta = 0;
    float frameSeconds = 0.0f;

    // Splash and credits animation.
    float screenClock = 0.0f;
    uint32_t screenSkip = 0;
};

// Lives for the whole run and is never reset by the game; tests reset it with
// `gameState = GameState{};`.
extern GameState gameState;

// Camera to its start pose (yaw pi/2, pitch pi/4, distance 100, looking at the origin) and the
// cursor to the centre of the screen area.
void ResetCamera();
// Stores the new screen; it is entered at the start of the next frame.
void ChangeScreen(int8_t state);
void EnableSound();
