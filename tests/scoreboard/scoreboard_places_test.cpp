// Places on the real databases, against a full count of the table: one request at a time over
// three servers (one of them killed and started again, PostgreSQL restarted under them), 64
// clients at once, and the board of one server showing what another stored.
#include <atomic>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

// Few scores, so that most results tie with others; both campaigns.
std::string Submission(int i)
{
    return ResultPath("R" + std::to_string(i),
                      MakeCode(i * 7919 % 23 * 1000 + 500, CampaignMode(i / 3 % 2), i % 10000));
}

// Place and total of a result page, as place * 1000000 + total; -1 when it shows none.
int64_t ReadPlace(const std::string& body)
{
    long long place = -1, total = -1;
    size_t at = body.find("place\">");
    return at != std::string::npos &&
                   std::sscanf(body.c_str() + at, "place\">%lld</b> i\xc5\xa1 %lld", &place,
                               &total) == 2
               ? place * 1000000 + total
               : -1;
}

// The same counted over the whole table: 1 + the results of its campaign with a higher score or
// the same score stored earlier. `after` false: before the result is stored, when every result
// there is older.
int64_t CountPlace(const std::string& database, const std::string& path, bool after = true)
{
    std::string code = path.substr(path.size() - VERIFICATION_CODE_LENGTH);
    VerifiedResult result{};
    ReadVerificationCode(code.c_str(), &result);
    std::string score = std::to_string(result.score);
    std::string earlier =
        after ? "(SELECT id FROM results WHERE code = '" + code + "')" : "9223372036854775807";
    return QueryStore(database, "SELECT (1 + COUNT(*) FILTER (WHERE score > " + score +
                                    " OR (score = " + score + " AND id < " + earlier +
                                    "))) * 1000000 + COUNT(*) + " + (after ? "0" : "1") +
                                    " FROM results WHERE mode = " + std::to_string(result.mode));
}

// Three servers on one fresh database that an earlier version made and filled (on PostgreSQL
// without the trigger that announces results, added when they start).
std::vector<ServerProcess> StartThreeServers(const std::string& database)
{
    EXPECT_EQ(StopServer(StartServer("--port 0 --db " + database, "made.log")), 0);
    if (IsPostgresTarget(database))
    {
        QueryStore(database,
                   "DROP TRIGGER results_announced ON results;"
                   " DROP FUNCTION announce_result(); UPDATE schema_version SET version = 1");
    }
    std::string rows;
    for (int i = 0; i < 300; ++i)
    {
        rows += (i ? "," : "") + std::string("('Old', ") +
                std::to_string(i * 31 % 23 * 1000 + 500) + ", " + std::to_string(i % 2) +
                ", 0, 'old" + std::to_string(i) + "', 0)";
    }
    QueryStore(database,
               "INSERT INTO results (name, score, mode, number, code, stored_at) VALUES " + rows);
    std::vector<ServerProcess> servers;
    for (int i = 0; i < 3; ++i)
    {
        servers.push_back(
            StartServer("--port 0 --db " + database, "three" + std::to_string(i) + ".log"));
        EXPECT_GT(servers.back().port, 0) << ReadTestFile(servers.back().log);
    }
    return servers;
}

class ScoreboardPlaces : public testing::TestWithParam<std::string>
{
};

} // namespace

TEST_P(ScoreboardPlaces, OneAtATimeOverThreeServersEachPlaceEqualsAFullCountAndBoardsFollow)
{
    std::string database = MakeStore(GetParam());
    SKIP_WITHOUT_STORE(database);
    std::vector<ServerProcess> servers = StartThreeServers(database);
    for (int i = 0; i < 240; ++i)
    {
        SCOPED_TRACE(i);
        if (i == 80)
        {
            // Killed and started again: it loads what it missed.
            EXPECT_EQ(StopServer(servers[1], SIGKILL), -1);
            servers[1] = StartServer("--port 0 --db " + database, "again.log");
        }
        if (i == 160 && IsPostgresTarget(database))
        {
            ASSERT_TRUE(ControlPostgres("restart")); // every feed is lost and comes back
        }
        // Every fifth sends an earlier code again: shown at its place, counted once.
        std::string path = Submission(i % 5 == 4 ? i / 2 : i);
        httplib::Response res = Fetch(servers[i % 3].port, path);
        EXPECT_EQ(res.status, 200);
        EXPECT_EQ(ReadPlace(res.body), CountPlace(database, path));
    }
    // The best result yet, stored on one server, shows on the others' boards.
    EXPECT_EQ(Fetch(servers[0].port, ResultPath("Naujas", MakeCode(99999, MODE_FIXED, 1))).status,
              200);
    for (int i : {1, 2})
    {
        auto asked = std::chrono::steady_clock::now();
        while (Fetch(servers[i].port, "/").body.find("Naujas") == std::string::npos &&
               std::chrono::steady_clock::now() - asked < std::chrono::seconds(2))
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_NE(Fetch(servers[i].port, "/").body.find("Naujas"), std::string::npos);
    }
    for (const ServerProcess& server : servers)
    {
        EXPECT_EQ(StopServer(server), 0);
    }
}

TEST_P(ScoreboardPlaces, SixtyFourClientsOnThreeServersEachPlaceLiesBetweenTheCountsAroundIt)
{
    std::string database = MakeStore(GetParam());
    SKIP_WITHOUT_STORE(database);
    std::vector<ServerProcess> servers = StartThreeServers(database);
    std::atomic<int> answered = 0;
    {
        std::vector<std::jthread> clients;
        for (int c = 0; c < 64; ++c)
        {
            clients.emplace_back(
                [&, c]
                {
                    httplib::Client client("127.0.0.1", servers[c % 3].port);
                    client.set_keep_alive(true);
                    for (int i = 1000 + c; i < 1000 + 64 * 6; i += 64)
                    {
                        std::string path = Submission(i);
                        int64_t before = CountPlace(database, path, false);
                        auto res = client.Get(path.c_str());
                        int64_t place = res ? ReadPlace(res->body) : -1;
                        int64_t after = CountPlace(database, path);
                        // Place and total each between the counts around the request.
                        EXPECT_TRUE(place / 1000000 >= before / 1000000 &&
                                    place / 1000000 <= after / 1000000 &&
                                    place % 1000000 >= before % 1000000 &&
                                    place % 1000000 <= after % 1000000)
                            << path << ": " << before << " " << place << " " << after;
                        answered += place > 0;
                    }
                });
        }
    }
    EXPECT_EQ(answered, 64 * 6);
    for (const ServerProcess& server : servers)
    {
        EXPECT_EQ(StopServer(server), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, ScoreboardPlaces, testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });
