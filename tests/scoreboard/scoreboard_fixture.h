// The score page's test kit: codes the game would make, the server in-process on a free loopback
// port over a fresh database, the built program as a child process, and a PostgreSQL cluster of
// the tests' own (initdb and pg_ctl of the installed version, as an unprivileged user, in a
// temporary folder on a free port, stopped when the program ends).
#pragma once

#include <csignal>
#include <filesystem>
#include <glob.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sqlite3.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "records/verification_code.h"
#include "scoreboard/score_server.h"
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

// The answer to a request; status -1 when none came.
inline httplib::Response Fetch(int port, const std::string& path,
                               const httplib::Headers& headers = {}, const char* method = "GET")
{
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false); // the address goes out as written, as a browser sends it
    client.set_read_timeout(60);
    auto res = std::string(method) == "HEAD" ? client.Head(path.c_str(), headers)
                                             : client.Get(path.c_str(), headers);
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
        if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0)
        {
            value = std::atoll(PQgetvalue(result, 0, 0));
        }
        PQclear(result);
        PQfinish(db);
        return value;
    }
    sqlite3* db = nullptr;
    sqlite3_open(target.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

// The tests' own PostgreSQL cluster, started on first use.
struct PostgresCluster
{
    std::string folder;
    std::string bin;
    std::string owner; // runuser prefix when the tests run as root, which initdb refuses
    int port = 0;
    int databases = 0;
};
inline PostgresCluster postgresCluster;

inline int FindFreePort()
{
    int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    close(probe);
    return ntohs(address.sin_port);
}

// pg_ctl start, stop or restart; true when it succeeded.
inline bool ControlPostgres(const std::string& action)
{
    PostgresCluster& c = postgresCluster;
    std::string command = c.owner + c.bin + "/pg_ctl -D " + c.folder + "/data -l " + c.folder +
                          "/server.log -w -m fast " + action + " >>" + c.folder + "/ctl.log 2>&1";
    return std::system(command.c_str()) == 0;
}

// The URI of a new, empty database on the cluster; empty when PostgreSQL is not installed.
inline std::string MakePostgresDatabase()
{
    PostgresCluster& c = postgresCluster;
    glob_t found{};
    if (c.port == 0 && glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0)
    {
        c.bin = std::filesystem::path(found.gl_pathv[found.gl_pathc - 1]).parent_path();
        char folder[] = "/tmp/vortanai-pg-XXXXXX";
        c.folder = mkdtemp(folder);
        passwd* user = getpwnam("postgres") ? getpwnam("postgres") : getpwnam("nobody");
        if (geteuid() == 0 && user != nullptr && chown(folder, user->pw_uid, user->pw_gid) == 0)
        {
            c.owner = "runuser -u " + std::string(user->pw_name) + " -- ";
        }
        c.port = FindFreePort();
        // fsync off: the tests kill page servers, never the cluster.
        std::string init = c.owner + c.bin + "/initdb -D " + c.folder +
                           "/data -U vortanai -A trust -E UTF8 --no-sync >" + c.folder +
                           "/initdb.log 2>&1 && echo \"port = " + std::to_string(c.port) +
                           "\nlisten_addresses = '127.0.0.1'\nunix_socket_directories = '" +
                           c.folder + "'\nmax_connections = 300\nfsync = off\" >>" + c.folder +
                           "/data/postgresql.conf";
        EXPECT_TRUE(std::system(init.c_str()) == 0 && ControlPostgres("start"))
            << ReadTestFile(c.folder + "/initdb.log") << ReadTestFile(c.folder + "/server.log");
        std::atexit(
            []
            {
                ControlPostgres("stop");
                std::filesystem::remove_all(postgresCluster.folder);
            });
    }
    globfree(&found);
    if (c.port == 0)
    {
        return "";
    }
    std::string base = "postgresql://vortanai@127.0.0.1:" + std::to_string(c.port) + "/";
    std::string name = "scores" + std::to_string(++c.databases);
    QueryStore(base + "postgres", "CREATE DATABASE " + name);
    return base + name;
}

// A fresh database of the kind the test parameter names: "sqlite" or "postgresql".
inline std::string MakeStore(const std::string& kind)
{
    static int files = 0;
    if (kind == "postgresql")
    {
        return MakePostgresDatabase();
    }
    std::string path = "stores/" + std::to_string(++files) + "/scores.sqlite";
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    return path;
}

#define SKIP_WITHOUT_STORE(target)                                                                 \
    if ((target).empty())                                                                          \
    GTEST_SKIP() << "PostgreSQL is not installed (scripts/test installs it)"

// The built vortanai-scoreboard as a child process, its standard error in a file.
struct ServerProcess
{
    pid_t pid = -1;
    int port = 0;
    std::string log;
    int status = -1; // the exit status once it has ended
};

// Starts it (killed when the test program ends) and waits for its first line; port 0 when it
// ended before listening. `limits` is run first in the child's shell, e.g. "ulimit -f 100".
inline ServerProcess StartServer(const std::string& arguments, const std::string& log,
                                 const std::string& limits = "true")
{
    ServerProcess server;
    server.log = log;
    RemoveTestFile(log);
    std::string command = limits + "; exec " + BinaryPath("scoreboard/vortanai-scoreboard") + " " +
                          arguments + " 2>" + log;
    server.pid = fork();
    if (server.pid == 0)
    {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    for (int i = 0; i < 3000 && server.port == 0; ++i)
    {
        std::string text = std::filesystem::exists(log) ? ReadTestFile(log) : "";
        size_t line = text.find("listening on ");
        if (line != std::string::npos)
        {
            std::sscanf(text.c_str() + line, "listening on %*s port %d", &server.port);
        }
        else if (waitpid(server.pid, &status, WNOHANG) == server.pid)
        {
            server.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            server.pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return server;
}

// Sends the signal and waits for the end; the exit status, -1 when killed.
inline int StopServer(const ServerProcess& server, int signal = SIGTERM)
{
    int status = 0;
    if (server.pid <= 0)
    {
        return server.status;
    }
    kill(server.pid, signal);
    waitpid(server.pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ScoreboardServer : public testing::Test
{
  protected:
    void SetUp() override
    {
        std::filesystem::remove_all("scores"); // the database's folder, made anew
        std::string error;
        ASSERT_TRUE(PrepareScoreStore(options.database, &error)) << error;
        ASSERT_TRUE(StartScoreboard(options, &port, &error)) << error;
    }

    void TearDown() override
    {
        StopScoreboard();
    }

    // Each request comes through the proxy from an address of its own, unless told otherwise:
    // only the tests of slowing bad codes down send many from one.
    httplib::Response Get(const std::string& path, httplib::Headers headers = {})
    {
        static int client = 0;
        if (headers.count("X-Forwarded-For") == 0)
        {
            headers.emplace("X-Forwarded-For", "10.1." + std::to_string(++client % 60000));
        }
        return Fetch(port, path, headers);
    }

    int64_t Query(const std::string& sql)
    {
        return QueryStore(options.database, sql);
    }

    ScoreboardOptions options{.bind = "127.0.0.1",
                              .port = 0,
                              .database = "scores/scores.sqlite",
                              .trustProxy = true,
                              .importFile = ""};
    int port = -1;
};
