// The score page's database: every verified result once, keyed by its verification code, and the
// ten best of each campaign. Two backends behind the same functions and the same schema: SQLite
// (a file path, the embedded default, in WAL mode so that readers never wait for the writer) and
// PostgreSQL (a libpq connection URI, for several servers on one database). Each worker keeps
// one connection of its own and opens it again when it was lost.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "records/verification_code.h"
#include "scoreboard/score_results.h"

struct sqlite3;
struct pg_conn;

// The schema this program writes for each backend; a database with a higher version is refused.
constexpr int SQLITE_SCHEMA_VERSION = 1;
constexpr int POSTGRES_SCHEMA_VERSION = 2;

// A result as the old database holds it, for --import.
struct StoredRow
{
    std::string name;
    int32_t score;
    int32_t mode;
    int32_t number;
    std::string code;
    int64_t storedAt;
};

enum StoreOutcome : uint8_t
{
    STORE_ADDED,    // the code was new: the result is committed and now counts
    STORE_REPEATED, // the code was stored before: the earlier result is shown, nothing counted
    STORE_UNSTORED, // only looked at (HEAD): the code is new, its place is where it would go
    STORE_FAILED,   // the database could not be reached, written or read; see `error`
};

// One connection, used by one thread at a time. Closed and empty until first used; reset by
// CloseScoreStore.
struct ScoreStore
{
    std::string target; // the SQLite file or the PostgreSQL URI
    sqlite3* sqlite = nullptr;
    pg_conn* postgres = nullptr;
    uint64_t sqliteInode = 0; // the file the connection has open, to notice it was replaced
    std::string error;        // the database's own reason for the last failure
};

// True for a libpq connection URI (postgresql://... or postgres://...): anything else is a file.
bool IsPostgresTarget(const std::string& target);
// Creates the database (SQLite: the file and its folder) and the schema when missing, or brings
// an older schema up to date. False, with a message, when it cannot be reached, is not ours, or
// was made by a newer version.
bool PrepareScoreStore(const std::string& target, std::string* error);
void CloseScoreStore(ScoreStore* store);
// Stores name, score, mode and code in one transaction unless the code is already stored, and
// ranks the result and reads the board in the same one; STORE_ADDED only once it is committed.
// With `write` false nothing is stored.
StoreOutcome StoreVerifiedResult(ScoreStore* store, const std::string& name,
                                 const VerifiedResult& result, const std::string& code, bool write,
                                 RankedResult* ranked, ScoreBoard* board);
bool ReadScoreBoard(ScoreStore* store, ScoreBoard* board);
// Every result of a SQLite file, oldest first.
bool ReadSqliteRows(const std::string& path, std::vector<StoredRow>* rows, std::string* error);
// Adds the rows whose code the store does not hold yet, in one transaction; *added counts them.
bool ImportRows(ScoreStore* store, const std::vector<StoredRow>& rows, int64_t* added);
// Loads the places (score_places.h) and keeps them current with every result stored, by any
// server, until *stop: run on a thread of its own, one per process.
void FollowStoredResults(const std::string& target, const std::atomic<bool>* stop);
