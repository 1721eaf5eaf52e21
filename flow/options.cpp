#include "flow/options.h"

#include "flow/game_state.h"
#include "platform/platform.h"
#include "resources/sound_bank.h"

OptionsScreen optionsScreen;

void ToggleHelp()
{
    gameState.helpShown = !gameState.helpShown;
}

void ToggleMusic()
{
    gameState.musicToggle = !gameState.musicToggle;
    if (gameState.musicToggle)
    {
        StartSound(SND_MUSIC);
    }
    else
    {
        StopSound(SND_MUSIC);
    }
}

void ToggleSound()
{
    // Sounds already playing go on.
    gameState.soundEnabled = !gameState.soundEnabled;
}

void StepMazeTexture()
{
    ++gameState.mazeTextureIndex;
    if (gameState.mazeTextureIndex > 8)
    {
        gameState.mazeTextureIndex = 4;
    }
}

bool HandleHelpAndSoundKey(uint8_t key)
{
    switch (key)
    {
    case VK_F1:
        ToggleHelp();
        return true;
    case VK_F2:
        ToggleMusic();
        return true;
    case VK_F3:
        ToggleSound();
        return true;
    default:
        return false;
    }
}

bool HandleOptionKey(uint8_t key)
{
    switch (key)
    {
    case VK_F4:
        ResetCamera();
        return true;
    case VK_F5:
        StepMazeTexture();
        return true;
    case VK_F12:
        gameState.fpsShown = !gameState.fpsShown;
        return true;
    default:
        return HandleHelpAndSoundKey(key);
    }
}
