// Best times and ghosts: a custom maze played again and again through the whole game, and the
// file they are kept in, whole, cut short or foreign.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "flow/game_state.h"
#include "flow/screens.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "records/best_times.h"
#include "tests/support/fake_system.h"
#include "tests/support/game_harness.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"

namespace
{

// What the screen showed in each frame of play: the clock and the marker's place.
struct Walk
{
    std::vector<double> clocks;
    std::vector<std::pair<float, float>> places;
    int32_t seconds = -1;
    bool newBest = false; // as the exit was reached
};

void ReleaseArrows()
{
    for (uint8_t key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT})
    {
        ReleaseKey(key);
    }
}

// Starts the 16 x 16 custom maze of `seed` from the custom maze screen, stands still for `idle`
// seconds of play, walks to the exit and sees the outro out. `eachFrame` runs after every frame
// of play with the walk so far.
Walk PlayCustomMaze(int32_t seed, double idle, const std::function<void(const Walk&)>& eachFrame)
{
    ChangeScreen(STATE_CUSTOM_MAZE);
    RunPass();
    gameState.customLength = 16;
    gameState.customWidth = 16;
    gameState.customDifficulty = 10;
    gameState.customSeed = seed;
    TapKey(VK_RETURN);
    EXPECT_EQ(gameState.screenState, STATE_PLAYING);
    while (gameState.levelIntro)
    {
        RunPass();
    }
    Walk walk;
    for (int32_t pass = 0; !gameState.levelOutro && pass < 3000; ++pass)
    {
        if (gameState.phaseClock >= idle)
        {
            SteerTowardExit();
        }
        // A frame shows the place the step before left.
        std::pair<float, float> shown = {mazeGrid.playerX, mazeGrid.playerY};
        RunPass();
        if (!gameState.levelOutro)
        {
            walk.clocks.push_back(gameState.phaseClock);
            walk.places.push_back(shown);
            eachFrame(walk);
        }
    }
    walk.seconds = gameState.levelSeconds;
    walk.newBest = race.newBest;
    ReleaseArrows();
    RunSeconds(6.0);
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    return walk;
}

// Where the walk's marker stood at `clock`, between the frames around it.
std::pair<float, float> PlaceAt(const Walk& walk, double clock)
{
    size_t after = 1;
    while (after + 1 < walk.clocks.size() && walk.clocks[after] < clock)
    {
        ++after;
    }
    double share = std::clamp(
        (clock - walk.clocks[after - 1]) / (walk.clocks[after] - walk.clocks[after - 1]), 0.0, 1.0);
    auto [x0, y0] = walk.places[after - 1];
    auto [x1, y1] = walk.places[after];
    return {static_cast<float>(x0 + (x1 - x0) * share), static_cast<float>(y0 + (y1 - y0) * share)};
}

enum HudBox
{
    HUD_NONE,
    HUD_CLOCK,     // the clock's own box
    HUD_BEST_TIME, // the wider, taller one that holds the best time under the clock
};

constexpr int32_t HUD_WIDTH = 640;
constexpr int32_t HUD_HEIGHT = 480;

// Draws the frame again and tells the HUD's box by its dark fill, looked for at two places: one
// inside both boxes, one left of the clock's own box but inside the wider one. The flat pictures
// see +-4.14 units up and down (45 degrees from 10 units away), in a 4:3 picture.
HudBox FindHudBox()
{
    gameState.drawRoutine();
    std::vector<uint8_t> pixels = ReadFramebuffer(HUD_WIDTH, HUD_HEIGHT);
    auto filled = [&](double x, double y)
    {
        const double halfHeight = 4.1421356;
        auto column = static_cast<size_t>((x / (halfHeight * 4 / 3) + 1) * HUD_WIDTH / 2);
        auto row = static_cast<size_t>((y / halfHeight + 1) * HUD_HEIGHT / 2);
        const uint8_t* rgb = &pixels[(row * HUD_WIDTH + column) * 3];
        return std::abs(rgb[0] - 26) <= 1 && std::abs(rgb[1] - 26) <= 1 && rgb[2] == 0;
    };
    return !filled(5.2, -4.0) ? HUD_NONE : filled(3.3, -3.5) ? HUD_BEST_TIME : HUD_CLOCK;
}

// Esc on the menu until the menu's maze is played, then a second's walk toward its exit: its HUD
// has the clock's own box, and no ghost or path is kept.
void WalkMenusMaze()
{
    for (int32_t i = 0; i < 3 && gameState.screenState != STATE_PLAYING; ++i)
    {
        TapKey(VK_ESCAPE);
        RunPass();
    }
    ASSERT_TRUE(gameState.backgroundMaze && !gameState.levelIntro);
    for (int32_t pass = 0; pass < 25; ++pass)
    {
        SteerTowardExit();
        RunPass();
    }
    ReleaseArrows();
    float x = 0.0f;
    float y = 0.0f;
    EXPECT_EQ(FindHudBox(), HUD_CLOCK);
    EXPECT_FALSE(FindGhost(gameState.phaseClock, &x, &y));
    EXPECT_EQ(race.sampleCount, 0);
}

} // namespace

// A race exists only for a maze begun as one: the menu's maze shows no best time, races no ghost
// and keeps no path, at start-up and after a maze with a best time has been raced.
TEST(BestTimes, TheMenusMazeIsNoRace)
{
    ASSERT_TRUE(StartHarnessGame(HUD_WIDTH, HUD_HEIGHT));
    bestTimes.writable = true;
    bestTimes.count = 1;
    bestTimes.entries[0] = {{RACE_CUSTOM, 16, 16, 10, 4321}, 99, 2, {{100, 100}, {100, 200}}};
    ASSERT_TRUE(SaveBestTimes());
    bestTimes.loaded = false;
    RunPass(); // the splash
    TapKey(VK_RETURN);
    RunPass();
    WalkMenusMaze();

    TapKey('M');
    PlayCustomMaze(4321, 0.0,
                   [](const Walk& walk)
                   {
                       if (walk.clocks.size() == 10)
                       {
                           EXPECT_EQ(FindHudBox(), HUD_BEST_TIME);
                       }
                   });
    WalkMenusMaze();
    StopHarnessGame();
}

// A clock-seeded maze keeps nothing. A typed seed's first run sets the best; the next try shows it
// under the clock and races its ghost, which stands where the first run stood at each moment and
// which F6 hides and shows; a faster run takes over time and path, a slower one changes nothing.
TEST(BestTimes, AMazeWithATypedSeedIsRacedAgainstItsBestRunAndItsGhost)
{
    ASSERT_TRUE(StartHarnessGame());
    RunPass(); // the splash
    auto nothing = [](const Walk&) {};
    PlayCustomMaze(0, 0.0, nothing);
    EXPECT_FALSE(std::filesystem::exists(BEST_TIMES_PATH));

    Walk slow = PlayCustomMaze(4321, 2.0, [](const Walk&) { EXPECT_EQ(race.bestSeconds, -1); });
    EXPECT_TRUE(slow.newBest);
    const std::string firstFile = ReadTestFile(BEST_TIMES_PATH);

    int32_t ghostsSeen = 0;
    Walk fast =
        PlayCustomMaze(4321, 0.0,
                       [&](const Walk& walk)
                       {
                           EXPECT_EQ(race.bestSeconds, slow.seconds);
                           float x = 0.0f;
                           float y = 0.0f;
                           ASSERT_TRUE(FindGhost(gameState.phaseClock, &x, &y));
                           auto [wasX, wasY] = PlaceAt(slow, gameState.phaseClock);
                           EXPECT_NEAR(x, wasX, 0.25) << "at " << gameState.phaseClock << " s";
                           EXPECT_NEAR(y, wasY, 0.25) << "at " << gameState.phaseClock << " s";
                           ++ghostsSeen;
                           if (walk.clocks.size() == 10)
                           {
                               TapKey(VK_F6);
                               EXPECT_FALSE(FindGhost(gameState.phaseClock, &x, &y));
                               TapKey(VK_F6);
                           }
                       });
    EXPECT_GT(ghostsSeen, 20);
    ASSERT_LT(fast.seconds, slow.seconds);
    EXPECT_TRUE(fast.newBest);
    const std::string fastFile = ReadTestFile(BEST_TIMES_PATH);
    EXPECT_NE(fastFile, firstFile);

    Walk slower =
        PlayCustomMaze(4321, 2.5, [&](const Walk&) { EXPECT_EQ(race.bestSeconds, fast.seconds); });
    EXPECT_GT(slower.seconds, fast.seconds);
    EXPECT_FALSE(slower.newBest);
    EXPECT_EQ(ReadTestFile(BEST_TIMES_PATH), fastFile);
    // The table read afresh, as the next run of the game reads it, is the faster run's.
    ASSERT_TRUE(LoadBestTimes());
    ASSERT_EQ(bestTimes.count, 1);
    EXPECT_EQ(bestTimes.entries[0].seconds, fast.seconds);
    EXPECT_GE(bestTimes.entries[0].sampleCount, fast.seconds * GHOST_SAMPLES_PER_SECOND);
    StopHarnessGame();
}

