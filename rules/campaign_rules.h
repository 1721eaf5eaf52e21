// The campaign's rules that the game and its score page share: the five levels, a level's score,
// the most a campaign can give, and what a player's name may hold.
#pragma once

#include <cstdint>
#include <string_view>

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

// The score of a level finished in `seconds` whole seconds. A level finished within its first
// second (or during its intro) counts as one second.
constexpr int32_t ScoreLevel(int32_t seconds, int32_t timeFactor)
{
    return 1000000 / ((seconds > 0 ? seconds : 1) * timeFactor);
}

// The most a campaign can give: every level finished within its first second.
constexpr int32_t CampaignScoreMax()
{
    int32_t sum = 0;
    for (const CampaignLevel& level : CAMPAIGN_LEVELS)
    {
        sum += ScoreLevel(1, level.timeFactor);
    }
    return sum;
}

constexpr int NAME_MAX_LENGTH = 15;
// The letters a name may hold, in the order a pad steps through them.
constexpr char NAME_LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ";
constexpr int32_t NAME_LETTER_COUNT = sizeof NAME_LETTERS - 1;

bool IsNameLetter(char letter);
// One to NAME_MAX_LENGTH name letters.
bool IsPlayerName(std::string_view name);
