#include "scoreboard/score_store_backends.h"

#include <cstdlib>
#include <ctime>
#include <libpq-fe.h>
#include <memory>

namespace
{

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// Servers starting together on a fresh database take turns creating its tables.
constexpr const char* SCHEMA_LOCK = "SELECT pg_advisory_xact_lock(8017)";

// SCHEMA_STEPS[v] brings a database of version v to v + 1.
const char* const SCHEMA_STEPS[SCHEMA_VERSION] = {
    "CREATE TABLE IF NOT EXISTS results ("
    " id BIGSERIAL PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " score INTEGER NOT NULL CHECK (score BETWEEN 0 AND 9999999),"
    " mode SMALLINT NOT NULL CHECK (mode IN (0, 1)),"
    " number INTEGER NOT NULL,"
    " code TEXT NOT NULL UNIQUE,"
    " stored_at BIGINT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS results_by_rank ON results (mode, score DESC, id);",
};

// The statements every connection prepares once: name, SQL.
const char* const STATEMENTS[][2] = {
    {"insert", "INSERT INTO results (name, score, mode, number, code, stored_at)"
               " VALUES ($1, $2, $3, $4, $5, $6) ON CONFLICT (code) DO NOTHING RETURNING id"},
    {"find", "SELECT id, name FROM results WHERE code = $1"},
    // A code not stored yet is placed behind every stored result of the same score.
    {"rank", "SELECT COUNT(*) FILTER (WHERE score > $2 OR (score = $2 AND id < COALESCE("
             "(SELECT id FROM results WHERE code = $3), 9223372036854775807))), COUNT(*)"
             " FROM results WHERE mode = $1"},
};

// Planned afresh at every read: a plan kept from when the table was small sorts every result of
// a campaign instead of reading the ten best off the index, slower with every result stored.
const char* const BOARD_SQL = "(SELECT mode, id, name, score FROM results WHERE mode = 0"
                              " ORDER BY score DESC, id LIMIT 10) UNION ALL"
                              " (SELECT mode, id, name, score FROM results WHERE mode = 1"
                              " ORDER BY score DESC, id LIMIT 10)";

void ClosePostgresStore(ScoreStore* store)
{
    PQfinish(store->postgres);
    store->postgres = nullptr;
}

// libpq's messages end with a newline the log line must not carry.
std::string ReadReason(const char* message)
{
    std::string reason = message;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' '))
    {
        reason.pop_back();
    }
    return reason.empty() ? "no answer from the database" : reason;
}