// A file cut short anywhere, a foreign one or a count out of range is moved aside whole, under the
// first free name, and the table starts empty; with every such name taken, the damaged file stays
// where it is and is never written over. A whole file reads back as it was written.
TEST(BestTimes, ADamagedFileIsMovedAsideAndNeverOverwritten)
{
    ResetFakeSystem();
    std::filesystem::remove_all("rekordai");
    std::filesystem::create_directories("rekordai");
    bestTimes.count = 2;
    bestTimes.writable = true;
    bestTimes.entries[0] = {
        {RACE_CUSTOM, 16, 16, 10, 4321}, 7, 3, {{100, 200}, {150, 200}, {1600, 0}}};
    bestTimes.entries[1] = {{RACE_CAMPAIGN, 32, 16, 10, 674827}, 42, 0, {}};
    ASSERT_TRUE(SaveBestTimes());
    const std::string whole = ReadTestFile(BEST_TIMES_PATH);
    bestTimes.count = 0;
    ASSERT_TRUE(LoadBestTimes());
    ASSERT_EQ(bestTimes.count, 2);
    EXPECT_EQ(bestTimes.entries[0].samples[2].x, 1600);
    EXPECT_EQ(bestTimes.entries[1].seconds, 42);

    std::vector<std::string> damaged = {"rekordai.txt\r\n5000 Vardas", "", whole + "1 2",
                                        whole.substr(0, 20) + "17" + whole.substr(21)};
    for (size_t length = 0; length + 2 < whole.size(); ++length)
    {
        damaged.push_back(whole.substr(0, length));
    }
    for (const std::string& bytes : damaged)
    {
        SCOPED_TRACE("\"" + bytes + "\"");
        std::filesystem::remove_all("rekordai");
        WriteTestFile(BEST_TIMES_PATH, bytes);
        WriteTestFile(std::string(BEST_TIMES_PATH) + ".sugadintas", "taken");
        EXPECT_FALSE(LoadBestTimes());
        EXPECT_EQ(bestTimes.count, 0);
        EXPECT_FALSE(std::filesystem::exists(BEST_TIMES_PATH));
        EXPECT_EQ(ReadTestFile(std::string(BEST_TIMES_PATH) + ".sugadintas2"), bytes);
    }
    for (int32_t i = 3; i <= 9; ++i)
    {
        WriteTestFile(std::string(BEST_TIMES_PATH) + ".sugadintas" + std::to_string(i), "taken");
    }
    WriteTestFile(BEST_TIMES_PATH, "foreign");
    EXPECT_FALSE(LoadBestTimes());
    bestTimes.count = 1;
    EXPECT_FALSE(SaveBestTimes());
    EXPECT_EQ(ReadTestFile(BEST_TIMES_PATH), "foreign");
    std::filesystem::remove_all("rekordai");
}
