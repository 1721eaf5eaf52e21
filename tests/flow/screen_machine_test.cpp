#include <gtest/gtest.h>

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

TEST_F(ScreenMachine, TheFirstFrameEntersTheSplash)
{
    gameState.phaseClock = 7.0f;
    AdvanceFakeClock(2.0);
    ASSERT_EQ(RunFrame(), 1);
    EXPECT_EQ(gameState.drawRoutine, DrawSplash);
    EXPECT_EQ(gameState.thinkRoutine, UpdateNothing);
    EXPECT_EQ(gameState.keyRoutine, OnSplashKey);
    EXPECT_EQ(gameState.mouseRoutine, UpdateMouseIdle);
    EXPECT_FALSE(gameState.stateChangePending);
    EXPECT_TRUE(gameState.backgroundMaze);
    EXPECT_EQ(gameState.anchorX, 400);
    EXPECT_EQ(gameState.anchorY, 300);
    // The timer starts in the entry, before this frame's tick: the first frame takes no time.
    EXPECT_EQ(gameState.counterFrequency, fakeSystem.frequency);
    EXPECT_EQ(gameState.frameSeconds, 0.0f);
    EXPECT_EQ(gameState.phaseClock, 0.0f);
    // The camera is reset and the cursor sent to the middle of the screen area.
    EXPECT_FLOAT_EQ(gameState.cameraPitch, 0.7853982f);
    EXPECT_FLOAT_EQ(gameState.cameraYaw, 1.5707964f);
    ASSERT_FALSE(fakeSystem.cursorWarps.empty());
    EXPECT_EQ(fakeSystem.cursorWarps.back(), std::make_pair(400, 300));
}

TEST_F(ScreenMachine, AChangeTakesEffectOnlyAtTheNextFrame)
{
    RunFrame();
    ChangeScreen(STATE_CREDITS);
    EXPECT_EQ(gameState.drawRoutine, DrawSplash);
    EXPECT_EQ(gameState.keyRoutine, OnSplashKey);
    gameState.screenClock = 3.0f;
    gameState.screenSkip = 1;
    AdvanceFakeClock(0.25);
    RunFrame();
    EXPECT_EQ(gameState.drawRoutine, DrawCredits);
    EXPECT_EQ(gameState.keyRoutine, OnCreditsKey);
    // The credits' entry restarts their clock.
    EXPECT_LT(gameState.screenClock, 1.0f);
    EXPECT_EQ(gameState.screenSkip, 0u);
}

TEST_F(ScreenMachine, ThePlayScreenSendsTheCursorToTheAnchor)
{
    RunFrame();
    gameState.anchorX = 123;
    gameState.anchorY = 45;
    ChangeScreen(STATE_PLAYING);
    RunFrame();
    EXPECT_EQ(gameState.drawRoutine, DrawScene);
    EXPECT_FALSE(gameState.menuShown);
    EXPECT_EQ(fakeSystem.cursorWarps.back(), std::make_pair(123, 45));
}

TEST_F(ScreenMachine, TheFrameTimerMeasuresEveryFrameAndAdvancesThePhaseClock)
{
    RunFrame();
    AdvanceFakeClock(0.25);
    RunFrame();
    EXPECT_FLOAT_EQ(gameState.frameSeconds, 0.25f);
    EXPECT_EQ(gameState.counterDelta, fakeSystem.frequency / 4);
    AdvanceFakeClock(0.5);
    RunFrame();
    EXPECT_FLOAT_EQ(gameState.phaseClock, 0.75f);
    EXPECT_EQ(gameState.counterLast, fakeSystem.counter);
}

TEST_F(ScreenMachine, TheIdlePassReadsTheCursorBeforeTheMouseRoutine)
{
    fakeSystem.cursorX = 17;
    fakeSystem.cursorY = 29;
    RunIdlePass();
    EXPECT_EQ(gameState.cursorPos.x, 400); // the splash entry centred the cursor
    fakeSystem.cursorX = 17;
    fakeSystem.cursorY = 29;
    RunIdlePass();
    EXPECT_EQ(gameState.cursorPos.x, 17);
    EXPECT_EQ(gameState.cursorPos.y, 29);
}

TEST_F(ScreenMachine, AFailedDrawingShowsAMessageAndTheFrameGoesOn)
{
    RunFrame();
    gameState.drawRoutine = FailDrawing;
    EXPECT_EQ(RunFrame(), 1);
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_EQ(fakeSystem.boxes[0].text, "Klaida piesiant scena");
    EXPECT_EQ(fakeSystem.boxes[0].caption, "ERROR");
    EXPECT_EQ(fakeSystem.boxes[0].icon, ICON_EXCLAMATION);
}

TEST_F(ScreenMachine, KeysBeforeTheFirstFrameFindARoutineThatDoesNothing)
{
    gameState.keyRoutine(0x0D);
    gameState.mouseRoutine();
    gameState.thinkRoutine();
    EXPECT_EQ(gameState.drawRoutine(), 1);
    EXPECT_EQ(gameState.screenSkip, 0u);
}
