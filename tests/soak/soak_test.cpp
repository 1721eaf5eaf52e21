// The whole game under a long storm of input: random keys, cursor moves, buttons, the wheel and
// minimising, across every screen, for half an hour of game time, with the game's state checked
// after every frame. The harness's player runs errands in rounds of one of each, in a random
// order, with random input mixed in, so that campaigns end and the name entry and records screens
// are reached too; the credits end the game, which then starts anew. The leak checker looks at
// the whole run when the program ends.
//
// VORTANAI_SOAK_SEED=N repeats a run; VORTANAI_SOAK_MINUTES=M changes its game time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "flow/game_state.h"
#include "tests/support/fake_system.h"
#include "tests/support/game_harness.h"

namespace
{

// Runs the soak for `minutes` of game time across restarts; the first broken rule, or nothing.
// `passesRun` counts the passes, for the watchdog.
std::string RunSoak(HarnessPlayer& player, double minutes, std::atomic<int64_t>& passesRun,
                    int32_t* restarts, double* gameMinutes)
{
    if (!StartHarnessGame())
    {
        return "the game did not start";
    }
    int64_t startCounter = fakeSystem.counter;
    double earlierSeconds = 0.0; // the game time of the runs before the last restart
    auto gameSeconds = [&]
    {
        return earlierSeconds +
               static_cast<double>(fakeSystem.counter - startCounter) / fakeSystem.frequency;
    };
    auto watch = [&]
    {
        ++passesRun;
        return gameSeconds() < minutes * 60.0;
    };
    std::vector<int> round(ERRAND_COUNT); // one of each errand
    std::iota(round.begin(), round.end(), int{ERRAND_STORM});
    while (gameSeconds() < minutes * 60.0)
    {
        std::shuffle(round.begin(), round.end(), player.random);
        for (int errand : round)
        {
            std::string broken = PlayErrand(player, static_cast<Errand>(errand), watch);
            if (!broken.empty())
            {
                StopHarnessGame();
                return broken;
            }
            if (player.errand == ERRAND_CREDITS && player.errandDone) // the game has ended
            {
                StopHarnessGame();
                ++*restarts;
                earlierSeconds = gameSeconds();
                if (!StartHarnessGame())
                {
                    return "the game did not start again after pass " + std::to_string(passesRun);
                }
                startCounter = fakeSystem.counter;
            }
        }
    }
    *gameMinutes = gameSeconds() / 60.0;
    StopHarnessGame();
    return {};
}

} // namespace

TEST(Soak, HalfAnHourOfRandomInputKeepsTheGameWhole)
{
    const char* givenSeed = std::getenv("VORTANAI_SOAK_SEED");
    const char* givenMinutes = std::getenv("VORTANAI_SOAK_MINUTES");
    uint32_t seed =
        givenSeed != nullptr
            ? static_cast<uint32_t>(std::strtoul(givenSeed, nullptr, 10))
            : static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
    double minutes = givenMinutes != nullptr ? std::strtod(givenMinutes, nullptr) : 30.0;
    std::printf("soak: seed %u (repeat with VORTANAI_SOAK_SEED=%u), %.0f minutes of game time\n",
                seed, seed, minutes);
    std::fflush(stdout);
    SCOPED_TRACE("VORTANAI_SOAK_SEED=" + std::to_string(seed));
    HarnessPlayer player;
    player.random.seed(seed);
    player.mayRunOut = true;
    // A pass that does not end (a loop that cannot end in the game) is reported with its seed
    // instead of leaving the test to its time-out.
    std::atomic<int64_t> passesRun{0};
    std::atomic<bool> finished{false};
    std::thread watchdog(
        [&]
        {
            // Idle counts the looks, a fifth of a second apart, that found no new pass.
            for (int64_t seen = -1, idle = 0; !finished; ++idle)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                idle = passesRun != seen ? 0 : idle;
                seen = passesRun;
                if (idle >= 600)
                {
                    std::fprintf(stderr,
                                 "soak: pass %lld has run for two minutes on screen %d; a loop "
                                 "that cannot end? (VORTANAI_SOAK_SEED=%u)\n",
                                 static_cast<long long>(seen),
                                 static_cast<int>(gameState.screenState), seed);
                    std::abort();
                }
            }
        });
    int32_t restarts = 0;
    double gameMinutes = 0.0;
    std::string failure = RunSoak(player, minutes, passesRun, &restarts, &gameMinutes);
    finished = true;
    watchdog.join();
    ASSERT_TRUE(failure.empty()) << failure;

    std::printf("soak: %.1f minutes of game time in %lld passes, %lld frames drawn, %d restarts "
                "after the credits; frames per screen: %s; errands (storm, fixed and random "
                "campaign, custom maze, records, credits): %s\n",
                gameMinutes, static_cast<long long>(passesRun.load()),
                static_cast<long long>(player.frames), restarts,
                testing::PrintToString(player.framesOnScreen).c_str(),
                testing::PrintToString(player.errandsBegun).c_str());
    // Every screen was reached, so the storm went everywhere.
    for (int state = STATE_SPLASH; state <= STATE_CREDITS; ++state)
    {
        EXPECT_GT(player.framesOnScreen[state], 0) << "screen " << state << " never reached";
    }
}
