#include "scoreboard/score_store.h"

#include <ctime>
#include <filesystem>

namespace
{

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// Writers queue behind each other for up to this long before a request gives up.
constexpr int BUSY_TIMEOUT_MS = 10000;
constexpr int SCHEMA_VERSION = 1;

const char* const SCHEMA_SQL = "CREATE TABLE IF NOT EXISTS results ("
                               " id INTEGER PRIMARY KEY,"
                               " name TEXT NOT NULL,"
                               " score INTEGER NOT NULL CHECK (score BETWEEN 0 AND 9999999),"
                               " mode INTEGER NOT NULL CHECK (mode IN (0, 1)),"
                               " number INTEGER NOT NULL,"
                               " code TEXT NOT NULL UNIQUE,"
                               " stored_at INTEGER NOT NULL);"
                               "CREATE INDEX IF NOT EXISTS results_by_rank"
                               " ON results (mode, score DESC, id);";

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

bool FindStoredResult(sqlite3* db, const std::string& code, RankedResult* ranked)
{
    Statement statement =
        PrepareStatement(db, "SELECT id, name, score, mode FROM results WHERE code = ?1");
    if (!statement ||
        sqlite3_bind_text(statement.get(), 1, code.data(), static_cast<int>(code.size()),
                          SQLITE_STATIC) != SQLITE_OK ||
        sqlite3_step(statement.get()) != SQLITE_ROW)
    {
        return false;
    }
    ranked->id = sqlite3_column_int64(statement.get(), 0);
    ranked->name = ReadText(statement.get(), 1);
    ranked->score = sqlite3_column_int(statement.get(), 2);
    ranked->mode = static_cast<uint8_t>(sqlite3_column_int(statement.get(), 3));
    return true;
}

bool RankResult(sqlite3* db, RankedResult* ranked)
{
    Statement better = PrepareStatement(db, "SELECT COUNT(*) FROM results WHERE mode = ?1 AND"
                                            " (score > ?2 OR (score = ?2 AND id < ?3))");
    Statement total = PrepareStatement(db, "SELECT COUNT(*) FROM results WHERE mode = ?1");
    if (!better || !total || sqlite3_bind_int(better.get(), 1, ranked->mode) != SQLITE_OK ||
        sqlite3_bind_int(better.get(), 2, ranked->score) != SQLITE_OK ||
        sqlite3_bind_int64(better.get(), 3, ranked->id) != SQLITE_OK ||
        sqlite3_bind_int(total.get(), 1, ranked->mode) != SQLITE_OK)
    {
        return false;
    }
    int64_t ahead = 0;
    if (!ReadCount(better.get(), &ahead) || !ReadCount(total.get(), &ranked->total))
    {
        return false;
    }
    ranked->place = ahead + 1;
    return true;
}

} // namespace

bool PrepareScoreDatabase(const std::string& path, std::string* error)
{
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    if (!folder.empty())
    {
        std::filesystem::create_directories(folder, ignored); // opening reports any failure
    }
    sqlite3* raw = nullptr;
    int status =
        sqlite3_open_v2(path.c_str(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    ScoreDatabase db(raw, &sqlite3_close_v2);
    if (status != SQLITE_OK)
    {
        *error = "cannot open " + path + ": " + (raw ? sqlite3_errmsg(raw) : "out of memory");
        return false;
    }
    sqlite3_busy_timeout(db.get(), BUSY_TIMEOUT_MS);
    Statement mode = PrepareStatement(db.get(), "PRAGMA journal_mode = WAL");
    if (!mode || sqlite3_step(mode.get()) != SQLITE_ROW)
    {
        *error = "cannot use " + path + ": " + sqlite3_errmsg(db.get());
        return false;
    }
    if (ReadText(mode.get(), 0) != "wal")
    {
        *error = "cannot use " + path + ": the file system does not allow WAL mode";
        return false;
    }
    mode.reset();
    Statement version = PrepareStatement(db.get(), "PRAGMA user_version");
    int64_t found = 0;
    if (!ReadCount(version.get(), &found) || found > SCHEMA_VERSION)
    {
        *error = "cannot use " + path + ": made by a newer scoreboard";
        return false;
    }
    version.reset();
    if (!ExecuteSql(db.get(), SCHEMA_SQL) || !ExecuteSql(db.get(), "PRAGMA user_version = 1"))
    {
        *error = "cannot use " + path + ": " + sqlite3_errmsg(db.get());
        return false;
    }
    return true;
}

ScoreDatabase OpenScoreDatabase(const std::string& path)
{
    sqlite3* raw = nullptr;
    // No CREATE: the file was prepared at start-up, and a vanished one is an error, not a reset.
    int status =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    ScoreDatabase db(raw, &sqlite3_close_v2);
    if (status != SQLITE_OK)
    {
        return ScoreDatabase(nullptr, &sqlite3_close_v2);
    }
    sqlite3_busy_timeout(db.get(), BUSY_TIMEOUT_MS);
    // A stored result survives a power cut once the page has said it is stored.
    ExecuteSql(db.get(), "PRAGMA synchronous = FULL");
    return db;
}

StoreOutcome StoreVerifiedResult(sqlite3* db, const std::string& name, const VerifiedResult& result,
                                 const std::string& code, RankedResult* ranked)
{
    // Only a clash on the code is ignored; any other failure fails the statement.
    Statement insert =
        PrepareStatement(db, "INSERT INTO results (name, score, mode, number, code, stored_at)"
                             " VALUES (?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT (code) DO NOTHING");
    if (!insert ||
        sqlite3_bind_text(insert.get(), 1, name.data(), static_cast<int>(name.size()),
                          SQLITE_STATIC) != SQLITE_OK ||
        sqlite3_bind_int(insert.get(), 2, result.score) != SQLITE_OK ||
        sqlite3_bind_int(insert.get(), 3, result.mode) != SQLITE_OK ||
        sqlite3_bind_int(insert.get(), 4, result.number) != SQLITE_OK ||
        sqlite3_bind_text(insert.get(), 5, code.data(), static_cast<int>(code.size()),
                          SQLITE_STATIC) != SQLITE_OK ||
        sqlite3_bind_int64(insert.get(), 6, static_cast<int64_t>(std::time(nullptr))) !=
            SQLITE_OK ||
        sqlite3_step(insert.get()) != SQLITE_DONE)
    {
        return STORE_FAILED;
    }
    // The change count of this very statement tells a new code from one stored before.
    bool added = sqlite3_changes(db) == 1;
    if (added)
    {
        ranked->id = sqlite3_last_insert_rowid(db);
        ranked->name = name;
        ranked->score = result.score;
        ranked->mode = result.mode;
    }
    else if (!FindStoredResult(db, code, ranked))
    {
        return STORE_FAILED;
    }
    if (!RankResult(db, ranked))
    {
        return STORE_FAILED;
    }
    return added ? STORE_ADDED : STORE_REPEATED;
}

bool ReadScoreBoard(sqlite3* db, ScoreBoard* board)
{
    // One read transaction: both tables come from the same moment.
    if (!ExecuteSql(db, "BEGIN"))
    {
        return false;
    }
    bool read = ReadBoardRows(db, MODE_FIXED, &board->fixedRows) &&
                ReadBoardRows(db, MODE_RANDOM, &board->randomRows);
    ExecuteSql(db, "COMMIT");
    return read;
}
