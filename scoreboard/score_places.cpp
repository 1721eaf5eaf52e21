#include "scoreboard/score_places.h"

#include <algorithm>
#include <chrono>

#include "records/verification_code.h"
#include "rules/campaign_rules.h"

ScorePlaces scorePlaces;

namespace
{

// Scores 0 .. CampaignScoreMax(), the best at index 1.
constexpr int32_t SCORE_VALUES = CampaignScoreMax() + 1;
// A sync normally comes back in a millisecond; this long means the feed is stuck.
constexpr auto SYNC_PATIENCE = std::chrono::seconds(5);

size_t IndexScore(int32_t score)
{
    return static_cast<size_t>(CampaignScoreMax() - score + 1);
}

// Results at indexes 1 .. index.
int64_t SumScores(const std::vector<int32_t>& tree, size_t index)
{
    int64_t sum = 0;
    for (; index > 0; index &= index - 1)
    {
        sum += tree[index];
    }
    return sum;
}

bool IsBetterRow(const BoardRow& a, const BoardRow& b)
{
    return a.score > b.score || (a.score == b.score && a.id < b.id);
}

} // namespace

void ResetScorePlaces(const std::string& syncChannel)
{
    std::lock_guard lock(scorePlaces.mutex);
    for (PlaceCounts& counts : scorePlaces.campaigns)
    {
        counts = PlaceCounts();
    }
    scorePlaces.current = false;
    scorePlaces.lastRowid = 0;
    scorePlaces.syncs.clear();
    scorePlaces.syncChannel = syncChannel;
}

void ClearPlaceCounts(PlaceCounts loaded[2])
{
    for (int mode : {MODE_FIXED, MODE_RANDOM})
    {
        loaded[mode].tree.assign(static_cast<size_t>(SCORE_VALUES) + 1, 0);
        loaded[mode].beyondMax = 0;
        loaded[mode].total = 0;
    }
}

void AddScoreGroup(PlaceCounts loaded[2], uint8_t mode, int32_t score, int64_t count)
{
    PlaceCounts& counts = loaded[mode == MODE_RANDOM];
    counts.total += count;
    if (score > CampaignScoreMax() || score < 0)
    {
        counts.beyondMax += score < 0 ? 0 : count;
        return;
    }
    counts.tree[IndexScore(score)] += static_cast<int32_t>(count);
}

void InstallPlaceCounts(PlaceCounts loaded[2], const ScoreBoard& board, int64_t lastRowid)
{
    // Each node takes in its children's sums: built in one pass instead of one add per group.
    for (int mode : {MODE_FIXED, MODE_RANDOM})
    {
        std::vector<int32_t>& tree = loaded[mode].tree;
        for (size_t i = 1; i < tree.size(); ++i)
        {
            size_t parent = i + (i & (~i + 1));
            if (parent < tree.size())
            {
                tree[parent] += tree[i];
            }
        }
    }
    loaded[MODE_FIXED].best = board.fixedRows;
    loaded[MODE_RANDOM].best = board.randomRows;
    {
        std::lock_guard lock(scorePlaces.mutex);
        for (int mode : {MODE_FIXED, MODE_RANDOM})
        {
            std::swap(scorePlaces.campaigns[mode], loaded[mode]);
        }
        scorePlaces.current = true;
        scorePlaces.lastRowid = lastRowid;
        ++scorePlaces.generation;
        ++scorePlaces.boardVersion;
    }
    scorePlaces.fed.notify_all();
}

void LosePlaceCounts()
{
    {
        std::lock_guard lock(scorePlaces.mutex);
        scorePlaces.current = false;
    }
    scorePlaces.fed.notify_all();
}

void EndPlaceLoad()
{
    {
        std::lock_guard lock(scorePlaces.mutex);
        ++scorePlaces.loadsTried;
    }
    scorePlaces.fed.notify_all();
}

void TakeInResult(const FedResult& result)
{
    PlaceCounts& counts = scorePlaces.campaigns[result.mode == MODE_RANDOM];
    ++counts.total;
    if (result.score > CampaignScoreMax() || counts.tree.empty())
    {
        counts.beyondMax += result.score > CampaignScoreMax() ? 1 : 0;
    }
    else
    {
        for (size_t i = IndexScore(result.score); i < counts.tree.size(); i += i & (~i + 1))
        {
            ++counts.tree[i];
        }
    }
    BoardRow row{result.id, result.name, result.score};
    std::vector<BoardRow>& best = counts.best;
    if (best.size() < BOARD_SIZE || IsBetterRow(row, best.back()))
    {
        best.insert(std::upper_bound(best.begin(), best.end(), row, IsBetterRow), row);
        best.resize(std::min<size_t>(best.size(), BOARD_SIZE));
        ++scorePlaces.boardVersion;
    }
}

void TakeInRowsPast(const std::vector<FedResult>& rows)
{
    std::lock_guard lock(scorePlaces.mutex);
    for (const FedResult& row : rows)
    {
        // Another thread may have taken in some of them already.
        if (row.id > scorePlaces.lastRowid)
        {
            TakeInResult(row);
            scorePlaces.lastRowid = row.id;
        }
    }
}

void TakeInSync(uint64_t token)
{
    auto found = scorePlaces.syncs.find(token);
    if (found != scorePlaces.syncs.end())
    {
        found->second = true;
    }
}

int64_t CountBetterScores(const PlaceCounts& counts, int32_t score)
{
    if (score >= CampaignScoreMax() || counts.tree.empty())
    {
        return counts.beyondMax;
    }
    return counts.beyondMax + SumScores(counts.tree, IndexScore(score) - 1);
}

bool PlaceFromCounts(int64_t earlierEqual, bool stored, RankedResult* ranked, ScoreBoard* board)
{
    std::lock_guard lock(scorePlaces.mutex);
    if (!scorePlaces.current)
    {
        return false;
    }
    const PlaceCounts& counts = scorePlaces.campaigns[ranked->mode == MODE_RANDOM];
    ranked->place = 1 + CountBetterScores(counts, ranked->score) + earlierEqual;
    ranked->total = counts.total + (stored ? 0 : 1);
    board->fixedRows = scorePlaces.campaigns[MODE_FIXED].best;
    board->randomRows = scorePlaces.campaigns[MODE_RANDOM].best;
    return true;
}

bool ReadCountedBoard(ScoreBoard* board, uint64_t* version)
{
    std::lock_guard lock(scorePlaces.mutex);
    board->fixedRows = scorePlaces.campaigns[MODE_FIXED].best;
    board->randomRows = scorePlaces.campaigns[MODE_RANDOM].best;
    *version = scorePlaces.boardVersion;
    return scorePlaces.current;
}

bool ReadCountedBoardVersion(uint64_t* version)
{
    std::lock_guard lock(scorePlaces.mutex);
    *version = scorePlaces.boardVersion;
    return scorePlaces.current;
}

uint64_t OpenSync(uint64_t* generation)
{
    std::lock_guard lock(scorePlaces.mutex);
    if (!scorePlaces.current)
    {
        return 0;
    }
    uint64_t token = ++scorePlaces.nextSync;
    scorePlaces.syncs[token] = false;
    *generation = scorePlaces.generation;
    return token;
}

bool AwaitSync(uint64_t token, uint64_t generation)
{
    std::unique_lock lock(scorePlaces.mutex);
    auto ended = [&]
    {
        return scorePlaces.syncs[token] || !scorePlaces.current ||
               scorePlaces.generation != generation;
    };
    scorePlaces.fed.wait_for(lock, SYNC_PATIENCE, ended);
    bool came = scorePlaces.syncs[token] && scorePlaces.current;
    scorePlaces.syncs.erase(token);
    return came;
}

void DropSync(uint64_t token)
{
    std::lock_guard lock(scorePlaces.mutex);
    scorePlaces.syncs.erase(token);
}
