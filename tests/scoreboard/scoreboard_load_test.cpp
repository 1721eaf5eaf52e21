// The score page under load, as real programs: three servers on one PostgreSQL database, one of
// them killed mid-load, the same code sent to all of them at once, a thousand clients sending a
// byte a second, and storage that fails or crashes.
#include <atomic>
#include <chrono>
#include <functional>
#include <latch>
#include <poll.h>
#include <sys/resource.h>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

using Clock = std::chrono::steady_clock;

// Sends path(0) .. path(count - 1) from `clients` kept-alive connections spread over the servers,
// released together; a client stops at its first request without an answer. After `crashAfter`
// answers `crash` is called. Each request's outcome ("added", ...), "" for none.
std::vector<std::string> Submit(const std::vector<int>& ports, int clients, int count,
                                const std::function<std::string(int)>& path, int crashAfter = 0,
                                const std::function<void()>& crash = {})
{
    std::vector<std::string> outcomes(count);
    std::latch start(clients);
    std::atomic<int> answered = 0;
    std::vector<std::jthread> senders; // joined when Submit returns
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
                    ++answered == crashAfter ? crash() : void();
                }
            });
    }
    senders.clear();
    EXPECT_TRUE(crashAfter == 0 || std::ranges::count(outcomes, "added") < count)
        << "the crash came too late";
    return outcomes;
}

std::string Distinct(int i)
{
    return ResultPath("P" + std::to_string(i), MakeCode(1000 + i * 37, CampaignMode(i % 2), i));
}

// Whether every submission answered "added" is in the database (each has a number of its own).
void ExpectEveryAddedStored(const std::string& target, const std::vector<std::string>& outcomes)
{
    std::string query = "SELECT COUNT(*) FROM results WHERE number IN (-1";
    for (size_t i = 0; i < outcomes.size(); ++i)
    {
        query += outcomes[i] == "added" ? "," + std::to_string(i) : "";
    }
    EXPECT_EQ(QueryStore(target, query + ")"), std::ranges::count(outcomes, "added")) << target;
}

} // namespace

TEST(ScoreboardLoad, ThreeServersOnOneDatabaseStoreEverySubmissionOnceThoughOneIsKilled)
{
    std::string uri = MakePostgresDatabase();
    SKIP_WITHOUT_STORE(uri);
    const ServerProcess servers[] = {StartServer("--port 0 --db " + uri, "three0.log"),
                                     StartServer("--port 0 --db " + uri, "three1.log"),
                                     StartServer("--port 0 --db " + uri, "three2.log")};
    std::vector<int> ports = {servers[0].port, servers[1].port, servers[2].port};
    std::string same = ResultPath("Kopija", MakeCode(777777, MODE_FIXED, 7777));
    std::vector<std::string> copies = Submit(ports, 48, 48, [&](int) { return same; });
    EXPECT_TRUE(std::ranges::count(copies, "added") == 1 &&
                std::ranges::count(copies, "repeated") == 47);
    std::vector<std::string> outcomes =
        Submit(ports, 64, 1000, Distinct, 300, [&] { kill(servers[2].pid, SIGKILL); });
    ExpectEveryAddedStored(uri, outcomes);
    // All of it sent again to the two left: only what went unanswered may be added now.
    std::vector<std::string> again = Submit({ports[0], ports[1]}, 64, 1000, Distinct);
    EXPECT_EQ(std::ranges::count(again, "added") + std::ranges::count(again, "repeated"), 1000);
    EXPECT_LE(std::ranges::count(again, "added"),
              std::ranges::count(outcomes, "")); // some unanswered were committed
    EXPECT_EQ(QueryStore(uri, "SELECT COUNT(*) FROM results WHERE name = 'P' || number"
                              " AND score = 1000 + number * 37 AND mode = number % 2"),
              1000);
    EXPECT_EQ(QueryStore(uri, "SELECT COUNT(*) FROM results"), 1001);
    EXPECT_TRUE(StopServer(servers[0]) == 0 && StopServer(servers[1]) == 0);
    EXPECT_EQ(StopServer(servers[2]), -1); // killed
}

