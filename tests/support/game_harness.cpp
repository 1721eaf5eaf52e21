#include "tests/support/game_harness.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "flow/main_loop.h"
#include "flow/options.h"
#include "flow/pad_input.h"
#include "flow/preferences.h"
#include "flow/window_proc.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "present/gl_window.h"
#include "present/hud.h"
#include "present/settings.h"
#include "records/best_times.h"
#include "records/name_entry.h"
#include "records/records_file.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "tests/support/fake_system.h"
#include "tests/support/maze_paths.h"
#include "tests/support/test_files.h"

namespace
{

// Up, right, down and left: their keys and their steps.
constexpr uint8_t ARROWS[] = {VK_UP, VK_RIGHT, VK_DOWN, VK_LEFT};
constexpr GameAction MOVES[] = {ACTION_UP, ACTION_RIGHT, ACTION_DOWN, ACTION_LEFT};
constexpr int32_t STEPS[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};

void HoldOnly(uint8_t key)
{
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

} // namespace

bool StartHarnessGame(int32_t width, int32_t height)
{
    ResetFakeSystem();
    std::filesystem::remove_all("duomenys");
    std::filesystem::remove_all("vortanai");
    std::filesystem::remove_all("rekordai");
    std::filesystem::remove_all("config/vortanai");
    std::filesystem::copy(SourcePath("data"), ".", std::filesystem::copy_options::recursive);
    // A small window keeps the software renderer quick where the picture is not what is tested.
    // Pictures that random F9 presses take land in the run directory, never in the user's home.
    std::string here = std::filesystem::current_path().string();
    setenv("XDG_CONFIG_HOME", (here + "/config").c_str(), 1);
    WriteTestFile("config/user-dirs.dirs", "XDG_PICTURES_DIR=\"" + here + "/nuotraukos\"\n");
    WriteTestFile(SETTINGS_PATH,
                  "Vortanai\r\n0\r\n" + std::to_string(width) + "\r\n" + std::to_string(height) +
                      "\r\n0\r\n32\r\n24\r\n\r\n\r\nhttp://127.0.0.1:8017/rezultatas\r\n");
    gameState = GameState{};
    mazeGrid = MazeGrid{};
    settings = Settings{};
    fpsCounter = FpsCounter{};
    soundLog = SoundLog{};
    nameLength = 0;
    playerName[0] = '\0';
    gamePad = GamePad{};
    preferences = Preferences{};
    launchOptions = LaunchOptions{};
    optionsScreen = OptionsScreen{};
    bestTimes.loaded = false;
    race = Race{};
    textureCount = 0;
    soundCount = 0;
    return StartGame();
}

void StopHarnessGame()
{
    DestroyGLWindow();
}

void RunPass(double seconds)
{
    AdvanceFakeClock(seconds);
    // The loop runs a frame only once the queue is empty: what the pad posted comes first.
    PumpMessages();
    RunIdlePass();
}

void RunSeconds(double seconds)
{
    int passes = static_cast<int>(seconds / HARNESS_FRAME_SECONDS + 0.5);
    for (int i = 0; i < passes; ++i)
    {
        RunPass();
    }
}

void PressKey(uint8_t key)
{
    WndProc(WM_KEYDOWN, key, KEY_DOWN_FLAGS);
}

void ReleaseKey(uint8_t key)
{
    WndProc(WM_KEYUP, key, KEY_UP_FLAGS);
}

void TapKey(uint8_t key)
{
    PressKey(key);
    RunPass();
    ReleaseKey(key);
}

uint8_t FindArrowTowardExit()
{
    int32_t steps = CountStepsToExit();
    int32_t x = NearestCell(mazeGrid.playerX);
    int32_t y = NearestCell(mazeGrid.playerY);
    uint8_t key = 0;
    for (int direction = 0; direction < 4; ++direction)
    {
        int32_t nx = x + STEPS[direction][0];
        int32_t ny = y + STEPS[direction][1];
        bool nearer = steps > 0 && CountStepsFrom(nx, ny) == steps - 1;
        if (nearer || (steps == 0 && IsActionHeld(MOVES[direction])))
        {
            key = ARROWS[direction];
            break;
        }
    }
    return key;
}

void SteerTowardExit()
{
    HoldOnly(FindArrowTowardExit());
}

void PumpMessages()
{
    for (WindowMessage message = {}; PeekWindowMessage(&message);)
    {
        if (message.message != WM_QUIT)
        {
            WndProc(message.message, message.wParam, message.lParam);
        }
    }
}

namespace
{

// Keys a player uses, weighted toward the ones that move between screens.
constexpr uint8_t PLAYER_KEYS[] = {
    VK_UP,          VK_DOWN,    VK_LEFT,   VK_RIGHT, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN,
    VK_RETURN,      VK_ESCAPE,  'M',       VK_F1,    VK_F2, VK_F3,   VK_F4,   VK_F5,    VK_F12,
    VK_SHIFT,       VK_CONTROL, VK_BACK,   VK_SPACE, 'A',   'Z',     '0',     '9',      VK_NUMPAD0,
    VK_NUMPAD0 + 7, VK_TAB,     VK_DELETE,
};

int32_t Draw(HarnessPlayer& player, int32_t below)
{
    return static_cast<int32_t>(player.random() % static_cast<uint32_t>(below));
}

bool Chance(HarnessPlayer& player, int32_t percent)
{
    return Draw(player, 100) < percent;
}

// Frames of 0.1 to 0.4 s (0.25 s on average) let the movement code see steps of every size up to
// its cap of one cell.
double DrawFrameSeconds(HarnessPlayer& player)
{
    return 0.1 + 0.3 * Draw(player, 1001) / 1000.0;
}

bool IsCampaignRunning()
{
    return gameState.fixedCampaign || gameState.randomCampaign;
}

bool IsInPhase()
{
    return gameState.levelIntro || gameState.levelOutro;
}

void Tap(HarnessPlayer& player, uint8_t key)
{
    TapKey(key);
    ++player.frames;
    ++player.framesOnScreen[gameState.screenState];
}

void SendKey(HarnessPlayer& player, uint8_t key)
{
    // The credits end the game on Enter or Esc, and the menu's last item leads there: only the
    // credits errand goes that way, so that the game is not restarted every few minutes.
    bool toCredits = gameState.screenState == STATE_MENU &&
                     gameState.menuSelection == MENU_CREDITS && !IsInPhase() && key == VK_RETURN;
    if ((gameState.screenState == STATE_CREDITS || toCredits) &&
        (key == VK_RETURN || key == VK_ESCAPE))
    {
        return;
    }
    if (Chance(player, 60))
    {
        Tap(player, key);
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

void SendRandomInput(HarnessPlayer& player)
{
    int32_t roll = Draw(player, 100);
    if (roll < 45)
    {
        SendKey(player, PLAYER_KEYS[Draw(player, sizeof PLAYER_KEYS)]);
    }
    else if (roll < 50)
    {
        SendKey(player, static_cast<uint8_t>(Draw(player, 256))); // any key at all
    }
    else if (roll < 70)
    {
        // Anywhere on the screen and a little beyond it.
        fakeSystem.cursorX = Draw(player, gameState.screenWidth + 100) - 50;
        fakeSystem.cursorY = Draw(player, gameState.screenHeight + 100) - 50;
    }
    else if (roll < 76)
    {
        // A pad's button tapped or a stick or trigger flicked; never A or B, which would end the
        // credits, nor the guide and share buttons, whose full screen and pictures only slow the
        // run down.
        const PadButton PAD_BUTTONS[] = {
            PAD_X,          PAD_Y,           PAD_BACK,          PAD_START,
            PAD_LEFT_STICK, PAD_RIGHT_STICK, PAD_LEFT_SHOULDER, PAD_RIGHT_SHOULDER,
            PAD_DPAD_UP,    PAD_DPAD_DOWN,   PAD_DPAD_LEFT,     PAD_DPAD_RIGHT,
            PAD_TOUCHPAD};
        uint32_t button = PAD_BUTTONS[Draw(player, static_cast<int32_t>(std::size(PAD_BUTTONS)))];
        uint32_t axis = static_cast<uint32_t>(Draw(player, PAD_AXIS_COUNT));
        bool tap = Chance(player, 50);
        WndProc(tap ? WM_PADBUTTONDOWN : WM_PADAXIS, tap ? button : axis,
                static_cast<uint32_t>(Draw(player, 65536) - 32768));
        WndProc(tap ? WM_PADBUTTONUP : WM_PADAXIS, tap ? button : axis, 0);
    }
    else if (roll < 82)
    {
        const uint32_t BUTTONS[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP};
        WndProc(BUTTONS[Draw(player, 4)], 0, 0);
    }
    else if (roll < 97)
    {
        // One notch either way mostly, sometimes several at once.
        int32_t notches = Chance(player, 80) ? (Chance(player, 50) ? 1 : -1) : Draw(player, 11) - 5;
        uint32_t delta = static_cast<uint16_t>(static_cast<int16_t>(notches * WHEEL_DELTA));
        WndProc(WM_MOUSEWHEEL, delta << 16, 0);
    }
    else if (player.minimisedPasses == 0)
    {
        WndProc(WM_ACTIVATE, 1u << 16, 0); // minimised
        player.minimisedPasses = 1 + Draw(player, 20);
    }
}

void EndErrand(HarnessPlayer& player)
{
    player.errandPassesLeft = 0;
    player.errandDone = true;
}

// One step toward choosing a menu item: Up or Down until it is selected, then Enter.
void ChooseMenuItem(HarnessPlayer& player, uint8_t item)
{
    if (IsInPhase())
    {
        return; // Enter would only cut the background maze's intro short
    }
    Tap(player, gameState.menuSelection == item ? VK_RETURN : Chance(player, 50) ? VK_DOWN : VK_UP);
}

// From the menu to the errand's screen and back: `item` is chosen until the errand has started,
// and a return to the menu after that ends it.
bool MenuLeadsOn(HarnessPlayer& player, uint8_t item)
{
    if (gameState.screenState != STATE_MENU)
    {
        return true;
    }
    if (player.errandStarted)
    {
        EndErrand(player);
    }
    else
    {
        ChooseMenuItem(player, item);
    }
    return false;
}

// The errands' steps. Each either sends input or leaves the pass to random input.
void RunErrandStep(HarnessPlayer& player)
{
    int8_t screen = gameState.screenState;
    if (screen == STATE_CREDITS && player.errand != ERRAND_CREDITS)
    {
        // Random input found the way there: only Enter leaves, which is the credits' errand.
        BeginErrand(player, ERRAND_CREDITS);
    }
    if (screen == STATE_SPLASH)
    {
        if (Chance(player, 10))
        {
            Tap(player, VK_RETURN);
        }
        return;
    }
    bool campaign =
        player.errand == ERRAND_FIXED_CAMPAIGN || player.errand == ERRAND_RANDOM_CAMPAIGN;
    switch (player.errand)
    {
    case ERRAND_STORM:
        if (Chance(player, 40))
        {
            SendRandomInput(player);
        }
        return;
    case ERRAND_FIXED_CAMPAIGN:
    case ERRAND_RANDOM_CAMPAIGN:
    case ERRAND_CUSTOM_MAZE:
        if (screen == STATE_MENU && campaign && player.errandStarted && IsCampaignRunning())
        {
            ChooseMenuItem(player,
                           MENU_RESUME); // back to the campaign random input left for the menu
        }
        else if (screen == STATE_MENU)
        {
            MenuLeadsOn(player, player.errand == ERRAND_CUSTOM_MAZE      ? MENU_CUSTOM_MAZE
                                : player.errand == ERRAND_FIXED_CAMPAIGN ? MENU_FIXED_CAMPAIGN
                                                                         : MENU_RANDOM_CAMPAIGN);
        }
        else if (screen == STATE_PLAYING)
        {
            player.errandStarted = player.errandStarted || IsCampaignRunning() == campaign;
            if (IsCampaignRunning() != campaign)
            {
                Tap(player, 'M');
            }
            else if (!IsInPhase())
            {
                SteerTowardExit();
            }
            else if (campaign && Chance(player, 20))
            {
                Tap(player, VK_RETURN); // some intros and outros are cut short
            }
        }
        else if (screen == STATE_CUSTOM_MAZE && !campaign)
        {
            const uint8_t KEYS[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_NUMPAD0 + 3, VK_BACK};
            if (!Chance(player, 8))
            {
                Tap(player, KEYS[Draw(player, sizeof KEYS)]);
                return;
            }
            // Half the mazes get a typed seed, the others one drawn from the clock.
            if (gameState.customSeed == 0 && gameState.customField == CUSTOM_SEED &&
                Chance(player, 50))
            {
                Tap(player, static_cast<uint8_t>(VK_NUMPAD0 + 1 + Draw(player, 9)));
            }
            Tap(player, VK_RETURN);
        }
        else if (screen == STATE_NAME_ENTRY && Chance(player, 30))
        {
            Tap(player, nameLength < 2 ? static_cast<uint8_t>('A' + Draw(player, 26)) : VK_RETURN);
        }
        else if (screen == STATE_RECORDS && Chance(player, 10))
        {
            Tap(player, VK_RETURN);
        }
        else if (screen != STATE_NAME_ENTRY && screen != STATE_RECORDS)
        {
            Tap(player, VK_ESCAPE);
        }
        return;
    case ERRAND_RECORDS:
        if (screen == STATE_RECORDS)
        {
            player.errandStarted = true;
            if (Chance(player, 5))
            {
                Tap(player, Chance(player, 50) ? VK_RETURN : VK_ESCAPE);
            }
        }
        else if (MenuLeadsOn(player, MENU_RECORDS))
        {
            Tap(player, screen == STATE_PLAYING ? 'M' : VK_ESCAPE);
        }
        return;
    case ERRAND_CREDITS:
        if (screen == STATE_MENU)
        {
            ChooseMenuItem(player, MENU_CREDITS);
        }
        else if (screen != STATE_CREDITS)
        {
            Tap(player, screen == STATE_PLAYING ? 'M' : VK_ESCAPE);
        }
        return;
    case ERRAND_COUNT:
        return;
    }
}

} // namespace

void BeginErrand(HarnessPlayer& player, Errand errand)
{
    player.errand = errand;
    ++player.errandsBegun[errand];
    player.errandPassesLeft =
        errand == ERRAND_STORM ? 100 + Draw(player, 600) : player.errandPasses;
    player.errandStarted = false;
    player.errandDone = false;
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

bool RunPlayerPass(HarnessPlayer& player)
{
    --player.errandPassesLeft;
    player.errandDone = player.errand == ERRAND_STORM && player.errandPassesLeft <= 0;
    RunErrandStep(player);
    // A little random input in every errand, none of it Enter or Esc on the credits.
    if (player.errand != ERRAND_STORM && Chance(player, player.noisePercent))
    {
        SendRandomInput(player);
    }
    if (player.minimisedPasses > 0 && --player.minimisedPasses == 0)
    {
        WndProc(WM_ACTIVATE, 0, 0); // restored
    }
    if (gameState.screenState == STATE_CREDITS && player.errand == ERRAND_CREDITS)
    {
        if (!player.errandStarted)
        {
            player.errandStarted = true;
            player.errandPassesLeft = 20 + Draw(player, 40);
        }
        else if (player.errandPassesLeft <= 1 && gameState.windowActive)
        {
            PressKey(VK_RETURN);
            AdvanceFakeClock(DrawFrameSeconds(player));
            ++player.frames;
            bool going = RunIdlePass() != 0;
            player.errandPassesLeft = 0;
            player.errandDone = !going;
            return going;
        }
    }
    RunPass(DrawFrameSeconds(player));
    ++player.frames;
    ++player.framesOnScreen[gameState.screenState];
    return true;
}

std::string FindBrokenRule()
{
    const GameState& s = gameState;
    auto text = [](auto... values) { return ((" " + std::to_string(values)) + ...); };
    if (s.screenState < STATE_SPLASH || s.screenState > STATE_CREDITS)
    {
        return "screen state" + text(s.screenState);
    }
    if (s.customLength < 8 || s.customLength > 128 || s.customWidth < 8 || s.customWidth > 128 ||
        s.customDifficulty < 1 || s.customDifficulty > 10 || s.customSeed < 0 ||
        s.customSeed > 999999999 || s.customField > CUSTOM_SEED)
    {
        return "custom length, width, difficulty, seed, line" +
               text(s.customLength, s.customWidth, s.customDifficulty, s.customSeed, s.customField);
    }
    if (s.menuItemCount != MENU_ITEM_COUNT || s.menuSelection >= s.menuItemCount)
    {
        return "menu selection" + text(s.menuSelection, s.menuItemCount);
    }
    if (s.mazeTextureIndex < 4 || s.mazeTextureIndex > 8)
    {
        return "maze texture" + text(s.mazeTextureIndex);
    }
    if ((s.fixedCampaign && s.randomCampaign) ||
        (IsCampaignRunning() && (s.levelNumber < 1 || s.levelNumber > 6)))
    {
        return "both campaigns at once, or campaign level" + text(s.levelNumber);
    }
    if (s.score < 0 || s.levelSeconds < 0)
    {
        return "score, seconds" + text(s.score, s.levelSeconds);
    }
    if (!(s.menuOffset >= 0.0f && s.menuOffset <= MENU_OFFSET_SHOWN))
    {
        return "menu offset" + text(s.menuOffset);
    }
    // The wheel zooms by a tenth a notch without a limit; only dragging stops at 1.
    if (!(s.cameraDistance > 0.0f && std::isfinite(s.cameraDistance)) || !std::isfinite(s.eyeX) ||
        !std::isfinite(s.eyeY) || !std::isfinite(s.eyeZ))
    {
        return "camera distance" + text(s.cameraDistance);
    }
    if (!(mazeGrid.mazeLength >= 0.0f && mazeGrid.mazeLength <= MAZE_MAX_SIZE &&
          mazeGrid.mazeWidth >= 0.0f && mazeGrid.mazeWidth <= MAZE_MAX_SIZE &&
          mazeGrid.playerX >= 0.0f && mazeGrid.playerY >= 0.0f &&
          mazeGrid.playerX <= MAZE_MAX_SIZE - 1 && mazeGrid.playerY <= MAZE_MAX_SIZE - 1))
    {
        return "maze size, player at" +
               text(mazeGrid.mazeLength, mazeGrid.mazeWidth, mazeGrid.playerX, mazeGrid.playerY);
    }
    if (nameLength > NAME_MAX_LENGTH || recordCount > MAX_RECORDS)
    {
        return "name length, records" + text(nameLength, recordCount);
    }
    if (!fakeSystem.boxes.empty())
    {
        return "message box \"" + fakeSystem.boxes.front().text + "\"";
    }
    return {};
}

std::string PlayErrand(HarnessPlayer& player, Errand errand, const std::function<bool()>& watch)
{
    BeginErrand(player, errand);
    for (int32_t pass = 0; player.errandPassesLeft > 0; ++pass)
    {
        bool going = RunPlayerPass(player);
        std::string broken = going ? FindBrokenRule() : "";
        if (!broken.empty())
        {
            return broken + " after pass " + std::to_string(pass) + " on screen " +
                   std::to_string(gameState.screenState);
        }
        if (!watch())
        {
            return {};
        }
    }
    return player.errandDone || player.mayRunOut ? "" : "the errand did not end";
}
