// The campaign of five mazes, the phases every maze goes through, and the score.
#pragma once

#include <cstdint>

#include "rules/campaign_rules.h"

constexpr const char* BACKGROUND_MAZE_PATH = "vortanai/intro.txt";

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
