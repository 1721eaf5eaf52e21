#include "scoreboard/score_store_backends.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <libpq-fe.h>
#include <memory>
#include <poll.h>
#include <thread>

#include "scoreboard/score_places.h"
#include "scoreboard/score_request_log.h"
#include "text/translation.h"

namespace
{

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// Servers starting together on a fresh database take turns creating its tables.
constexpr const char* SCHEMA_LOCK = "SELECT pg_advisory_xact_lock(8017)";

// Every stored result is announced here at its commit, whoever stored it (this program, --import,
// psql): "transaction id mode score name". A name only this program's checks did not pass is cut
// short to stay within a notification's 8000 bytes.
constexpr const char* RESULTS_CHANNEL = "vortanai_results";

// SCHEMA_STEPS[v] brings a database of version v to v + 1.
const std::string SCHEMA_STEPS[POSTGRES_SCHEMA_VERSION] = {
    FormatSql("CREATE TABLE IF NOT EXISTS results ("
              " id BIGSERIAL PRIMARY KEY,"
              " name TEXT NOT NULL,"
              " score INTEGER NOT NULL CHECK (score BETWEEN 0 AND %d),"
              " mode SMALLINT NOT NULL CHECK (mode IN (%d, %d)),"
              " number INTEGER NOT NULL,"
              " code TEXT NOT NULL UNIQUE,"
              " stored_at BIGINT NOT NULL);"
              "CREATE INDEX IF NOT EXISTS results_by_rank ON results (mode, score DESC, id);",
              VERIFIED_SCORE_MAX, MODE_FIXED, MODE_RANDOM),
    FormatSql("CREATE OR REPLACE FUNCTION announce_result() RETURNS trigger LANGUAGE plpgsql AS"
              " $$ BEGIN PERFORM pg_notify('%s', pg_current_xact_id()::text || ' ' || NEW.id"
              " || ' ' || NEW.mode || ' ' || NEW.score || ' ' || left(NEW.name, 1000));"
              " RETURN NULL; END $$;"
              "CREATE TRIGGER results_announced AFTER INSERT ON results FOR EACH ROW"
              " EXECUTE FUNCTION announce_result();",
              RESULTS_CHANNEL),
};

// The statements every connection prepares once.
struct PreparedStatement
{
    const char* name;
    std::string sql;
};

const PreparedStatement STATEMENTS[] = {
    {"insert", "INSERT INTO results (name, score, mode, number, code, stored_at)"
               " VALUES ($1, $2, $3, $4, $5, $6) ON CONFLICT (code) DO NOTHING RETURNING id"},
    {"find", "SELECT id, name FROM results WHERE code = $1"},
    // A code not stored yet is placed behind every stored result of the same score.
    {"rank", FormatSql("SELECT COUNT(*) FILTER (WHERE score > $2 OR (score = $2 AND id < COALESCE("
                       "(SELECT id FROM results WHERE code = $3), %lld))), COUNT(*)"
                       " FROM results WHERE mode = $1",
                       static_cast<long long>(UNSTORED_ID))},
    // The one part of a place the counts leave to the index: equal scores stored before it.
    {"ties", FormatSql("SELECT COUNT(*) FROM results WHERE mode = $1 AND score = $2 AND id < "
                       "COALESCE((SELECT id FROM results WHERE code = $3), %lld)",
                       static_cast<long long>(UNSTORED_ID))},
    // Comes back through the feed after every result committed before this one's commit.
    {"sync", "SELECT pg_notify($1, $2)"},
};

// Planned afresh at every read: a plan kept from when the table was small sorts every result of
// a campaign instead of reading the ten best off the index, slower with every result stored.
const std::string BOARD_SQL =
    FormatSql("(SELECT mode, id, name, score FROM results WHERE mode = %d"
              " ORDER BY score DESC, id LIMIT %d) UNION ALL"
              " (SELECT mode, id, name, score FROM results WHERE mode = %d"
              " ORDER BY score DESC, id LIMIT %d)",
              MODE_FIXED, BOARD_SIZE, MODE_RANDOM, BOARD_SIZE);

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
    for (const PreparedStatement& statement : STATEMENTS)
    {
        if (!prepare)
        {
            break;
        }
        Result prepared(
            PQprepare(store->postgres, statement.name, statement.sql.c_str(), 0, nullptr),
            &PQclear);
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
            if (found > POSTGRES_SCHEMA_VERSION)
            {
                store.error =
                    FormatText(Translate("made by a newer scoreboard (schema version %lld)"),
                               static_cast<long long>(found));
                Execute(db, "ROLLBACK");
                return false;
            }
            for (int64_t step = found; step < POSTGRES_SCHEMA_VERSION && Succeeded(result); ++step)
            {
                result = Execute(db, SCHEMA_STEPS[step].c_str());
            }
            std::string version = "DELETE FROM schema_version; INSERT INTO schema_version"
                                  " VALUES (" +
                                  std::to_string(POSTGRES_SCHEMA_VERSION) + "); COMMIT";
            if (Succeeded(result))
            {
                result = Execute(db, version.c_str());
            }
            return Succeeded(result) || FailPostgres(&store, result);
        },
        false);
    if (!prepared)
    {
        *error =
            FormatText(Translate("cannot use the PostgreSQL database: %s"), store.error.c_str());
    }
    ClosePostgresStore(&store);
    return prepared;
}

