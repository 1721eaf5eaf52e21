// The two backends under the score store's functions, one table of them each; score_store.cpp
// picks one by the target and the backends never call back into it.
#pragma once

#include <atomic>

#include "scoreboard/score_store.h"

struct ScoreBackend
{
    bool (*prepare)(const std::string& target, std::string* error);
    void (*close)(ScoreStore* store);
    StoreOutcome (*storeResult)(ScoreStore* store, const std::string& name,
                                const VerifiedResult& result, const std::string& code, bool write,
                                RankedResult* ranked, ScoreBoard* board);
    bool (*readBoard)(ScoreStore* store, ScoreBoard* board);
    bool (*importRows)(ScoreStore* store, const std::vector<StoredRow>& rows, int64_t* added);
    void (*followResults)(const std::string& target, const std::atomic<bool>* stop);
};

extern const ScoreBackend SQLITE_BACKEND;
extern const ScoreBackend POSTGRES_BACKEND;
