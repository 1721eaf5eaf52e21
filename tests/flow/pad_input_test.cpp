// A game pad, SDL's virtual one, through the real window layer and the whole game: what each
// control stands for, a custom maze chosen and played to its exit with the pad alone while the pad
// is pulled out and put back, and a campaign played, a name typed arcade style, the credits and
// the end, all with the pad.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "flow/pad_input.h"
#include "flow/screens.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "records/best_times.h"
#include "records/name_entry.h"
#include "records/records_file.h"
#include "tests/support/game_harness.h"
#include "tests/support/test_files.h"

namespace
{

constexpr const char* MAPPED_PAD = "03000000000000000000000000004c54";

class PadPlay : public testing::Test
{
  protected:
    void SetUp() override
    {
        // Xvfb without a window manager gives the window no focus: let the pad speak regardless.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
        Attach();
        // A mappings file in the run directory: the line SDL cannot read is skipped.
        WriteTestFile("gamecontrollerdb.txt", "not a mapping at all\n" + std::string(MAPPED_PAD) +
                                                  ",Bandomasis pultas,a:b0,b:b1,platform:Linux,\n");
        ASSERT_TRUE(StartHarnessGame());
        Pump();
        RunPass(); // the splash's routines are in
    }

    void TearDown() override
    {
        StopHarnessGame();
        SDL_JoystickDetachVirtual(FindDevice());
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    void Attach()
    {
        index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, PAD_AXIS_COUNT,
                                          PAD_BUTTON_COUNT, 0);
        ASSERT_GE(index, 0) << SDL_GetError();
        instance = SDL_JoystickGetDeviceInstanceID(index);
    }

    int FindDevice()
    {
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
        {
            if (SDL_JoystickGetDeviceInstanceID(i) == instance)
            {
                return i;
            }
        }
        return -1;
    }

    void Detach()
    {
        SDL_JoystickDetachVirtual(FindDevice());
        Pump();
    }

    // The virtual pad's state becomes events when SDL next looks at its joysticks.
    void Pump()
    {
        PumpMessages();
        SDL_Delay(1);
        PumpMessages();
    }

    void Hold(PadButton button, bool down = true)
    {
        SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(instance), button, down ? 1 : 0);
        Pump();
    }

    void Push(PadAxis axis, int16_t value)
    {
        SDL_JoystickSetVirtualAxis(SDL_JoystickFromInstanceID(instance), axis, value);
        Pump();
    }

    // SDL takes the virtual pad's triggers as axes of the whole range, -32768 at rest.
    void PushTrigger(PadAxis axis, int16_t value)
    {
        Push(axis, static_cast<int16_t>(value * 2 - 32767));
    }

    void Tap(PadButton button, int times = 1)
    {
        for (int i = 0; i < times; ++i)
        {
            Hold(button);
            RunPass();
            Hold(button, false);
            RunPass();
        }
    }

    // A cuts the splash short, and then the menu maze's intro.
    void ReachMenu()
    {
        Tap(PAD_A);
        RunSeconds(0.2);
        ASSERT_EQ(gameState.screenState, STATE_MENU);
        ASSERT_TRUE(gameState.levelIntro);
        Tap(PAD_A);
        ASSERT_FALSE(gameState.levelIntro);
    }

    // Holds the D-pad toward the arrow key alone; none for 0.
    void HoldOnly(uint8_t arrow)
    {
        const PadButton PADS[] = {PAD_DPAD_UP, PAD_DPAD_DOWN, PAD_DPAD_LEFT, PAD_DPAD_RIGHT};
        const uint8_t KEYS[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
        for (int i = 0; i < 4; ++i)
        {
            if (gamePad.buttons[PADS[i]] != (arrow == KEYS[i]))
            {
                Hold(PADS[i], arrow == KEYS[i]);
            }
        }
    }

    // Holds the D-pad toward the exit, cutting the intro and outro short with A, until the maze
    // is left for `next`; gives up after `passes`. The mazes whose exit was reached.
    int PlayToExit(ScreenState next, int passes = 20000)
    {
        int reached = 0;
        while (gameState.screenState != next && passes-- > 0)
        {
            if (gameState.levelIntro || gameState.levelOutro)
            {
                reached += gameState.levelOutro ? 1 : 0;
                Tap(PAD_A);
                continue;
            }
            HoldOnly(FindArrowTowardExit());
            RunPass();
        }
        HoldOnly(0);
        EXPECT_EQ(gameState.screenState, next);
        return reached;
    }

    int index = -1;
    SDL_JoystickID instance = -1;
};

} // namespace

