// The built vortanai-scoreboard as a child process: its options, its log and its stop.
#include "tests/scoreboard/scoreboard_fixture.h"

TEST(ScoreboardProgram, LogsEachRequestOnALineAndStopsCleanlyOnSigtermAndSigint)
{
    for (int signal : {SIGTERM, SIGINT})
    {
        std::filesystem::remove_all("program");
        ServerProcess server = StartServer("--port=0 --db program/scores.sqlite", "program.log");
        ASSERT_GT(server.port, 0) << ReadTestFile(server.log);
        std::string added = ResultPath("Ona", MakeCode(4242, MODE_RANDOM, 1));
        EXPECT_EQ(Fetch(server.port, added).status, 200);
        EXPECT_EQ(Fetch(server.port, "/rezultatas?v=\xff\\").status, 400);
        EXPECT_EQ(StopServer(server, signal), 0);
        std::string log = ReadTestFile(server.log);
        EXPECT_NE(log.find(" 127.0.0.1 GET " + added + " 200 added\n"), std::string::npos) << log;
        // Raw bytes are written escaped: a request cannot forge a log line.
        EXPECT_NE(log.find(" GET /rezultatas?v=\\xff\\x5c 400 rejected\n"), std::string::npos);
        EXPECT_TRUE(log.ends_with("vortanai-scoreboard: stopped\n")) << log;
    }
}

TEST(ScoreboardProgram, RefusesBadOptionsAndUnusableDatabasesAndImportsOnce)
{
    WriteTestFile("not_a_database.sqlite", std::string(4096, 'x'));
    std::filesystem::remove_all("imported");
    ServerProcess old = StartServer("--port=0 --db imported/old.sqlite", "old.log");
    Fetch(old.port, ResultPath("Senas", MakeCode(77, MODE_FIXED, 7)));
    StopServer(old);
    const std::tuple<const char*, int, const char*> cases[] = {
        {"--port 65536", 2, "--port wants a number"},
        {"--verbose", 2, "unknown option"},
        {"--port=0 --db not_a_database.sqlite", 1, "file is not a database"},
        {"--db imported/new.sqlite --import imported/old.sqlite", 0, "imported 1 of 1"},
        {"--db imported/new.sqlite --import imported/old.sqlite", 0, "imported 0 of 1"},
        {"--db imported/new.sqlite --import not_a_database.sqlite", 1, "cannot read"},
        {"--db postgresql://nobody@127.0.0.1:1/none", 1, "cannot use the PostgreSQL database"},
    };
    for (const auto& [arguments, status, message] : cases)
    {
        ServerProcess server = StartServer(arguments, "refused.log");
        EXPECT_EQ(server.port, 0);
        EXPECT_EQ(StopServer(server), status) << arguments;
        std::string log = ReadTestFile(server.log);
        EXPECT_TRUE(log.starts_with("vortanai-scoreboard: ")) << log;
        EXPECT_NE(log.find(message), std::string::npos) << log;
    }
    EXPECT_EQ(ReadTestFile("not_a_database.sqlite"), std::string(4096, 'x'));
    EXPECT_EQ(QueryStore("imported/new.sqlite", "SELECT number FROM results WHERE name = 'Senas'"),
              7);
}
