// A game pad, SDL's virtual one, through the real window layer and the whole game: what each
// control stands for, the seed line's and the name entry's own use of the directions, and a
// campaign played, a name typed, the credits and the end, all with the pad. (The end-to-end case
// `pad` walks a custom maze with the real executable and pulls the pad out on the way.)
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>

#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "flow/pad_input.h"
#include "flow/screens.h"
#include "platform/platform.h"
#include "records/best_times.h"
#include "records/name_entry.h"
#include "records/records_file.h"
#include "tests/flow/flow_fixture.h"
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
        device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, PAD_AXIS_COUNT,
                                           PAD_BUTTON_COUNT, 0);
        ASSERT_GE(device, 0) << SDL_GetError();
        // A mappings file in the run directory: the line SDL cannot read is skipped.
        WriteTestFile("gamecontrollerdb.txt", "not a mapping at all\n" + std::string(MAPPED_PAD) +
                                                  ",Bandomasis pultas,a:b0,b:b1,platform:Linux,\n");
        ASSERT_TRUE(StartHarnessGame());
        Pump();
        RunPass(); // the splash's routines are in
        pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
        ASSERT_NE(pad, nullptr) << "the game opened the pad";
    }

    void TearDown() override
    {
        StopHarnessGame();
        SDL_JoystickDetachVirtual(device);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
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
        SDL_JoystickSetVirtualButton(pad, button, down ? 1 : 0);
        Pump();
    }

    // SDL takes the virtual pad's triggers as axes of the whole range, -32768 at rest: `value` is
    // the trigger's, 0 to 32767.
    void Push(PadAxis axis, int16_t value)
    {
        bool trigger = axis >= PAD_LEFT_TRIGGER;
        SDL_JoystickSetVirtualAxis(pad, axis,
                                   static_cast<int16_t>(trigger ? value * 2 - 32767 : value));
        Pump();
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

    void Tap(std::initializer_list<PadButton> buttons)
    {
        for (PadButton button : buttons)
        {
            Tap(button);
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

    int device = -1;
    SDL_Joystick* pad = nullptr;
};

} // namespace

TEST_F(PadPlay, EachControlStandsForItsKeyOrMouse)
{
    char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(MAPPED_PAD));
    ASSERT_NE(mapping, nullptr);
    EXPECT_NE(std::string(mapping).find("Bandomasis pultas"), std::string::npos);
    SDL_free(mapping);

    ReachMenu();
    Tap(PAD_DPAD_DOWN);
    EXPECT_EQ(gameState.menuSelection, MENU_CUSTOM_MAZE);
    Push(PAD_LEFT_Y, -20000); // the stick, and held: repeated as a held key repeats
    RunSeconds(0.6);
    Push(PAD_LEFT_Y, -4000); // inside the dead zone
    EXPECT_FALSE(gameState.keyDown[VK_UP]);
    int moved = (MENU_CUSTOM_MAZE - gameState.menuSelection + MENU_ITEM_COUNT) % MENU_ITEM_COUNT;
    EXPECT_TRUE(moved >= 2 && moved <= 5) << moved;

    gameState.menuSelection = MENU_RESUME;
    Tap(PAD_A);
    RunPass();
    ASSERT_EQ(gameState.screenState, STATE_PLAYING);
    auto options = []
    {
        return std::tuple(gameState.helpShown, race.ghostShown, gameState.musicToggle,
                          gameState.soundEnabled, gameState.mazeTextureIndex);
    };
    auto [help, ghost, music, sound, texture] = options();
    Tap({PAD_BACK, PAD_Y, PAD_X});
    for (int16_t value : {20000, 12000, 20000, 0}) // let go only below a quarter
    {
        Push(PAD_LEFT_TRIGGER, value);
    }
    Push(PAD_RIGHT_TRIGGER, 32767);
    Push(PAD_RIGHT_TRIGGER, 0);
    EXPECT_EQ(options(),
              std::tuple(!help, !ghost, !music, !sound, static_cast<uint8_t>(texture + 1)));

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
    EXPECT_TRUE(gameState.leftButton && gameState.lookX > lookX + 5.0f) << gameState.lookX;
    Push(PAD_RIGHT_X, 0);
    RunPass();
    Pump(); // the button's up, which that pass posted
    EXPECT_FALSE(gameState.leftButton);
    float pitch = gameState.cameraPitch;
    Hold(PAD_RIGHT_STICK);
    Push(PAD_RIGHT_Y, -32767);
    RunSeconds(0.2);
    EXPECT_TRUE(gameState.cameraPitch < pitch && !gameState.leftButton);
    Push(PAD_RIGHT_Y, 0);
    Hold(PAD_RIGHT_STICK, false);
    Tap(PAD_LEFT_STICK);
    EXPECT_EQ(gameState.cameraDistance, 100.0f);
    Tap(PAD_START);
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_MENU);
}