TEST_F(PadPlay, EachControlStandsForItsKeyOrMouse)
{
    ASSERT_NE(SDL_GameControllerFromInstanceID(instance), nullptr) << "the game opened the pad";
    char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(MAPPED_PAD));
    ASSERT_NE(mapping, nullptr);
    EXPECT_NE(std::string(mapping).find("Bandomasis pultas"), std::string::npos);
    SDL_free(mapping);

    ReachMenu();
    Tap(PAD_DPAD_DOWN);
    EXPECT_EQ(gameState.menuSelection, 1);
    Push(PAD_LEFT_Y, -20000); // the stick, and held: repeated as a held key repeats
    RunSeconds(0.6);
    Push(PAD_LEFT_Y, -4000); // inside the dead zone
    EXPECT_FALSE(gameState.keyDown[VK_UP]);
    int moved = (1 - gameState.menuSelection + 6) % 6;
    EXPECT_GE(moved, 2);
    EXPECT_LE(moved, 5);

    gameState.menuSelection = 0;
    Tap(PAD_A);
    RunPass();
    ASSERT_EQ(gameState.screenState, STATE_PLAYING);
    struct Toggle
    {
        PadButton button;
        bool* field;
    };
    for (Toggle toggle : {Toggle{PAD_BACK, &gameState.helpShown}, Toggle{PAD_Y, &race.ghostShown}})
    {
        bool before = *toggle.field;
        Tap(toggle.button);
        EXPECT_NE(*toggle.field, before) << int{toggle.button};
    }
    uint8_t texture = gameState.mazeTextureIndex;
    Tap(PAD_X);
    EXPECT_EQ(gameState.mazeTextureIndex, texture + 1);
    bool music = gameState.musicToggle;
    for (int16_t value : {20000, 12000, 20000, 0}) // let go only below a quarter
    {
        PushTrigger(PAD_LEFT_TRIGGER, value);
    }
    PushTrigger(PAD_RIGHT_TRIGGER, 32767);
    PushTrigger(PAD_RIGHT_TRIGGER, 0);
    EXPECT_NE(gameState.musicToggle, music);
    EXPECT_FALSE(gameState.soundEnabled);

    // The shoulders roll the wheel, the right stick drags with the left button, and pressed in it
    // moves the pointer with no button, which tilts the view.
    float distance = gameState.cameraDistance;
    Tap(PAD_LEFT_SHOULDER);
    EXPECT_FLOAT_EQ(gameState.cameraDistance, distance * 1.1f);
    Tap(PAD_RIGHT_SHOULDER);
    EXPECT_FLOAT_EQ(gameState.cameraDistance, distance * 1.1f * 0.9f);
    float lookX = gameState.lookX;
    Push(PAD_RIGHT_X, 32767);
    RunSeconds(0.4);
    EXPECT_TRUE(gameState.leftButton);
    EXPECT_GT(gameState.lookX, lookX + 5.0f);
    Push(PAD_RIGHT_X, 0);
    RunPass();
    EXPECT_FALSE(gameState.leftButton);
    float pitch = gameState.cameraPitch;
    Hold(PAD_RIGHT_STICK);
    Push(PAD_RIGHT_Y, -32767);
    RunSeconds(0.2);
    EXPECT_LT(gameState.cameraPitch, pitch);
    EXPECT_FALSE(gameState.leftButton);
    Push(PAD_RIGHT_Y, 0);
    Hold(PAD_RIGHT_STICK, false);
    Tap(PAD_LEFT_STICK);
    EXPECT_EQ(gameState.cameraDistance, 100.0f);
    Tap(PAD_START);
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_MENU);
}

