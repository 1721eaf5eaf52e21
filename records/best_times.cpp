#include "records/best_times.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "maze/maze_grid.h"
#include "text/safe_save.h"
#include "text/text_file.h"

BestTimes bestTimes;
Race race;

namespace
{

constexpr const char* BEST_TIMES_HEADER = "VORTANAI LAIKAI 1";
// The last line: a file cut short anywhere, even inside its last number, lacks it.
constexpr const char* BEST_TIMES_END = "PABAIGA";
// Places are kept in hundredths of a cell, within the largest maze.
constexpr int32_t PLACE_SCALE = 100;
constexpr int32_t MAX_PLACE = MAZE_MAX_SIZE * PLACE_SCALE;
constexpr int32_t SAMPLES_PER_LINE = 10;

bool IsSameMaze(const RaceMaze& a, const RaceMaze& b)
{
    return a.kind == b.kind && a.length == b.length && a.width == b.width &&
           a.difficulty == b.difficulty && a.seed == b.seed;
}

int32_t FindEntry(const RaceMaze& maze)
{
    for (int32_t i = 0; i < bestTimes.count; ++i)
    {
        if (IsSameMaze(bestTimes.entries[i].maze, maze))
        {
            return i;
        }
    }
    return -1;
}

bool ReadBoundedInt(TextFile* file, int32_t low, int32_t high, int32_t* value)
{
    return ReadTextInt(file, value) && *value >= low && *value <= high;
}

bool ReadEntry(TextFile* file, BestTime* entry)
{
    RaceMaze& maze = entry->maze;
    if (!ReadBoundedInt(file, RACE_CAMPAIGN, RACE_CUSTOM, &maze.kind) ||
        !ReadBoundedInt(file, 1, MAZE_MAX_SIZE, &maze.length) ||
        !ReadBoundedInt(file, 1, MAZE_MAX_SIZE, &maze.width) ||
        !ReadTextInt(file, &maze.difficulty) || !ReadTextInt(file, &maze.seed) ||
        !ReadBoundedInt(file, 0, INT32_MAX, &entry->seconds) ||
        !ReadBoundedInt(file, 0, MAX_GHOST_SAMPLES, &entry->sampleCount))
    {
        return false;
    }
    for (int32_t i = 0; i < entry->sampleCount; ++i)
    {
        int32_t x = 0;
        int32_t y = 0;
        if (!ReadBoundedInt(file, 0, MAX_PLACE, &x) || !ReadBoundedInt(file, 0, MAX_PLACE, &y))
        {
            return false;
        }
        entry->samples[i] = {static_cast<int16_t>(x), static_cast<int16_t>(y)};
    }
    return true;
}

// The whole file or nothing: its header, the count of entries, the entries, the end line and
// nothing after.
bool ReadBestTimes(TextFile* file)
{
    char header[32] = "";
    int32_t count = 0;
    if (!ReadTextLine(file, header, sizeof header) || std::strcmp(header, BEST_TIMES_HEADER) != 0 ||
        !ReadBoundedInt(file, 0, MAX_BEST_MAZES, &count))
    {
        return false;
    }
    for (bestTimes.count = 0; bestTimes.count < count; ++bestTimes.count)
    {
        if (!ReadEntry(file, &bestTimes.entries[bestTimes.count]))
        {
            return false;
        }
    }
    char end[32] = "";
    int32_t more = 0;
    return DiscardTextLine(file, 1) && ReadTextLine(file, end, sizeof end) &&
           std::strcmp(end, BEST_TIMES_END) == 0 && !ReadTextInt(file, &more) && file->atEnd;
}

bool WriteBestTimes(FILE* file)
{
    bool written = std::fprintf(file, "%s\r\n%d\r\n", BEST_TIMES_HEADER, bestTimes.count) >= 0;
    for (int32_t i = 0; i < bestTimes.count && written; ++i)
    {
        const BestTime& entry = bestTimes.entries[i];
        const RaceMaze& maze = entry.maze;
        written = std::fprintf(file, "%d %d %d %d %d %d %d\r\n", maze.kind, maze.length, maze.width,
                               maze.difficulty, maze.seed, entry.seconds, entry.sampleCount) >= 0;
        for (int32_t s = 0; s < entry.sampleCount && written; ++s)
        {
            bool lineEnds =
                s % SAMPLES_PER_LINE == SAMPLES_PER_LINE - 1 || s + 1 == entry.sampleCount;
            written = std::fprintf(file, "%d %d%s", entry.samples[s].x, entry.samples[s].y,
                                   lineEnds ? "\r\n" : " ") >= 0;
        }
    }
    return written && std::fprintf(file, "%s\r\n", BEST_TIMES_END) >= 0;
}

GhostSample ToSample(double x, double y)
{
    auto scale = [](double place) {
        return static_cast<int16_t>(
            std::clamp(std::lround(place * PLACE_SCALE), 0L, long{MAX_PLACE}));
    };
    return {scale(x), scale(y)};
}

} // namespace

