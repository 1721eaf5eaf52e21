// The records and best-times files when the game dies while saving: a child process saves a
// result and is killed with SIGKILL at a random moment of the save, hundreds of times; every time
// the file then holds the old table or the new one, byte for byte, never a mixture, a part or
// nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "flow/game_state.h"
#include "records/best_times.h"
#include "records/player_name.h"
#include "records/records_file.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

constexpr int CRASH_RUNS = 300;

using Clock = std::chrono::steady_clock;

// A file of ours, the table it holds before the save, and the save as the game makes it.
struct SavedFile
{
    const char* path;
    std::string oldTable;
    void (*save)();
    bool (*readsWhole)(); // what the game reads next time is a whole table
};

// Writes the old table, starts a child that saves the new result and, once it has begun, kills
// it after `killAfter` seconds (never, when negative). Returns the seconds from its beginning to
// its end, or -1 when it could not be run.
double SaveInChild(const SavedFile& saved, double killAfter)
{
    WriteTestFile(saved.path, saved.oldTable);
    int ready[2];
    if (pipe(ready) != 0)
    {
        return -1.0;
    }
    pid_t child = fork();
    if (child == 0)
    {
        char go = 1;
        (void)!write(ready[1], &go, 1);
        saved.save();
        _exit(0);
    }
    close(ready[1]);
    char go = 0;
    bool started = child > 0 && read(ready[0], &go, 1) == 1;
    close(ready[0]);
    const Clock::time_point start = Clock::now();
    while (killAfter >= 0.0 && Clock::now() < start + std::chrono::duration<double>(killAfter))
    {
    }
    if (started && killAfter >= 0.0)
    {
        kill(child, SIGKILL);
    }
    int status = 0;
    bool ended = child > 0 && waitpid(child, &status, 0) == child;
    return started && ended ? std::chrono::duration<double>(Clock::now() - start).count() : -1.0;
}

void ExpectKilledSavesLeaveAWholeFile(const SavedFile& saved)
{
    ResetFakeSystem();
    std::filesystem::remove_all("rekordai");
    std::filesystem::create_directories("rekordai");
    WriteTestFile(saved.path, saved.oldTable);
    saved.save();
    const std::string newTable = ReadTestFile(saved.path);
    ASSERT_NE(newTable, saved.oldTable);
    // A forked child saves more slowly than its parent (its pages are copied as it writes them):
    // the median of a few children's saves.
    std::vector<double> spent;
    for (int i = 0; i < 11; ++i)
    {
        spent.push_back(SaveInChild(saved, -1.0));
        ASSERT_GT(spent.back(), 0.0);
    }
    std::sort(spent.begin(), spent.end());
    const double saveSeconds = spent[spent.size() / 2];

    uint32_t seed = static_cast<uint32_t>(std::random_device{}());
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // Kills fall from the moment the child starts saving to twice the time a save takes, so
    // that about half come before the new table is in place. A loaded machine stretches a
    // killed child's save well past the measured one: after every round whose kills nearly all
    // found one table, the range is widened or narrowed towards the other.
    constexpr int ROUND = 25;
    double reach = saveSeconds * 2.0;
    int seen[2] = {0, 0}; // the old table, the new one
    int runs = 0;
    while (runs < CRASH_RUNS * 4 &&
           (runs < CRASH_RUNS || std::min(seen[0], seen[1]) <= CRASH_RUNS / 20))
    {
        int newInRound = 0;
        for (int i = 0; i < ROUND; ++i, ++runs)
        {
            ASSERT_GE(
                SaveInChild(saved, std::uniform_real_distribution<double>(0.0, reach)(random)),
                0.0);
            std::string found = ReadTestFile(saved.path);
            ASSERT_TRUE(found == saved.oldTable || found == newTable)
                << "run " << runs << " left " << found.size() << " bytes: \"" << found << "\"";
            ++seen[found == newTable];
            newInRound += found == newTable;
            ASSERT_TRUE(saved.readsWhole());
        }
        reach *= newInRound < ROUND / 4 ? 2.0 : newInRound > ROUND * 3 / 4 ? 0.5 : 1.0;
    }
    std::printf("%s under crashes: %d runs (a child's save takes %.2f ms, the last kills "
                "within %.2f ms): the old table %d times, the new one %d times\n",
                saved.path, runs, saveSeconds * 1000.0, reach * 1000.0, seen[0], seen[1]);
    // Both ends were reached, so the kills fell before, during and after the save.
    EXPECT_GT(seen[0], CRASH_RUNS / 20);
    EXPECT_GT(seen[1], CRASH_RUNS / 20);
    EXPECT_TRUE(fakeSystem.boxes.empty());
}

} // namespace

// A full table whose lines are long enough that a write cut short would show.
TEST(SavesUnderCrashes, AKilledSaveLeavesTheOldRecordsOrTheNewOneWhole)
{
    std::string oldTable;
    for (int i = 0; i < MAX_RECORDS; ++i)
    {
        oldTable += (i > 0 ? "\r\n" : "") + std::to_string(10000 - i * 900) + " Senas zaidejas " +
                    std::to_string(i);
    }
    auto save = []
    {
        recordCount = 0;
        std::snprintf(playerName, sizeof playerName, "%s", "Naujas Vardas");
        gameState.score = 5550;
        SaveRecord();
    };
    auto readsWhole = [] { return (recordCount = 0, LoadRecords()) && recordCount == MAX_RECORDS; };
    ExpectKilledSavesLeaveAWholeFile({RECORDS_PATH, oldTable, save, readsWhole});
}

// The old table holds one maze; the new best of another brings a path of a minute.
TEST(SavesUnderCrashes, AKilledSaveLeavesTheOldBestTimesOrTheNewOnesWhole)
{
    std::filesystem::create_directories("rekordai");
    bestTimes.count = 1;
    bestTimes.writable = true;
    bestTimes.entries[0] = {{RACE_CAMPAIGN, 32, 16, 10, 674827}, 42, 2, {{100, 200}, {150, 200}}};
    ASSERT_TRUE(SaveBestTimes());
    auto save = []
    {
        LoadBestTimes();
        BeginRace({RACE_CUSTOM, 64, 64, 10, 99});
        for (int32_t frame = 0; frame <= 1500; ++frame)
        {
            RecordRaceStep(frame * 0.04, static_cast<float>(frame % 64), 3.5f);
        }
        FinishRace(60);
    };
    auto readsWhole = [] { return LoadBestTimes() && bestTimes.count >= 1; };
    ExpectKilledSavesLeaveAWholeFile(
        {BEST_TIMES_PATH, ReadTestFile(BEST_TIMES_PATH), save, readsWhole});
}