TEST_F(PadPlay, ACustomMazeIsChosenAndPlayedToItsExitThroughAPullAndAPlugAgain)
{
    ReachMenu();
    Tap(PAD_DPAD_DOWN);
    Tap(PAD_A);
    RunPass();
    ASSERT_EQ(gameState.screenState, STATE_CUSTOM_MAZE);
    // Length, width and difficulty held down to their least; then the seed, digit by digit: 3,
    // 30, 39 (0 steps round to 9), 3, 30, 32.
    for (int line = 0; line < 3; ++line)
    {
        Hold(PAD_DPAD_LEFT);
        RunSeconds(6.0);
        Hold(PAD_DPAD_LEFT, false);
        Tap(PAD_DPAD_DOWN);
    }
    Tap(PAD_DPAD_RIGHT, 3);
    Tap(PAD_Y);
    Tap(PAD_DPAD_LEFT);
    EXPECT_EQ(gameState.customSeed, 39);
    Tap(PAD_X);
    Tap(PAD_Y);
    Tap(PAD_DPAD_RIGHT, 2);
    EXPECT_EQ(gameState.customSeed, 32);
    Tap(PAD_A);
    RunPass();
    ASSERT_EQ(gameState.screenState, STATE_PLAYING);
    EXPECT_EQ(mazeGrid.mazeLength, 8.0f);
    EXPECT_EQ(mazeGrid.mazeWidth, 8.0f);
    EXPECT_EQ(gameState.customDifficulty, 1);

    // Pulled out while a direction is held: the arrow goes up with it, and the player stands.
    Tap(PAD_A);
    while (FindArrowTowardExit() == 0 || gameState.levelIntro)
    {
        RunPass();
    }
    Hold(PAD_DPAD_UP);
    Push(PAD_LEFT_X, 32767);
    ASSERT_TRUE(gameState.keyDown[VK_UP] && gameState.keyDown[VK_RIGHT]);
    Detach();
    EXPECT_FALSE(gameState.keyDown[VK_UP] || gameState.keyDown[VK_RIGHT]);
    float x = mazeGrid.playerX;
    float y = mazeGrid.playerY;
    RunSeconds(0.5);
    EXPECT_EQ(mazeGrid.playerX, x);
    EXPECT_EQ(mazeGrid.playerY, y);
    Attach();
    Pump();
    ASSERT_NE(SDL_GameControllerFromInstanceID(instance), nullptr);
    EXPECT_EQ(PlayToExit(STATE_MENU), 1);
}

TEST_F(PadPlay, ACampaignANameTheRecordsTheCreditsAndTheEndAllByPad)
{
    ReachMenu();
    Tap(PAD_DPAD_DOWN, 2);
    Tap(PAD_A);
    EXPECT_EQ(PlayToExit(STATE_NAME_ENTRY), 5);
    EXPECT_EQ(gameState.levelNumber, 6);

    // Keyboard arrows still do nothing here; the pad's up and down change the letter under its
    // cursor, a new place starting at A, and left and right move along the name.
    nameLength = 0;
    TapKey(VK_UP);
    EXPECT_EQ(nameLength, 0);
    EXPECT_FALSE(nameCursorShown);
    Tap(PAD_DPAD_UP, 2);   // A, B
    Tap(PAD_DPAD_RIGHT);   // a new place
    Tap(PAD_DPAD_DOWN, 3); // A, the space, 9
    Tap(PAD_DPAD_LEFT);
    Tap(PAD_DPAD_UP); // C
    EXPECT_STREQ(playerName, "C9");
    EXPECT_TRUE(nameCursorShown);
    Tap(PAD_B);           // deletes the last letter
    Hold(PAD_DPAD_RIGHT); // held, as far as the place after the end
    RunSeconds(1.0);
    Hold(PAD_DPAD_RIGHT, false);
    EXPECT_EQ(nameCursor, 1);
    Tap(PAD_DPAD_DOWN);
    Tap(PAD_DPAD_DOWN); // back past A, round to the space
    EXPECT_STREQ(playerName, "C ");
    Tap(PAD_A);
    RunPass();
    ASSERT_EQ(gameState.screenState, STATE_RECORDS);
    EXPECT_TRUE(std::any_of(records, records + recordCount,
                            [](const RecordEntry& entry)
                            { return std::string(entry.name) == "C "; }));

    Tap(PAD_A);
    RunPass();
    gameState.menuSelection = 0;
    Tap(PAD_DPAD_UP); // round to the last item
    Tap(PAD_A);
    RunPass();
    ASSERT_EQ(gameState.screenState, STATE_CREDITS);
    Hold(PAD_A);
    EXPECT_EQ(RunIdlePass(), 0) << "A on the credits ends the game";
}
