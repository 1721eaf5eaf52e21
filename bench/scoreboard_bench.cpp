// The score page under load: pages/s and p99 latency of / and stored results/s and p99 latency of
// /rezultatas, with 16 and 64 kept-alive clients, for SQLite and PostgreSQL, one server and three
// on one database, beside a plain static file served by Boost.Beast (the same library) as the
// ceiling. Those clients send each request as soon as the last is answered, so the latencies in
// the table are those of a saturated server. Then, for one server, the latency of results
// submitted at a steady 1000 a second by 16 clients, and of GET / from one client while a
// thousand others each send a byte of their request a second.
//
// With --sizes, for one server on PostgreSQL with 16 clients over a table preloaded with 10,000
// and then 1,000,000 results (by COPY, scores spread evenly over what the campaign gives): the
// time to the first answer and the memory used, stored results/s, the latency of results sent at
// a steady 1000 a second, pages/s of / beside the static file in the same run, and how long a
// result stored on a second server takes to show on the first one's /. Each server program
// named (the built one by default) is measured on tables of its own, side by side.
//
//   bench_scoreboard [SECONDS [SQLite|PostgreSQL]]   (run from the build directory: it starts
//       scoreboard/vortanai-scoreboard, and a PostgreSQL cluster of its own in /tmp; the second
//       argument measures that database only)
//   bench_scoreboard --sizes [SECONDS [PROGRAM...]]
#include <utility>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <fstream>
#include <libpq-fe.h>

#include "records/verification_code.h"
#include "rules/campaign_rules.h"
#include "scoreboard/score_page.h"

