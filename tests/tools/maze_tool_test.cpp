#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

#include "maze/maze_grid.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

struct ToolRun
{
    int status; // -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

// Runs vortanai-maze with arguments already quoted for the shell.
ToolRun RunMazeTool(const std::string& arguments)
{
    // Appended, not "'" + path: GCC 12 warns falsely on a literal added to a temporary string.
    std::string command = "'";
    command += BinaryPath("tools/maze/vortanai-maze") + "' " + arguments +
               " >maze_tool_out.txt 2>maze_tool_err.txt";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadTestFile("maze_tool_out.txt"),
            ReadTestFile("maze_tool_err.txt")};
}

// The game's maze in memory in the file format: the sizes, then a row a line, CR LF line ends.
std::string GameMazeText(int32_t length, int32_t width, int32_t difficulty, int32_t seed)
{
    GenerateMaze(length, width, difficulty, seed);
    std::string text = std::to_string(length) + " " + std::to_string(width) + "\r\n";
    for (int32_t y = 0; y < width; ++y)
    {
        for (int32_t x = 0; x < length; ++x)
        {
            text += std::to_string(mazeGrid.cells[y][x]) + (x + 1 < length ? " " : "\r\n");
        }
    }
    return text;
}

// Exit 0 for an accepted maze, 1 for a rejected one, printed all the same. The largest seed is
// the bit pattern of -1. A check prints what the game stored, then the player start and the exit,
// and reads its own output back the same.
TEST(MazeTool, PrintsTheGamesMazeAndWhetherItWasAcceptedAndWhatTheGameReadFromAFile)
{
    ResetFakeSystem();
    for (const char* arguments : {"32 16 10 674827", "32 16 10 8314950", "9 127 3 4294967295"})
    {
        int32_t length = 0, width = 0, difficulty = 0;
        uint32_t seed = 0;
        std::sscanf(arguments, "%d %d %d %u", &length, &width, &difficulty, &seed);
        ToolRun run = RunMazeTool(arguments);
        EXPECT_EQ(run.out, GameMazeText(length, width, difficulty, static_cast<int32_t>(seed)));
        EXPECT_EQ(run.status, mazeGrid.mazeAccepted ? 0 : 1) << arguments;
        EXPECT_EQ(run.err, "");
    }
    std::string maze = RunMazeTool("20 10 1 777").out;
    WriteTestFile("tool/maze.txt", maze);
    ToolRun run = RunMazeTool("--check tool/maze.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, maze + "2 5 18 5\r\n");
    WriteTestFile("tool/again.txt", run.out);
    EXPECT_EQ(RunMazeTool("--check tool/again.txt").out, run.out);
    // What the game stores, not what the file says: low 8 bits, the last value repeated.
    WriteTestFile("tool/odd.txt", "2.5 2\n258 1\n0");
    EXPECT_EQ(RunMazeTool("--check tool/odd.txt").out, "2.5 2\r\n2 1 0\r\n0 0 0\r\n0 0 0 0\r\n");
}

// Bad arguments get one usage line, a file that cannot be read one line that says so.
TEST(MazeTool, BadArgumentsAndFilesThatCannotBeReadGetOneLineAndExit2)
{
    WriteTestFile("tool/huge.txt", "200 8\r\n0 0 0\r\n");
    for (const char* arguments :
         {"", "32 16 10", "32 16 10 1 1", "12x 16 10 1", "'' 16 10 1", "-32 16 10 1", "+32 16 10 1",
          "7 16 10 1", "32 129 10 1", "32 16 0 1", "32 16 11 1", "32 16 10 4294967296", "--check",
          "--check a b", "--check tool/missing.txt", "--check tool/huge.txt"})
    {
        ToolRun run = RunMazeTool(arguments);
        const bool file = std::string(arguments).starts_with("--check tool/");
        const std::string line = file ? "vortanai-maze: cannot read" : "usage: vortanai-maze";
        // The status, the output, how the message begins and where its only line break is.
        EXPECT_EQ(
            std::tuple(run.status, run.out, run.err.substr(0, line.size()), run.err.find('\n')),
            std::tuple(2, "", line, run.err.size() - 1))
            << arguments;
    }
}

} // namespace
