#include "flow/campaign.h"

#include "flow/game_state.h"
#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "records/best_times.h"
#include "resources/sound_bank.h"

void LoadBackgroundMaze()
{
    LoadMazeFile(BACKGROUND_MAZE_PATH);
    gameState.backgroundMaze = true;
    EndRace();
}

void SetUpCampaignLevel()
{
    gameState.levelSetupPending = false;
    ResetCamera();
    gameState.levelIntro = true;
    gameState.levelFinished = false;
    if (gameState.levelNumber >= 1 && gameState.levelNumber <= CAMPAIGN_LEVEL_COUNT)
    {
        const CampaignLevel& level = CAMPAIGN_LEVELS[gameState.levelNumber - 1];
        if (gameState.fixedCampaign)
        {
            GenerateMaze(level.length, level.width, 10, level.fixedSeed);
            BeginRace({RACE_CAMPAIGN, level.length, level.width, 10, level.fixedSeed});
        }
        else
        {
            // Each try draws a fresh seed from the clock.
            while (!GenerateMaze(level.length, level.width, 10, 0))
            {
            }
            EndRace();
        }
        if (gameState.levelNumber == 1)
        {
            gameState.score = 0;
        }
        else
        {
            gameState.score += ScoreLevel(gameState.levelSeconds,
                                          CAMPAIGN_LEVELS[gameState.levelNumber - 2].timeFactor);
        }
        gameState.phaseClock = 0.0f;
        gameState.levelSeconds = 0;
        if (gameState.soundEnabled)
        {
            StartSound(SND_LEVEL_START);
        }
    }
    if (gameState.levelNumber == CAMPAIGN_LEVEL_COUNT + 1)
    {
        gameState.score += ScoreLevel(gameState.levelSeconds,
                                      CAMPAIGN_LEVELS[CAMPAIGN_LEVEL_COUNT - 1].timeFactor);
        // Entered in this same frame: RunFrame performs the pending entry next.
        ChangeScreen(STATE_NAME_ENTRY);
        gameState.levelIntro = false;
        gameState.levelFinished = true;
    }
}

bool CutPhaseShort()
{
    if (!gameState.levelIntro && !gameState.levelOutro)
    {
        return false;
    }
    gameState.phaseClock = 5.0f;
    return true;
}

void CountLevelSeconds()
{
    if (!gameState.backgroundMaze)
    {
        gameState.levelSeconds = static_cast<int32_t>(gameState.phaseClock);
    }
}

void EndIntroIfDue()
{
    if (gameState.phaseClock <= 3.0f)
    {
        return;
    }
    gameState.levelIntro = false;
    gameState.phaseClock = 0.0f;
    gameState.levelSeconds = 0;
    if (gameState.soundEnabled)
    {
        StopSound(SND_LEVEL_START);
    }
    if (gameState.screenState == STATE_MENU && gameState.soundEnabled)
    {
        StartSound(SND_MENU_SLIDE);
    }
}

void EndOutroIfDue()
{
    if (gameState.phaseClock <= 5.0f)
    {
        return;
    }
    gameState.levelOutro = false;
    if (gameState.soundEnabled)
    {
        StopSound(SND_LEVEL_DONE);
    }
    if (gameState.fixedCampaign || gameState.randomCampaign)
    {
        gameState.phaseClock = 0.0f;
        gameState.levelSetupPending = true;
        ++gameState.levelNumber;
        return;
    }
    gameState.levelFinished = false;
    ChangeScreen(STATE_MENU);
    LoadBackgroundMaze();
    ResetCamera();
    if (gameState.soundEnabled)
    {
        StartSound(SND_MENU_SLIDE);
    }
}