namespace
{

namespace asio = boost::asio;
namespace http = boost::beast::http;
using Clock = std::chrono::steady_clock;

const std::string PG_FOLDER = "/tmp/vortanai-bench-pg-" + std::to_string(getpid());
constexpr int PG_PORT_BASE = 25432;
std::atomic<int> submissionNumber = 0; // every submission of the run has a code of its own

struct Measure
{
    double perSecond;
    double p99Milliseconds;
};

// Answers every request with the same page, as a static file server does.
asio::awaitable<void> ServeStatic(asio::ip::tcp::socket socket, const std::string* page)
{
    boost::beast::flat_buffer buffer;
    boost::beast::error_code ec;
    socket.set_option(asio::ip::tcp::no_delay(true), ec);
    for (;;)
    {
        http::request<http::empty_body> req;
        co_await http::async_read(socket, buffer, req,
                                  asio::redirect_error(asio::use_awaitable, ec));
        if (ec)
        {
            co_return;
        }
        http::response<http::string_body> res(http::status::ok, req.version());
        res.set(http::field::content_type, "text/html; charset=utf-8");
        res.body() = *page;
        res.prepare_payload();
        co_await http::async_write(socket, res, asio::redirect_error(asio::use_awaitable, ec));
    }
}

// The static server in a child process with as many threads as the score page's workers.
pid_t StartStaticServer(int port)
{
    pid_t pid = fork();
    if (pid != 0)
    {
        return pid;
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    static const std::string page = RenderBoardPage(ScoreBoard{}, PAGE_LITHUANIAN);
    asio::io_context io;
    asio::ip::tcp::acceptor acceptor(io, {asio::ip::make_address("127.0.0.1"), uint16_t(port)});
    asio::co_spawn(
        io,
        [&]() -> asio::awaitable<void>
        {
            for (;;)
            {
                asio::ip::tcp::socket socket = co_await acceptor.async_accept(asio::use_awaitable);
                asio::co_spawn(acceptor.get_executor(), ServeStatic(std::move(socket), &page),
                               asio::detached);
            }
        },
        asio::detached);
    std::vector<std::thread> threads;
    for (int i = 0; i < 16; ++i)
    {
        threads.emplace_back([&] { io.run(); });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    _exit(0);
}

pid_t StartScoreboard(int port, const std::string& database,
                      const std::string& program = "scoreboard/vortanai-scoreboard")
{
    pid_t pid = fork();
    if (pid == 0)
    {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The request log goes to a file, as a service's goes to the journal.
        std::freopen("bench-scores/server.log", "a", stderr);
        execl(program.c_str(), "vortanai-scoreboard", "--port", std::to_string(port).c_str(),
              "--db", database.c_str(), "--bind", "127.0.0.1", nullptr);
        _exit(127);
    }
    return pid;
}

int Connect(int port)
{
    sockaddr_in address{AF_INET, htons(uint16_t(port)), {htonl(INADDR_LOOPBACK)}, {}};
    for (int attempt = 0; attempt < 500; ++attempt)
    {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        {
            return fd;
        }
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

// One request on a kept-alive connection, its whole answer; empty on any failure or a status
// other than 200.
std::string RequestBody(int fd, const std::string& target)
{
    std::string request = "GET " + target + " HTTP/1.1\r\nHost: bench\r\n\r\n";
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
    {
        return "";
    }
    std::string answer;
    char chunk[16384];
    size_t headerEnd = std::string::npos;
    size_t length = 0;
    while (headerEnd == std::string::npos || answer.size() < headerEnd + 4 + length)
    {
        ssize_t got = recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0)
        {
            return "";
        }
        answer.append(chunk, size_t(got));
        if (headerEnd == std::string::npos &&
            (headerEnd = answer.find("\r\n\r\n")) != std::string::npos)
        {
            size_t field = answer.find("Content-Length: ");
            length = field < headerEnd ? std::strtoul(answer.c_str() + field + 16, nullptr, 10) : 0;
        }
    }
    return answer.starts_with("HTTP/1.1 200") ? answer : "";
}

bool Request(int fd, const std::string& target)
{
    return !RequestBody(fd, target).empty();
}

std::string NextSubmission()
{
    int n = submissionNumber++;
    char code[VERIFICATION_CODE_LENGTH + 1];
    MakeVerificationCode(n % 1000000, CampaignMode(n / 1000000 % 2), uint32_t(n / 2000000), code);
    return "/rezultatas?v=Bench&r=" + std::string(code);
}

// Waits for the clients' threads; every latency they measured, in one list.
std::vector<double> JoinClients(std::vector<std::thread>* threads,
                                const std::vector<std::vector<double>>& latencies)
{
    for (std::thread& thread : *threads)
    {
        thread.join();
    }
    std::vector<double> all;
    for (const std::vector<double>& some : latencies)
    {
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

// `clients` connections spread over the ports, each sending its requests back to back.
Measure Load(const std::vector<int>& ports, int clients, double seconds, bool submit)
{
    std::vector<std::vector<double>> latencies(static_cast<size_t>(clients));
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    for (int c = 0; c < clients; ++c)
    {
        threads.emplace_back(
            [&, c]
            {
                int fd = Connect(ports[size_t(c) % ports.size()]);
                while (fd >= 0 && Clock::now() < end)
                {
                    std::string target = submit ? NextSubmission() : "/";
                    auto began = Clock::now();
                    if (!Request(fd, target))
                    {
                        ++failures;
                        close(fd);
                        fd = Connect(ports[size_t(c) % ports.size()]);
                        continue;
                    }
                    latencies[size_t(c)].push_back(
                        std::chrono::duration<double, std::milli>(Clock::now() - began).count());
                }
                close(fd);
            });
    }
    std::vector<double> all = JoinClients(&threads, latencies);
    std::sort(all.begin(), all.end());
    if (failures > 0)
    {
        std::fprintf(stderr, "bench_scoreboard: %d failed requests\n", failures.load());
    }
    return {double(all.size()) / seconds, all.empty() ? 0 : all[all.size() * 99 / 100]};
}

// The median, p99 and slowest of `times` (in ms).
std::string DescribeTimes(std::vector<double> times, int failures)
{
    if (times.empty())
    {
        return "no answer (" + std::to_string(failures) + " failed)";
    }
    std::sort(times.begin(), times.end());
    char line[200];
    std::snprintf(line, sizeof line,
                  "median %.1f ms, p99 %.1f ms, slowest %.1f ms of %zu requests (%d failed)",
                  times[times.size() / 2], times[times.size() * 99 / 100], times.back(),
                  times.size(), failures);
    return line;
}

// Submissions at `rate` a second in all, spread evenly over `clients` kept-alive connections.
// Each is timed from when it was due, not from when it could be sent, so that a slow answer
// counts against the requests it held back too.
std::string MeasureStoringAtRate(const std::vector<int>& ports, int clients, double rate,
                                 double seconds)
{
    std::vector<std::vector<double>> latencies(static_cast<size_t>(clients));
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    auto toDuration = [](double count)
    { return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(count)); };
    auto began = Clock::now();
    auto end = began + toDuration(seconds);
    auto interval = toDuration(clients / rate);
    for (int c = 0; c < clients; ++c)
    {
        threads.emplace_back(
            [&, c]
            {
                int port = ports[size_t(c) % ports.size()];
                int fd = Connect(port);
                // A server that cannot keep up is not waited on past the end.
                for (auto due = began + interval * c / clients;
                     fd >= 0 && due < end && Clock::now() < end; due += interval)
                {
                    std::this_thread::sleep_until(due);
                    if (!Request(fd, NextSubmission()))
                    {
                        ++failures;
                        close(fd);
                        fd = Connect(port);
                    }
                    latencies[size_t(c)].push_back(
                        std::chrono::duration<double, std::milli>(Clock::now() - due).count());
                }
                close(fd);
            });
    }
    return DescribeTimes(JoinClients(&threads, latencies), failures);
}

// GET / from one client every 10 ms beside 1000 connections that each send the next byte of
// their request once a second (ten of them every 10 ms), for less than the 10 s the server
// gives a request: the median, p99 and slowest answer.
std::string MeasureBesideSlowClients(int port, double seconds)
{
    std::vector<int> slow(1000);
    for (int& fd : slow)
    {
        fd = Connect(port);
    }
    const std::string request = "GET / HTTP/1.1\r\nHost: slow\r\n";
    std::atomic<bool> done = false;
    std::thread sender(
        [&]
        {
            auto began = Clock::now();
            for (int tick = 0; !done; ++tick)
            {
                for (int i = tick % 100 * 10; i < tick % 100 * 10 + 10; ++i)
                {
                    send(slow[size_t(i)], &request[size_t(tick / 100)], 1, MSG_NOSIGNAL);
                }
                std::this_thread::sleep_until(began + std::chrono::milliseconds(10 * (tick + 1)));
            }
        });
    std::vector<double> times;
    int fd = Connect(port);
    int failures = 0;
    auto began = Clock::now();
    auto end = began + std::chrono::duration<double>(std::min(seconds, 8.0));
    for (int tick = 1; Clock::now() < end; ++tick)
    {
        auto asked = Clock::now();
        failures += Request(fd, "/") ? 0 : 1;
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - asked).count());
        std::this_thread::sleep_until(began + std::chrono::milliseconds(10 * tick));
    }
    done = true;
    sender.join();
    close(fd);
    std::for_each(slow.begin(), slow.end(), close);
    return DescribeTimes(times, failures);
}

// Runs one statement; false when it fails.
bool ExecutePostgres(const std::string& uri, const std::string& sql)
{
    PGconn* db = PQconnectdb(uri.c_str());
    PGresult* result = PQexec(db, sql.c_str());
    bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    PQfinish(db);
    return done;
}

// Adds `count` results to the table by COPY, their scores spread evenly over the campaign's
// range and over both campaigns, then vacuums and analyses it as autovacuum would have.
bool PreloadResults(const std::string& uri, int count)
{
    PGconn* db = PQconnectdb(uri.c_str());
    PGresult* result =
        PQexec(db, "COPY results (name, score, mode, number, code, stored_at) FROM STDIN");
    bool copied = PQresultStatus(result) == PGRES_COPY_IN;
    PQclear(result);
    std::string chunk;
    for (int i = 0; copied && i < count; ++i)
    {
        int64_t score = int64_t(i) * 7919 % (CampaignScoreMax() + 1);
        chunk += "Preloaded\t" + std::to_string(score) + "\t" + std::to_string(i % 2) +
                 "\t0\tpreloaded" + std::to_string(i) + "\t0\n";
        if (chunk.size() > 65536 || i == count - 1)
        {
            copied = PQputCopyData(db, chunk.data(), int(chunk.size())) == 1;
            chunk.clear();
        }
    }
    copied = copied && PQputCopyEnd(db, nullptr) == 1;
    result = PQgetResult(db);
    copied = copied && PQresultStatus(result) == PGRES_COMMAND_OK;
    for (; result != nullptr; result = PQgetResult(db))
    {
        PQclear(result);
    }
    PQfinish(db);
    return copied && ExecutePostgres(uri, "VACUUM ANALYZE results");
}

// Resident and peak resident memory of a process, in MB.
std::pair<double, double> ReadMemory(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    double resident = 0, peak = 0;
    for (std::string line; std::getline(status, line);)
    {
        double megabytes = std::atof(line.c_str() + 6) / 1024;
        resident = line.starts_with("VmRSS:") ? megabytes : resident;
        peak = line.starts_with("VmHWM:") ? megabytes : peak;
    }
    return {resident, peak};
}

// The slowest of 20 results, each the best yet, stored on one server until it shows on the
// other's / (in ms).
double MeasureBoardDelay(int storing, int showing)
{
    double slowest = 0;
    int fd = Connect(showing);
    for (int i = 0; i < 20; ++i)
    {
        char code[VERIFICATION_CODE_LENGTH + 1];
        MakeVerificationCode(CampaignScoreMax() - 20 + i, MODE_FIXED, uint32_t(9000 + i), code);
        std::string name = "Shown" + std::to_string(i);
        int stored = Connect(storing);
        Request(stored, "/rezultatas?v=" + name + "&r=" + code);
        close(stored);
        auto began = Clock::now();
        while (fd >= 0 && RequestBody(fd, "/").find(name) == std::string::npos &&
               Clock::now() - began < std::chrono::seconds(5))
        {
        }
        slowest = std::max(slowest,
                           std::chrono::duration<double, std::milli>(Clock::now() - began).count());
    }
    close(fd);
    return slowest;
}

// One server program over tables of 10,000 and 1,000,000 results: a line of the table each.
void MeasureSizes(const std::string& postgres, const std::string& program, double seconds,
                  int* port)
{
    static int databases = 0;
    for (int count : {10000, 1000000})
    {
        std::string uri =
            postgres.substr(0, postgres.rfind('/') + 1) + "sized" + std::to_string(++databases);
        ExecutePostgres(postgres, "CREATE DATABASE sized" + std::to_string(databases));
        // The program makes its own schema first, as it would on a real server.
        pid_t made = StartScoreboard(++*port, uri, program);
        Load({*port}, 1, 0.2, false);
        kill(made, SIGTERM);
        waitpid(made, nullptr, 0);
        if (!PreloadResults(uri, count))
        {
            std::fprintf(stderr, "bench_scoreboard: cannot preload %s\n", uri.c_str());
            continue;
        }
        auto began = Clock::now();
        pid_t server = StartScoreboard(++*port, uri, program);
        int fd = Connect(*port);
        bool answered = fd >= 0 && Request(fd, "/");
        double start = std::chrono::duration<double>(Clock::now() - began).count();
        close(fd);
        pid_t second = StartScoreboard(++*port, uri, program);
        double delay = MeasureBoardDelay(*port, *port - 1);
        kill(second, SIGTERM);
        waitpid(second, nullptr, 0);
        Load({*port - 1}, 16, 0.5, false); // every worker connected
        Measure stored = Load({*port - 1}, 16, seconds, true);
        std::string steady = MeasureStoringAtRate({*port - 1}, 16, 1000, seconds);
        Measure page = Load({*port - 1}, 16, seconds, false);
        pid_t file = StartStaticServer(++*port);
        Measure ceiling = Load({*port}, 16, seconds, false);
        kill(file, SIGKILL);
        waitpid(file, nullptr, 0);
        auto [resident, peak] = ReadMemory(server);
        std::printf(
            "| %s | %d | %s%.2f | %.0f (%.0f) | %.0f | %s | %.0f | %.0f | %.0f%% | %.0f |\n",
            program.c_str(), count, answered ? "" : "no answer, ", start, resident, peak,
            stored.perSecond, steady.c_str(), page.perSecond, ceiling.perSecond,
            100 * page.perSecond / ceiling.perSecond, delay);
        std::fflush(stdout);
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
}

// Runs a program of the installed PostgreSQL in the cluster's folder as its owner.
bool RunPostgres(const std::string& program)
{
    std::string command =
        "cd " + PG_FOLDER + " && " + (geteuid() == 0 ? "runuser -u postgres -- " : "") +
        "$(ls -d /usr/lib/postgresql/*/bin | tail -n 1)/" + program + " >>ctl.log 2>&1";
    return std::system(command.c_str()) == 0;
}

// A cluster with fsync on: a stored result must be as durable as in production.
std::string StartPostgres()
{
    int port = PG_PORT_BASE + getpid() % 1000;
    std::filesystem::create_directory(PG_FOLDER);
    std::string settings = "-c port=" + std::to_string(port) +
                           " -c listen_addresses=127.0.0.1 -c unix_socket_directories=. "
                           "-c max_connections=200";
    bool started = (geteuid() != 0 || std::system(("chown postgres " + PG_FOLDER).c_str()) == 0) &&
                   RunPostgres("initdb -D data -U vortanai -A trust -E UTF8 --no-sync") &&
                   RunPostgres("pg_ctl -D data -l server.log -w -o '" + settings + "' start");
    return started ? "postgresql://vortanai@127.0.0.1:" + std::to_string(port) + "/postgres" : "";
}

} // namespace

int main(int argc, char** argv)
{
    bool sizes = argc > 1 && std::string(argv[1]) == "--sizes";
    argc -= sizes ? 1 : 0;
    argv += sizes ? 1 : 0;
    double seconds = argc > 1 ? std::atof(argv[1]) : 2;
    // The thousand slow connections beside the measuring ones.
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    std::string postgres = StartPostgres();
    if (postgres.empty())
    {
        std::fprintf(stderr, "bench_scoreboard: cannot start PostgreSQL (see %s/ctl.log)\n",
                     PG_FOLDER.c_str());
    }
    std::filesystem::remove_all("bench-scores");
    std::filesystem::create_directory("bench-scores");
    int port = 18100 + getpid() % 1000 * 10;
    if (sizes && !postgres.empty())
    {
        std::printf("| program | results | first answer s | MB resident (peak) | stored/s | at "
                    "1000/s | / pages/s | static pages/s | / of static | board shows another "
                    "server's result, slowest ms |\n|---|---|---|---|---|---|---|---|---|---|\n");
        std::vector<std::string> programs(argv + std::min(argc, 2), argv + argc);
        for (const std::string& program :
             programs.empty() ? std::vector<std::string>{"scoreboard/vortanai-scoreboard"}
                              : programs)
        {
            MeasureSizes(postgres, program, seconds, &port);
        }
    }
    if (sizes)
    {
        RunPostgres("pg_ctl -D data -w -m fast stop");
        std::filesystem::remove_all(PG_FOLDER);
        return postgres.empty() ? 1 : 0;
    }
    std::printf("| server | database | clients | / pages/s | / p99 ms | stored results/s | "
                "/rezultatas p99 ms |\n|---|---|---|---|---|---|---|\n");
    pid_t ceiling = StartStaticServer(port);
    for (int clients : {16, 64})
    {
        Measure page = Load({port}, clients, seconds, false);
        std::printf("| static file (Beast) | - | %d | %.0f | %.1f | - | - |\n", clients,
                    page.perSecond, page.p99Milliseconds);
        std::fflush(stdout);
    }
    kill(ceiling, SIGKILL);
    waitpid(ceiling, nullptr, 0);
    std::vector<std::string> notes; // the lines under the table
    const std::pair<const char*, std::string> databases[] = {
        {"SQLite", "bench-scores/scores.sqlite"}, {"PostgreSQL", postgres}};
    for (const auto& [kind, database] : databases)
    {
        for (int count : {1, 3})
        {
            if (database.empty() || (argc > 2 && std::string(argv[2]) != kind))
            {
                continue;
            }
            std::vector<pid_t> servers;
            std::vector<int> ports;
            for (int i = 0; i < count; ++i)
            {
                ports.push_back(++port);
                servers.push_back(StartScoreboard(port, database));
                Load({port}, 1, 0.2, false); // up and listening
            }
            // Every worker has opened its database connection before anything is measured.
            Load(ports, 64, 0.5, false);
            for (int clients : {16, 64})
            {
                Measure page = Load(ports, clients, seconds, false);
                Measure stored = Load(ports, clients, seconds, true);
                std::printf("| %d vortanai-scoreboard | %s | %d | %.0f | %.1f | %.0f | %.1f |\n",
                            count, kind, clients, page.perSecond, page.p99Milliseconds,
                            stored.perSecond, stored.p99Milliseconds);
                std::fflush(stdout);
            }
            if (count == 1)
            {
                notes.push_back(std::string("Results stored in 1 vortanai-scoreboard (") + kind +
                                ") at 1000 a second from 16 clients: " +
                                MeasureStoringAtRate(ports, 16, 1000, seconds));
                notes.push_back(std::string("GET / of 1 vortanai-scoreboard (") + kind +
                                ") beside 1000 clients sending a byte a second: " +
                                MeasureBesideSlowClients(ports[0], seconds));
            }
            for (pid_t server : servers)
            {
                kill(server, SIGTERM);
                waitpid(server, nullptr, 0);
            }
        }
    }
    std::printf("\n");
    for (const std::string& line : notes)
    {
        std::printf("%s\n", line.c_str());
    }
    if (!postgres.empty())
    {
        RunPostgres("pg_ctl -D data -w -m fast stop");
    }
    std::filesystem::remove_all(PG_FOLDER);
    return 0;
}
