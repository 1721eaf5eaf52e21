#include "flow/window_proc.h"

#include <gtest/gtest.h>
#include <vector>

#include "flow/game_state.h"
#include "platform/platform.h"

namespace
{

std::vector<uint32_t> keysSeen;

void RecordKey(uint32_t key)
{
    keysSeen.push_back(key);
}

class WindowProcedure : public testing::Test
{
  protected:
    void SetUp() override
    {
        gameState = GameState{};
        gameState.keyRoutine = RecordKey;
        keysSeen.clear();
    }
};

uint32_t WheelParameter(int32_t delta)
{
    return static_cast<uint32_t>(delta & 0xFFFF) << 16;
}

} // namespace

TEST_F(WindowProcedure, KeysAreHeldFromDownToUpAndEveryDownReachesTheScreen)
{
    EXPECT_EQ(WndProc(WM_KEYDOWN, VK_UP, 0x00480001), 0);
    EXPECT_TRUE(gameState.keyDown[VK_UP]);
    WndProc(WM_KEYDOWN, VK_UP, 0x40480001); // auto-repeat
    WndProc(WM_KEYDOWN, VK_UP, 0x40480001);
    EXPECT_TRUE(gameState.keyDown[VK_UP]);
    EXPECT_EQ(WndProc(WM_KEYUP, VK_UP, 0xC0480001), 0);
    EXPECT_FALSE(gameState.keyDown[VK_UP]);
    EXPECT_EQ(keysSeen, (std::vector<uint32_t>{VK_UP, VK_UP, VK_UP}));
}

TEST_F(WindowProcedure, SystemKeysAndOtherMessagesChangeNothing)
{
    WndProc(WM_SYSKEYDOWN, VK_MENU, 0);
    WndProc(WM_MOUSEMOVE, 0, 0x00100010);
    WndProc(0x0102 /* WM_CHAR */, 'a', 0);
    EXPECT_FALSE(gameState.keyDown[VK_MENU]);
    EXPECT_TRUE(keysSeen.empty());
    EXPECT_EQ(gameState.wheelNotches, 0);
}

TEST_F(WindowProcedure, MouseButtonsAreHeldBetweenDownAndUp)
{
    WndProc(WM_LBUTTONDOWN, 0, 0);
    WndProc(WM_RBUTTONDOWN, 0, 0);
    EXPECT_TRUE(gameState.leftButton);
    EXPECT_TRUE(gameState.rightButton);
    WndProc(WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(gameState.leftButton);
    EXPECT_TRUE(gameState.rightButton);
    WndProc(WM_RBUTTONUP, 0, 0);
    EXPECT_FALSE(gameState.rightButton);
}

TEST_F(WindowProcedure, TheWheelsHighWordIsTakenUnsigned)
{
    struct Case
    {
        int32_t delta;
        int32_t notches;
    };
    const Case cases[] = {{120, 1}, {-120, 545}, {240, 2}, {60, 0}, {-60, 545}, {-1, 546}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(WndProc(WM_MOUSEWHEEL, WheelParameter(c.delta), 0), 0);
        EXPECT_EQ(gameState.wheelNotches, c.notches) << c.delta;
    }
}

TEST_F(WindowProcedure, OnlyMinimisingStopsTheFrames)
{
    WndProc(WM_ACTIVATE, 0 /* inactive, not minimised */, 0);
    EXPECT_TRUE(gameState.windowActive);
    WndProc(WM_ACTIVATE, 0x00010000 /* inactive, minimised */, 0);
    EXPECT_FALSE(gameState.windowActive);
    WndProc(WM_ACTIVATE, 0x00010001 /* active, still minimised */, 0);
    EXPECT_FALSE(gameState.windowActive);
    WndProc(WM_ACTIVATE, 1, 0);
    EXPECT_TRUE(gameState.windowActive);
}

TEST_F(WindowProcedure, ClosingTheWindowPostsTheQuit)
{
    EXPECT_EQ(WndProc(WM_CLOSE, 0, 0), 0);
    // The quit comes once whatever else is queued has been taken.
    WindowMessage message = {};
    int quits = 0;
    while (PeekWindowMessage(&message))
    {
        if (message.message == WM_QUIT)
        {
            ++quits;
            EXPECT_EQ(message.wParam, 0u);
        }
    }
    EXPECT_EQ(quits, 1);
}
