#include "scoreboard/score_store_backends.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>

#include "scoreboard/score_places.h"
#include "scoreboard/score_request_log.h"
#include "text/translation.h"

namespace
{

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// How often the feed looks for rows stored by other processes: well within the 100 ms in which a
// result stored elsewhere is to show on this server's board.
constexpr auto SQLITE_FEED_PERIOD = std::chrono::milliseconds(20);

// Writers queue behind each other for up to this long before a request gives up.
constexpr int BUSY_TIMEOUT_MS = 10000;

// The workers of one process take turns writing here, each woken as soon as the one before has
// committed: waiting in SQLite's busy handler instead sleeps up to 100 ms at a time, long after
// the lock is free. Other processes on the same file still wait in the busy handler.
std::mutex sqliteWriter;

// SCHEMA_STEPS[v] brings a database of version v to v + 1. A file made before the version table
// existed holds version 1's table already, which the step then leaves as it is.
const std::string SCHEMA_STEPS[SQLITE_SCHEMA_VERSION] = {
    FormatSql("CREATE TABLE IF NOT EXISTS results ("
              " id INTEGER PRIMARY KEY,"
              " name TEXT NOT NULL,"
              " score INTEGER NOT NULL CHECK (score BETWEEN 0 AND %d),"
              " mode INTEGER NOT NULL CHECK (mode IN (%d, %d)),"
              " number INTEGER NOT NULL,"
              " code TEXT NOT NULL UNIQUE,"
              " stored_at INTEGER NOT NULL);"
              "CREATE INDEX IF NOT EXISTS results_by_rank ON results (mode, score DESC, id);",
              VERIFIED_SCORE_MAX, MODE_FIXED, MODE_RANDOM),
};

const char* const INSERT_SQL = "INSERT INTO results (name, score, mode, number, code, stored_at)"
                               " VALUES (?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT (code) DO NOTHING";

Statement PrepareStatement(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
    {
        statement = nullptr;
    }
    return Statement(statement, &sqlite3_finalize);
}

bool ExecuteSql(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The first column of a one-row query as an integer; false when the query fails.
bool ReadCount(sqlite3_stmt* statement, int64_t* count)
{
    if (statement == nullptr || sqlite3_step(statement) != SQLITE_ROW)
    {
        return false;
    }
    *count = sqlite3_column_int64(statement, 0);
    return true;
}

std::string ReadText(sqlite3_stmt* statement, int column)
{
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text == nullptr
               ? std::string()
               : std::string(reinterpret_cast<const char*>(text),
                             static_cast<size_t>(sqlite3_column_bytes(statement, column)));
}

bool BindText(sqlite3_stmt* statement, int index, const std::string& text)
{
    return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_STATIC) == SQLITE_OK;
}

// Binds the six values of INSERT_SQL and runs it; true when it ran, inserting or not.
bool InsertRow(sqlite3* db, const StoredRow& row)
{
    Statement insert = PrepareStatement(db, INSERT_SQL);
    return insert && BindText(insert.get(), 1, row.name) &&
           sqlite3_bind_int(insert.get(), 2, row.score) == SQLITE_OK &&
           sqlite3_bind_int(insert.get(), 3, row.mode) == SQLITE_OK &&
           sqlite3_bind_int(insert.get(), 4, row.number) == SQLITE_OK &&
           BindText(insert.get(), 5, row.code) &&
           sqlite3_bind_int64(insert.get(), 6, row.storedAt) == SQLITE_OK &&
           sqlite3_step(insert.get()) == SQLITE_DONE;
}

bool ReadBoardRows(sqlite3* db, uint8_t mode, std::vector<BoardRow>* rows)
{
    Statement statement = PrepareStatement(db, "SELECT id, name, score FROM results WHERE mode = ?1"
                                               " ORDER BY score DESC, id LIMIT ?2");
    if (!statement || sqlite3_bind_int(statement.get(), 1, mode) != SQLITE_OK ||
        sqlite3_bind_int(statement.get(), 2, BOARD_SIZE) != SQLITE_OK)
    {
        return false;
    }
    rows->clear();
    int status;
    while ((status = sqlite3_step(statement.get())) == SQLITE_ROW)
    {
        rows->push_back({sqlite3_column_int64(statement.get(), 0), ReadText(statement.get(), 1),
                         sqlite3_column_int(statement.get(), 2)});
    }
    return status == SQLITE_DONE;
}

bool ReadBoard(sqlite3* db, ScoreBoard* board)
{
    return ReadBoardRows(db, MODE_FIXED, &board->fixedRows) &&
           ReadBoardRows(db, MODE_RANDOM, &board->randomRows);
}

// False when the query fails; *found tells whether the code is stored.
bool FindStoredResult(sqlite3* db, const std::string& code, RankedResult* ranked, bool* found)
{
    Statement statement =
        PrepareStatement(db, "SELECT id, name, score, mode FROM results WHERE code = ?1");
    if (!statement || !BindText(statement.get(), 1, code))
    {
        return false;
    }
    int status = sqlite3_step(statement.get());
    *found = status == SQLITE_ROW;
    if (*found)
    {
        ranked->id = sqlite3_column_int64(statement.get(), 0);
        ranked->name = ReadText(statement.get(), 1);
        ranked->score = sqlite3_column_int(statement.get(), 2);
        ranked->mode = static_cast<uint8_t>(sqlite3_column_int(statement.get(), 3));
    }
    return status == SQLITE_ROW || status == SQLITE_DONE;
}

bool RankResult(sqlite3* db, RankedResult* ranked)
{
    Statement statement = PrepareStatement(
        db, "SELECT COUNT(*) FILTER (WHERE score > ?2 OR (score = ?2 AND id < ?3)), COUNT(*)"
            " FROM results WHERE mode = ?1");
    if (!statement || sqlite3_bind_int(statement.get(), 1, ranked->mode) != SQLITE_OK ||
        sqlite3_bind_int(statement.get(), 2, ranked->score) != SQLITE_OK ||
        sqlite3_bind_int64(statement.get(), 3, ranked->id) != SQLITE_OK ||
        sqlite3_step(statement.get()) != SQLITE_ROW)
    {
        return false;
    }
    ranked->place = sqlite3_column_int64(statement.get(), 0) + 1;
    ranked->total = sqlite3_column_int64(statement.get(), 1);
    return true;
}

void CloseSqliteStore(ScoreStore* store)
{
    sqlite3_close_v2(store->sqlite);
    store->sqlite = nullptr;
}

bool CountEarlierEqual(sqlite3* db, const RankedResult& ranked, int64_t* count)
{
    Statement statement = PrepareStatement(
        db, "SELECT COUNT(*) FROM results WHERE mode = ?1 AND score = ?2 AND id < ?3");
    return statement && sqlite3_bind_int(statement.get(), 1, ranked.mode) == SQLITE_OK &&
           sqlite3_bind_int(statement.get(), 2, ranked.score) == SQLITE_OK &&
           sqlite3_bind_int64(statement.get(), 3, ranked.id) == SQLITE_OK &&
           ReadCount(statement.get(), count);
}

// The rows past a rowid, in rowid order. One writer commits at a time and each new row takes the
// next rowid, so they come in commit order.
bool ReadRowsPast(sqlite3* db, int64_t after, std::vector<FedResult>* rows)
{
    Statement statement =
        PrepareStatement(db, "SELECT id, mode, score, name FROM results WHERE id > ?1 ORDER BY id");
    if (!statement || sqlite3_bind_int64(statement.get(), 1, after) != SQLITE_OK)
    {
        return false;
    }
    int status;
    while ((status = sqlite3_step(statement.get())) == SQLITE_ROW)
    {
        rows->push_back({sqlite3_column_int64(statement.get(), 0),
                         static_cast<uint8_t>(sqlite3_column_int(statement.get(), 1)),
                         sqlite3_column_int(statement.get(), 2), ReadText(statement.get(), 3)});
    }
    return status == SQLITE_DONE;
}

// The last rowid the counts took in; false when they are not current.
bool ReadLastRowid(int64_t* rowid)
{
    std::lock_guard lock(scorePlaces.mutex);
    *rowid = scorePlaces.lastRowid;
    return scorePlaces.current;
}

// Keeps the database's reason and closes the connection, so that the next request opens it
// afresh (the file may have been replaced, the disk freed).
bool FailSqlite(ScoreStore* store)
{
    store->error = store->sqlite ? sqlite3_errmsg(store->sqlite) : "out of memory";
    // The system's own word says which disk trouble it was ("No space left on device").
    int system = store->sqlite ? sqlite3_system_errno(store->sqlite) : 0;
    store->error += system != 0 ? std::string(" (") + std::strerror(system) + ")" : "";
    ExecuteSql(store->sqlite, "ROLLBACK");
    sqlite3_close_v2(store->sqlite);
    store->sqlite = nullptr;
    return false;
}

// The worker's connection, opened when missing or when the file at the path is no longer the one
// it has open: writing on into a deleted file would lose every result.
bool OpenSqliteStore(ScoreStore* store)
{
    struct stat file
    {
    };
    if (stat(store->target.c_str(), &file) != 0)
    {
        store->error = store->target + ": " + std::strerror(errno);
        CloseSqliteStore(store);
        return false;
    }
    if (store->sqlite != nullptr && file.st_ino == store->sqliteInode)
    {
        return true;
    }
    CloseSqliteStore(store);
    // No CREATE: the file was prepared at start-up, and a vanished one is an error, not a reset.
    int status = sqlite3_open_v2(store->target.c_str(), &store->sqlite,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    store->sqliteInode = file.st_ino;
    if (status != SQLITE_OK)
    {
        return FailSqlite(store);
    }
    sqlite3_busy_timeout(store->sqlite, BUSY_TIMEOUT_MS);
    // A stored result survives a power cut once the page has said it is stored.
    return ExecuteSql(store->sqlite, "PRAGMA synchronous = FULL") || FailSqlite(store);
}

bool PrepareSqliteStore(const std::string& target, std::string* error)
{
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    std::error_code ignored;
    if (!folder.empty())
    {
        std::filesystem::create_directories(folder, ignored); // opening reports any failure
    }
    sqlite3* raw = nullptr;
    int status =
        sqlite3_open_v2(target.c_str(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)> db(raw, &sqlite3_close_v2);
    auto fail = [&](const std::string& reason)
    {
        *error = FormatText(Translate("cannot use %s: %s"), target.c_str(), reason.c_str());
        ExecuteSql(raw, "ROLLBACK");
        return false;
    };
    if (status != SQLITE_OK)
    {
        return fail(raw ? sqlite3_errmsg(raw) : "out of memory");
    }
    sqlite3_busy_timeout(raw, BUSY_TIMEOUT_MS);
    Statement mode = PrepareStatement(raw, "PRAGMA journal_mode = WAL");
    if (!mode || sqlite3_step(mode.get()) != SQLITE_ROW)
    {
        return fail(sqlite3_errmsg(raw));
    }
    if (ReadText(mode.get(), 0) != "wal")
    {
        return fail("the file system does not allow WAL mode");
    }
    mode.reset();
    int64_t found = 0;
    if (!ExecuteSql(raw, "BEGIN IMMEDIATE; CREATE TABLE IF NOT EXISTS schema_version"
                         " (version INTEGER NOT NULL)") ||
        !ReadCount(
            PrepareStatement(raw, "SELECT COALESCE(MAX(version), 0) FROM schema_version").get(),
            &found))
    {
        return fail(sqlite3_errmsg(raw));
    }
    if (found > SQLITE_SCHEMA_VERSION)
    {
        return fail(FormatText(Translate("made by a newer scoreboard (schema version %lld)"),
                               static_cast<long long>(found)));
    }
    for (int64_t step = found; step < SQLITE_SCHEMA_VERSION; ++step)
    {
        if (!ExecuteSql(raw, SCHEMA_STEPS[step].c_str()))
        {
            return fail(sqlite3_errmsg(raw));
        }
    }
    std::string version = "DELETE FROM schema_version; INSERT INTO schema_version VALUES (" +
                          std::to_string(SQLITE_SCHEMA_VERSION) + "); COMMIT";
    return ExecuteSql(raw, version.c_str()) || fail(sqlite3_errmsg(raw));
}

StoreOutcome StoreSqliteResult(ScoreStore* store, const std::string& name,
                               const VerifiedResult& result, const std::string& code, bool write,
                               RankedResult* ranked, ScoreBoard* board)
{
    if (!OpenSqliteStore(store))
    {
        return STORE_FAILED;
    }
    sqlite3* db = store->sqlite;
    StoredRow row{name, result.score, result.mode, result.number, code, std::time(nullptr)};
    std::unique_lock writing(sqliteWriter, std::defer_lock);
    if (write)
    {
        writing.lock();
    }
    // One transaction: the place and the board are read from the moment the result was stored.
    if (!ExecuteSql(db, write ? "BEGIN IMMEDIATE" : "BEGIN") || (write && !InsertRow(db, row)))
    {
        return FailSqlite(store), STORE_FAILED;
    }
    // The change count of this very statement tells a new code from one stored before.
    bool added = write && sqlite3_changes(db) == 1;
    bool found = added;
    *ranked = {sqlite3_last_insert_rowid(db), name, result.score, result.mode, 0, 0};
    if (!added && !FindStoredResult(db, code, ranked, &found))
    {
        return FailSqlite(store), STORE_FAILED;
    }
    if (!found)
    {
        ranked->id = UNSTORED_ID;
    }
    // With current counts the database gives only the equal scores stored before it and the rows
    // stored since the counts last took some in (this one too), taken in once committed.
    int64_t after = 0;
    bool counted = ReadLastRowid(&after);
    int64_t earlierEqual = 0;
    std::vector<FedResult> rows;
    if (counted ? !CountEarlierEqual(db, *ranked, &earlierEqual) || !ReadRowsPast(db, after, &rows)
                : !RankResult(db, ranked) || !ReadBoard(db, board))
    {
        return FailSqlite(store), STORE_FAILED;
    }
    if (!ExecuteSql(db, "COMMIT"))
    {
        return FailSqlite(store), STORE_FAILED;
    }
    TakeInRowsPast(rows);
    // Counts lost in between (the file was replaced): counted as of now instead.
    if (counted && !PlaceFromCounts(earlierEqual, found, ranked, board) &&
        !(ExecuteSql(db, "BEGIN") && RankResult(db, ranked) && ReadBoard(db, board) &&
          ExecuteSql(db, "COMMIT")))
    {
        return FailSqlite(store), STORE_FAILED;
    }
    ranked->total += !counted && !found ? 1 : 0;
    return added ? STORE_ADDED : found ? STORE_REPEATED : STORE_UNSTORED;
}

bool ReadSqliteBoard(ScoreStore* store, ScoreBoard* board)
{
    // One read transaction: both tables come from the same moment.
    return (OpenSqliteStore(store) && ExecuteSql(store->sqlite, "BEGIN") &&
            ReadBoard(store->sqlite, board) && ExecuteSql(store->sqlite, "COMMIT")) ||
           FailSqlite(store);
}

} // namespace

bool ReadSqliteRows(const std::string& path, std::vector<StoredRow>* rows, std::string* error)
{
    sqlite3* raw = nullptr;
    int status = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)> db(raw, &sqlite3_close_v2);
    Statement statement = PrepareStatement(
        raw, "SELECT name, score, mode, number, code, stored_at FROM results ORDER BY id");
    if (status != SQLITE_OK || !statement)
    {
        *error = FormatText(Translate("cannot read %s: %s"), path.c_str(),
                            raw ? sqlite3_errmsg(raw) : "out of memory");
        return false;
    }
    while ((status = sqlite3_step(statement.get())) == SQLITE_ROW)
    {
        sqlite3_stmt* s = statement.get();
        rows->push_back({ReadText(s, 0), sqlite3_column_int(s, 1), sqlite3_column_int(s, 2),
                         sqlite3_column_int(s, 3), ReadText(s, 4), sqlite3_column_int64(s, 5)});
    }
    if (status != SQLITE_DONE)
    {
        *error = FormatText(Translate("cannot read %s: %s"), path.c_str(), sqlite3_errmsg(raw));
    }
    return status == SQLITE_DONE;
}

namespace
{

bool ImportSqliteRows(ScoreStore* store, const std::vector<StoredRow>& rows, int64_t* added)
{
    if (!OpenSqliteStore(store) || !ExecuteSql(store->sqlite, "BEGIN IMMEDIATE"))
    {
        return FailSqlite(store);
    }
    *added = 0;
    for (const StoredRow& row : rows)
    {
        if (!InsertRow(store->sqlite, row))
        {
            return FailSqlite(store);
        }
        *added += sqlite3_changes(store->sqlite);
    }
    return ExecuteSql(store->sqlite, "COMMIT") || FailSqlite(store);
}

// The counts from one read transaction: grouped, the ten best and the last rowid.
bool LoadSqlitePlaces(sqlite3* db)
{
    static PlaceCounts loaded[2]; // kept between loads: only the feed's thread loads
    ClearPlaceCounts(loaded);
    Statement groups =
        PrepareStatement(db, "SELECT mode, score, COUNT(*) FROM results GROUP BY mode, score");
    ScoreBoard board;
    int64_t last = 0;
    if (!groups || !ExecuteSql(db, "BEGIN"))
    {
        return false;
    }
    int status;
    while ((status = sqlite3_step(groups.get())) == SQLITE_ROW)
    {
        AddScoreGroup(loaded, static_cast<uint8_t>(sqlite3_column_int(groups.get(), 0)),
                      sqlite3_column_int(groups.get(), 1), sqlite3_column_int64(groups.get(), 2));
    }
    groups.reset();
    bool read =
        status == SQLITE_DONE && ReadBoard(db, &board) &&
        ReadCount(PrepareStatement(db, "SELECT COALESCE(MAX(id), 0) FROM results").get(), &last);
    if (!ExecuteSql(db, "COMMIT") || !read)
    {
        return false;
    }
    InstallPlaceCounts(loaded, board, last);
    return true;
}

// The feed: loads the counts, then takes in the rows past the last rowid every few milliseconds
// (this process's workers take in their own at once); loads again when the file was replaced.
void FollowSqliteResults(const std::string& path, const std::atomic<bool>* stop)
{
    ScoreStore store;
    store.target = path;
    uint64_t loadedInode = 0;
    bool tried = false;
    for (; !*stop; std::this_thread::sleep_for(SQLITE_FEED_PERIOD))
    {
        std::vector<FedResult> rows;
        int64_t after = 0;
        bool open = OpenSqliteStore(&store);
        if (open && (store.sqliteInode != loadedInode || !ReadLastRowid(&after)))
        {
            LosePlaceCounts();
            loadedInode = LoadSqlitePlaces(store.sqlite) ? store.sqliteInode : 0;
        }
        else if (open && ExecuteSql(store.sqlite, "BEGIN") &&
                 ReadRowsPast(store.sqlite, after, &rows) && ExecuteSql(store.sqlite, "COMMIT"))
        {
            TakeInRowsPast(rows);
            if (!rows.empty())
            {
                scorePlaces.fed.notify_all();
            }
        }
        else if (open)
        {
            FailSqlite(&store);
        }
        if (!tried)
        {
            EndPlaceLoad();
            tried = true;
        }
    }
    CloseSqliteStore(&store);
}

} // namespace

const ScoreBackend SQLITE_BACKEND = {PrepareSqliteStore, CloseSqliteStore, StoreSqliteResult,
                                     ReadSqliteBoard,    ImportSqliteRows, FollowSqliteResults};
