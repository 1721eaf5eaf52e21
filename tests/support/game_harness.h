// The whole game in-process: the real start-up, screens and frames, under Xvfb with a real GL
// context and the null audio device, with the clock, the cursor and the message boxes in the
// test's hands (see fake_system.h). Sounds started and stopped are counted in soundLog.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "flow/game_state.h"
#include "tests/support/maze_paths.h"

// One frame of play, as the harness runs it: 25 frames a second.
constexpr double HARNESS_FRAME_SECONDS = 0.04;

// Makes the working directory a fresh run directory from data/ (with a 320 x 240 window unless
// told otherwise), puts every global record back to its start and runs the game's start-up.
// False when start-up failed.
bool StartHarnessGame(int32_t width = 320, int32_t height = 240);
// Tears the window, font, textures and sound down, as the end of the program does.
void StopHarnessGame();

// One pass of the main loop, after the clock has moved on by `seconds`: what is queued goes to the
// window procedure first, then the idle pass runs its frame.
void RunPass(double seconds = HARNESS_FRAME_SECONDS);
void RunSeconds(double seconds);
void PressKey(uint8_t key);
void ReleaseKey(uint8_t key);
// Down, then one pass, then up.
void TapKey(uint8_t key);

// The arrow key toward the open neighbouring cell nearest the exit; in a cell next to the exit,
// diagonals included, the key held goes on until the exit is within reach. 0 for none.
uint8_t FindArrowTowardExit();
// Holds that key alone.
void SteerTowardExit();
// Hands every message the window system has to the window procedure.
void PumpMessages();

// ---- A player of whole runs, which the soak and the whole-game test share: errands through the
// screens, each pass steered by the screen in view, with random keys, cursor moves, buttons,
// wheel and minimising mixed in.

enum Errand
{
    ERRAND_STORM,           // random input only
    ERRAND_FIXED_CAMPAIGN,  // played to its end, a name typed, the records, back to the menu
    ERRAND_RANDOM_CAMPAIGN, // the same
    ERRAND_CUSTOM_MAZE,     // values changed, the maze built and walked, back to the menu
    ERRAND_RECORDS,         // the records screen and back
    ERRAND_CREDITS,         // the credits, whose Enter ends the game
    ERRAND_COUNT
};

// Made by the test; its counts are for the test's report. Its frames last 0.1 to 0.4 s.
struct HarnessPlayer
{
    std::mt19937 random;
    int32_t noisePercent = 3;    // the chance of random input in a pass of an errand
    int32_t errandPasses = 6000; // the most an errand but the storm may take
    bool mayRunOut = false;      // an errand that runs out of passes is no failure
    Errand errand = ERRAND_STORM;
    int32_t errandPassesLeft = 0; // 0 once the errand is over
    bool errandStarted = false;   // its screen or campaign has been reached
    bool errandDone = false;      // it reached its end, rather than running out of passes
    int32_t minimisedPasses = 0;  // passes left until the window is restored; 0 when shown
    int64_t frames = 0;
    int64_t framesOnScreen[STATE_OPTIONS + 1] = {};
    int32_t errandsBegun[ERRAND_COUNT] = {};
};

// Lets every key and button go and starts the errand.
void BeginErrand(HarnessPlayer& player, Errand errand);
// One pass of the errand under way. False when the game ended (the credits were left).
bool RunPlayerPass(HarnessPlayer& player);
// The first rule of the game's state that is broken, or a message box (the game shows one only
// for a missing or unwritable file, and the run directory has them all); empty when all is well.
std::string FindBrokenRule();
// Plays the errand to its end, or until `watch`, called after every pass, answers false; the
// rules are checked after every pass. The first broken rule, or a note that the errand ran out of
// passes unless the player may run out; empty when it ended or was stopped.
std::string PlayErrand(
    HarnessPlayer& player, Errand errand, const std::function<bool()>& watch = [] { return true; });
