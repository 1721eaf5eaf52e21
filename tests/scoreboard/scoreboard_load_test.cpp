// The score page under load, as real programs: three servers on one PostgreSQL database, one of
// them killed mid-load, the same code sent to all of them at once, a thousand clients sending a
// byte a second, and storage that fails. The times taken are printed.
#include <atomic>
#include <chrono>
#include <functional>
#include <latch>
#include <sys/resource.h>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

using Clock = std::chrono::steady_clock;

// Sends path(0) .. path(count - 1) from `clients` kept-alive connections spread over the servers,
// released together; a client stops at its first request without an answer. After `killAfter`
// answers `victim` is killed with SIGKILL. Each request's outcome ("added", ...), "" for none.
std::vector<std::string> Submit(const std::vector<int>& ports, int clients, int count,
                                const std::function<std::string(int)>& path, int killAfter = 0,
                                pid_t victim = 0)
{
    std::vector<std::string> outcomes(count);
    std::latch start(clients + 1);
    std::atomic<int> answered = 0;
    std::vector<std::thread> senders;
    for (int c = 0; c < clients; ++c)
    {
        senders.emplace_back(
            [&, c]
            {
                httplib::Client client("127.0.0.1", ports[c % ports.size()]);
                client.set_keep_alive(true);
                start.arrive_and_wait();
                for (int i = c; i < count && (i < clients || !outcomes[i - clients].empty());
                     i += clients)
                {
                    auto res = client.Get(path(i).c_str());
                    outcomes[i] = res ? res->get_header_value("X-Vortanai-Result") : "";
                    if (++answered == killAfter)
                    {
                        kill(victim, SIGKILL);
                    }
                }
            });
    }
    auto began = Clock::now();
    start.arrive_and_wait();
    for (std::thread& sender : senders)
    {
        sender.join();
    }
    std::printf("%d requests from %d clients to %zu servers: %.0f ms\n", count, clients,
                ports.size(),
                std::chrono::duration<double, std::milli>(Clock::now() - began).count());
    return outcomes;
}

std::string Distinct(int i)
{
    return ResultPath("P" + std::to_string(i), MakeCode(1000 + i * 37, CampaignMode(i % 2), i));
}

int Count(const std::vector<std::string>& outcomes, const std::string& outcome)
{
    return static_cast<int>(std::count(outcomes.begin(), outcomes.end(), outcome));
}

// Whether every submission answered "added" is in the database (each has a number of its own).
void ExpectEveryAddedStored(const std::string& target, const std::vector<std::string>& outcomes)
{
    std::string query = "SELECT COUNT(*) FROM results WHERE number IN (-1";
    for (size_t i = 0; i < outcomes.size(); ++i)
    {
        query += outcomes[i] == "added" ? "," + std::to_string(i) : "";
    }
    EXPECT_EQ(QueryStore(target, query + ")"), Count(outcomes, "added")) << target;
    EXPECT_GT(Count(outcomes, ""), 0) << "the kill came too late";
}

} // namespace

TEST(ScoreboardLoad, ThreeServersOnOneDatabaseStoreEverySubmissionOnceThoughOneIsKilled)
{
    std::string uri = MakePostgresDatabase();
    SKIP_WITHOUT_STORE(uri);
    std::vector<ServerProcess> servers;
    for (int i = 0; i < 3; ++i)
    {
        servers.push_back(
            StartServer("--port 0 --db " + uri, "three" + std::to_string(i) + ".log"));
    }
    std::vector<int> ports = {servers[0].port, servers[1].port, servers[2].port};
    std::vector<std::string> outcomes = Submit(ports, 64, 1000, Distinct, 300, servers[2].pid);
    ExpectEveryAddedStored(uri, outcomes);
    // What went unanswered is sent again to the two left: each lands once, none twice.
    std::vector<int> unanswered;
    for (int i = 0; i < 1000; ++i)
    {
        outcomes[i].empty() ? unanswered.push_back(i) : void();
    }
    std::vector<std::string> again = Submit({ports[0], ports[1]}, 64, int(unanswered.size()),
                                            [&](int i) { return Distinct(unanswered[i]); });
    EXPECT_EQ(Count(outcomes, "added") + Count(again, "added") + Count(again, "repeated"), 1000);
    EXPECT_EQ(QueryStore(uri,
                         "SELECT COUNT(DISTINCT number) FROM results WHERE name = 'P' || number"
                         " AND score = 1000 + number * 37 AND mode = number % 2"),
              1000);
    EXPECT_EQ(StopServer(servers[2]), -1);
    servers[2] = StartServer("--port 0 --db " + uri, "three2.log");
    ports[2] = servers[2].port;
    std::string same = ResultPath("Kopija", MakeCode(777777, MODE_FIXED, 77));
    std::vector<std::string> copies = Submit(ports, 48, 48, [&](int) { return same; });
    EXPECT_TRUE(Count(copies, "added") == 1 && Count(copies, "repeated") == 47);
    EXPECT_EQ(QueryStore(uri, "SELECT COUNT(*) FROM results WHERE score = 777777"), 1);
    for (const ServerProcess& server : servers)
    {
        EXPECT_EQ(StopServer(server), 0) << ReadTestFile(server.log);
    }
}

