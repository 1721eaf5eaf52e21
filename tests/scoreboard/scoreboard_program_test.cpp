// The built vortanai-scoreboard program as a child process: its options, its log and its stop.
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

extern char** environ;

namespace
{

struct ChildProgram
{
    pid_t pid = -1;
    std::string logPath;
};

// Starts the program with its standard error in a file.
ChildProgram StartProgram(const std::vector<std::string>& arguments, const std::string& logPath)
{
    ChildProgram child;
    child.logPath = logPath;
    RemoveTestFile(logPath);
    std::string program = BinaryPath("scoreboard/vortanai-scoreboard");
    std::vector<char*> argv = {program.data()};
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies)
    {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (posix_spawn(&child.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
    {
        child.pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The exit status of a program that ends within 30 seconds; -1 otherwise (it is then killed).
int WaitForExit(pid_t pid)
{
    for (int i = 0; i < 3000; ++i)
    {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
        {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

// The port named in the start-up line, once it is written; -1 when none comes.
int WaitForPort(const ChildProgram& child)
{
    const std::string marker = "127.0.0.1 port ";
    for (int i = 0; i < 3000; ++i)
    {
        std::string log = ReadTestFile(child.logPath);
        size_t at = log.find(marker);
        if (at != std::string::npos && log.find('\n', at) != std::string::npos)
        {
            return std::stoi(log.substr(at + marker.size()));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

int CountLines(const std::string& text, const std::string& part)
{
    int count = 0;
    size_t begin = 0;
    for (size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1)
    {
        count += text.substr(begin, end - begin).find(part) != std::string::npos;
    }
    return count;
}

} // namespace

TEST(ScoreboardProgram, LogsEachRequestOnALineAndStopsCleanlyOnSigintAndSigterm)
{
    for (int signal : {SIGTERM, SIGINT})
    {
        std::string database = Numbered("program_", signal) + ".sqlite";
        for (const char* suffix : {"", "-wal", "-shm"})
        {
            RemoveTestFile(database + suffix);
        }
        ChildProgram child = StartProgram({"--port=0", "--db", database}, "program.log");
        ASSERT_GT(child.pid, 0);
        int port = WaitForPort(child);
        ASSERT_GT(port, 0) << ReadTestFile(child.logPath);
        httplib::Client client("127.0.0.1", port);
        auto added = client.Get(ResultPath("Ona", MakeCode(4242, MODE_RANDOM, 1)).c_str());
        auto rejected = client.Get("/rezultatas?v=%0A2000-01-01&r=1");
        ASSERT_TRUE(added && rejected);
        EXPECT_EQ(added->status, 200);
        EXPECT_EQ(rejected->status, 400);
        kill(child.pid, signal);
        EXPECT_EQ(WaitForExit(child.pid), 0) << signal;
        std::string log = ReadTestFile(child.logPath);
        EXPECT_EQ(CountLines(log, " 127.0.0.1 GET /rezultatas?v=Ona&r="), 1) << log;
        EXPECT_EQ(CountLines(log, " 200 added"), 1) << log;
        // The escaped line break stays escaped: the log cannot be given a forged line.
        EXPECT_EQ(CountLines(log, " GET /rezultatas?v=%0A2000-01-01&r=1 400 rejected"), 1) << log;
        EXPECT_EQ(CountLines(log, "stopping"), 1) << log;
        EXPECT_TRUE(log.ends_with("vortanai-scoreboard: stopped\n")) << log;

        // The results outlive the program.
        ScoreDatabase db = OpenScoreDatabase(database);
        ASSERT_TRUE(db);
        ScoreBoard board;
        ASSERT_TRUE(ReadScoreBoard(db.get(), &board));
        ASSERT_EQ(board.randomRows.size(), 1u);
        EXPECT_EQ(board.randomRows[0].score, 4242);
    }
}

TEST(ScoreboardProgram, RefusesBadOptionsAndUnusableDatabasesWithAMessage)
{
    WriteTestFile("not_a_database.sqlite", std::string(4096, 'x'));
    WriteTestFile("a_file", "x");
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"--port", "65536"}, 2},
        {{"--port", "80x"}, 2},
        {{"--port"}, 2},
        {{"--db="}, 2},
        {{"--verbose"}, 2},
        {{"--port=0", "--db", "not_a_database.sqlite"}, 1},
        {{"--port=0", "--db", "a_file/inside.sqlite"}, 1},
        {{"--port=0", "--bind", "256.1.1.1", "--db", "refused.sqlite"}, 1},
    };
    for (const auto& [arguments, expected] : cases)
    {
        ChildProgram child = StartProgram(arguments, "refused.log");
        ASSERT_GT(child.pid, 0);
        EXPECT_EQ(WaitForExit(child.pid), expected) << arguments[0];
        std::string log = ReadTestFile(child.logPath);
        EXPECT_TRUE(log.starts_with("vortanai-scoreboard: ")) << log;
        EXPECT_EQ(log.find("listening"), std::string::npos) << log;
    }
    EXPECT_EQ(ReadTestFile("not_a_database.sqlite"), std::string(4096, 'x'));
}
