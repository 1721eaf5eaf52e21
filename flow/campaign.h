// The campaign of five mazes: level set-up and scoring.
#pragma once

// Sets up campaign level `levelNumber` (or completes the campaign after the fifth).
void SetUpCampaignLevel();
