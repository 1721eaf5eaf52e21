// The actions' bindings: what a key message stands for on each screen, how a binding taken from
// another action swaps, and how the preferences file keeps them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <tuple>

#include "flow/game_state.h"
#include "flow/key_bindings.h"
#include "flow/preferences.h"
#include "tests/support/test_files.h"

namespace
{

// Places on the keyboard, as USB numbers them (and SDL after it).
constexpr uint8_t PLACE_A = 4;
constexpr uint8_t PLACE_D = 7;
constexpr uint8_t PLACE_LEFT = 80;
constexpr uint8_t PLACE_DOWN = 81;

uint32_t At(uint8_t place)
{
    return KEY_DOWN_FLAGS | static_cast<uint32_t>(place) << 16;
}

// What the key at this place, giving this code, means on the screen shown.
uint8_t Means(uint8_t key, uint8_t place)
{
    gameState.keyFlags = At(place);
    return ReadKeyAction(key);
}

class Bindings : public testing::Test
{
  protected:
    void SetUp() override
    {
        gameState = GameState{};
        preferences = Preferences{};
    }
};

} // namespace

// With the defaults every key means what it always meant, wherever it lies; Enter and Esc mean
// themselves and no action; a pad's or mouse button's action message means its action.
TEST_F(Bindings, TheDefaultsAreTheGamesOwnKeys)
{
    for (const ActionInfo& action : ACTIONS)
    {
        EXPECT_EQ(Means(action.key, 0), action.key) << action.name;
        EXPECT_EQ(FindPadAction(action.padInput), &action - ACTIONS);
    }
    EXPECT_EQ(Means(VK_RETURN, 88), VK_RETURN); // the keypad's Enter
    EXPECT_EQ(Means(VK_ESCAPE, 41), VK_ESCAPE);
    EXPECT_EQ(Means('A', PLACE_A), 0);
    EXPECT_EQ(FindKeyAction(VK_F6, KEY_DOWN_FLAGS | KEY_ACTION_FLAG), ACTION_GHOST);
    EXPECT_EQ(FindPadAction(PAD_A), -1);
    gameState.keyDown[VK_LEFT] = true;
    EXPECT_TRUE(IsActionHeld(ACTION_LEFT) && !IsActionHeld(ACTION_RIGHT));
}

// A key bound by its place means its action there; one taken from another action gives that
// action what the slot had, a key by its code and the same key by its place included; the name
// and the seed take their letters and digits as typed all the same.
TEST_F(Bindings, ABindingTakenFromAnotherActionSwapsAndTypingKeepsItsKeys)
{
    EXPECT_EQ(BindInput(ACTION_LEFT, 0, {INPUT_SCANCODE, PLACE_A}), -1);
    EXPECT_EQ(Means('A', PLACE_A), VK_LEFT);
    EXPECT_EQ(Means(VK_LEFT, PLACE_LEFT), 0); // the arrow no longer moves
    EXPECT_EQ(BindInput(ACTION_RIGHT, 1, {INPUT_SCANCODE, PLACE_A}), ACTION_LEFT);
    EXPECT_EQ(preferences.bindings.keys[ACTION_LEFT][0].kind, INPUT_NONE);
    EXPECT_EQ(Means('A', PLACE_A), VK_RIGHT);
    EXPECT_EQ(BindInput(ACTION_UP, 0, {INPUT_SCANCODE, PLACE_DOWN}), ACTION_DOWN);
    EXPECT_EQ(Means(VK_DOWN, PLACE_DOWN), VK_UP);
    EXPECT_EQ(Means(VK_UP, 82), VK_DOWN);
    gameState.scanCodeDown[PLACE_DOWN] = true;
    EXPECT_TRUE(IsActionHeld(ACTION_UP) && !IsActionHeld(ACTION_DOWN));

    EXPECT_EQ(BindInput(ACTION_MENU, 1, {INPUT_MOUSE, MOUSE_SIDE_2}), -1);
    EXPECT_EQ(FindMouseAction(MOUSE_SIDE_2), ACTION_MENU);
    EXPECT_EQ(BindPadInput(ACTION_GHOST, PAD_DPAD_UP), ACTION_UP);
    EXPECT_EQ(preferences.bindings.padInputs[ACTION_UP], PAD_Y);
    EXPECT_EQ(BindPadInput(ACTION_GHOST, PAD_INPUT_NONE), -1);
    EXPECT_EQ(FindPadAction(PAD_DPAD_UP), -1);
    for (uint8_t input : std::initializer_list<uint8_t>{
             PAD_A, PAD_B, PAD_RIGHT_STICK, PAD_LEFT_SHOULDER, PAD_RIGHT_SHOULDER, PAD_INPUT_COUNT})
    {
        EXPECT_FALSE(IsBindablePadInput(input)) << int{input};
    }

    BindInput(ACTION_HELP, 0, {INPUT_SCANCODE, 92}); // the keypad's 4
    gameState.screenState = STATE_NAME_ENTRY;
    EXPECT_EQ(Means('A', PLACE_A), 0);
    EXPECT_EQ(Means(VK_NUMPAD0 + 4, 92), VK_F1);
    gameState.screenState = STATE_CUSTOM_MAZE;
    EXPECT_EQ(Means('A', PLACE_A), VK_RIGHT);
    gameState.customField = CUSTOM_SEED;
    EXPECT_EQ(Means(VK_NUMPAD0 + 4, 92), 0);
}

