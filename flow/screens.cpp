#include "flow/screens.h"

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "flow/menu_input.h"
#include "flow/options_screen.h"
#include "flow/playing.h"
#include "platform/platform.h"
#include "present/flat_screens.h"
#include "present/options_panel.h"
#include "present/scene.h"
#include "records/name_entry.h"
#include "records/records_file.h"
#include "resources/sound_bank.h"

namespace
{

void EnterSplash()
{
    StartFrameTimer();
    StartSound(SND_SPLASH);
    LoadBackgroundMaze();
    gameState.phaseClock = 0.0f;
    gameState.anchorX = gameState.screenWidth >> 1;
    gameState.anchorY = gameState.screenHeight >> 1;
    ResetCamera();
}

void EnterMenu()
{
    gameState.menuShown = true;
    if (!gameState.levelIntro && gameState.soundEnabled)
    {
        StartSound(SND_MENU_SLIDE);
    }
}

void EnterCustomMaze()
{
    gameState.menuShown = false;
    if (gameState.soundEnabled)
    {
        StartSound(SND_MENU_SLIDE);
    }
}

void EnterPlaying()
{
    gameState.menuShown = false;
    SetCursorPosition(gameState.anchorX, gameState.anchorY);
    if (gameState.menuOffset > 0.0f && gameState.soundEnabled)
    {
        StartSound(SND_MENU_SLIDE);
    }
    if (gameState.levelIntro && gameState.soundEnabled)
    {
        StartSound(SND_LEVEL_START);
    }
}

void EnterNameEntry()
{
    gameState.menuShown = false;
    nameCursor = nameLength;
    nameCursorShown = false;
}

void EnterRecords()
{
    gameState.menuShown = false;
    if (gameState.levelFinished)
    {
        LoadBackgroundMaze();
    }
    LoadRecords();
    if (gameState.menuOffset > 0.0f && gameState.soundEnabled)
    {
        StartSound(SND_MENU_SLIDE);
    }
}

void EnterCredits()
{
    gameState.screenClock = 0.0f;
    gameState.screenSkip = 0;
    StopSound(SND_MUSIC);
    StopSound(SND_MENU_SLIDE);
}

struct Screen
{
    DrawRoutine draw;
    ThinkRoutine think;
    KeyRoutine key;
    MouseRoutine mouse;
    PadRoutine pad;
    void (*enter)();
};

// Indexed by ScreenState.
constexpr Screen SCREENS[] = {
    {DrawSplash, UpdateNothing, OnSplashKey, UpdateMouseIdle, IgnorePad, EnterSplash},
    {DrawScene, UpdateNothing, OnMenuKey, UpdateMenuMouse, IgnorePad, EnterMenu},
    {DrawCustomMaze, UpdateCustomMaze, OnCustomMazeKey, UpdateMouseIdle, OnCustomMazePad,
     EnterCustomMaze},
    {DrawScene, UpdatePlaying, OnPlayingKey, UpdatePlayingMouse, IgnorePad, EnterPlaying},
    {DrawNameEntry, UpdateNothing, OnNameEntryKey, UpdateMouseIdle, OnNameEntryPad, EnterNameEntry},
    {DrawRecords, UpdateNothing, OnRecordsKey, UpdateMouseIdle, IgnorePad, EnterRecords},
    {DrawCredits, UpdateNothing, OnCreditsKey, UpdateMouseIdle, IgnorePad, EnterCredits},
    {DrawOptions, UpdateNothing, OnOptionsKey, UpdateOptionsMouse, IgnorePad, EnterOptions},
};

} // namespace

void EnterScreen(int8_t state)
{
    if (state < STATE_SPLASH || state > STATE_OPTIONS)
    {
        return;
    }
    const Screen& screen = SCREENS[state];
    gameState.drawRoutine = screen.draw;
    gameState.thinkRoutine = screen.think;
    gameState.keyRoutine = screen.key;
    gameState.mouseRoutine = screen.mouse;
    gameState.padRoutine = screen.pad;
    screen.enter();
}
