// The score page under load, as real programs: three servers on one PostgreSQL database, the same
// code sent to all of them at once, a server killed mid-load, a thousand clients sending a byte a
// second, and storage that fails. The times taken are printed.
#include <atomic>
#include <chrono>
#include <functional>
#include <latch>
#include <map>
#include <mutex>
#include <sys/resource.h>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

using Clock = std::chrono::steady_clock;

// Sends path(0) .. path(count - 1) from `clients` kept-alive connections, spread over the servers
// and released together; a client stops at its first request without an answer. Each answer's
// outcome ("added", "repeated", ...) by request, "" for none.
std::vector<std::string> Submit(const std::vector<int>& ports, int clients, int count,
                                const std::function<std::string(int)>& path,
                                std::atomic<int>* answered = nullptr)
{
    std::vector<std::string> outcomes(count);
    std::latch start(clients + 1);
    std::vector<std::thread> senders;
    for (int c = 0; c < clients; ++c)
    {
        senders.emplace_back(
            [&, c]
            {
                httplib::Client client("127.0.0.1", ports[c % ports.size()]);
                client.set_read_timeout(60);
                client.set_keep_alive(true);
                start.arrive_and_wait();
                for (int i = c; i < count; i += clients)
                {
                    auto res = client.Get(path(i).c_str());
                    if (!res)
                    {
                        return;
                    }
                    outcomes[i] = res->get_header_value("X-Vortanai-Result");
                    answered && ++*answered;
                }
            });
    }
    auto began = Clock::now();
    start.arrive_and_wait();
    for (std::thread& sender : senders)
    {
        sender.join();
    }
    std::map<std::string, int> tally;
    for (const std::string& outcome : outcomes)
    {
        ++tally[outcome];
    }
    std::printf("%d requests from %d clients to %zu servers: %.0f ms, %s\n", count, clients,
                ports.size(),
                std::chrono::duration<double, std::milli>(Clock::now() - began).count(),
                testing::PrintToString(tally).c_str());
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

} // namespace

TEST(ScoreboardLoad, ThreeServersOnOneDatabaseStoreEverySubmissionOnce)
{
    std::string uri = MakePostgresDatabase();
    SKIP_WITHOUT_STORE(uri);
    std::vector<ServerProcess> servers;
    std::vector<int> ports;
    for (int i = 0; i < 3; ++i)
    {
        servers.push_back(
            StartServer("--port 0 --db " + uri, "three" + std::to_string(i) + ".log"));
        ports.push_back(servers.back().port);
    }
    EXPECT_EQ(Count(Submit(ports, 64, 1000, Distinct), "added"), 1000);
    EXPECT_EQ(QueryStore(uri,
                         "SELECT COUNT(DISTINCT number) FROM results WHERE name = 'P' || number"
                         " AND score = 1000 + number * 37 AND mode = number % 2"),
              1000);
    std::string same = ResultPath("Kopija", MakeCode(777777, MODE_FIXED, 77));
    std::vector<std::string> copies = Submit(ports, 48, 48, [&](int) { return same; });
    EXPECT_TRUE(Count(copies, "added") == 1 && Count(copies, "repeated") == 47);
    EXPECT_EQ(QueryStore(uri, "SELECT COUNT(*) FROM results WHERE score = 777777"), 1);
    for (const ServerProcess& server : servers)
    {
        EXPECT_EQ(StopServer(server), 0) << ReadTestFile(server.log);
    }
}

TEST(ScoreboardLoad, AServerKilledMidLoadLosesNothingItCalledStored)
{
    for (const char* kind : {"sqlite", "postgresql"})
    {
        std::string target = MakeStore(kind);
        if (target.empty())
        {
            continue;
        }
        ServerProcess server = StartServer("--port 0 --db " + target, "killed.log");
        std::atomic<int> answered = 0;
        std::atomic<bool> done = false;
        std::thread killer(
            [&]
            {
                while (answered < 300 && !done)
                {
                    std::this_thread::yield();
                }
                kill(server.pid, SIGKILL);
            });
        std::vector<std::string> outcomes = Submit({server.port}, 16, 5000, Distinct, &answered);
        done = true;
        killer.join();
        EXPECT_EQ(StopServer(server), -1);
        std::string stored = "SELECT COUNT(*) FROM results WHERE number IN (-1";
        for (int i = 0; i < 5000; ++i)
        {
            stored += outcomes[i] == "added" ? "," + std::to_string(i) : "";
        }
        EXPECT_LT(Count(outcomes, "added"), 5000) << kind; // the kill came mid-load
        EXPECT_EQ(QueryStore(target, stored + ")"), Count(outcomes, "added")) << kind;
    }
}

