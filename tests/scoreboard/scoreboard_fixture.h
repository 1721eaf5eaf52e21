// The score page's test kit: codes the game would make, the built program as a child process over
// a fresh database of either kind, and a PostgreSQL cluster of
// the tests' own (initdb and pg_ctl of the installed version, as an unprivileged user, in a
// temporary folder on a free port, stopped when the program ends).
#pragma once

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <httplib.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <sqlite3.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "records/verification_code.h"
#include "rules/campaign_rules.h"
#include "scoreboard/score_store.h"
#include "tests/support/test_files.h"

inline std::string MakeCode(int32_t score, CampaignMode mode, uint32_t number)
{
    char code[VERIFICATION_CODE_LENGTH + 1];
    MakeVerificationCode(score, mode, number, code);
    return code;
}

// The address the game opens, below the base: the name exactly as typed.
inline std::string ResultPath(const std::string& name, const std::string& code)
{
    return "/rezultatas?v=" + name + "&r=" + code;
}

// The answer to a GET (or HEAD), the address sent as written, as a browser does; status -1 when
// none came.
inline httplib::Response Fetch(int port, const std::string& path,
                               const httplib::Headers& headers = {}, bool head = false)
{
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);
    auto res = head ? client.Head(path.c_str(), headers) : client.Get(path.c_str(), headers);
    return res ? std::move(*res) : httplib::Response();
}

// The first column of a one-row query on a database of either kind; -1 when there is none.
inline int64_t QueryStore(const std::string& target, const std::string& sql)
{
    int64_t value = -1;
    if (IsPostgresTarget(target))
    {
        PGconn* db = PQconnectdb(target.c_str());
        PGresult* result = PQexec(db, sql.c_str());
        value = PQntuples(result) > 0 ? std::atoll(PQgetvalue(result, 0, 0)) : -1;
        PQclear(result);
        PQfinish(db);
        return value;
    }
    sqlite3* db = nullptr;
    sqlite3_open(target.c_str(), &db);
    sqlite3_busy_timeout(db, 10000);
    auto first = [](void* out, int, char** row, char**)
    { return *static_cast<int64_t*>(out) = row[0] ? std::atoll(row[0]) : -1, 1; };
    sqlite3_exec(db, sql.c_str(), first, &value, nullptr);
    sqlite3_close(db);
    return value;
}

// The cluster's folder, owned by the user it runs as when the tests run as root (as CI does),
// for initdb refuses root.
inline const std::string PG_FOLDER = "/tmp/vortanai-pg-" + std::to_string(getpid());
inline int postgresPort = 0;

// Runs a program of the installed PostgreSQL in the cluster's folder as its owner.
inline bool RunPostgres(const std::string& program)
{
    std::string command =
        "cd " + PG_FOLDER + " && " + (geteuid() == 0 ? "runuser -u postgres -- " : "") +
        "$(ls -d /usr/lib/postgresql/*/bin | tail -n 1)/" + program + " >>ctl.log 2>&1";
    return std::system(command.c_str()) == 0;
}

// pg_ctl start, stop or restart; true when it succeeded. fsync off: the tests kill page
// servers, never the cluster.
inline bool ControlPostgres(const std::string& action)
{
    return RunPostgres(
        "pg_ctl -D data -l server.log -w -m fast -o '-c port=" + std::to_string(postgresPort) +
        " -c listen_addresses=127.0.0.1 -c unix_socket_directories=."
        " -c max_connections=300 -c fsync=off' " +
        action);
}