// The place and the board counted in the database, as of now: the way when the counts are not
// current, slow on a large table but exact.
bool CountPostgresPlace(ScoreStore* store, PGconn* db, const std::string& code,
                        RankedResult* ranked, ScoreBoard* board)
{
    Result rank = ExecutePrepared(
        db, "rank", {std::to_string(ranked->mode), std::to_string(ranked->score), code});
    Result rows = Succeeded(rank) ? Execute(db, BOARD_SQL.c_str()) : Result(nullptr, &PQclear);
    if (!Succeeded(rank) || !Succeeded(rows))
    {
        return FailPostgres(store, Succeeded(rank) ? rows : rank);
    }
    ranked->place = ReadInteger(rank, 0, 0) + 1;
    ranked->total = ReadInteger(rank, 0, 1);
    ReadBoardAnswer(rows, board);
    return true;
}

// One store of a result: what it works on and what it gives back.
struct PipelineWork
{
    const std::string& name;
    const VerifiedResult& result;
    const std::string& code;
    bool write;              // false: only looked at (HEAD)
    uint64_t sync = 0;       // a token to place it by the counts once back; 0: counted here
    uint64_t generation = 0; // of the counts the token was opened in
    RankedResult* ranked;
    ScoreBoard* board;
    StoreOutcome outcome = STORE_FAILED;
};

// The pipeline's answers in the order sent; `inserted` only when written.
struct PipelineAnswers
{
    Result inserted{nullptr, &PQclear};
    Result stored{nullptr, &PQclear};
    Result placed{nullptr, &PQclear}; // the place, or the equal scores before it
    Result last{nullptr, &PQclear};   // the board, or the sync
};

// Queues the statements and the sync that commits them; false when the connection failed.
bool SendStorePipeline(PGconn* db, const PipelineWork& work)
{
    std::string score = std::to_string(work.result.score);
    std::string mode = std::to_string(work.result.mode);
    if (PQenterPipelineMode(db) != 1)
    {
        return false;
    }
    if (work.write && !SendPrepared(db, "insert",
                                    {work.name, score, mode, std::to_string(work.result.number),
                                     work.code, std::to_string(std::time(nullptr))}))
    {
        return false;
    }
    if (!SendPrepared(db, "find", {work.code}))
    {
        return false;
    }
    if (!SendPrepared(db, work.sync ? "ties" : "rank", {mode, score, work.code}))
    {
        return false;
    }
    if (work.sync ? !SendPrepared(db, "sync", {scorePlaces.syncChannel, std::to_string(work.sync)})
                  : PQsendQueryParams(db, BOARD_SQL.c_str(), 0, nullptr, nullptr, nullptr, nullptr,
                                      0) != 1)
    {
        return false;
    }
    return PQpipelineSync(db) == 1;
}

// Reads every answer up to the sync's and leaves pipeline mode; false when the connection failed.
bool ReadPipelineAnswers(PGconn* db, bool write, PipelineAnswers* answers)
{
    if (write)
    {
        answers->inserted = ReadAnswer(db);
    }
    answers->stored = ReadAnswer(db);
    answers->placed = ReadAnswer(db);
    answers->last = ReadAnswer(db);
    Result done = ReadAnswer(db);
    return PQresultStatus(done.get()) == PGRES_PIPELINE_SYNC && PQexitPipelineMode(db) == 1;
}

// The first statement that failed, which rolled back the whole transaction at the sync; null
// when none did.
const Result* FindFailedAnswer(const PipelineAnswers& answers, bool write)
{
    for (const Result* answer :
         {&answers.inserted, &answers.stored, &answers.placed, &answers.last})
    {
        if ((write || answer != &answers.inserted) && !Succeeded(*answer))
        {
            return answer;
        }
    }
    return nullptr;
}

// Lost in the middle of a pipeline: the connection cannot be trusted to be anywhere.
bool LosePipeline(ScoreStore* store, PGconn* db)
{
    store->error = ReadReason(PQerrorMessage(db));
    ClosePostgresStore(store);
    return false;
}