TEST(ScoreboardLoad, AThousandClientsSendingAByteASecondDoNotDelayOthers)
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    std::filesystem::remove_all("slow");
    ServerProcess server = StartServer("--port 0 --db slow/scores.sqlite", "slow.log");
    sockaddr_in address{
        AF_INET, htons(static_cast<uint16_t>(server.port)), {htonl(INADDR_LOOPBACK)}, {}};
    std::vector<int> slow(1000);
    for (int& fd : slow)
    {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    // Each sends the next byte of its request once a second, one after the other, for four
    // seconds; meanwhile another client asks for the board four times a second.
    const std::string request = "GET / HTTP/1.1\r\nHost: slow\r\n";
    auto began = Clock::now();
    std::vector<int64_t> times;
    for (int tick = 0; tick < 400; ++tick)
    {
        for (int i = tick % 100 * 10; i < tick % 100 * 10 + 10; ++i)
        {
            EXPECT_EQ(send(slow[i], &request[tick / 100], 1, MSG_NOSIGNAL), 1);
        }
        if (tick % 25 == 0)
        {
            auto asked = Clock::now();
            EXPECT_EQ(Fetch(server.port, "/").status, 200);
            auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
            times.push_back(took.count());
        }
        std::this_thread::sleep_until(began + std::chrono::milliseconds(10 * (tick + 1)));
    }
    // Typically a few milliseconds; the bound on the slowest leaves room for a machine shared
    // with builds.
    std::sort(times.begin(), times.end());
    std::printf("GET / beside 1000 slow clients: median %lld ms, slowest %lld ms\n",
                static_cast<long long>(times[times.size() / 2]),
                static_cast<long long>(times.back()));
    EXPECT_LT(times[times.size() / 2], 100);
    EXPECT_LT(times.back(), 1000);
    for (int fd : slow)
    {
        close(fd);
    }
    EXPECT_EQ(StopServer(server), 0);
}

TEST(ScoreboardLoad, AFullDiskAndALostDatabaseAnswer503WithTheReasonLogged)
{
    std::filesystem::remove_all("full");
    // The file size limit stands in for a full disk: writes past it fail as on one.
    ServerProcess full =
        StartServer("--port 0 --db full/scores.sqlite", "full.log", "ulimit -f 400");
    std::vector<std::string> outcomes;
    for (int i = 0; i < 3000 && (outcomes.empty() || outcomes.back() == "added"); ++i)
    {
        outcomes.push_back(Fetch(full.port, Distinct(i)).get_header_value("X-Vortanai-Result"));
    }
    EXPECT_EQ(outcomes.back(), "failed");
    EXPECT_EQ(Fetch(full.port, Distinct(0)).status, 200); // stored before: read, not written
    EXPECT_EQ(StopServer(full), 0);
    EXPECT_NE(ReadTestFile(full.log).find(" 503 failed: disk I/O error"), std::string::npos)
        << ReadTestFile(full.log);
    EXPECT_EQ(QueryStore("full/scores.sqlite", "SELECT COUNT(*) FROM results"),
              Count(outcomes, "added"));

    std::string uri = MakePostgresDatabase();
    SKIP_WITHOUT_STORE(uri);
    ServerProcess lost = StartServer("--port 0 --db " + uri, "lost.log");
    EXPECT_EQ(Fetch(lost.port, Distinct(1)).status, 200);
    ASSERT_TRUE(ControlPostgres("stop"));
    EXPECT_EQ(Fetch(lost.port, Distinct(2)).status, 503);
    EXPECT_EQ(Fetch(lost.port, "/").status, 503);
    ASSERT_TRUE(ControlPostgres("start"));
    EXPECT_EQ(Fetch(lost.port, Distinct(2)).get_header_value("X-Vortanai-Result"), "added");
    EXPECT_EQ(StopServer(lost), 0);
    std::string log = ReadTestFile(lost.log);
    EXPECT_NE(log.find(" 503 failed: connection to server at \"127.0.0.1\""), std::string::npos)
        << log;
    EXPECT_NE(log.find(" GET / 503 unread: "), std::string::npos) << log;
}
