// The two backends under the score store's functions, one table of them each; score_store.cpp
// picks one by the target and the backends never call back into it.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "scoreboard/score_store.h"

// The id a code not stored yet is placed with: behind every stored result of the same score.
constexpr int64_t UNSTORED_ID = INT64_MAX;

// SQL with the values of named constants written in, made once at start-up.
[[gnu::format(printf, 1, 2)]] inline std::string FormatSql(const char* format, ...)
{
    va_list values;
    va_list counted;
    va_start(values, format);
    va_copy(counted, values);
    std::string sql(static_cast<size_t>(std::vsnprintf(nullptr, 0, format, counted)), '\0');
    va_end(counted);
    std::vsnprintf(sql.data(), sql.size() + 1, format, values);
    va_end(values);
    return sql;
}

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