// The result as stored (ours or the one stored before with the same code) and the outcome.
void ReadStoreOutcome(const PipelineAnswers& answers, bool found, PipelineWork* work)
{
    *work->ranked = {found ? ReadInteger(answers.stored, 0, 0) : 0,
                     found ? PQgetvalue(answers.stored.get(), 0, 1) : work->name,
                     work->result.score,
                     work->result.mode,
                     0,
                     0};
    bool added = work->write && PQntuples(answers.inserted.get()) == 1;
    work->outcome = added ? STORE_ADDED : found ? STORE_REPEATED : STORE_UNSTORED;
}

// The place and the board as the database counted them in the same transaction.
void ReadCountedAnswers(const PipelineAnswers& answers, bool found, PipelineWork* work)
{
    work->ranked->place = ReadInteger(answers.placed, 0, 0) + 1;
    work->ranked->total = ReadInteger(answers.placed, 0, 1) + (found ? 0 : 1);
    ReadBoardAnswer(answers.last, work->board);
}

// One round trip: the statements go out together and run as one transaction, committed at the
// sync. The result is called stored only once that is answered. Each statement sees what
// committed before it began, and the insert waits for a clashing one to end: the result found is
// ours or the one stored before. With a sync token the counts place it once the token is back;
// without, the database counts it in the same transaction.
bool RunStorePipeline(ScoreStore* store, PGconn* db, PipelineWork* work)
{
    PipelineAnswers answers;
    if (!SendStorePipeline(db, *work))
    {
        return LosePipeline(store, db);
    }
    if (!ReadPipelineAnswers(db, work->write, &answers))
    {
        return LosePipeline(store, db);
    }
    if (const Result* failed = FindFailedAnswer(answers, work->write))
    {
        return FailPostgres(store, *failed);
    }
    bool found = PQntuples(answers.stored.get()) == 1;
    ReadStoreOutcome(answers, found, work);
    if (!work->sync)
    {
        ReadCountedAnswers(answers, found, work);
        return true;
    }
    // Committed: the outcome stands, and the place is counted in the database if the counts
    // cannot give it.
    if (AwaitSync(work->sync, work->generation) &&
        PlaceFromCounts(ReadInteger(answers.placed, 0, 0), found, work->ranked, work->board))
    {
        return true;
    }
    return CountPostgresPlace(store, db, work->code, work->ranked, work->board);
}

StoreOutcome StorePostgresResult(ScoreStore* store, const std::string& name,
                                 const VerifiedResult& result, const std::string& code, bool write,
                                 RankedResult* ranked, ScoreBoard* board)
{
    // Once more without a sync when that failed before the commit: a read-only database cannot
    // send one, yet a result stored before can still be shown.
    for (bool counted : {true, false})
    {
        PipelineWork work{.name = name,
                          .result = result,
                          .code = code,
                          .write = write,
                          .ranked = ranked,
                          .board = board};
        work.sync = counted ? OpenSync(&work.generation) : 0;
        if (counted && work.sync == 0)
        {
            continue;
        }
        bool ran = RunWithReconnect(
            store, [&](PGconn* db)
            { return work.outcome == STORE_FAILED && RunStorePipeline(store, db, &work); });
        DropSync(work.sync);
        if (ran || work.outcome != STORE_FAILED)
        {
            // Committed but unplaced: failed, and the next try repeats it.
            return ran ? work.outcome : STORE_FAILED;
        }
    }
    return STORE_FAILED;
}