TEST(ScoreboardLoad, AThousandClientsSendingAByteASecondAndTwoHundredReadingOneAreCutOffInTime)
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    ServerProcess server = StartServer("--port 0 --db " + MakeStore("sqlite"), "slow.log");
    sockaddr_in address{AF_INET, htons(uint16_t(server.port)), {htonl(INADDR_LOOPBACK)}, {}};
    // The first thousand send their request a byte a second; the rest send four at once and take
    // the answers a byte a second through the smallest receive buffer, so that most of them wait
    // on the server's side.
    const std::string request = "GET / HTTP/1.1\r\nHost: slow\r\n";
    std::vector<pollfd> slow(1200);
    std::vector<Clock::time_point> opened(slow.size());
    for (size_t i = 0; i < slow.size(); ++i)
    {
        slow[i] = {socket(AF_INET, SOCK_STREAM, 0), POLLIN, 0};
        int smallest = 1;
        ASSERT_TRUE(i < 1000 ||
                    setsockopt(slow[i].fd, SOL_SOCKET, SO_RCVBUF, &smallest, sizeof smallest) == 0);
        ASSERT_EQ(connect(slow[i].fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        std::string four =
            request + "\r\n" + request + "\r\n" + request + "\r\n" + request + "\r\n";
        ASSERT_TRUE(i < 1000 ||
                    send(slow[i].fd, four.data(), four.size(), 0) == ssize_t(four.size()));
        opened[i] = Clock::now();
    }
    // Ten senders send their next byte every 10 ms, and two readers take theirs, until the server
    // cuts them off (EOF or reset); meanwhile another client asks for the board four times a
    // second. A reader that is not cut off would take an hour over its answer.
    double shortest[2] = {1e9, 1e9}, longest[2] = {0, 0};
    size_t open = slow.size();
    for (auto [tick, began] = std::pair(0, Clock::now()); open > 0 && tick < 1250; ++tick)
    {
        for (int i = tick % 100 * 10; i < tick % 100 * 10 + 10; ++i)
        {
            send(slow[i].fd, &request[tick / 100], 1, MSG_NOSIGNAL); // fails once cut off
        }
        poll(slow.data(), slow.size(), 0);
        for (size_t i = 0; i < slow.size(); ++i)
        {
            char byte;
            bool reader = i >= 1000;
            bool due = !reader || i % 100 == size_t(tick) % 100;
            // A reset shows at once, though the bytes that came before it can still be read.
            if ((slow[i].revents & (POLLERR | POLLHUP)) != 0 ||
                (slow[i].revents != 0 && due && recv(slow[i].fd, &byte, 1, MSG_DONTWAIT) <= 0))
            {
                double life = std::chrono::duration<double>(Clock::now() - opened[i]).count();
                shortest[reader] = std::min(shortest[reader], life);
                longest[reader] = std::max(longest[reader], life);
                close(slow[i].fd), slow[i].fd = -1, --open;
            }
        }
        // The board typically takes a few milliseconds (bench_scoreboard measures it); a client
        // starved by the slow ones would wait seconds.
        auto asked = Clock::now();
        EXPECT_TRUE(tick % 25 != 0 || (Fetch(server.port, "/").status == 200 &&
                                       Clock::now() - asked < std::chrono::seconds(1)))
            << tick;
        std::this_thread::sleep_until(began + std::chrono::milliseconds(10 * (tick + 1)));
    }
    EXPECT_TRUE(open == 0 && shortest[0] > 9 && longest[0] < 12 && shortest[1] > 9 &&
                longest[1] < 12)
        << open << " still open; cut off after " << shortest[0] << " to " << longest[0]
        << " s, readers after " << shortest[1] << " to " << longest[1] << " s";
    EXPECT_EQ(StopServer(server), 0);
}

TEST(ScoreboardLoad, KilledFullOrCutOffFromItsDatabaseItLosesNothingAndAnswers503WithTheReason)
{
    std::string target = MakeStore("sqlite");
    ServerProcess killed = StartServer("--port 0 --db " + target, "killed.log");
    ExpectEveryAddedStored(
        target, Submit({killed.port}, 16, 3000, Distinct, 300, [&] { kill(killed.pid, SIGKILL); }));
    EXPECT_EQ(StopServer(killed), -1);
    // The file size limit (a megabyte, in sh's blocks of 512 bytes) stands in for a full disk:
    // writes past it fail as on one. It leaves room for the counts a coverage build writes.
    target = MakeStore("sqlite");
    ServerProcess full = StartServer("--port 0 --db " + target, "full.log", "ulimit -f 2048");
    std::vector<std::string> outcomes;
    for (int i = 0; i < 3000 && (outcomes.empty() || outcomes.back() == "added"); ++i)
    {
        outcomes.push_back(Fetch(full.port, Distinct(i)).get_header_value("X-Vortanai-Result"));
    }
    EXPECT_EQ(outcomes.back(), "failed");
    EXPECT_EQ(Fetch(full.port, Distinct(0)).status, 200); // stored before: read, not written
    EXPECT_EQ(StopServer(full), 0);
    EXPECT_NE(ReadTestFile(full.log).find(" 503 failed: disk I/O error"), std::string::npos);
    EXPECT_EQ(QueryStore(target, "SELECT COUNT(*) FROM results"),
              std::ranges::count(outcomes, "added"));
    std::string uri = MakePostgresDatabase();
    SKIP_WITHOUT_STORE(uri);
    ServerProcess lost = StartServer("--port 0 --db " + uri, "lost.log");
    // Crashed mid-load, started again, restarted under a worker's open connection, and restarted
    // read-only (writes fail, reads work, as on a full disk): the outcome after each, and every
    // result answered "added" kept; a 503 is logged with the database's reason.
    std::vector<std::string> answered =
        Submit({lost.port}, 16, 500, Distinct, 250, [] { ControlPostgres("-m immediate stop"); });
    std::string readOnly = "ALTER DATABASE " + uri.substr(uri.rfind('/') + 1) +
                           " SET default_transaction_read_only = on";
    // Each step: SQL run first, pg_ctl's action, the status answered and the reason logged.
    for (auto [sql, action, status, reason] :
         std::initializer_list<std::tuple<const char*, const char*, int, const char*>>{
             {"", "", 503, "connection to server at \"127.0.0.1\""},
             {"", "start", 200, ""},
             {"", "restart", 200, ""},
             {readOnly.c_str(), "restart", 503, "ERROR:  cannot execute INSERT"}})
    {
        QueryStore(uri, sql);
        ASSERT_TRUE(!*action || ControlPostgres(action));
        EXPECT_EQ(Fetch(lost.port, Distinct(1000 + status)).status, status) << action;
        std::string log = ReadTestFile(lost.log);
        EXPECT_NE(log.find(std::string(" 503 failed: ") + reason), std::string::npos) << log;
    }
    ExpectEveryAddedStored(uri, answered);
    EXPECT_EQ(Fetch(lost.port, "/").status, 200);
    EXPECT_EQ(StopServer(lost), 0);
    EXPECT_EQ(QueryStore(uri, "SELECT COUNT(*) FROM results WHERE number = 1200"), 1);
}
