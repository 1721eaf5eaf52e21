#include "scoreboard/score_store.h"

#include "scoreboard/score_store_backends.h"

namespace
{

const ScoreBackend& FindBackend(const std::string& target)
{
    return IsPostgresTarget(target) ? POSTGRES_BACKEND : SQLITE_BACKEND;
}

} // namespace

bool IsPostgresTarget(const std::string& target)
{
    return target.starts_with("postgresql://") || target.starts_with("postgres://");
}

bool PrepareScoreStore(const std::string& target, std::string* error)
{
    return FindBackend(target).prepare(target, error);
}

void CloseScoreStore(ScoreStore* store)
{
    FindBackend(store->target).close(store);
}

StoreOutcome StoreVerifiedResult(ScoreStore* store, const std::string& name,
                                 const VerifiedResult& result, const std::string& code, bool write,
                                 RankedResult* ranked, ScoreBoard* board)
{
    return FindBackend(store->target).storeResult(store, name, result, code, write, ranked, board);
}

bool ReadScoreBoard(ScoreStore* store, ScoreBoard* board)
{
    return FindBackend(store->target).readBoard(store, board);
}

bool ImportRows(ScoreStore* store, const std::vector<StoredRow>& rows, int64_t* added)
{
    return FindBackend(store->target).importRows(store, rows, added);
}

void FollowStoredResults(const std::string& target, const std::atomic<bool>* stop)
{
    FindBackend(target).followResults(target, stop);
}