bool ReadPostgresBoard(ScoreStore* store, ScoreBoard* board)
{
    return RunWithReconnect(store,
                            [&](PGconn* db)
                            {
                                // One statement: both tables come from the same moment.
                                Result rows = Execute(db, BOARD_SQL.c_str());
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

// A snapshot as pg_current_snapshot() writes it: "xmin:xmax:xip,xip,...".
struct Snapshot
{
    uint64_t xmin = 0;
    uint64_t xmax = 0;
    std::vector<uint64_t> running;
};

Snapshot ReadSnapshot(const char* text)
{
    Snapshot snapshot;
    char* end = nullptr;
    snapshot.xmin = std::strtoull(text, &end, 10);
    snapshot.xmax = *end == ':' ? std::strtoull(end + 1, &end, 10) : 0;
    while ((*end == ':' || *end == ',') && end[1] != '\0')
    {
        snapshot.running.push_back(std::strtoull(end + 1, &end, 10));
    }
    return snapshot;
}

// Whether the transaction had committed when the snapshot was taken.
bool IsInSnapshot(const Snapshot& snapshot, uint64_t xid)
{
    return xid < snapshot.xmin ||
           (xid < snapshot.xmax &&
            std::ranges::find(snapshot.running, xid) == snapshot.running.end());
}

// Listens first and then reads the counts in one snapshot: a result committed before the LISTEN
// is counted, one after it announced, and one in between both, which the snapshot tells apart.
bool LoadPostgresPlaces(PGconn* db, Snapshot* snapshot)
{
    // Committed on its own: a LISTEN in the load's transaction would only start at its end.
    std::string listen =
        std::string("LISTEN ") + RESULTS_CHANNEL + "; LISTEN " + scorePlaces.syncChannel;
    Result result = Execute(db, listen.c_str());
    if (Succeeded(result))
    {
        result = Execute(db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    }
    if (Succeeded(result))
    {
        result = Execute(db, "SELECT pg_current_snapshot()");
    }
    if (!Succeeded(result))
    {
        return false;
    }
    *snapshot = ReadSnapshot(PQgetvalue(result.get(), 0, 0));
    // Streamed: a million results make hundreds of thousands of groups, too many to hold as text.
    result = Execute(db, "COPY (SELECT mode, score, COUNT(*) FROM results GROUP BY mode, score)"
                         " TO STDOUT");
    if (PQresultStatus(result.get()) != PGRES_COPY_OUT)
    {
        return false;
    }
    static PlaceCounts loaded[2]; // kept between loads: only the feed's thread loads
    ClearPlaceCounts(loaded);
    char* line = nullptr;
    int length;
    while ((length = PQgetCopyData(db, &line, 0)) > 0)
    {
        char* end = nullptr;
        long mode = std::strtol(line, &end, 10);
        long score = std::strtol(end, &end, 10);
        AddScoreGroup(loaded, static_cast<uint8_t>(mode), static_cast<int32_t>(score),
                      std::strtoll(end, nullptr, 10));
        PQfreemem(line);
    }
    result = Result(PQgetResult(db), &PQclear);
    while (PGresult* more = PQgetResult(db))
    {
        PQclear(more);
    }
    ScoreBoard board;
    Result rows = length == -1 && Succeeded(result) ? Execute(db, BOARD_SQL.c_str())
                                                    : Result(nullptr, &PQclear);
    if (!Succeeded(rows) || !Succeeded(Execute(db, "COMMIT")))
    {
        return false;
    }
    ReadBoardAnswer(rows, &board);
    InstallPlaceCounts(loaded, board, 0);
    return true;
}

// One notification: a stored result ("xid id mode score name") or a sync of ours coming back.
void TakeInNotification(const PGnotify& notice, const Snapshot& snapshot)
{
    char* end = notice.extra;
    if (std::string_view(notice.relname) != RESULTS_CHANNEL)
    {
        TakeInSync(std::strtoull(end, nullptr, 10));
        return;
    }
    uint64_t xid = std::strtoull(end, &end, 10);
    FedResult fed;
    fed.id = std::strtoll(end, &end, 10);
    fed.mode = static_cast<uint8_t>(std::strtol(end, &end, 10));
    fed.score = static_cast<int32_t>(std::strtol(end, &end, 10));
    fed.name = *end == ' ' ? end + 1 : end;
    if (!IsInSnapshot(snapshot, xid))
    {
        TakeInResult(fed);
    }
}

// The feed: a connection of its own that loads the counts and then takes in every notification
// until told to stop. Lost, it marks the counts out of date and loads them afresh once it is back.
void FollowPostgresResults(const std::string& uri, const std::atomic<bool>* stop)
{
    while (!*stop)
    {
        PGconn* db = PQconnectdb(uri.c_str());
        Snapshot snapshot;
        bool following = PQstatus(db) == CONNECTION_OK && LoadPostgresPlaces(db, &snapshot);
        EndPlaceLoad();
        while (following && !*stop)
        {
            pollfd socket{PQsocket(db), POLLIN, 0};
            poll(&socket, 1, 100);
            following = PQconsumeInput(db) == 1;
            bool fed = false;
            {
                std::lock_guard lock(scorePlaces.mutex);
                while (PGnotify* notice = PQnotifies(db))
                {
                    TakeInNotification(*notice, snapshot);
                    PQfreemem(notice);
                    fed = true;
                }
            }
            if (fed)
            {
                scorePlaces.fed.notify_all();
            }
        }
        LosePlaceCounts();
        PQfinish(db);
        for (int wait = 0; wait < 5 && !*stop; ++wait)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

} // namespace

const ScoreBackend POSTGRES_BACKEND = {PreparePostgresStore, ClosePostgresStore,
                                       StorePostgresResult,  ReadPostgresBoard,
                                       ImportPostgresRows,   FollowPostgresResults};
