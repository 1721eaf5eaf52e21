#include "flow/menu_input.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "flow/playing.h"
#include "platform/platform.h"
#include "tests/flow/flow_fixture.h"

namespace
{

// What keys change, as " name=value " pairs: the screen changed to (-1 for none), the phase's
// clock, the menu's line, its sounds, the campaign, the custom maze's numbers and the options.
std::string Describe()
{
    const GameState& s = gameState;
    char text[512];
    std::snprintf(text, sizeof text,
                  " screen=%d clock=%g selection=%d moves=%u confirms=%u fixed=%d random=%d "
                  "level=%d setup=%d offset=%g background=%d slidestops=%u field=%d length=%d "
                  "difficulty=%d seed=%d menu=%d music=%d musicstarts=%u musicstops=%u sound=%d "
                  "help=%d fps=%d texture=%d ",
                  s.stateChangePending ? s.screenState : -1, s.phaseClock, s.menuSelection,
                  soundLog.starts[SND_MENU_MOVE], soundLog.starts[SND_CONFIRM], s.fixedCampaign,
                  s.randomCampaign, s.levelNumber, s.levelSetupPending, s.menuOffset,
                  s.backgroundMaze, soundLog.stops[SND_MENU_SLIDE], s.customField, s.customLength,
                  s.customDifficulty, s.customSeed, s.menuShown, s.musicToggle,
                  soundLog.starts[SND_MUSIC], soundLog.stops[SND_MUSIC], s.soundEnabled,
                  s.helpShown, s.fpsShown, s.mazeTextureIndex);
    return text;
}

// What a case starts from, besides the fixture's state.
enum Given
{
    IN_INTRO = 1,
    BOTH_CAMPAIGNS = 2, // both kinds running, the background maze shown, the panel sliding
    ON_SEED = 4,        // the seed's line selected
    PANEL_HIDDEN = 8,
    CTRL_RIGHT_HELD = 16, // for two passes of the custom screen
};

void Apply(int given)
{
    gameState.levelIntro = given & IN_INTRO;
    gameState.fixedCampaign = gameState.randomCampaign = given & BOTH_CAMPAIGNS;
    gameState.backgroundMaze = given & BOTH_CAMPAIGNS;
    gameState.menuOffset = given & BOTH_CAMPAIGNS ? 3.76f : 0.0f;
    gameState.customField = given & ON_SEED ? CUSTOM_SEED : CUSTOM_LENGTH;
    gameState.menuShown = !(given & PANEL_HIDDEN);
    gameState.keyDown[VK_CONTROL] = gameState.keyDown[VK_RIGHT] = given & CTRL_RIGHT_HELD;
    UpdateCustomMaze();
    UpdateCustomMaze();
}

struct KeyCase
{
    KeyRoutine routine;
    std::vector<uint32_t> keys;
    const char* after; // what Describe shows after the keys, in part
    int given = 0;
};

constexpr uint32_t KP1 = VK_NUMPAD0 + 1, KP2 = VK_NUMPAD0 + 2, KP9 = VK_NUMPAD0 + 9;

// Presses `key` on the custom maze's screen more often than any range is long.
void PressPastTheEnd(uint32_t key)
{
    for (int i = 0; i < 130; ++i)
    {
        OnCustomMazeKey(key);
    }
}

} // namespace

using MenuInput = FlowTest;

TEST_F(MenuInput, EachKeySequenceLeavesItsState)
{
    const KeyCase cases[] = {
        // The menu's selection wraps both ways with a tick, silent with the sound off.
        {OnMenuKey, {VK_UP}, "selection=5 moves=1 screen=-1"},
        {OnMenuKey, {VK_UP, VK_DOWN}, "selection=0 moves=2"},
        {OnMenuKey, {VK_F3, VK_DOWN}, "selection=1 moves=0 sound=0"},
        // In an intro Enter and Esc only cut it short; M leaves in any phase.
        {OnMenuKey, {VK_UP, VK_RETURN}, "clock=5 screen=-1 confirms=0", IN_INTRO},
        {OnMenuKey, {VK_ESCAPE}, "clock=5 screen=-1", IN_INTRO},
        {OnMenuKey, {'M'}, "screen=3", IN_INTRO},
        {OnMenuKey, {VK_ESCAPE}, "clock=0 screen=3"},
        // A campaign item starts its first level and stops the other kind and the panel's slide;
        // the custom maze ends any campaign.
        {OnMenuKey,
         {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN},
         "fixed=0 random=1 level=1 setup=1 offset=0 background=0 slidestops=1 screen=3 confirms=1",
         BOTH_CAMPAIGNS},
        {OnMenuKey, {VK_DOWN, VK_RETURN}, "fixed=0 random=0 screen=2", BOTH_CAMPAIGNS},
        // In play Enter and Esc cut a phase short, Esc and M open the menu otherwise.
        {OnPlayingKey, {VK_ESCAPE}, "clock=5 screen=-1", IN_INTRO},
        {OnPlayingKey, {'M'}, "screen=1", IN_INTRO},
        {OnPlayingKey, {VK_RETURN}, "clock=0 screen=-1"},
        {OnPlayingKey, {VK_ESCAPE}, "screen=1"},
        // The option keys toggle, music whatever the sound effects say; the walls go round.
        {OnPlayingKey, {VK_F3, VK_F2}, "music=1 musicstarts=1 sound=0"},
        {OnMenuKey, {VK_F2, VK_F2}, "music=0 musicstops=1"},
        {OnPlayingKey, {VK_F1, VK_F12}, "help=1 fps=1"},
        {OnPlayingKey, {VK_F5, VK_F5, VK_F5, VK_F5}, "texture=8"},
        {OnMenuKey, {VK_F5, VK_F5, VK_F5, VK_F5, VK_F5}, "texture=4"},
        // With Ctrl the custom maze's arrows act once a pass instead of once a key.
        {OnCustomMazeKey, {VK_RIGHT}, "length=66", CTRL_RIGHT_HELD},
        // The seed takes keypad digits only, on its own line.
        {OnCustomMazeKey, {VK_DOWN, VK_DOWN, VK_DOWN, KP1, KP2}, "seed=12"},
        {OnCustomMazeKey, {KP1, '4', VK_RIGHT, KP9 + 1, VK_NUMPAD0 - 1}, "seed=1", ON_SEED},
        // Esc leaves the custom screen with the menu's panel wanted.
        {OnCustomMazeKey, {VK_ESCAPE}, "menu=1 screen=1", PANEL_HIDDEN},
    };
    for (const KeyCase& c : cases)
    {
        SCOPED_TRACE(&c - cases);
        SetUp();
        Apply(c.given);
        for (uint32_t key : c.keys)
        {
            c.routine(key);
        }
        std::istringstream after(c.after);
        for (std::string pair; after >> pair;)
        {
            EXPECT_NE(Describe().find(" " + pair + " "), std::string::npos) << pair << Describe();
        }
    }
}

