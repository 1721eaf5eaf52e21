// The best time of every maze that comes back, and the path of the run that set it, which the
// next try of that maze shows as a ghost to race. The mazes that come back are the fixed
// campaign's five and the custom mazes with a typed seed; the table is kept in
// rekordai/laikai.txt.
#pragma once

#include <cstdint>

constexpr const char* BEST_TIMES_PATH = "rekordai/laikai.txt";
constexpr int MAX_BEST_MAZES = 16;
constexpr int GHOST_SAMPLES_PER_SECOND = 20;
// Ten minutes of a run; a longer run's ghost stands still at its last place.
constexpr int MAX_GHOST_SAMPLES = GHOST_SAMPLES_PER_SECOND * 600;

enum RaceKind : int32_t
{
    RACE_NONE = 0,     // a maze that never comes back
    RACE_CAMPAIGN = 1, // a level of the fixed campaign
    RACE_CUSTOM = 2,   // a custom maze with a typed seed
};

// What makes a maze the same maze again.
struct RaceMaze
{
    int32_t kind;
    int32_t length;
    int32_t width;
    int32_t difficulty;
    int32_t seed;
};

// The marker's place in hundredths of a cell.
struct GhostSample
{
    int16_t x;
    int16_t y;
};

struct BestTime
{
    RaceMaze maze;
    int32_t seconds;
    int32_t sampleCount;
    GhostSample samples[MAX_GHOST_SAMPLES];
};

// The table, the mazes last bettered first. Read from the file by the first race of the run;
// emptied when the file is damaged or foreign, which is then moved aside. Tests reset it with
// `bestTimes.loaded = false;`.
struct BestTimes
{
    bool loaded;
    bool writable; // false when a damaged file could not be moved aside: it is never overwritten
    int32_t count;
    BestTime entries[MAX_BEST_MAZES];
};

// The maze under way: its best time as the run began, the ghost it races and the path it walks.
// Begun anew by every maze that starts, and ended by the menu's maze; until the first maze starts
// there is none (kind RACE_NONE). Only `ghostShown`, the player's choice, outlives a race. Tests
// reset it with `race = Race{};`.
struct Race
{
    RaceMaze maze;
    int32_t bestSeconds = -1; // -1 when the maze has none
    int32_t ghostEntry = -1;  // the entry whose path the ghost follows; -1 when none
    bool newBest;             // the run reached the exit in less than the best
    bool ghostShown = true;
    double lastClock = -1.0; // the clock and place of the sample before, -1 before the first
    float lastX;
    float lastY;
    int32_t sampleCount;
    GhostSample samples[MAX_GHOST_SAMPLES];
};

extern BestTimes bestTimes;
extern Race race;

// Reads the file into the table. A missing file leaves the table empty; a damaged or foreign one
// is moved aside to laikai.txt.sugadintas (or .sugadintas2 ... .sugadintas9 when those are taken)
// and leaves it empty too. False when the file was damaged.
bool LoadBestTimes();
// Writes the table through a temporary file, so that a crash leaves the old file or the new one.
bool SaveBestTimes();

// Starts the race of the maze in memory; RACE_NONE for one that keeps no best time.
void BeginRace(const RaceMaze& maze);
// The maze in memory is no race: no best time is shown, no ghost runs and no path is kept.
void EndRace();
// Keeps the marker's place at the play clock's `clock` seconds; called once a frame in play.
void RecordRaceStep(double clock, float x, float y);
// The exit was reached in `seconds`: a run that beats the best (or is the first) becomes the
// best, with its path, and the table is saved.
void FinishRace(int32_t seconds);
// Where the best run's marker stood at `clock` seconds of play; false when there is no ghost.
bool FindGhost(double clock, float* x, float* y);
void ToggleGhost();
