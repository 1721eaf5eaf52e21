#include "flow/window_proc.h"

#include <array>
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

uint32_t Wheel(int32_t delta)
{
    return static_cast<uint32_t>(delta & 0xFFFF) << 16;
}

} // namespace

// Messages in turn, each followed by what the game holds: the up arrow and Alt held, the left and
// right buttons held, whether frames run, the wheel's notches, how many keys reached the screen
// and the last of them. Only minimising stops the frames; the wheel's high word is unsigned;
// closing the window posts one quit, and nothing else does.
TEST(WindowProcedure, EachMessageChangesOnlyWhatItIsAbout)
{
    struct Step
    {
        uint32_t message, wParam, lParam;
        std::array<int32_t, 8> after;
    };
    const Step steps[] = {
        {WM_KEYDOWN, VK_UP, 0x00480001, {1, 0, 0, 0, 1, 0, 1, VK_UP}},
        {WM_KEYDOWN, VK_UP, 0x40480001, {1, 0, 0, 0, 1, 0, 2, VK_UP}}, // auto-repeat
        {WM_KEYUP, VK_UP, 0xC0480001, {0, 0, 0, 0, 1, 0, 2, VK_UP}},
        {WM_SYSKEYDOWN, VK_MENU, 0, {0, 0, 0, 0, 1, 0, 2, VK_UP}},
        {WM_MOUSEMOVE, 0, 0x00100010, {0, 0, 0, 0, 1, 0, 2, VK_UP}},
        {0x0102 /* WM_CHAR */, 'a', 0, {0, 0, 0, 0, 1, 0, 2, VK_UP}},
        {WM_LBUTTONDOWN, 0, 0, {0, 0, 1, 0, 1, 0, 2, VK_UP}},
        {WM_RBUTTONDOWN, 0, 0, {0, 0, 1, 1, 1, 0, 2, VK_UP}},
        {WM_LBUTTONUP, 0, 0, {0, 0, 0, 1, 1, 0, 2, VK_UP}},
        {WM_RBUTTONUP, 0, 0, {0, 0, 0, 0, 1, 0, 2, VK_UP}},
        {WM_MOUSEWHEEL, Wheel(240), 0, {0, 0, 0, 0, 1, 2, 2, VK_UP}},
        {WM_MOUSEWHEEL, Wheel(-120), 0, {0, 0, 0, 0, 1, 545, 2, VK_UP}},
        {WM_MOUSEWHEEL, Wheel(60), 0, {0, 0, 0, 0, 1, 0, 2, VK_UP}},
        {WM_MOUSEWHEEL, Wheel(-1), 0, {0, 0, 0, 0, 1, 546, 2, VK_UP}},
        {WM_ACTIVATE, 0x00010000 /* inactive, minimised */, 0, {0, 0, 0, 0, 0, 546, 2, VK_UP}},
        {WM_ACTIVATE, 0x00010001 /* active, minimised */, 0, {0, 0, 0, 0, 0, 546, 2, VK_UP}},
        {WM_ACTIVATE, 0 /* inactive, not minimised */, 0, {0, 0, 0, 0, 1, 546, 2, VK_UP}},
        {WM_CLOSE, 0, 0, {0, 0, 0, 0, 1, 546, 2, VK_UP}},
    };
    gameState = GameState{};
    gameState.keyRoutine = RecordKey;
    for (const Step& step : steps)
    {
        EXPECT_EQ(WndProc(step.message, step.wParam, step.lParam), 0);
        int32_t quits = 0;
        for (WindowMessage queued = {}; PeekWindowMessage(&queued);)
        {
            quits += queued.message == WM_QUIT && queued.wParam == 0 ? 1 : 0;
        }
        std::array<int32_t, 8> after = {
            gameState.keyDown[VK_UP], gameState.keyDown[VK_MENU],
            gameState.leftButton,     gameState.rightButton,
            gameState.windowActive,   gameState.wheelNotches,
            int32_t(keysSeen.size()), int32_t(keysSeen.empty() ? 0 : keysSeen.back())};
        EXPECT_EQ(after, step.after) << std::hex << step.message << " " << step.wParam;
        EXPECT_EQ(quits, step.message == WM_CLOSE ? 1 : 0);
    }
}