// Every binding the file keeps reads back as it was; a value that is no binding, or Enter or Esc,
// is refused. The file's keys hold the bindings and the other choices within their bounds.
TEST_F(Bindings, TheFileKeepsEveryBindingAndRefusesWhatIsNone)
{
    for (InputBinding binding : {InputBinding{}, InputBinding{INPUT_KEY, 'M'},
                                 InputBinding{INPUT_SCANCODE, 255}, InputBinding{INPUT_MOUSE, 2}})
    {
        char text[32];
        InputBinding read = {INPUT_KEY, 1};
        FormatBinding(binding, text, sizeof text);
        EXPECT_TRUE(ParseBinding(text, std::strlen(text), &read)) << text;
        EXPECT_TRUE(read.kind == binding.kind && read.code == binding.code) << text;
    }
    for (const char* bad : {"", "key:13", "key:27", "key:0", "scancode:256", "scancode:4x",
                            "mouse:left", "key:-1", "none "})
    {
        InputBinding read;
        EXPECT_FALSE(ParseBinding(bad, std::strlen(bad), &read)) << bad;
    }

    const std::string home = std::filesystem::absolute("bindings-home").string();
    std::filesystem::remove_all(home);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    WriteTestFile(home + "/vortanai/vortanai.conf",
                  "key.left = scancode:4 mouse:side2\npad.ghost = dpad-up\npad.menu = a\n"
                  "key.up = key:13 none\nkey.down = none\nmusic-volume = 101\npan-speed = 24\n"
                  "zoom-speed = 400\nfullscreen = on\ninvert-tilt = 1\neffects-volume = 0\n");
    testing::internal::CaptureStderr();
    ReadPreferences();
    std::string said = testing::internal::GetCapturedStderr();
    const Preferences& read = preferences;
    EXPECT_EQ(read.bindings.keys[ACTION_LEFT][0].code, PLACE_A);
    EXPECT_EQ(read.bindings.keys[ACTION_LEFT][1].kind, INPUT_MOUSE);
    EXPECT_EQ(read.bindings.padInputs[ACTION_GHOST], PAD_DPAD_UP);
    EXPECT_EQ(read.bindings.padInputs[ACTION_MENU], PAD_START);
    EXPECT_EQ(read.bindings.keys[ACTION_UP][0].code, VK_UP);
    EXPECT_EQ(read.bindings.keys[ACTION_DOWN][0].code, VK_DOWN); // one binding is not two
    EXPECT_TRUE(read.musicVolume == 100 && read.effectsVolume == 0 && read.panSpeed == 100 &&
                read.zoomSpeed == 400 && read.fullscreen == FULLSCREEN_ON && read.tiltInverted);
    for (const char* told :
         {":3: raktui \"pad.menu\"", ":4: raktui \"key.up\"", ":5: raktui \"key.down\"",
          ":6: raktui \"music-volume\"", ":7: raktui \"pan-speed\""})
    {
        EXPECT_NE(said.find(told), std::string::npos) << told << " in " << said;
    }

    // Written into a new file and read again, every choice comes back.
    preferences.bindings.keys[ACTION_FPS][1] = {INPUT_SCANCODE, PLACE_D};
    preferences.bindings.padInputs[ACTION_FPS] = PAD_INPUT_RIGHT_TRIGGER;
    Preferences written = preferences;
    std::filesystem::remove_all(home);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(WritePreferences());
    ReadPreferences();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    auto choices = [](const Preferences& p)
    {
        return std::tuple(p.fullscreen, p.musicVolume, p.effectsVolume, p.tiltInverted, p.panSpeed,
                          p.zoomSpeed);
    };
    EXPECT_EQ(choices(preferences), choices(written));
    EXPECT_EQ(std::memcmp(&written.bindings, &preferences.bindings, sizeof written.bindings), 0);
    unsetenv("XDG_CONFIG_HOME");
}
