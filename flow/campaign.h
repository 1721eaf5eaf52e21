// The campaign of five mazes, the phases every maze goes through, and the score.
#pragma once

#include <cstdint>

struct CampaignLevel
{
    int32_t length;
    int32_t width;
    int32_t fixedSeed;
    int32_t timeFactor;
};

constexpr int CAMPAIGN_LEVEL_COUNT = 5;
// Every campaign maze has difficulty 10; larger mazes weigh more in the score.
constexpr CampaignLevel CAMPAIGN_LEVELS[CAMPAIGN_LEVEL_COUNT] = {
    {32, 16, 674827, 128}, {32, 32, 1017192716, 64}, {64, 32, 1707139823, 16},
    {64, 64, 119136, 4},   {128, 64, 314662, 1},
};

constexpr const char* BACKGROUND_MAZE_PATH = "vortanai/intro.txt";

// The score of a level finished in `seconds` whole seconds. A level finished within its first
// second (or during its intro) counts as one second.
constexpr int32_t ScoreLevel(int32_t seconds, int32_t timeFactor)
{
    return 1000000 / ((seconds > 0 ? seconds : 1) * timeFactor);
}
// The menu's maze from its file, in place of the maze in memory; it keeps no best time.
void LoadBackgroundMaze();
// Sets up campaign level `levelNumber`, or completes the campaign after the fifth.
void SetUpCampaignLevel();
// Enter or Esc during an intro or outro: the phase ends at the next frame, which adds its time
// first. False when neither phase runs.
bool CutPhaseShort();
// The phase rules, applied once a frame by the scene while it is drawn.
void CountLevelSeconds();
void EndIntroIfDue();
void EndOutroIfDue();
