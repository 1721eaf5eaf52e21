#include <gtest/gtest.h>
#include <string>
#include <tuple>

#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "flow/menu_input.h"
#include "flow/playing.h"
#include "flow/screens.h"
#include "present/flat_screens.h"
#include "present/scene.h"
#include "present/settings.h"
#include "resources/sound_bank.h"
#include "tests/flow/flow_fixture.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"

namespace
{

// The screen, whether a change to another still waits, and the routines in the five slots.
auto Entered()
{
    const GameState& s = gameState;
    return std::tuple(s.screenState, s.stateChangePending, s.drawRoutine, s.thinkRoutine,
                      s.keyRoutine, s.mouseRoutine, s.padRoutine);
}

// All that a routine could change of the game's records: the game state and the sounds' counts.
std::string Records()
{
    return std::string(reinterpret_cast<const char*>(&gameState), sizeof gameState) +
           std::string(reinterpret_cast<const char*>(&soundLog), sizeof soundLog);
}

// The flow tests' start, but with the game state as the game starts: the first frame enters the
// splash.
class ScreenMachine : public FlowTest
{
  protected:
    static void SetUpTestSuite()
    {
        ResetFakeSystem();
        ASSERT_TRUE(OpenTestWindow(640, 480));
    }

    static void TearDownTestSuite()
    {
        CloseTestWindow();
    }

    void SetUp() override
    {
        FlowTest::SetUp();
        gameState = GameState{};
    }
};

} // namespace

// Until the first frame every routine does nothing at all, to Enter and a pad's button too; each
// frame first enters the screen changed to since the last one, which installs its routines and
// does its own set-up.
TEST_F(ScreenMachine, AScreenIsEnteredOnlyAtTheStartOfTheNextFrame)
{
    const std::string untouched = Records();
    gameState.keyRoutine(0x0D);
    gameState.mouseRoutine();
    gameState.thinkRoutine();
    EXPECT_EQ(std::pair(gameState.padRoutine(0, false), gameState.drawRoutine()),
              std::pair(false, 1));
    EXPECT_TRUE(Records() == untouched && fakeSystem.cursorWarps.empty()) << "a routine acted";

    // The splash starts the timer before this frame's tick, so the first frame takes no time; it
    // plays its jingle, shows the background maze, and resets the camera and the cursor to the
    // screen's middle.
    gameState.phaseClock = 7.0f;
    AdvanceFakeClock(2.0);
    ASSERT_EQ(RunFrame(), 1);
    EXPECT_EQ(Entered(), std::make_tuple(int8_t{STATE_SPLASH}, false, DrawSplash, UpdateNothing,
                                         OnSplashKey, UpdateMouseIdle, IgnorePad));
    EXPECT_EQ(std::tuple(gameState.counterFrequency, gameState.frameSeconds, gameState.phaseClock,
                         soundLog.starts[SND_SPLASH], gameState.backgroundMaze),
              std::tuple(fakeSystem.frequency, 0.0f, 0.0f, 1u, true));
    EXPECT_EQ(std::tuple(gameState.cameraPitch, gameState.cameraYaw, gameState.anchorX,
                         gameState.anchorY, fakeSystem.cursorWarps),
              std::tuple(0.7853982f, 1.5707964f, 320, 240, std::vector{std::pair(320, 240)}));

    // The credits stop the music and the panel's slide, and start their animation afresh.
    ChangeScreen(STATE_CREDITS);
    EXPECT_EQ(Entered(), std::make_tuple(int8_t{STATE_CREDITS}, true, DrawSplash, UpdateNothing,
                                         OnSplashKey, UpdateMouseIdle, IgnorePad));
    // Entered over a screen that read the pad its own way, at the end of the animation.
    gameState.padRoutine = OnCustomMazePad;
    std::tie(gameState.screenClock, gameState.screenSkip) = std::pair(3.0f, 1u);
    AdvanceFakeClock(0.25);
    RunFrame();
    EXPECT_EQ(Entered(), std::make_tuple(int8_t{STATE_CREDITS}, false, DrawCredits, UpdateNothing,
                                         OnCreditsKey, UpdateMouseIdle, IgnorePad));
    EXPECT_EQ(std::tuple(gameState.screenClock < 1.0f, gameState.screenSkip,
                         soundLog.stops[SND_MUSIC], soundLog.stops[SND_MENU_SLIDE]),
              std::tuple(true, 0u, 1u, 1u));

    // Play hides the panel, which slides away with its sound, sounds the maze's intro and puts
    // the cursor back where the camera's drag holds it.
    std::tie(gameState.anchorX, gameState.anchorY) = std::pair(123, 45);
    gameState.menuOffset = 0.5f;
    ChangeScreen(STATE_PLAYING);
    RunFrame();
    EXPECT_EQ(Entered(), std::make_tuple(int8_t{STATE_PLAYING}, false, DrawScene, UpdatePlaying,
                                         OnPlayingKey, UpdatePlayingMouse, IgnorePad));
    EXPECT_EQ(std::tuple(gameState.menuShown, soundLog.starts[SND_MENU_SLIDE],
                         soundLog.starts[SND_LEVEL_START], fakeSystem.cursorWarps.back()),
              std::tuple(false, 1u, 1u, std::pair(123, 45)));
}

// A drawing that fails is told and the game goes on; the idle pass reads the cursor before the
// mouse routine (the splash's entry centres it). The whole game's frames time the play.
TEST_F(ScreenMachine, EveryPassReadsTheCursorAndADrawingThatFailsIsTold)
{
    std::tie(fakeSystem.cursorX, fakeSystem.cursorY) = std::pair(17, 29);
    RunIdlePass();
    EXPECT_EQ(gameState.cursorPos.x, 320);
    std::tie(fakeSystem.cursorX, fakeSystem.cursorY) = std::pair(17, 29);
    AdvanceFakeClock(0.25);
    RunIdlePass();
    EXPECT_EQ(std::pair(gameState.cursorPos.x, gameState.cursorPos.y), std::pair(17, 29));
    gameState.drawRoutine = [] { return int32_t{0}; };
    AdvanceFakeClock(0.5);
    EXPECT_EQ(RunFrame(), 1);
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    const RecordedBox& box = fakeSystem.boxes[0];
    EXPECT_EQ(std::tuple(box.text, box.caption, box.icon),
              std::tuple("Klaida piesiant scena", "ERROR", ICON_EXCLAMATION));
}