// The URI of a new, empty database on the cluster; empty when PostgreSQL is not installed.
inline std::string MakePostgresDatabase()
{
    static int databases = 0;
    if (postgresPort == 0 && std::system("ls /usr/lib/postgresql/*/bin/initdb >/dev/null") == 0)
    {
        // A free port, given up again for the cluster to take.
        int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        bind(probe, reinterpret_cast<sockaddr*>(&address), size);
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
        close(probe);
        postgresPort = ntohs(address.sin_port);
        std::filesystem::create_directory(PG_FOLDER);
        EXPECT_EQ(geteuid() == 0 ? std::system(("chown postgres " + PG_FOLDER).c_str()) : 0, 0);
        EXPECT_TRUE(RunPostgres("initdb -D data -U vortanai -A trust -E UTF8 --no-sync") &&
                    ControlPostgres("start"))
            << ReadTestFile(PG_FOLDER + "/ctl.log");
        std::atexit([] { ControlPostgres("stop"), std::filesystem::remove_all(PG_FOLDER); });
    }
    std::string base = "postgresql://vortanai@127.0.0.1:" + std::to_string(postgresPort) + "/";
    std::string name = "scores" + std::to_string(++databases);
    QueryStore(base + "postgres", "CREATE DATABASE " + name);
    return postgresPort == 0 ? "" : base + name;
}

// A fresh database of the kind the test parameter names: "sqlite" or "postgresql".
inline std::string MakeStore(const std::string& kind)
{
    static int files = (std::filesystem::remove_all("stores"), 0);
    return kind == "postgresql" ? MakePostgresDatabase()
                                : "stores/" + std::to_string(++files) + ".sqlite";
}

#define SKIP_WITHOUT_STORE(target)                                                                 \
    if ((target).empty())                                                                          \
    GTEST_SKIP() << "PostgreSQL is not installed (scripts/test installs it)"

// The built vortanai-scoreboard as a child process (killed when the test program ends), its
// standard error in a file; port 0 when it ended before listening, with its exit status.
struct ServerProcess
{
    pid_t pid = -1;
    int port = 0;
    std::string log;
    int status = -1;
};

// `limits` runs first in the child's shell, e.g. "ulimit -f 100".
inline ServerProcess StartServer(const std::string& arguments, const std::string& log,
                                 const std::string& limits = "true")
{
    std::string command = limits + "; exec " + BinaryPath("scoreboard/vortanai-scoreboard") + " " +
                          arguments + " 2>" + log;
    RemoveTestFile(log);
    ServerProcess server{fork(), 0, log};
    if (server.pid == 0)
    {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    while (server.port == 0 && waitpid(server.pid, &status, WNOHANG) == 0)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string text = std::filesystem::exists(log) ? ReadTestFile(log) : "";
        size_t line = text.find("listening on ");
        std::sscanf(text.c_str() + std::min(line, text.size()), "listening on %*s port %d",
                    &server.port);
    }
    return server.port > 0
               ? server
               : ServerProcess{-1, 0, log, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Sends the signal and waits for the end; the exit status, -1 when killed.
inline int StopServer(const ServerProcess& server, int signal = SIGTERM)
{
    int status = 0;
    bool ended =
        server.pid > 0 && kill(server.pid, signal) == 0 && waitpid(server.pid, &status, 0) > 0;
    return !ended ? server.status : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The program over a fresh database of the kind the parameter names, trusting X-Forwarded-For;
// each test ends by stopping it with SIGTERM.
class ScoreboardServer : public testing::TestWithParam<std::string>
{
  protected:
    void SetUp() override
    {
        Start("--trust-proxy");
    }

    void TearDown() override
    {
        EXPECT_EQ(StopServer(server), 0);
        EXPECT_TRUE(ReadTestFile(server.log).ends_with("vortanai-scoreboard: stopped\n"));
    }

    void Start(const std::string& options)
    {
        database = MakeStore(GetParam());
        SKIP_WITHOUT_STORE(database);
        server = StartServer("--port 0 --db " + database + " " + options, "page.log");
        port = server.port;
        ASSERT_GT(port, 0) << ReadTestFile(server.log);
    }

    // Each request comes through the proxy from an address of its own unless told otherwise:
    // only the tests of slowing bad codes down send many from one.
    httplib::Response Get(const std::string& path, httplib::Headers headers = {})
    {
        static int client = 0;
        headers.emplace("X-Forwarded-For", "10.1." + std::to_string(++client % 60000));
        return Fetch(port, path, headers);
    }

    std::string database;
    ServerProcess server;
    int port = -1;
};
