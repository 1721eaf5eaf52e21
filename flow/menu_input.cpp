#include "flow/menu_input.h"

#include <cmath>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/options.h"
#include "flow/preferences.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "records/best_times.h"
#include "resources/sound_bank.h"

namespace
{

// The maze in memory while a custom seed is tried, put back when the seed is refused.
MazeGrid keptMaze;

void StartCampaign(bool fixed)
{
    gameState.fixedCampaign = fixed;
    gameState.randomCampaign = !fixed;
    gameState.levelNumber = 1;
    gameState.levelSetupPending = true;
    gameState.menuOffset = 0.0f;
    gameState.backgroundMaze = false;
    StopSound(SND_MENU_SLIDE);
    ChangeScreen(STATE_PLAYING);
}

void ChooseMenuItem(uint8_t item)
{
    switch (item)
    {
    case MENU_RESUME:
        ChangeScreen(STATE_PLAYING);
        break;
    case MENU_CUSTOM_MAZE:
        gameState.fixedCampaign = false;
        gameState.randomCampaign = false;
        ChangeScreen(STATE_CUSTOM_MAZE);
        break;
    case MENU_FIXED_CAMPAIGN:
        StartCampaign(true);
        break;
    case MENU_RANDOM_CAMPAIGN:
        StartCampaign(false);
        break;
    case MENU_RECORDS:
        ChangeScreen(STATE_RECORDS);
        break;
    case MENU_CREDITS:
        ChangeScreen(STATE_CREDITS);
        break;
    default:
        break;
    }
}

// The number on the selected line of the custom-maze screen with its bounds; none for the seed.
int32_t* SelectedCustomValue(int32_t* lowest, int32_t* highest)
{
    switch (gameState.customField)
    {
    case CUSTOM_LENGTH:
        *lowest = 8;
        *highest = 128;
        return &gameState.customLength;
    case CUSTOM_WIDTH:
        *lowest = 8;
        *highest = 128;
        return &gameState.customWidth;
    case CUSTOM_DIFFICULTY:
        *lowest = 1;
        *highest = 10;
        return &gameState.customDifficulty;
    default:
        return nullptr;
    }
}

void ChangeCustomValue(int32_t change)
{
    int32_t lowest = 0;
    int32_t highest = 0;
    int32_t* value = SelectedCustomValue(&lowest, &highest);
    if (value == nullptr)
    {
        return;
    }
    if ((change < 0 && *value > lowest) || (change > 0 && *value < highest))
    {
        *value += change;
    }
}

void EditCustomSeed(uint8_t key)
{
    if (key == VK_BACK)
    {
        gameState.customSeed /= 10;
    }
    else if (gameState.customSeed >= 100000000)
    {
        return;
    }
    else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9)
    {
        gameState.customSeed = gameState.customSeed * 10 + (key - VK_NUMPAD0);
    }
}

void StartCustomMaze()
{
    if (gameState.customLength % 2 != 0)
    {
        ++gameState.customLength;
    }
    if (gameState.customWidth % 2 != 0)
    {
        ++gameState.customWidth;
    }
    // A random seed is drawn afresh on every try; a fixed seed that is rejected once always will
    // be, so the screen stays and says so instead of trying for ever, with the maze that was
    // there before, player and exit included, still behind the menu.
    keptMaze = mazeGrid;
    for (;;)
    {
        if (GenerateMaze(gameState.customLength, gameState.customWidth, gameState.customDifficulty,
                         gameState.customSeed))
        {
            break;
        }
        if (gameState.customSeed != 0)
        {
            mazeGrid = keptMaze;
            gameState.customSeedRejected = true;
            return;
        }
    }
    // Only a typed seed gives the same maze again.
    bool returns = gameState.customSeed != 0;
    BeginRace({returns ? RACE_CUSTOM : RACE_NONE, gameState.customLength, gameState.customWidth,
               gameState.customDifficulty, gameState.customSeed});
    gameState.phaseClock = 0.0f;
    gameState.levelSeconds = 0;
    gameState.backgroundMaze = false;
    ResetCamera();
    gameState.levelIntro = true;
    ChangeScreen(STATE_PLAYING);
    gameState.levelFinished = false;
    if (gameState.soundEnabled)
    {
        StartSound(SND_CONFIRM);
    }
}

} // namespace

void OnSplashKey(uint32_t key)
{
    uint8_t code = ReadKeyAction(key);
    if (code == VK_RETURN || code == VK_ESCAPE)
    {
        gameState.screenSkip = 1;
        gameState.screenClock = 10.0f;
    }
}

