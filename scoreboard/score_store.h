// The score page's database: every verified result once, keyed by its verification code, and the
// ten best of each campaign. Each request opens its own connection; the database runs in WAL
// mode, so readers never wait for the one writer and writers wait for each other (busy timeout)
// instead of failing.
#pragma once

#include <cstdint>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "records/verification_code.h"

using ScoreDatabase = std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)>;

constexpr int BOARD_SIZE = 10;

// A stored result with its rank among the results of its campaign mode.
struct RankedResult
{
    int64_t id;
    std::string name;
    int32_t score;
    uint8_t mode;
    int64_t place; // 1 = best; equal scores rank older results first
    int64_t total; // results stored for that mode
};

struct BoardRow
{
    int64_t id;
    std::string name;
    int32_t score;
};

// The ten best of the fixed and of the random campaign, best first.
struct ScoreBoard
{
    std::vector<BoardRow> fixedRows;
    std::vector<BoardRow> randomRows;
};

enum StoreOutcome : uint8_t
{
    STORE_ADDED,    // the code was new: the result now counts
    STORE_REPEATED, // the code was stored before: the earlier result is shown, nothing counted
    STORE_FAILED,   // the database could not be written or read (busy past the timeout, disk)
};

// Creates the database file (and its folder) when missing, the table when missing, and turns on
// WAL mode. False, with a message, when the file cannot be opened, is not ours, or refuses WAL.
bool PrepareScoreDatabase(const std::string& path, std::string* error);
// A connection for one request, with the busy timeout set; empty when the file cannot be opened.
ScoreDatabase OpenScoreDatabase(const std::string& path);
// Stores name, score, mode and code unless the code is already stored, and ranks the result.
StoreOutcome StoreVerifiedResult(sqlite3* db, const std::string& name, const VerifiedResult& result,
                                 const std::string& code, RankedResult* ranked);
bool ReadScoreBoard(sqlite3* db, ScoreBoard* board);
