// The records file when the game dies while saving: a child process saves a result and is killed
// with SIGKILL at a random moment of the save, hundreds of times; every time the file then holds
// the old table or the new one, byte for byte, never a mixture, a part or nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "flow/game_state.h"
#include "records/name_entry.h"
#include "records/records_file.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

constexpr int CRASH_RUNS = 300;
constexpr int32_t NEW_SCORE = 5550;

// A full table whose lines are long enough that a write cut short would show.
std::string MakeOldTable()
{
    std::string table;
    for (int i = 0; i < MAX_RECORDS; ++i)
    {
        table += std::to_string(10000 - i * 900) + " Senas zaidejas " + std::to_string(i);
        if (i + 1 < MAX_RECORDS)
        {
            table += "\r\n";
        }
    }
    return table;
}

// Saves the new result into the old table here, as the game would.
void SaveNewResult()
{
    recordCount = 0;
    std::snprintf(playerName, sizeof playerName, "%s", "Naujas Vardas");
    gameState.score = NEW_SCORE;
    SaveRecord();
}

// Starts a child that saves the new result; returns its id once it is about to begin.
pid_t StartSavingChild()
{
    int ready[2];
    if (pipe(ready) != 0)
    {
        return -1;
    }
    pid_t child = fork();
    if (child == 0)
    {
        close(ready[0]);
        char go = 1;
        (void)!write(ready[1], &go, 1);
        SaveNewResult();
        _exit(0);
    }
    close(ready[1]);
    char go = 0;
    bool started = child > 0 && read(ready[0], &go, 1) == 1;
    close(ready[0]);
    return started ? child : -1;
}

// How long a child takes from its start to its end, the median of a few: a forked child saves
// more slowly than its parent (its pages are copied as it writes them).
double MeasureChildSaveSeconds(const std::string& oldTable)
{
    std::vector<double> spent;
    for (int i = 0; i < 11; ++i)
    {
        WriteTestFile(RECORDS_PATH, oldTable);
        auto start = std::chrono::steady_clock::now();
        pid_t child = StartSavingChild();
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child)
        {
            return -1.0;
        }
        spent.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(spent.begin(), spent.end());
    return spent[spent.size() / 2];
}

void WaitSeconds(double seconds)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until)
    {
    }
}

} // namespace

TEST(RecordsFileUnderCrashes, AKilledSaveLeavesTheOldTableOrTheNewOneWhole)
{
    ResetFakeSystem();
    std::filesystem::remove_all("rekordai");
    std::filesystem::create_directories("rekordai");
    const std::string oldTable = MakeOldTable();
    WriteTestFile(RECORDS_PATH, oldTable);
    SaveNewResult();
    const std::string newTable = ReadTestFile(RECORDS_PATH);
    ASSERT_NE(newTable, oldTable);
    ASSERT_NE(newTable.find("5550 Naujas Vardas"), std::string::npos);
    const double saveSeconds = MeasureChildSaveSeconds(oldTable);
    ASSERT_GT(saveSeconds, 0.0);

    uint32_t seed = static_cast<uint32_t>(std::random_device{}());
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // From the moment the child starts saving to twice the time a save takes: about half the
    // kills fall before the new table is in place, half after.
    std::uniform_real_distribution<double> killDelay(0.0, saveSeconds * 2.0);
    int oldSeen = 0;
    int newSeen = 0;
    for (int run = 0; run < CRASH_RUNS; ++run)
    {
        WriteTestFile(RECORDS_PATH, oldTable);
        pid_t child = StartSavingChild();
        ASSERT_GT(child, 0);
        WaitSeconds(killDelay(random));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);

        std::string found = ReadTestFile(RECORDS_PATH);
        if (found == oldTable)
        {
            ++oldSeen;
        }
        else if (found == newTable)
        {
            ++newSeen;
        }
        else
        {
            FAIL() << "run " << run << " left " << found.size() << " bytes: \"" << found << "\"";
        }
        // What the game reads next time is a whole table.
        recordCount = 0;
        ASSERT_TRUE(LoadRecords());
        ASSERT_EQ(recordCount, static_cast<uint32_t>(MAX_RECORDS));
    }
    std::printf("records under crashes: %d runs (a child's save takes %.2f ms): the old "
                "table %d times, the new one %d times\n",
                CRASH_RUNS, saveSeconds * 1000.0, oldSeen, newSeen);
    // Both ends were reached, so the kills fell before, during and after the save.
    EXPECT_GT(oldSeen, CRASH_RUNS / 20);
    EXPECT_GT(newSeen, CRASH_RUNS / 20);
    EXPECT_TRUE(fakeSystem.boxes.empty());
}
