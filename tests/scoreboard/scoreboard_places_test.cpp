// Places on the real databases, against a count of the test's own over the results it stored:
// one request at a time over three servers (one of them killed and started again, PostgreSQL
// restarted under them), 64 clients at once, and the board of one server showing what another
// stored.
#include <algorithm>
#include <atomic>
#include <mutex>
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

// A result the test stored, or sent to be stored.
struct Stored
{
    std::string code;
    VerifiedResult result;
};

Stored ReadStored(const std::string& path)
{
    Stored stored{path.substr(path.size() - VERIFICATION_CODE_LENGTH), {}};
    ReadVerificationCode(stored.code.c_str(), &stored.result);
    return stored;
}

// The place and total of stored[at], as ReadPlace gives them, counted over the results in the
// order stored: 1 + the results of its campaign with a higher score or the same score stored
// earlier, of how many.
int64_t CountPlace(const std::vector<Stored>& stored, size_t at)
{
    const VerifiedResult& placed = stored[at].result;
    int64_t better = 0, total = 0;
    for (size_t i = 0; i < stored.size(); ++i)
    {
        const VerifiedResult& other = stored[i].result;
        total += other.mode == placed.mode;
        better += other.mode == placed.mode &&
                  (other.score > placed.score || (other.score == placed.score && i < at));
    }
    return (1 + better) * 1000000 + total;
}

// Three servers on one fresh database that an earlier version made and filled (on PostgreSQL
// without the trigger that announces results, added when they start); the rows put in, in order.
std::vector<ServerProcess> StartThreeServers(const std::string& database,
                                             std::vector<Stored>* stored)
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
        int32_t score = i * 31 % 23 * 1000 + 500;
        rows += (i ? "," : "") + std::string("('Old', ") + std::to_string(score) + ", " +
                std::to_string(i % 2) + ", 0, 'old" + std::to_string(i) + "', 0)";
        stored->push_back({"old" + std::to_string(i), {score, uint8_t(i % 2), 0}});
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
    std::vector<Stored> stored;
    std::vector<ServerProcess> servers = StartThreeServers(database, &stored);
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
        Stored sent = ReadStored(path);
        size_t at = std::ranges::find(stored, sent.code, &Stored::code) - stored.begin();
        if (at == stored.size())
        {
            stored.push_back(sent);
        }
        EXPECT_EQ(ReadPlace(res.body), CountPlace(stored, at));
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
    EXPECT_EQ(std::ranges::count_if(servers, [](auto& server) { return StopServer(server) == 0; }),
              std::ssize(servers));
}

TEST_P(ScoreboardPlaces, SixtyFourClientsOnThreeServersEachPlaceLiesBetweenTheCountsAroundIt)
{
    std::string database = MakeStore(GetParam());
    SKIP_WITHOUT_STORE(database);
    // Stored before a request is sent: at least those answered by then; at most those sent
    // before its answer came.
    std::vector<Stored> answered;
    std::vector<ServerProcess> servers = StartThreeServers(database, &answered);
    std::vector<Stored> sent = answered;
    std::mutex mutex;
    // The place and total of `result` stored after every other one of `earlier`.
    auto placeAfter = [](std::vector<Stored> earlier, const Stored& result)
    {
        std::erase_if(earlier, [&](const Stored& other) { return other.code == result.code; });
        earlier.push_back(result);
        return CountPlace(earlier, earlier.size() - 1);
    };
    std::atomic<int> placed = 0;
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
                        Stored result = ReadStored(path);
                        std::unique_lock lock(mutex);
                        int64_t before = placeAfter(answered, result);
                        sent.push_back(result);
                        lock.unlock();
                        auto res = client.Get(path.c_str());
                        int64_t place = res ? ReadPlace(res->body) : -1;
                        lock.lock();
                        int64_t after = placeAfter(sent, result);
                        answered.push_back(result);
                        lock.unlock();
                        // Place and total each between the counts around the request.
                        EXPECT_TRUE(place / 1000000 >= before / 1000000 &&
                                    place / 1000000 <= after / 1000000 &&
                                    place % 1000000 >= before % 1000000 &&
                                    place % 1000000 <= after % 1000000)
                            << path << ": " << before << " " << place << " " << after;
                        placed += place > 0;
                    }
                });
        }
    }
    EXPECT_EQ(placed, 64 * 6);
    EXPECT_EQ(std::ranges::count_if(servers, [](auto& server) { return StopServer(server) == 0; }),
              std::ssize(servers));
}

INSTANTIATE_TEST_SUITE_P(Backends, ScoreboardPlaces, testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });
