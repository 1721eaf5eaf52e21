// The options screen in the whole game: reached by F10 and by Start held, worked with the keys,
// the mouse and the pad, every choice in force and in the preferences file at once.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <string>

#include "flow/game_state.h"
#include "flow/options.h"
#include "flow/preferences.h"
#include "flow/window_proc.h"
#include "maze/maze_grid.h"
#include "present/screenshot.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "tests/support/fake_system.h"
#include "tests/support/game_harness.h"
#include "tests/support/test_files.h"

namespace
{

const char* const PREFERENCES_PATH = "config/vortanai/vortanai.conf";

void Send(uint32_t message, uint32_t wParam = 0, uint32_t lParam = 0)
{
    WndProc(message, wParam, lParam);
    RunPass();
}

// The key at a place on the keyboard (its USB number) pressed and let go.
void TapAt(uint8_t key, uint8_t place)
{
    WndProc(WM_KEYDOWN, key, KEY_DOWN_FLAGS | static_cast<uint32_t>(place) << 16);
    Send(WM_KEYUP, key, KEY_UP_FLAGS | static_cast<uint32_t>(place) << 16);
}

void TapKeys(uint8_t key, int times)
{
    for (int i = 0; i < times; ++i)
    {
        TapKey(key);
    }
}

void OpenOptionsAt(int row)
{
    Send(WM_SYSKEYDOWN, VK_F10, KEY_DOWN_FLAGS);
    ASSERT_EQ(gameState.screenState, STATE_OPTIONS);
    TapKeys(VK_DOWN, row);
}

bool FileHas(const std::string& line)
{
    return ReadTestFile(PREFERENCES_PATH).find(line + "\n") != std::string::npos;
}

class OptionsScreenTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartHarnessGame(640, 480));
        RunPass();
        TapKey(VK_RETURN); // the splash, then the menu maze's intro, cut short
        RunSeconds(0.5);
        TapKey(VK_RETURN);
        RunPass();
        ASSERT_TRUE(gameState.screenState == STATE_MENU && !gameState.levelIntro);
    }
    void TearDown() override
    {
        StopHarnessGame();
    }
};

} // namespace

// A key is bound by its place and saved at once; Enter is refused and Esc cancels; a mouse button
// and a pad button are bound too, the pad's taken from another action by a swap; in play they all
// stand for their actions, and the key that no longer does stands for nothing.
TEST_F(OptionsScreenTest, KeysAndButtonsAreBoundSwappedRefusedAndSavedAtOnce)
{
    OpenOptionsAt(ROW_FIRST_ACTION + int{ACTION_LEFT});
    TapKey(VK_RETURN);
    TapAt('A', 4);
    EXPECT_FALSE(optionsScreen.capturing);
    EXPECT_TRUE(FileHas("key.left = scancode:4 none"));
    TapKey(VK_RETURN);
    TapKey(VK_RETURN); // refused, and said so
    EXPECT_TRUE(!optionsScreen.capturing && optionsScreen.note[0] != '\0');
    TapKey(VK_RETURN);
    TapKey(VK_ESCAPE); // cancelled, the options stay
    EXPECT_EQ(gameState.screenState, STATE_OPTIONS);
    EXPECT_EQ(preferences.bindings.keys[ACTION_LEFT][0].code, 4);

    TapKeys(VK_DOWN, ACTION_HELP - ACTION_LEFT);
    TapKey(VK_RIGHT);
    TapKey(VK_RETURN);
    Send(WM_MBUTTONDOWN);
    Send(WM_MBUTTONUP);
    TapKey(VK_RIGHT);
    TapKey(VK_RETURN);
    Send(WM_PADBUTTONDOWN, PAD_X); // the walls' button: they take the help's
    Send(WM_PADBUTTONUP, PAD_X);
    EXPECT_TRUE(FileHas("key.help = key:112 mouse:middle") && FileHas("pad.help = x") &&
                FileHas("pad.walls = back"));
    EXPECT_NE(std::string(optionsScreen.note).find("X"), std::string::npos);

    TapKey(VK_ESCAPE);
    ASSERT_EQ(gameState.screenState, STATE_MENU);
    TapKey(VK_ESCAPE);
    ASSERT_EQ(gameState.screenState, STATE_PLAYING);
    Send(WM_MBUTTONDOWN);
    Send(WM_MBUTTONUP);
    EXPECT_TRUE(gameState.helpShown);
    uint8_t walls = gameState.mazeTextureIndex;
    Send(WM_PADBUTTONDOWN, PAD_BACK);
    Send(WM_PADBUTTONUP, PAD_BACK);
    EXPECT_NE(gameState.mazeTextureIndex, walls);
    PressKey(VK_LEFT);
    EXPECT_FALSE(IsActionHeld(ACTION_LEFT));
    ReleaseKey(VK_LEFT);
    WndProc(WM_KEYDOWN, 'A', KEY_DOWN_FLAGS | 4u << 16);
    EXPECT_TRUE(IsActionHeld(ACTION_LEFT));
}