void OnMenuKey(uint32_t key)
{
    uint8_t code = ReadKeyAction(key);
    switch (code)
    {
    case VK_RETURN:
        // During an intro or outro Enter only cuts it short.
        if (CutPhaseShort())
        {
            break;
        }
        if (gameState.soundEnabled)
        {
            StartSound(SND_CONFIRM);
        }
        ChooseMenuItem(gameState.menuSelection);
        break;
    case VK_ESCAPE:
        if (!CutPhaseShort())
        {
            ChangeScreen(STATE_PLAYING);
        }
        break;
    case VK_UP:
        if (gameState.soundEnabled)
        {
            StartSound(SND_MENU_MOVE);
        }
        gameState.menuSelection = gameState.menuSelection == MENU_RESUME
                                      ? gameState.menuItemCount - 1
                                      : gameState.menuSelection - 1;
        break;
    case VK_DOWN:
        if (gameState.soundEnabled)
        {
            StartSound(SND_MENU_MOVE);
        }
        gameState.menuSelection = gameState.menuSelection == gameState.menuItemCount - 1
                                      ? 0
                                      : gameState.menuSelection + 1;
        break;
    case 'M':
        ChangeScreen(STATE_PLAYING);
        break;
    default:
        HandleOptionKey(code);
        break;
    }
}

void UpdateMenuMouse()
{
    gameState.wheelNotches = 0;
    double yaw = gameState.cameraYaw;
    int32_t tilt =
        preferences.tiltInverted ? gameState.screenHeight - gameState.anchorY : gameState.anchorY;
    double pitch = tilt / static_cast<double>(gameState.screenHeight) * 1.570796325;
    gameState.cameraPitch = static_cast<float>(pitch);
    pitch = gameState.cameraPitch;
    double reach = gameState.cameraDistance * std::cos(pitch);
    gameState.eyeX = static_cast<float>(std::cos(yaw) * reach + gameState.lookX);
    gameState.eyeY = static_cast<float>(gameState.lookY - std::sin(yaw) * reach);
    gameState.eyeZ =
        static_cast<float>(std::sin(pitch) * gameState.cameraDistance + gameState.lookZ);
}

void UpdateMouseIdle()
{
    gameState.wheelNotches = 0;
}

void OnCustomMazeKey(uint32_t key)
{
    gameState.customSeedRejected = false;
    switch (ReadKeyAction(key))
    {
    case VK_RETURN:
        StartCustomMaze();
        break;
    case VK_ESCAPE:
        gameState.menuShown = true;
        ChangeScreen(STATE_MENU);
        break;
    case VK_LEFT:
        if (!gameState.keyDown[VK_CONTROL])
        {
            ChangeCustomValue(-1);
        }
        break;
    case VK_UP:
        if (gameState.customField > CUSTOM_LENGTH)
        {
            --gameState.customField;
        }
        break;
    case VK_RIGHT:
        if (!gameState.keyDown[VK_CONTROL])
        {
            ChangeCustomValue(1);
        }
        break;
    case VK_DOWN:
        if (gameState.customField < CUSTOM_SEED)
        {
            ++gameState.customField;
        }
        break;
    default:
        HandleHelpAndSoundKey(ReadKeyAction(key));
        break;
    }
    if (gameState.customField == CUSTOM_SEED)
    {
        EditCustomSeed(static_cast<uint8_t>(key));
    }
}

void UpdateCustomMaze()
{
    if (IsActionHeld(ACTION_LEFT) && gameState.keyDown[VK_CONTROL])
    {
        ChangeCustomValue(-1);
    }
    if (IsActionHeld(ACTION_RIGHT) && gameState.keyDown[VK_CONTROL])
    {
        ChangeCustomValue(1);
    }
}

bool OnCustomMazePad(uint8_t button, bool)
{
    if (gameState.customField != CUSTOM_SEED)
    {
        return false;
    }
    switch (button)
    {
    case PAD_DPAD_LEFT:
    case PAD_DPAD_RIGHT:
    {
        gameState.customSeedRejected = false;
        int32_t last = gameState.customSeed % 10;
        int32_t step = button == PAD_DPAD_RIGHT ? 1 : -1;
        gameState.customSeed += (last + step + 10) % 10 - last;
        return true;
    }
    case PAD_X:
    case PAD_Y:
        PostKeyTap(button == PAD_X ? VK_BACK : VK_NUMPAD0);
        return true;
    default:
        return false;
    }
}

void OnCreditsKey(uint32_t key)
{
    uint8_t code = ReadKeyAction(key);
    if (code == VK_RETURN || code == VK_ESCAPE)
    {
        gameState.quitRequested = true;
    }
}
