#include <gtest/gtest.h>
#include <tuple>

#include "flow/game_state.h"
#include "flow/main_loop.h"
#include "flow/menu_input.h"
#include "flow/screens.h"
#include "present/flat_screens.h"
#include "present/scene.h"
#include "present/settings.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"

namespace
{

int32_t FailDrawing()
{
    return 0;
}

class ScreenMachine : public testing::Test
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
        ResetFakeSystem();
        gameState = GameState{};
        settings.screenWidth = 800;
        settings.screenHeight = 600;
    }
};

} // namespace

// Until the first frame every routine does nothing; each frame first enters the screen changed
// to since the last one, whose entry does its own set-up.
TEST_F(ScreenMachine, AScreenIsEnteredOnlyAtTheStartOfTheNextFrame)
{
    gameState.keyRoutine(0x0D);
    gameState.mouseRoutine();
    gameState.thinkRoutine();
    EXPECT_EQ(gameState.drawRoutine(), 1);

    gameState.phaseClock = 7.0f;
    AdvanceFakeClock(2.0);
    ASSERT_EQ(RunFrame(), 1);
    EXPECT_EQ(gameState.keyRoutine, OnSplashKey);
    EXPECT_FALSE(gameState.stateChangePending);
    // The splash starts the timer before this frame's tick, so the first frame takes no time; it
    // shows the background maze, resets the camera and sends the cursor to the screen's middle.
    EXPECT_EQ(std::tuple(gameState.counterFrequency, gameState.frameSeconds, gameState.phaseClock),
              std::tuple(fakeSystem.frequency, 0.0f, 0.0f));
    EXPECT_TRUE(gameState.backgroundMaze);
    EXPECT_FLOAT_EQ(gameState.cameraPitch, 0.7853982f);
    EXPECT_FLOAT_EQ(gameState.cameraYaw, 1.5707964f);
    EXPECT_EQ(std::pair(gameState.anchorX, gameState.anchorY), std::pair(400, 300));
    EXPECT_EQ(fakeSystem.cursorWarps, (std::vector{std::pair(400, 300)}));

    ChangeScreen(STATE_CREDITS);
    EXPECT_EQ(gameState.keyRoutine, OnSplashKey);
    gameState.screenClock = 3.0f;
    gameState.screenSkip = 1;
    AdvanceFakeClock(0.25);
    RunFrame();
    EXPECT_EQ(gameState.keyRoutine, OnCreditsKey);
    EXPECT_LT(gameState.screenClock, 1.0f); // restarted by the credits' entry
    EXPECT_EQ(gameState.screenSkip, 0u);

    gameState.anchorX = 123;
    gameState.anchorY = 45;
    ChangeScreen(STATE_PLAYING);
    RunFrame();
    EXPECT_EQ(gameState.drawRoutine, DrawScene);
    EXPECT_FALSE(gameState.menuShown);
    EXPECT_EQ(fakeSystem.cursorWarps.back(), std::pair(123, 45));
}

// A drawing that fails is told and the game goes on; the idle pass reads the cursor before the
// mouse routine (the splash's entry centres it). The whole game's frames time the play.
TEST_F(ScreenMachine, EveryPassReadsTheCursorAndADrawingThatFailsIsTold)
{
    fakeSystem.cursorX = 17;
    fakeSystem.cursorY = 29;
    RunIdlePass();
    EXPECT_EQ(gameState.cursorPos.x, 400);
    fakeSystem.cursorX = 17;
    fakeSystem.cursorY = 29;
    AdvanceFakeClock(0.25);
    RunIdlePass();
    EXPECT_EQ(std::pair(gameState.cursorPos.x, gameState.cursorPos.y), std::pair(17, 29));
    gameState.drawRoutine = FailDrawing;
    AdvanceFakeClock(0.5);
    EXPECT_EQ(RunFrame(), 1);
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_EQ(fakeSystem.boxes[0].text, "Klaida piesiant scena");
    EXPECT_EQ(fakeSystem.boxes[0].caption, "ERROR");
    EXPECT_EQ(fakeSystem.boxes[0].icon, ICON_EXCLAMATION);
}