// Every line of the custom maze's screen goes to both ends of its range and stops there, by the
// arrows one key at a time and with Ctrl held one step a pass; the lines themselves stop at the
// first and the last. The seed takes nine digits, and Backspace takes them all back.
TEST_F(MenuInput, EachCustomLineGoesToBothEndsOfItsRange)
{
    for (uint8_t line = CUSTOM_LENGTH; line <= CUSTOM_DIFFICULTY; ++line)
    {
        SCOPED_TRACE(line);
        auto [value, lowest, highest] = CUSTOM_RANGES[line];
        gameState.customField = line;
        PressPastTheEnd(VK_LEFT);
        EXPECT_EQ(*value, lowest);
        PressPastTheEnd(VK_RIGHT);
        EXPECT_EQ(*value, highest);
        gameState.keyDown[VK_CONTROL] = gameState.keyDown[VK_LEFT] = true;
        for (int pass = 0; pass < 130; ++pass)
        {
            UpdateCustomMaze();
        }
        EXPECT_EQ(*value, lowest);
        gameState.keyDown[VK_CONTROL] = gameState.keyDown[VK_LEFT] = false;
    }
    PressPastTheEnd(VK_DOWN);
    EXPECT_EQ(gameState.customField, CUSTOM_SEED);
    PressPastTheEnd(KP9);
    EXPECT_EQ(gameState.customSeed, 999999999);
    PressPastTheEnd(VK_BACK);
    EXPECT_EQ(gameState.customSeed, 0);
    PressPastTheEnd(VK_UP);
    EXPECT_EQ(gameState.customField, CUSTOM_LENGTH);
}

TEST_F(MenuInput, TheMenuCameraOrbitsAtThePitchOfTheAnchor)
{
    gameState.screenHeight = 600;
    gameState.anchorY = 300;
    gameState.cameraYaw = 1.5707964f;
    gameState.lookX = 2.0f;
    gameState.wheelNotches = 3;
    UpdateMenuMouse();
    EXPECT_EQ(gameState.wheelNotches, 0);
    EXPECT_FLOAT_EQ(gameState.cameraPitch, 0.7853982f);
    EXPECT_NEAR(gameState.eyeX, 2.0f, 1e-5f);
    EXPECT_NEAR(gameState.eyeY, -70.710678f, 1e-4f);
    EXPECT_NEAR(gameState.eyeZ, 70.710678f, 1e-4f);
}

TEST_F(MenuInput, ACustomMazeEvensItsSizesAndASeedWithNoWayOutKeepsTheScreenAndTheMaze)
{
    auto& state = gameState;
    std::tie(state.customLength, state.customWidth, state.customDifficulty, state.customSeed) =
        std::tuple(65, 9, 4, 2024);
    state.levelFinished = state.backgroundMaze = true;
    OnCustomMazeKey(VK_RETURN);
    EXPECT_EQ(std::tuple(state.customLength, state.customWidth, mazeGrid.mazeLength,
                         mazeGrid.mazeWidth, mazeGrid.mazeAccepted),
              std::tuple(66, 10, 66.0f, 10.0f, true));
    EXPECT_EQ(state.screenState, STATE_PLAYING);
    EXPECT_TRUE(state.levelIntro && !state.levelFinished && !state.backgroundMaze);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 1u);

    // A refused seed leaves the maze behind the menu, its player and exit and the camera.
    mazeGrid.playerX = 7.25f;
    state.cameraPitch = 0.5f;
    state.stateChangePending = false;
    auto seen = []
    {
        return std::tuple(std::vector<uint8_t>(&mazeGrid.cells[0][0],
                                               &mazeGrid.cells[0][0] + sizeof mazeGrid.cells),
                          mazeGrid.mazeLength, mazeGrid.mazeWidth, mazeGrid.exitX, mazeGrid.exitY,
                          mazeGrid.playerX, mazeGrid.playerY, mazeGrid.mazeAccepted, gameState.eyeX,
                          gameState.eyeY, gameState.eyeZ, gameState.lookX, gameState.lookY,
                          gameState.cameraPitch, gameState.cameraDistance);
    };
    const auto before = seen();
    std::tie(state.customLength, state.customWidth, state.customDifficulty, state.customSeed) =
        std::tuple(64, 64, 10, 819);
    OnCustomMazeKey(VK_RETURN);
    EXPECT_TRUE(state.customSeedRejected);
    EXPECT_TRUE(seen() == before);
    EXPECT_FALSE(state.stateChangePending);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 1u);
    OnCustomMazeKey(VK_F1);
    EXPECT_FALSE(state.customSeedRejected);
}
