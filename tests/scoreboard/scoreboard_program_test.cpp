// The built vortanai-scoreboard as a child process: its options, unusable databases and its stop.
#include "tests/scoreboard/scoreboard_fixture.h"

TEST(ScoreboardProgram, RefusesBadOptionsAndUnusableDatabasesAndStopsCleanlyOnSigint)
{
    WriteTestFile("not_a_database.sqlite", std::string(4096, 'x'));
    const std::tuple<const char*, int, const char*> cases[] = {
        {"--port 65536", 2, "--port wants a number"},
        {"--verbose", 2, "unknown option"},
        {"--port=0 --db not_a_database.sqlite", 1, "file is not a database"},
        {"--db program.sqlite --import not_a_database.sqlite", 1, "cannot read"},
        {"--db postgresql://nobody@127.0.0.1:1/none", 1, "cannot use the PostgreSQL database"},
    };
    for (auto [arguments, status, message] : cases)
    {
        ServerProcess server = StartServer(arguments, "refused.log");
        EXPECT_EQ(server.port, 0);
        EXPECT_EQ(StopServer(server), status) << arguments;
        std::string log = ReadTestFile(server.log);
        EXPECT_TRUE(log.starts_with("vortanai-scoreboard: ") &&
                    log.find(message) != std::string::npos)
            << log;
    }
    EXPECT_EQ(ReadTestFile("not_a_database.sqlite"), std::string(4096, 'x'));
    ServerProcess server = StartServer("--port=0 --db program.sqlite", "program.log");
    EXPECT_GT(server.port, 0);
    EXPECT_EQ(StopServer(server, SIGINT), 0);
    EXPECT_TRUE(ReadTestFile(server.log).ends_with("vortanai-scoreboard: stopped\n"));
}
