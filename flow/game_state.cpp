#include "flow/game_state.h"

#include "platform/platform.h"

GameState gameState;

int32_t DrawNothing()
{
    return 1;
}

void UpdateNothing() {}

void IgnoreKey(uint32_t) {}

bool IgnorePad(uint8_t, bool)
{
    return false;
}

void ResetCamera()
{
    gameState.lookX = 0.0f;
    gameState.lookY = 0.0f;
    gameState.lookZ = 0.0f;
    gameState.cameraYaw = PI_FLOAT / 2.0f;
    gameState.cameraPitch = PI_FLOAT / 4.0f;
    gameState.cameraDistance = 100.0f;
    SetCursorPosition(gameState.screenWidth >> 1, gameState.screenHeight >> 1);
}

void EnableSound()
{
    gameState.soundEnabled = true;
}

void ChangeScreen(int8_t state)
{
    gameState.screenState = state;
    gameState.stateChangePending = true;
}
