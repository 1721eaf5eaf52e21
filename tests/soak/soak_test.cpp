// The whole game under a long storm of input: random keys, cursor moves, buttons, the wheel and
// minimising, across every screen, for half an hour of game time, with the game's state checked
// after every frame. An autopilot steers part of the time so that campaigns end and the name
// entry and records screens are reached too; the credits end the game, which then starts anew.
// The leak checker looks at the whole run when the program ends.
//
// VORTANAI_SOAK_SEED=N repeats a run; VORTANAI_SOAK_MINUTES=M changes its game time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "flow/window_proc.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "present/hud.h"
#include "present/settings.h"
#include "records/name_entry.h"
#include "records/records_file.h"
#include "tests/support/fake_system.h"
#include "tests/support/game_harness.h"

namespace
{

// Frames of 0.1 to 0.4 s (0.25 s on average): half an hour of game time in about 7,200 passes
// (drawing the largest mazes under the sanitizers is what takes the time), and the movement
// code sees steps of every size up to its cap of one cell.
constexpr double SOAK_FRAME_MIN_SECONDS = 0.1;
constexpr double SOAK_FRAME_MAX_SECONDS = 0.4;

// Keys a player uses, weighted toward the ones that move between screens.
constexpr uint8_t PLAYER_KEYS[] = {
    VK_UP,          VK_DOWN,    VK_LEFT,   VK_RIGHT, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN,
    VK_RETURN,      VK_ESCAPE,  'M',       VK_F1,    VK_F2, VK_F3,   VK_F4,   VK_F5,    VK_F12,
    VK_SHIFT,       VK_CONTROL, VK_BACK,   VK_SPACE, 'A',   'Z',     '0',     '9',      VK_NUMPAD0,
    VK_NUMPAD0 + 7, VK_TAB,     VK_DELETE,
};

// What the soak is doing: a storm of random input, or a player's errand through the screens
// with a little random input mixed in.
enum Errand
{
    ERRAND_STORM,
    ERRAND_CAMPAIGN,    // a campaign played to its end, a name typed, the records, the menu
    ERRAND_CUSTOM_MAZE, // values changed, the maze built and walked
    ERRAND_RECORDS,     // the records screen and back
    ERRAND_CREDITS,     // the credits, whose Enter ends the game (it is then started anew)
};

struct Soak
{
    std::mt19937 random;
    int64_t frames = 0;
    int32_t restarts = 0;
    int64_t framesOnScreen[STATE_CREDITS + 1] = {};
    double secondsOnScreen[STATE_CREDITS + 1] = {};
    int32_t errandsBegun[ERRAND_CREDITS + 1] = {};
    Errand errand = ERRAND_STORM;
    std::vector<Errand> errandsAhead;
    int32_t errandPassesLeft = 0;
    bool errandStarted = false;  // the errand's screen or campaign has been reached
    int32_t minimisedPasses = 0; // passes left until the window is restored; 0 when shown
};

int32_t Draw(Soak& soak, int32_t below)
{
    return static_cast<int32_t>(soak.random() % static_cast<uint32_t>(below));
}

bool Chance(Soak& soak, int32_t percent)
{
    return Draw(soak, 100) < percent;
}

double DrawFrameSeconds(Soak& soak)
{
    return SOAK_FRAME_MIN_SECONDS +
           (SOAK_FRAME_MAX_SECONDS - SOAK_FRAME_MIN_SECONDS) * Draw(soak, 1001) / 1000.0;
}

bool IsCampaignRunning()
{
    return gameState.fixedCampaign || gameState.randomCampaign;
}

bool IsInPhase()
{
    return gameState.levelIntro || gameState.levelOutro;
}

// The rules every frame must keep. Returns the first broken one, or nothing.
std::string FindBrokenInvariant()
{
    const GameState& s = gameState;
    if (s.screenState < STATE_SPLASH || s.screenState > STATE_CREDITS)
    {
        return "screen state " + std::to_string(s.screenState);
    }
    if (s.customLength < 8 || s.customLength > 128 || s.customWidth < 8 || s.customWidth > 128)
    {
        return "custom size " + std::to_string(s.customLength) + " x " +
               std::to_string(s.customWidth);
    }
    if (s.customDifficulty < 1 || s.customDifficulty > 10)
    {
        return "custom difficulty " + std::to_string(s.customDifficulty);
    }
    if (s.customSeed < 0 || s.customSeed > 999999999 || s.customField > 3)
    {
        return "custom seed " + std::to_string(s.customSeed) + " on line " +
               std::to_string(s.customField);
    }
    if (s.menuItemCount != 6 || s.menuSelection >= s.menuItemCount)
    {
        return "menu selection " + std::to_string(s.menuSelection) + " of " +
               std::to_string(s.menuItemCount);
    }
    if (s.mazeTextureIndex < 4 || s.mazeTextureIndex > 8)
    {
        return "maze texture " + std::to_string(s.mazeTextureIndex);
    }
    if (s.fixedCampaign && s.randomCampaign)
    {
        return "both campaigns at once";
    }
    if (IsCampaignRunning() && (s.levelNumber < 1 || s.levelNumber > 6))
    {
        return "campaign level " + std::to_string(s.levelNumber);
    }
    if (s.score < 0 || s.levelSeconds < 0)
    {
        return "score " + std::to_string(s.score) + ", seconds " + std::to_string(s.levelSeconds);
    }
    if (!(s.menuOffset >= 0.0f && s.menuOffset <= MENU_OFFSET_SHOWN))
    {
        return "menu offset " + std::to_string(s.menuOffset);
    }
    // The wheel zooms by a tenth a notch without a limit; only dragging stops at 1.
    if (!(s.cameraDistance > 0.0f && std::isfinite(s.cameraDistance)) || !std::isfinite(s.eyeX) ||
        !std::isfinite(s.eyeY) || !std::isfinite(s.eyeZ))
    {
        return "camera distance " + std::to_string(s.cameraDistance);
    }
    if (!(mazeGrid.mazeLength >= 0.0f && mazeGrid.mazeLength <= MAZE_MAX_SIZE &&
          mazeGrid.mazeWidth >= 0.0f && mazeGrid.mazeWidth <= MAZE_MAX_SIZE))
    {
        return "maze size";
    }
    if (!(mazeGrid.playerX >= 0.0f && mazeGrid.playerY >= 0.0f &&
          mazeGrid.playerX <= MAZE_MAX_SIZE - 1 && mazeGrid.playerY <= MAZE_MAX_SIZE - 1))
    {
        return "player at " + std::to_string(mazeGrid.playerX) + ", " +
               std::to_string(mazeGrid.playerY);
    }
    if (nameLength > NAME_MAX_LENGTH || recordCount > MAX_RECORDS)
    {
        return "name of " + std::to_string(nameLength) + " or " + std::to_string(recordCount) +
               " records";
    }
    return {};
}

void Tap(Soak& soak, uint8_t key)
{
    TapKey(key);
    ++soak.frames;
    ++soak.framesOnScreen[gameState.screenState];
}

void SendKey(Soak& soak, uint8_t key)
{
    // The credits end the game on Enter or Esc, and the menu's last item leads there: only the
    // credits errand goes that way, so that the game is not restarted every few minutes.
    bool toCredits = gameState.screenState == STATE_MENU && gameState.menuSelection == 5 &&
                     !IsInPhase() && key == VK_RETURN;
    if (gameState.screenState == STATE_CREDITS || toCredits)
    {
        if (key == VK_RETURN || key == VK_ESCAPE)
        {
            return;
        }
    }
    if (Chance(soak, 60))
    {
        Tap(soak, key);
    }
    else if (gameState.keyDown[key])
    {
        ReleaseKey(key);
    }
    else
    {
        PressKey(key);
    }
}

void SendRandomInput(Soak& soak)
{
    int32_t roll = Draw(soak, 100);
    if (roll < 45)
    {
        SendKey(soak, PLAYER_KEYS[Draw(soak, sizeof PLAYER_KEYS)]);
    }
    else if (roll < 50)
    {
        SendKey(soak, static_cast<uint8_t>(Draw(soak, 256))); // any key at all
    }
    else if (roll < 70)
    {
        // Anywhere on the screen and a little beyond it.
        fakeSystem.cursorX = Draw(soak, static_cast<int32_t>(settings.screenWidth) + 100) - 50;
        fakeSystem.cursorY = Draw(soak, static_cast<int32_t>(settings.screenHeight) + 100) - 50;
    }
    else if (roll < 82)
    {
        const uint32_t BUTTONS[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP};
        WndProc(BUTTONS[Draw(soak, 4)], 0, 0);
    }
    else if (roll < 97)
    {
        // One notch either way mostly, sometimes several at once.
        int32_t notches = Chance(soak, 80) ? (Chance(soak, 50) ? 1 : -1) : Draw(soak, 11) - 5;
        uint32_t delta = static_cast<uint16_t>(static_cast<int16_t>(notches * WHEEL_DELTA));
        WndProc(WM_MOUSEWHEEL, delta << 16, 0);
    }
    else if (soak.minimisedPasses == 0)
    {
        WndProc(WM_ACTIVATE, 1u << 16, 0); // minimised
        soak.minimisedPasses = 1 + Draw(soak, 20);
    }
}

void ReleaseEverything()
{
    for (int key = 0; key < 256; ++key)
    {
        if (gameState.keyDown[key])
        {
            ReleaseKey(static_cast<uint8_t>(key));
        }
    }
    WndProc(WM_LBUTTONUP, 0, 0);
    WndProc(WM_RBUTTONUP, 0, 0);
}

// How many steps each open cell is from the cells within reach of the exit, for the maze in
// memory; worked out again whenever the maze changes, so steering costs little per pass.
struct ExitDistances
{
    uint64_t mazeSignature = 0;
    int32_t steps[MAZE_MAX_SIZE][MAZE_MAX_SIZE];
};

ExitDistances exitDistances;

uint64_t SignMaze()
{
    uint64_t signature = 1469598103934665603ull;
    auto mix = [&](uint64_t value) { signature = (signature ^ value) * 1099511628211ull; };
    mix(static_cast<uint64_t>(mazeGrid.mazeLength));
    mix(static_cast<uint64_t>(mazeGrid.mazeWidth));
    mix(mazeGrid.exitX);
    mix(mazeGrid.exitY);
    for (int y = 0; y < mazeGrid.mazeWidth && y < MAZE_MAX_SIZE; ++y)
    {
        for (int x = 0; x < mazeGrid.mazeLength && x < MAZE_MAX_SIZE; ++x)
        {
            mix(mazeGrid.cells[y][x]);
        }
    }
    return signature;
}

bool IsOpen(int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < mazeGrid.mazeLength && y < mazeGrid.mazeWidth &&
           x < MAZE_MAX_SIZE && y < MAZE_MAX_SIZE && mazeGrid.cells[y][x] != CELL_WALL;
}

void MeasureExitDistances()
{
    uint64_t signature = SignMaze();
    if (signature == exitDistances.mazeSignature)
    {
        return;
    }
    exitDistances.mazeSignature = signature;
    std::vector<std::pair<int32_t, int32_t>> frontier;
    for (int32_t y = 0; y < MAZE_MAX_SIZE; ++y)
    {
        for (int32_t x = 0; x < MAZE_MAX_SIZE; ++x)
        {
            int32_t dx = static_cast<int32_t>(mazeGrid.exitX) - x;
            int32_t dy = static_cast<int32_t>(mazeGrid.exitY) - y;
            bool nearExit = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && IsOpen(x, y);
            exitDistances.steps[y][x] = nearExit ? 0 : -1;
            if (nearExit)
            {
                frontier.emplace_back(x, y);
            }
        }
    }
    const int32_t STEPS[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    for (size_t next = 0; next < frontier.size(); ++next)
    {
        auto [x, y] = frontier[next];
        for (const auto& step : STEPS)
        {
            int32_t nx = x + step[0];
            int32_t ny = y + step[1];
            if (IsOpen(nx, ny) && exitDistances.steps[ny][nx] < 0)
            {
                exitDistances.steps[ny][nx] = exitDistances.steps[y][x] + 1;
                frontier.emplace_back(nx, ny);
            }
        }
    }
}

// Holds the arrow key toward the neighbouring cell nearest the exit, as the autopilot does.
void SteerTowardExit()
{
    MeasureExitDistances();
    const uint8_t ARROWS[] = {VK_UP, VK_RIGHT, VK_DOWN, VK_LEFT};
    const int32_t STEPS[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    int32_t x = static_cast<int32_t>(mazeGrid.playerX + 0.5f);
    int32_t y = static_cast<int32_t>(mazeGrid.playerY + 0.5f);
    uint8_t key = 0;
    if (IsOpen(x, y) && exitDistances.steps[y][x] > 0)
    {
        for (int direction = 0; direction < 4; ++direction)
        {
            int32_t nx = x + STEPS[direction][0];
            int32_t ny = y + STEPS[direction][1];
            if (IsOpen(nx, ny) && exitDistances.steps[ny][nx] == exitDistances.steps[y][x] - 1)
            {
                key = ARROWS[direction];
                break;
            }
        }
    }
    for (uint8_t arrow : ARROWS)
    {
        if (arrow != key && gameState.keyDown[arrow])
        {
            ReleaseKey(arrow);
        }
    }
    if (key != 0 && !gameState.keyDown[key])
    {
        PressKey(key);
    }
}

// One step toward choosing a menu item: Up or Down until it is selected, then Enter.
void ChooseMenuItem(Soak& soak, uint8_t item)
{
    if (IsInPhase())
    {
        return; // Enter would only cut the background maze's intro short
    }
    if (gameState.menuSelection != item)
    {
        Tap(soak, Chance(soak, 50) ? VK_DOWN : VK_UP);
    }
    else
    {
        Tap(soak, VK_RETURN);
    }
}

// Errands come in rounds of one of each, in a random order, so that every screen is reached.
void BeginErrand(Soak& soak)
{
    if (soak.errandsAhead.empty())
    {
        soak.errandsAhead = {ERRAND_STORM, ERRAND_CAMPAIGN, ERRAND_CUSTOM_MAZE, ERRAND_RECORDS,
                             ERRAND_CREDITS};
        std::shuffle(soak.errandsAhead.begin(), soak.errandsAhead.end(), soak.random);
    }
    soak.errand = soak.errandsAhead.back();
    soak.errandsAhead.pop_back();
    ++soak.errandsBegun[soak.errand];
    soak.errandPassesLeft = soak.errand == ERRAND_STORM ? 100 + Draw(soak, 600) : 6000;
    soak.errandStarted = false;
    ReleaseEverything();
}

void EndErrand(Soak& soak)
{
    soak.errandPassesLeft = 0;
}

// The errands' steps. Each either sends input or leaves the pass to random input.
void RunErrandStep(Soak& soak)
{
    int8_t screen = gameState.screenState;
    if (screen == STATE_CREDITS && soak.errand != ERRAND_CREDITS)
    {
        // Random input found the way there: only Enter leaves, which is the credits' errand.
        soak.errand = ERRAND_CREDITS;
        soak.errandStarted = false;
        soak.errandPassesLeft = 6000;
    }
    if (screen == STATE_SPLASH)
    {
        if (Chance(soak, 10))
        {
            Tap(soak, VK_RETURN);
        }
        return;
    }
    switch (soak.errand)
    {
    case ERRAND_STORM:
        if (Chance(soak, 40))
        {
            SendRandomInput(soak);
        }
        return;
    case ERRAND_CAMPAIGN:
        if (screen == STATE_MENU)
        {
            if (soak.errandStarted && !IsCampaignRunning())
            {
                EndErrand(soak); // back from the records
            }
            else
            {
                ChooseMenuItem(soak,
                               soak.errandStarted ? 0 : static_cast<uint8_t>(2 + Draw(soak, 2)));
            }
        }
        else if (screen == STATE_PLAYING)
        {
            soak.errandStarted = soak.errandStarted || IsCampaignRunning();
            if (!IsCampaignRunning())
            {
                Tap(soak, 'M');
            }
            else if (!IsInPhase())
            {
                SteerTowardExit();
            }
            else if (Chance(soak, 20))
            {
                Tap(soak, VK_RETURN); // some intros and outros are cut short
            }
        }
        else if (screen == STATE_NAME_ENTRY && Chance(soak, 30))
        {
            Tap(soak, nameLength < 2 ? static_cast<uint8_t>('A' + Draw(soak, 26)) : VK_RETURN);
        }
        else if (screen == STATE_RECORDS && Chance(soak, 10))
        {
            Tap(soak, VK_RETURN);
        }
        else if (screen == STATE_CUSTOM_MAZE)
        {
            Tap(soak, VK_ESCAPE);
        }
        return;
    case ERRAND_CUSTOM_MAZE:
        if (screen == STATE_MENU)
        {
            if (soak.errandStarted)
            {
                EndErrand(soak);
            }
            else
            {
                ChooseMenuItem(soak, 1);
            }
        }
        else if (screen == STATE_CUSTOM_MAZE)
        {
            const uint8_t KEYS[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_NUMPAD0 + 3, VK_BACK};
            if (Chance(soak, 8))
            {
                // Seed 0 draws a new seed from the clock on every try until a maze is accepted;
                // the scripted clock stands still meanwhile, so a rare rejected one would be
                // tried for ever here. Half the mazes get a typed seed instead.
                if (gameState.customSeed == 0 && gameState.customField == 3 && Chance(soak, 50))
                {
                    Tap(soak, static_cast<uint8_t>(VK_NUMPAD0 + 1 + Draw(soak, 9)));
                }
                Tap(soak, VK_RETURN);
            }
            else
            {
                Tap(soak, KEYS[Draw(soak, sizeof KEYS)]);
            }
        }
        else if (screen == STATE_PLAYING)
        {
            soak.errandStarted = soak.errandStarted || !IsCampaignRunning();
            if (IsCampaignRunning())
            {
                Tap(soak, 'M');
            }
            else if (!IsInPhase())
            {
                SteerTowardExit();
            }
        }
        else
        {
            Tap(soak, VK_ESCAPE);
        }
        return;
    case ERRAND_RECORDS:
        if (screen == STATE_MENU)
        {
            if (soak.errandStarted)
            {
                EndErrand(soak);
            }
            else
            {
                ChooseMenuItem(soak, 4);
            }
        }
        else if (screen == STATE_RECORDS)
        {
            soak.errandStarted = true;
            if (Chance(soak, 5))
            {
                Tap(soak, Chance(soak, 50) ? VK_RETURN : VK_ESCAPE);
            }
        }
        else
        {
            Tap(soak, screen == STATE_PLAYING ? 'M' : VK_ESCAPE);
        }
        return;
    case ERRAND_CREDITS:
        if (screen == STATE_MENU)
        {
            ChooseMenuItem(soak, 5);
        }
        else if (screen != STATE_CREDITS)
        {
            Tap(soak, screen == STATE_PLAYING ? 'M' : VK_ESCAPE);
        }
        return;
    }
}

// One pass of the soak. False when the game ended (the credits were left), after which the
// caller starts it anew.
bool RunSoakPass(Soak& soak)
{
    if (soak.errandPassesLeft <= 0)
    {
        BeginErrand(soak);
    }
    --soak.errandPassesLeft;
    RunErrandStep(soak);
    // A little random input in every errand, none of it Enter or Esc on the credits.
    if (soak.errand != ERRAND_STORM && Chance(soak, 3))
    {
        SendRandomInput(soak);
    }
    if (soak.minimisedPasses > 0 && --soak.minimisedPasses == 0)
    {
        WndProc(WM_ACTIVATE, 0, 0); // restored
    }

    if (gameState.screenState == STATE_CREDITS && soak.errand == ERRAND_CREDITS)
    {
        if (!soak.errandStarted)
        {
            soak.errandStarted = true;
            soak.errandPassesLeft = 20 + Draw(soak, 40);
        }
        else if (soak.errandPassesLeft <= 1 && gameState.windowActive)
        {
            EndErrand(soak);
            PressKey(VK_RETURN);
            AdvanceFakeClock(DrawFrameSeconds(soak));
            ++soak.frames;
            return RunIdlePass() != 0;
        }
    }
    auto start = std::chrono::steady_clock::now();
    RunPass(DrawFrameSeconds(soak));
    soak.secondsOnScreen[gameState.screenState] +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++soak.frames;
    ++soak.framesOnScreen[gameState.screenState];
    return true;
}

uint32_t ChooseSeed()
{
    const char* given = std::getenv("VORTANAI_SOAK_SEED");
    if (given != nullptr)
    {
        return static_cast<uint32_t>(std::strtoul(given, nullptr, 10));
    }
    return static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

double ChooseMinutes()
{
    const char* given = std::getenv("VORTANAI_SOAK_MINUTES");
    return given != nullptr ? std::strtod(given, nullptr) : 30.0;
}

// Runs the soak for `minutes` of game time; the first broken rule, or nothing. `passesRun` is
// the number of the pass under way, for the watchdog.
std::string RunSoak(Soak& soak, double minutes, std::atomic<int64_t>& passesRun,
                    double* gameMinutes)
{
    if (!StartHarnessGame())
    {
        return "the game did not start";
    }
    // Runs until the game clock has gone on by the given time, across restarts.
    auto secondsSince = [](int64_t counter)
    { return static_cast<double>(fakeSystem.counter - counter) / fakeSystem.frequency; };
    int64_t startCounter = fakeSystem.counter;
    double earlierSeconds = 0.0; // the game time of the runs before the last restart
    for (int64_t pass = 0; earlierSeconds + secondsSince(startCounter) < minutes * 60.0; ++pass)
    {
        passesRun = pass;
        if (!RunSoakPass(soak))
        {
            StopHarnessGame();
            ++soak.restarts;
            earlierSeconds += secondsSince(startCounter);
            if (!StartHarnessGame())
            {
                return "the game did not start again after pass " + std::to_string(pass);
            }
            startCounter = fakeSystem.counter;
            continue;
        }
        std::string broken = FindBrokenInvariant();
        if (!broken.empty())
        {
            StopHarnessGame();
            return broken + " after pass " + std::to_string(pass) + " on screen " +
                   std::to_string(gameState.screenState);
        }
        // The game only shows a message box for a missing or unwritable file: none here.
        if (!fakeSystem.boxes.empty())
        {
            StopHarnessGame();
            return "message box \"" + fakeSystem.boxes.front().text + "\" at pass " +
                   std::to_string(pass);
        }
    }
    *gameMinutes = (earlierSeconds + secondsSince(startCounter)) / 60.0;
    StopHarnessGame();
    return {};
}

} // namespace

TEST(Soak, HalfAnHourOfRandomInputKeepsTheGameWhole)
{
    uint32_t seed = ChooseSeed();
    double minutes = ChooseMinutes();
    std::printf("soak: seed %u (repeat with VORTANAI_SOAK_SEED=%u), %.0f minutes of game time\n",
                seed, seed, minutes);
    std::fflush(stdout);
    SCOPED_TRACE("VORTANAI_SOAK_SEED=" + std::to_string(seed));
    Soak soak;
    soak.random.seed(seed);
    // A pass that does not end (a loop that cannot end in the game) is reported with its seed
    // instead of leaving the test to its time-out.
    std::atomic<int64_t> passesRun{0};
    std::atomic<bool> finished{false};
    std::thread watchdog(
        [&]
        {
            int64_t seen = -1;
            auto since = std::chrono::steady_clock::now();
            while (!finished)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                if (passesRun != seen)
                {
                    seen = passesRun;
                    since = std::chrono::steady_clock::now();
                }
                else if (std::chrono::steady_clock::now() - since > std::chrono::seconds(120))
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
    double gameMinutes = 0.0;
    std::string failure = RunSoak(soak, minutes, passesRun, &gameMinutes);
    finished = true;
    watchdog.join();
    ASSERT_TRUE(failure.empty()) << failure;

    std::printf("soak: %.1f minutes of game time in %lld passes, %lld frames drawn, %d restarts "
                "after the credits; frames per screen:",
                gameMinutes, static_cast<long long>(passesRun + 1),
                static_cast<long long>(soak.frames), soak.restarts);
    for (int64_t count : soak.framesOnScreen)
    {
        std::printf(" %lld", static_cast<long long>(count));
    }
    std::printf("; wall seconds spent in each screen's passes:");
    for (double seconds : soak.secondsOnScreen)
    {
        std::printf(" %.1f", seconds);
    }
    std::printf("; errands (storm, campaign, custom maze, records, credits):");
    for (int32_t count : soak.errandsBegun)
    {
        std::printf(" %d", count);
    }
    std::printf("\n");
    // Every screen was reached, so the storm went everywhere.
    for (int state = STATE_SPLASH; state <= STATE_CREDITS; ++state)
    {
        EXPECT_GT(soak.framesOnScreen[state], 0) << "screen " << state << " never reached";
    }
}
