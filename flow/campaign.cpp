#include "flow/campaign.h"

#include "flow/game_state.h"

void SetUpCampaignLevel()
{
    gameState.levelSetupPending = false;
}
