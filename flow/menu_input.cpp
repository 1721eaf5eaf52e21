#include "flow/menu_input.h"

#include "flow/game_state.h"
#include "platform/platform.h"

void OnSplashKey(uint32_t key)
{
    uint8_t code = static_cast<uint8_t>(key);
    if (code == VK_RETURN || code == VK_ESCAPE)
    {
        gameState.screenSkip = 1;
        gameState.screenClock = 10.0f;
    }
}

void OnMenuKey(uint32_t) {}

void UpdateMenuMouse() {}

void UpdateMouseIdle()
{
    gameState.wheelNotches = 0;
}

void OnCustomMazeKey(uint32_t) {}

void UpdateCustomMaze() {}

void OnCreditsKey(uint32_t key)
{
    uint8_t code = static_cast<uint8_t>(key);
    if (code == VK_RETURN || code == VK_ESCAPE)
    {
        gameState.quitRequested = true;
    }
}
