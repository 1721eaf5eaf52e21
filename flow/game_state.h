// The one record of the running game: the screen and its routines, the campaign and the phases
// of the maze in memory, the custom-maze values, the menu and options, raw input, the overhead
// camera and the frame timer.
#pragma once

#include <cstdint>

enum ScreenState : int8_t
{
    STATE_SPLASH = 0,
    STATE_MENU = 1,
    STATE_CUSTOM_MAZE = 2,
    STATE_PLAYING = 3,
    STATE_NAME_ENTRY = 4,
    STATE_RECORDS = 5,
    STATE_CREDITS = 6,
};

using DrawRoutine = int32_t (*)();
using ThinkRoutine = void (*)();
using KeyRoutine = void (*)(uint32_t key);
using MouseRoutine = void (*)();

// The routines a slot holds before the first frame enters the splash (and for screens without
// anything to do there): a key queued during loading or an idle pass must find something to call.
int32_t DrawNothing();
void UpdateNothing();
void IgnoreKey(uint32_t key);

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
    uint8_t customField = 0;
    // The seed typed last gives a maze whose exit cannot be reached; any key clears it.
    bool customSeedRejected = false;

    // Menu and options.
    uint8_t menuSelection = 0;
    uint8_t menuItemCount = 6;
    bool menuShown = true;
    float menuOffset = 0.0f;
    bool soundEnabled = true;
    bool musicToggle = false;
    bool helpShown = false;
    bool fpsShown = false;
    uint8_t mazeTextureIndex = 4;

    // Input.
    bool keyDown[256] = {};
    bool leftButton = false;
    bool rightButton = false;
    int32_t wheelNotches = 0;
    CursorPoint cursorPos = {0, 0};
    int32_t anchorX = 0;
    int32_t anchorY = 0;

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
void EnableSound();