TEST_F(PadPlay, TheSeedLineAndTheNameEntryTakeTheDirectionsForThemselves)
{
    // The seed, digit by digit: 3, 30, 39 (0 steps round to 9), 3, 30, 32; up and down still move
    // between the lines.
    ChangeScreen(STATE_CUSTOM_MAZE);
    RunPass();
    gameState.customField = CUSTOM_DIFFICULTY;
    Tap(PAD_DPAD_DOWN);
    Tap(PAD_DPAD_RIGHT, 3);
    Tap({PAD_Y, PAD_DPAD_LEFT});
    EXPECT_EQ(gameState.customSeed, 39);
    Tap({PAD_X, PAD_Y, PAD_DPAD_RIGHT, PAD_DPAD_RIGHT});
    EXPECT_EQ(gameState.customSeed, 32);
    Tap({PAD_DPAD_UP, PAD_DPAD_LEFT});
    EXPECT_EQ(gameState.customDifficulty, 9);
    // Held, the D-pad takes each number to both ends of its range; the seed takes nine digits.
    for (uint8_t line = CUSTOM_LENGTH; line <= CUSTOM_DIFFICULTY; ++line)
    {
        SCOPED_TRACE(line);
        gameState.customField = line;
        for (PadButton button : {PAD_DPAD_LEFT, PAD_DPAD_RIGHT})
        {
            Hold(button);
            RunSeconds(11.0); // 130 steps, as a held key repeats
            Hold(button, false);
            const CustomRange& range = CUSTOM_RANGES[line];
            EXPECT_EQ(*range.value, button == PAD_DPAD_LEFT ? range.lowest : range.highest);
        }
    }
    Tap(PAD_DPAD_DOWN);
    Tap(PAD_Y, 10);
    EXPECT_EQ(gameState.customSeed, 320000000);
    Tap(PAD_X, 10);
    EXPECT_EQ(gameState.customSeed, 0);

    // Keyboard arrows still do nothing on the name entry; the pad's up and down change the letter
    // under its cursor, a new place starting at A, and left and right move along the name, held
    // as far as the place after its end.
    ChangeScreen(STATE_NAME_ENTRY);
    RunPass();
    TapKey(VK_UP);
    EXPECT_EQ(nameLength, 0);
    EXPECT_FALSE(nameCursorShown);
    Tap(PAD_DPAD_UP, 2);               // A, B
    Tap(PAD_DPAD_RIGHT);               // a new place
    Tap(PAD_DPAD_DOWN, 3);             // A, the space, 9
    Tap({PAD_DPAD_LEFT, PAD_DPAD_UP}); // C
    EXPECT_STREQ(playerName, "C9");
    EXPECT_TRUE(nameCursorShown);
    Tap(PAD_B); // deletes the last letter
    Hold(PAD_DPAD_RIGHT);
    RunSeconds(1.0);
    Hold(PAD_DPAD_RIGHT, false);
    EXPECT_EQ(nameCursor, 1);
    Tap(PAD_DPAD_DOWN, 2); // A, then round to the space
    EXPECT_STREQ(playerName, "C ");
    // Back with a full name, up steps its last letter.
    std::memcpy(nameBuffer, "ABCDEFGHIJKLMNO", nameLength = NAME_MAX_LENGTH);
    ChangeScreen(STATE_NAME_ENTRY);
    RunPass();
    Tap(PAD_DPAD_UP);
    EXPECT_STREQ(playerName, "ABCDEFGHIJKLMNP");
}

TEST_F(PadPlay, ACampaignANameTheRecordsTheCreditsAndTheEndAllByPad)
{
    const PadButton D_PAD[] = {PAD_DPAD_UP, PAD_DPAD_DOWN, PAD_DPAD_LEFT, PAD_DPAD_RIGHT};
    const uint8_t ARROWS[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
    ReachMenu();
    Tap(PAD_DPAD_DOWN, 2);
    Tap(PAD_A);
    // The D-pad held toward the exit alone, the intros and outros cut short with A.
    int reached = 0;
    for (int pass = 0; gameState.screenState != STATE_NAME_ENTRY && pass < 20000; ++pass)
    {
        if (gameState.levelIntro || gameState.levelOutro)
        {
            reached += gameState.levelOutro ? 1 : 0;
            Tap(PAD_A);
            continue;
        }
        uint8_t arrow = FindArrowTowardExit();
        for (int i = 0; i < 4; ++i)
        {
            if (gamePad.buttons[D_PAD[i]] != (arrow == ARROWS[i]))
            {
                Hold(D_PAD[i], arrow == ARROWS[i]);
            }
        }
        RunPass();
    }
    for (PadButton button : D_PAD)
    {
        Hold(button, false);
    }
    ASSERT_EQ(gameState.screenState, STATE_NAME_ENTRY);
    EXPECT_EQ(reached, 5);

    nameLength = 0;
    Tap(PAD_DPAD_UP, 3);
    Tap(PAD_A);
    RunPass();
    ASSERT_EQ(gameState.screenState, STATE_RECORDS);
    EXPECT_TRUE(std::any_of(records, records + recordCount,
                            [](const RecordEntry& entry)
                            { return std::string(entry.name) == "C"; }));
    Tap(PAD_A);
    RunPass();
    gameState.menuSelection = MENU_RESUME;
    Tap(PAD_DPAD_UP); // round to the last item, the credits
    Tap(PAD_A);
    RunPass();
    ASSERT_EQ(gameState.screenState, STATE_CREDITS);
    Hold(PAD_A);
    EXPECT_EQ(RunIdlePass(), 0) << "A on the credits ends the game";
}
