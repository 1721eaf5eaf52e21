// What every flow test starts from: the fake system reset, the game's records as at start-up but
// with no intro running and no screen change waiting, an empty maze and no sounds counted.
#pragma once

#include <gtest/gtest.h>

#include "flow/game_state.h"
#include "maze/maze_grid.h"
#include "present/settings.h"
#include "resources/sound_bank.h"
#include "tests/support/fake_system.h"

// The number lines of the custom maze's screen, in its order, with the ends of their ranges.
struct CustomRange
{
    int32_t* value;
    int32_t lowest;
    int32_t highest;
};
inline const CustomRange CUSTOM_RANGES[] = {
    {&gameState.customLength, 8, 128},
    {&gameState.customWidth, 8, 128},
    {&gameState.customDifficulty, 1, 10},
};

class FlowTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        gameState = GameState{};
        gameState.levelIntro = false;
        gameState.stateChangePending = false;
        settings = Settings{};
        mazeGrid = MazeGrid{};
        soundLog = SoundLog{};
    }
};
