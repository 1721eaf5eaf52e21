// The PostgreSQL half of the score store, called by score_store.cpp for a connection URI.
#pragma once

#include "scoreboard/score_store.h"

bool PreparePostgresStore(const std::string& uri, std::string* error);
void ClosePostgresStore(ScoreStore* store);
StoreOutcome StorePostgresResult(ScoreStore* store, const std::string& name,
                                 const VerifiedResult& result, const std::string& code, bool write,
                                 RankedResult* ranked, ScoreBoard* board);
bool ReadPostgresBoard(ScoreStore* store, ScoreBoard* board);
bool ImportPostgresRows(ScoreStore* store, const std::vector<StoredRow>& rows, int64_t* added);