// The choices are in force at once: the language (its texts and its pictures), the volumes, the
// zoom chosen with the mouse; "everything" puts all back. From play the clock goes on behind the
// options and Esc goes back to play; the outro's end closes them, a binding waited for too. Start
// held a second opens them.
TEST_F(OptionsScreenTest, ChoicesTakeEffectAtOnceAndThePlayGoesOnBehind)
{
    uint32_t menuPicture = textureIds[TEX_MENU];
    OpenOptionsAt(ROW_LANGUAGE);
    TapKey(VK_LEFT); // English comes before Lithuanian
    EXPECT_EQ(std::string(textLanguage.code), "en");
    EXPECT_EQ(std::string(Translate("Kalba")), "Language");
    EXPECT_NE(textureIds[TEX_MENU], menuPicture);
    TapKeys(VK_DOWN, ROW_MUSIC_VOLUME);
    TapKey(VK_LEFT);
    ALfloat gain = 0.0f;
    alGetSourcef(soundSources[SND_MUSIC], AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.9f);
    EXPECT_TRUE(FileHas("language = en") && FileHas("music-volume = 90"));
    // The zoom's line under the cursor, clicked and then the wheel rolled away.
    float lineY = OPTIONS_FIRST_Y - OPTIONS_ROW_STEP * float{ROW_ZOOM_SPEED} + 0.05f;
    fakeSystem.cursorX = 320;
    fakeSystem.cursorY = static_cast<int32_t>((4.1421f - lineY) / 8.2842f * 480.0f);
    RunPass();
    EXPECT_EQ(optionsScreen.row, ROW_ZOOM_SPEED);
    Send(WM_LBUTTONDOWN);
    Send(WM_LBUTTONUP);
    Send(WM_MOUSEWHEEL, static_cast<uint32_t>(WHEEL_DELTA) << 16);
    EXPECT_EQ(preferences.zoomSpeed, 150);
    TapKeys(VK_UP, ROW_ZOOM_SPEED - ROW_RESET_ALL + ROW_COUNT);
    TapKey(VK_RETURN);
    const LanguageChoice& shown = optionsScreen.languages[optionsScreen.languageIndex];
    EXPECT_TRUE(preferences.zoomSpeed == 100 && preferences.musicVolume == 100 &&
                textLanguage.code[0] == '\0' && std::string(shown.code) == "lt" &&
                FileHas("language = ") && FileHas("zoom-speed = 100"));

    // From a campaign's play: the level's clock runs on behind the options.
    TapKey(VK_ESCAPE);
    gameState.menuSelection = MENU_FIXED_CAMPAIGN;
    TapKey(VK_RETURN);
    RunSeconds(3.5);
    ASSERT_TRUE(gameState.screenState == STATE_PLAYING && !gameState.levelIntro);
    OpenOptionsAt(0);
    RunSeconds(2.5);
    EXPECT_GE(gameState.levelSeconds, 2);
    TapKey(VK_ESCAPE);
    EXPECT_EQ(gameState.screenState, STATE_PLAYING);
    // A maze won: the end of its outro takes the game to the menu, options open or not (as a
    // custom maze's does, the campaign put aside).
    mazeGrid.playerX = static_cast<float>(mazeGrid.exitX);
    mazeGrid.playerY = static_cast<float>(mazeGrid.exitY);
    RunPass();
    ASSERT_TRUE(gameState.levelOutro);
    gameState.fixedCampaign = false; // a custom maze's outro ends in the menu
    OpenOptionsAt(ROW_FIRST_ACTION);
    TapKey(VK_RETURN); // a binding waited for, and given up with the options
    RunSeconds(5.5);
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    PressKey(VK_F9);
    EXPECT_EQ(screenshot.state, SHOT_REQUESTED);
    ReleaseKey(VK_F9);

    Send(WM_PADBUTTONDOWN, PAD_START);
    EXPECT_EQ(gameState.screenState, STATE_PLAYING);
    RunSeconds(1.1);
    EXPECT_EQ(gameState.screenState, STATE_OPTIONS);
    Send(WM_PADBUTTONUP, PAD_START);
    EXPECT_EQ(optionsScreen.returnState, STATE_PLAYING);
}
