// The built vortanai-scoreboard as a child process: its options, its log and its stop.
#include <csignal>
#include <sys/wait.h>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

// Runs the program under `timeout` (which passes SIGTERM and SIGINT on, and kills it after a
// minute) with its standard error piped back; *pid is the process to signal.
FILE* StartProgram(const std::string& arguments, pid_t* pid)
{
    std::string command = "echo $$; exec timeout -s KILL 60 " +
                          BinaryPath("scoreboard/vortanai-scoreboard") + " " + arguments + " 2>&1";
    FILE* program = popen(command.c_str(), "r");
    char line[32] = "";
    *pid = program != nullptr && std::fgets(line, sizeof line, program) ? std::atoi(line) : -1;
    return program;
}

// The rest of what the program writes, up to its end; its exit status.
int ReadToExit(FILE* program, std::string* log)
{
    char line[512];
    while (std::fgets(line, sizeof line, program) != nullptr)
    {
        *log += line;
    }
    int status = pclose(program);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(ScoreboardProgram, LogsEachRequestOnALineAndStopsCleanlyOnSigtermAndSigint)
{
    for (int signal : {SIGTERM, SIGINT})
    {
        std::filesystem::remove_all("program");
        pid_t pid = -1;
        FILE* program = StartProgram("--port=0 --db program/scores.sqlite", &pid);
        char line[512] = "";
        int port = 0;
        ASSERT_TRUE(pid > 0 && std::fgets(line, sizeof line, program) != nullptr);
        ASSERT_EQ(std::sscanf(line, "%*s listening on %*s port %d", &port), 1) << line;
        httplib::Client client("127.0.0.1", port);
        client.set_url_encode(false);
        std::string added = ResultPath("Ona", MakeCode(4242, MODE_RANDOM, 1));
        EXPECT_TRUE(client.Get(added.c_str()) && client.Get("/rezultatas?v=\x01\xff"));
        kill(pid, signal);
        std::string log;
        EXPECT_EQ(ReadToExit(program, &log), 0) << signal;
        EXPECT_NE(log.find(" 127.0.0.1 GET " + added + " 200 added\n"), std::string::npos) << log;
        // Raw bytes are written escaped: a request cannot forge a log line.
        EXPECT_NE(log.find(" GET /rezultatas?v=\\x01\\xff 400 rejected\n"), std::string::npos);
        EXPECT_TRUE(log.ends_with("vortanai-scoreboard: stopped\n")) << log;
    }
}

TEST(ScoreboardProgram, RefusesBadOptionsAndUnusableDatabasesWithAMessage)
{
    WriteTestFile("not_a_database.sqlite", std::string(4096, 'x'));
    const std::pair<const char*, int> cases[] = {
        {"--port 65536", 2},
        {"--verbose", 2},
        {"--port=0 --db not_a_database.sqlite", 1},
    };
    for (const auto& [arguments, status] : cases) // a program that listens is killed after a minute
    {
        pid_t pid = -1;
        std::string log;
        EXPECT_EQ(ReadToExit(StartProgram(arguments, &pid), &log), status) << arguments;
        EXPECT_TRUE(log.starts_with("vortanai-scoreboard: ")) << log;
    }
    EXPECT_EQ(ReadTestFile("not_a_database.sqlite"), std::string(4096, 'x'));
}