TEST(ScoreboardLoad, AThousandClientsSendingAByteASecondDoNotDelayOthers)
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    std::string target = MakeStore("sqlite");
    ServerProcess server = StartServer("--port 0 --db " + target, "slow.log");
    sockaddr_in address{AF_INET, htons(uint16_t(server.port)), {htonl(INADDR_LOOPBACK)}, {}};
    std::vector<int> slow(1000);
    for (int& fd : slow)
    {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    // Each sends the next byte of its request once a second, one after the other, for four
    // seconds; meanwhile another client asks for the board four times a second.
    const std::string request = "GET / HTTP/1.1\r\nHost: slow\r\n";
    std::vector<int64_t> times;
    for (auto [tick, began] = std::pair(0, Clock::now()); tick < 400; ++tick)
    {
        for (int i = tick % 100 * 10; i < tick % 100 * 10 + 10; ++i)
        {
            EXPECT_EQ(send(slow[i], &request[tick / 100], 1, MSG_NOSIGNAL), 1);
        }
        auto asked = Clock::now();
        if (tick % 25 == 0 && Fetch(server.port, "/").status == 200)
        {
            times.push_back((Clock::now() - asked) / std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_until(began + std::chrono::milliseconds(10 * (tick + 1)));
    }
    // Typically a few milliseconds; the bound on the slowest leaves room for a machine shared
    // with builds.
    std::sort(times.begin(), times.end());
    std::printf("GET / beside 1000 slow clients: median %lld ms, slowest %lld ms\n",
                static_cast<long long>(times[8]), static_cast<long long>(times.back()));
    EXPECT_TRUE(times.size() == 16 && times[8] < 100 && times.back() < 1000);
    for (int fd : slow)
    {
        close(fd);
    }
    EXPECT_EQ(StopServer(server), 0);
}

TEST(ScoreboardLoad, KilledFullOrCutOffFromItsDatabaseItLosesNothingAndAnswers503WithTheReason)
{
    std::string target = MakeStore("sqlite");
    ServerProcess killed = StartServer("--port 0 --db " + target, "killed.log");
    ExpectEveryAddedStored(target, Submit({killed.port}, 16, 3000, Distinct, 300, killed.pid));
    EXPECT_EQ(StopServer(killed), -1);

    // The file size limit stands in for a full disk: writes past it fail as on one.
    target = MakeStore("sqlite");
    ServerProcess full = StartServer("--port 0 --db " + target, "full.log", "ulimit -f 400");
    std::vector<std::string> outcomes;
    for (int i = 0; i < 3000 && (outcomes.empty() || outcomes.back() == "added"); ++i)
    {
        outcomes.push_back(Fetch(full.port, Distinct(i)).get_header_value("X-Vortanai-Result"));
    }
    EXPECT_EQ(outcomes.back(), "failed");
    EXPECT_EQ(Fetch(full.port, Distinct(0)).status, 200); // stored before: read, not written
    EXPECT_EQ(StopServer(full), 0);
    EXPECT_NE(ReadTestFile(full.log).find(" 503 failed: disk I/O error"), std::string::npos);
    EXPECT_EQ(QueryStore(target, "SELECT COUNT(*) FROM results"), Count(outcomes, "added"));

    std::string uri = MakePostgresDatabase();
    SKIP_WITHOUT_STORE(uri);
    ServerProcess lost = StartServer("--port 0 --db " + uri, "lost.log");
    EXPECT_EQ(Fetch(lost.port, Distinct(1)).status, 200);
    ASSERT_TRUE(ControlPostgres("stop"));
    EXPECT_TRUE(Fetch(lost.port, Distinct(2)).status == 503 && Fetch(lost.port, "/").status == 503);
    ASSERT_TRUE(ControlPostgres("start"));
    EXPECT_EQ(Fetch(lost.port, Distinct(2)).get_header_value("X-Vortanai-Result"), "added");
    ASSERT_TRUE(ControlPostgres("restart")); // every worker's connection breaks unseen
    EXPECT_EQ(Fetch(lost.port, Distinct(3)).get_header_value("X-Vortanai-Result"), "added");
    EXPECT_EQ(StopServer(lost), 0);
    std::string log = ReadTestFile(lost.log);
    EXPECT_NE(log.find(" 503 failed: connection to server at \"127.0.0.1\""), std::string::npos)
        << log;
    EXPECT_NE(log.find(" GET / 503 unread: "), std::string::npos) << log;
}
