// Where a result places without counting the table: for each campaign a Fenwick tree of how many
// results hold each score value (a higher score is better), its total and its ten best. The
// store loads them once from one grouped read and then takes in every stored result, whichever
// server stored it, in commit order: PostgreSQL's notifications, SQLite's rowids. "How many are
// better" is then about 21 steps; equal scores, which are rare, are left to the database's index.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "scoreboard/score_results.h"

// One campaign's counts.
struct PlaceCounts
{
    std::vector<int32_t> tree; // Fenwick tree, index 1 = the highest score the campaign gives
    int64_t beyondMax = 0;     // results above that, put in by other means: better than any
    int64_t total = 0;
    std::vector<BoardRow> best; // the ten best, best first
};

// The process's places, shared by the workers and the store's feed. Emptied by ResetScorePlaces
// when a server starts; guarded by `mutex`.
struct ScorePlaces
{
    std::mutex mutex;
    std::condition_variable fed; // results or a sync came in, or the feed was lost
    PlaceCounts campaigns[2];
    // False until loaded and again from a lost feed to its reload: places are then counted in the
    // database, slower but exact.
    bool current = false;
    uint64_t generation = 0;   // each load adds one: a sync sent before it may never come
    uint64_t loadsTried = 0;   // loads that ended, well or not
    uint64_t boardVersion = 0; // each change of a ten best adds one
    int64_t lastRowid = 0;     // SQLite: the last rowid taken in
    // PostgreSQL: syncs sent by this process's workers, true once they came back.
    std::unordered_map<uint64_t, bool> syncs;
    uint64_t nextSync = 0;
    std::string syncChannel; // where they come back, this process's own
};

extern ScorePlaces scorePlaces;

// A stored result as the feed hands it over.
struct FedResult
{
    int64_t id;
    uint8_t mode;
    int32_t score;
    std::string name;
};

void ResetScorePlaces(const std::string& syncChannel);
// Counts being loaded, apart from the ones in use: empty, then one (mode, score) group at a time.
void ClearPlaceCounts(PlaceCounts loaded[2]);
void AddScoreGroup(PlaceCounts loaded[2], uint8_t mode, int32_t score, int64_t count);
// Puts the loaded counts in use with the ten best read in the same snapshot: current from now on.
// `lastRowid`: SQLite's last rowid in that snapshot.
void InstallPlaceCounts(PlaceCounts loaded[2], const ScoreBoard& board, int64_t lastRowid);
// Marks the counts out of date (the feed was lost) or a load as tried, and wakes the waiters.
void LosePlaceCounts();
void EndPlaceLoad();
// One stored result taken in (the caller holds the mutex).
void TakeInResult(const FedResult& result);
// SQLite's feed: takes in the rows past lastRowid, in rowid order.
void TakeInRowsPast(const std::vector<FedResult>& rows);
// A sync came back through the database (the caller holds the mutex).
void TakeInSync(uint64_t token);
// Results of the campaign that score above `score`: those better than it but for equal scores.
int64_t CountBetterScores(const PlaceCounts& counts, int32_t score);
// The place and total of a result from the counts and the database's count of equal scores stored
// before it, and both ten best; false when the counts are not current.
bool PlaceFromCounts(int64_t earlierEqual, bool stored, RankedResult* ranked, ScoreBoard* board);
// The ten best as they stand, and their version; false when not current.
bool ReadCountedBoard(ScoreBoard* board, uint64_t* version);
bool ReadCountedBoardVersion(uint64_t* version);
// A sync token to send through the database, or 0 when the counts are not current.
uint64_t OpenSync(uint64_t* generation);
// Waits until the sync came back (true), the feed was lost or reloaded, or a few seconds passed.
bool AwaitSync(uint64_t token, uint64_t generation);
// For a sync that was never sent.
void DropSync(uint64_t token);