bool Succeeded(const Result& result)
{
    ExecStatusType status = PQresultStatus(result.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

Result Execute(PGconn* db, const char* sql)
{
    return Result(PQexec(db, sql), &PQclear);
}

// A prepared statement's parameters as libpq takes them: text, valid while `values` is.
struct StatementTexts
{
    const char* texts[8];
    int count;
};

StatementTexts ReadTexts(std::initializer_list<std::string> values)
{
    StatementTexts texts{{}, 0};
    for (const std::string& value : values)
    {
        texts.texts[texts.count++] = value.c_str();
    }
    return texts;
}

Result ExecutePrepared(PGconn* db, const char* name, std::initializer_list<std::string> values)
{
    StatementTexts texts = ReadTexts(values);
    return Result(PQexecPrepared(db, name, texts.count, texts.texts, nullptr, nullptr, 0),
                  &PQclear);
}

// In pipeline mode: queues the statement; its answer is read after the sync.
bool SendPrepared(PGconn* db, const char* name, std::initializer_list<std::string> values)
{
    StatementTexts texts = ReadTexts(values);
    return PQsendQueryPrepared(db, name, texts.count, texts.texts, nullptr, nullptr, 0) == 1;
}

// The next answer in a pipeline. A statement's answer is followed by a null result, a sync's
// is not.
Result ReadAnswer(PGconn* db)
{
    Result answer(PQgetResult(db), &PQclear);
    if (answer && PQresultStatus(answer.get()) != PGRES_PIPELINE_SYNC)
    {
        PQclear(PQgetResult(db));
    }
    return answer;
}

int64_t ReadInteger(const Result& result, int row, int column)
{
    return std::strtoll(PQgetvalue(result.get(), row, column), nullptr, 10);
}

// Keeps the reason of a failed statement; a connection that broke is dropped, so the next
// request connects again (the database may have restarted).
bool FailPostgres(ScoreStore* store, const Result& result)
{
    store->error =
        ReadReason(result ? PQresultErrorMessage(result.get()) : PQerrorMessage(store->postgres));
    if (PQstatus(store->postgres) != CONNECTION_OK)
    {
        store->error = ReadReason(PQerrorMessage(store->postgres));
        ClosePostgresStore(store);
    }
    else if (PQtransactionStatus(store->postgres) != PQTRANS_IDLE)
    {
        Execute(store->postgres, "ROLLBACK");
    }
    return false;
}

// `prepare`: the statements a worker runs, which need the schema to be there.
bool ConnectPostgres(ScoreStore* store, bool prepare)
{
    if (store->postgres != nullptr && PQstatus(store->postgres) == CONNECTION_OK)
    {
        return true;
    }
    ClosePostgresStore(store);
    store->postgres = PQconnectdb(store->target.c_str());
    if (PQstatus(store->postgres) != CONNECTION_OK)
    {
        store->error = ReadReason(PQerrorMessage(store->postgres));
        ClosePostgresStore(store);
        return false;
    }
    // Notices ("already exists, skipping") are no news for the log.
    PQsetNoticeProcessor(
        store->postgres, [](void*, const char*) {}, nullptr);
    for (const auto& [name, sql] : STATEMENTS)
    {
        if (!prepare)
        {
            break;
        }
        Result prepared(PQprepare(store->postgres, name, sql, 0, nullptr), &PQclear);
        if (!Succeeded(prepared))
        {
            return FailPostgres(store, prepared);
        }
    }
    return true;
}

// Runs `work` on the worker's connection; once more on a new connection when the old one turned
// out to be broken (the database restarted since the last request).
template <typename Work> bool RunWithReconnect(ScoreStore* store, Work work, bool prepare = true)
{
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        bool wasConnected = store->postgres != nullptr;
        if (!ConnectPostgres(store, prepare))
        {
            return false;
        }
        if (work(store->postgres))
        {
            return true;
        }
        if (!wasConnected || store->postgres != nullptr)
        {
            return false; // a fresh connection failed, or the statement itself did
        }
    }
    return false;
}

void ReadBoardAnswer(const Result& rows, ScoreBoard* board)
{
    board->fixedRows.clear();
    board->randomRows.clear();
    for (int i = 0; i < PQntuples(rows.get()); ++i)
    {
        (ReadInteger(rows, i, 0) == MODE_FIXED ? board->fixedRows : board->randomRows)
            .push_back({ReadInteger(rows, i, 1), PQgetvalue(rows.get(), i, 2),
                        static_cast<int32_t>(ReadInteger(rows, i, 3))});
    }
}

bool PreparePostgresStore(const std::string& uri, std::string* error)
{
    ScoreStore store;
    store.target = uri;
    int64_t found = 0;
    bool prepared = RunWithReconnect(
        &store,
        [&](PGconn* db)
        {
            Result result = Execute(db, "BEGIN");
            if (Succeeded(result))
            {
                result = Execute(db, SCHEMA_LOCK);
            }
            if (Succeeded(result))
            {
                result = Execute(db, "CREATE TABLE IF NOT EXISTS schema_version"
                                     " (version INTEGER NOT NULL)");
            }
            if (Succeeded(result))
            {
                result = Execute(db, "SELECT COALESCE(MAX(version), 0) FROM schema_version");
            }
            if (!Succeeded(result))
            {
                return FailPostgres(&store, result);
            }
            found = ReadInteger(result, 0, 0);
            if (found > SCHEMA_VERSION)
            {
                store.error =
                    "made by a newer scoreboard (schema version " + std::to_string(found) + ")";
                Execute(db, "ROLLBACK");
                return false;
            }
            for (int64_t step = found; step < SCHEMA_VERSION && Succeeded(result); ++step)
            {
                result = Execute(db, SCHEMA_STEPS[step]);
            }
            std::string version = "DELETE FROM schema_version; INSERT INTO schema_version"
                                  " VALUES (" +
                                  std::to_string(SCHEMA_VERSION) + "); COMMIT";
            if (Succeeded(result))
            {
                result = Execute(db, version.c_str());
            }
            return Succeeded(result) || FailPostgres(&store, result);
        },
        false);
    if (!prepared)
    {
        *error = "cannot use the PostgreSQL database: " + store.error;
    }
    ClosePostgresStore(&store);
    return prepared;
}

StoreOutcome StorePostgresResult(ScoreStore* store, const std::string& name,
                                 const VerifiedResult& result, const std::string& code, bool write,
                                 RankedResult* ranked, ScoreBoard* board)
{
    StoreOutcome outcome = STORE_FAILED;
    RunWithReconnect(
        store,
        [&](PGconn* db)
        {
            // One round trip: the statements go out together and run as one transaction,
            // committed at the sync. The result is called stored only once that is answered.
            // Each statement sees what committed before it began, and the insert waits for a
            // clashing one to end: the result found is ours or the one stored before.
            std::string score = std::to_string(result.score);
            std::string mode = std::to_string(result.mode);
            bool sent =
                PQenterPipelineMode(db) == 1 &&
                (!write || SendPrepared(db, "insert",
                                        {name, score, mode, std::to_string(result.number), code,
                                         std::to_string(std::time(nullptr))})) &&
                SendPrepared(db, "find", {code}) && SendPrepared(db, "rank", {mode, score, code}) &&
                PQsendQueryParams(db, BOARD_SQL, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1 &&
                PQpipelineSync(db) == 1;
            // Lost in the middle: the connection cannot be trusted to be anywhere.
            auto lose = [&]
            {
                store->error = ReadReason(PQerrorMessage(db));
                ClosePostgresStore(store);
                return false;
            };
            if (!sent)
            {
                return lose();
            }
            Result inserted = write ? ReadAnswer(db) : Result(nullptr, &PQclear);
            Result stored = ReadAnswer(db);
            Result rank = ReadAnswer(db);
            Result rows = ReadAnswer(db);
            Result sync = ReadAnswer(db);
            if (PQresultStatus(sync.get()) != PGRES_PIPELINE_SYNC || PQexitPipelineMode(db) != 1)
            {
                return lose();
            }
            for (const Result* answer : {&inserted, &stored, &rank, &rows})
            {
                if ((write || answer != &inserted) && !Succeeded(*answer))
                {
                    return FailPostgres(store, *answer); // rolled back at the sync
                }
            }
            bool found = PQntuples(stored.get()) == 1;
            *ranked = {found ? ReadInteger(stored, 0, 0) : 0,
                       found ? PQgetvalue(stored.get(), 0, 1) : name,
                       result.score,
                       result.mode,
                       ReadInteger(rank, 0, 0) + 1,
                       ReadInteger(rank, 0, 1) + (found ? 0 : 1)};
            ReadBoardAnswer(rows, board);
            bool added = write && PQntuples(inserted.get()) == 1;
            outcome = added ? STORE_ADDED : found ? STORE_REPEATED : STORE_UNSTORED;
            return true;
        });
    return outcome;
}

bool ReadPostgresBoard(ScoreStore* store, ScoreBoard* board)
{
    return RunWithReconnect(store,
                            [&](PGconn* db)
                            {
                                // One statement: both tables come from the same moment.
                                Result rows = Execute(db, BOARD_SQL);
                                if (!Succeeded(rows))
                                {
                                    return FailPostgres(store, rows);
                                }
                                ReadBoardAnswer(rows, board);
                                return true;
                            });
}

bool ImportPostgresRows(ScoreStore* store, const std::vector<StoredRow>& rows, int64_t* added)
{
    return RunWithReconnect(store,
                            [&](PGconn* db)
                            {
                                *added = 0;
                                Result result = Execute(db, "BEGIN");
                                for (size_t i = 0; i < rows.size() && Succeeded(result); ++i)
                                {
                                    const StoredRow& row = rows[i];
                                    result = ExecutePrepared(db, "insert",
                                                             {row.name, std::to_string(row.score),
                                                              std::to_string(row.mode),
                                                              std::to_string(row.number), row.code,
                                                              std::to_string(row.storedAt)});
                                    *added += Succeeded(result) ? PQntuples(result.get()) : 0;
                                }
                                if (Succeeded(result))
                                {
                                    result = Execute(db, "COMMIT");
                                }
                                return Succeeded(result) || FailPostgres(store, result);
                            });
}

} // namespace

const ScoreBackend POSTGRES_BACKEND = {PreparePostgresStore, ClosePostgresStore,
                                       StorePostgresResult, ReadPostgresBoard, ImportPostgresRows};