bool LoadBestTimes()
{
    bestTimes.loaded = true;
    bestTimes.writable = true;
    bestTimes.count = 0;
    TextFile file;
    if (!OpenTextFile(&file, BEST_TIMES_PATH))
    {
        return true;
    }
    bool whole = ReadBestTimes(&file);
    CloseTextFile(&file);
    if (!whole)
    {
        bestTimes.count = 0;
        bestTimes.writable = MoveFileAside(BEST_TIMES_PATH);
    }
    return whole;
}

bool SaveBestTimes()
{
    return bestTimes.writable && SaveFileSafely(BEST_TIMES_PATH, WriteBestTimes);
}

void BeginRace(const RaceMaze& maze)
{
    if (!bestTimes.loaded && maze.kind != RACE_NONE)
    {
        LoadBestTimes();
    }
    race.maze = maze;
    race.ghostEntry = maze.kind == RACE_NONE ? -1 : FindEntry(maze);
    race.bestSeconds = race.ghostEntry < 0 ? -1 : bestTimes.entries[race.ghostEntry].seconds;
    race.newBest = false;
    race.lastClock = -1.0;
    race.sampleCount = 0;
}

void EndRace()
{
    BeginRace(RaceMaze{RACE_NONE, 0, 0, 0, 0});
}

void RecordRaceStep(double clock, float x, float y)
{
    if (race.maze.kind == RACE_NONE)
    {
        return;
    }
    // Each sample falls between two frames: the place in between, in proportion.
    while (race.sampleCount < MAX_GHOST_SAMPLES &&
           race.sampleCount <= clock * GHOST_SAMPLES_PER_SECOND)
    {
        double at = static_cast<double>(race.sampleCount) / GHOST_SAMPLES_PER_SECOND;
        double share = race.lastClock < 0.0 || clock <= race.lastClock
                           ? 1.0
                           : std::clamp((at - race.lastClock) / (clock - race.lastClock), 0.0, 1.0);
        race.samples[race.sampleCount++] =
            ToSample(race.lastX + (x - race.lastX) * share, race.lastY + (y - race.lastY) * share);
    }
    race.lastClock = clock;
    race.lastX = x;
    race.lastY = y;
}

void FinishRace(int32_t seconds)
{
    if (race.maze.kind == RACE_NONE || (race.bestSeconds >= 0 && seconds >= race.bestSeconds))
    {
        return;
    }
    // The maze's entry, or a new one in place of the one bettered longest ago, goes first.
    int32_t entry =
        race.ghostEntry >= 0 ? race.ghostEntry : std::min(bestTimes.count, MAX_BEST_MAZES - 1);
    std::rotate(bestTimes.entries, bestTimes.entries + entry, bestTimes.entries + entry + 1);
    bestTimes.count = std::max(bestTimes.count, entry + 1);
    BestTime& best = bestTimes.entries[0];
    best.maze = race.maze;
    best.seconds = seconds;
    best.sampleCount = race.sampleCount;
    std::copy(race.samples, race.samples + race.sampleCount, best.samples);
    race.newBest = true;
    race.ghostEntry = -1; // its path is this run's now
    SaveBestTimes();
}

bool FindGhost(double clock, float* x, float* y)
{
    if (!race.ghostShown || race.ghostEntry < 0)
    {
        return false;
    }
    const BestTime& best = bestTimes.entries[race.ghostEntry];
    if (best.sampleCount == 0)
    {
        return false;
    }
    double at = std::max(clock, 0.0) * GHOST_SAMPLES_PER_SECOND;
    int32_t before = static_cast<int32_t>(std::min(at, best.sampleCount - 1.0));
    int32_t after = std::min(before + 1, best.sampleCount - 1);
    double share = std::min(at - before, 1.0);
    const GhostSample& a = best.samples[before];
    const GhostSample& b = best.samples[after];
    *x = static_cast<float>((a.x + (b.x - a.x) * share) / PLACE_SCALE);
    *y = static_cast<float>((a.y + (b.y - a.y) * share) / PLACE_SCALE);
    return true;
}

void ToggleGhost()
{
    race.ghostShown = !race.ghostShown;
}
