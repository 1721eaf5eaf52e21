#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "maze/maze_grid.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

struct ToolRun
{
    int status; // the exit status, or -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

// Runs vortanai-maze with arguments already quoted for the shell.
ToolRun RunMazeTool(const std::string& arguments)
{
    std::string command =
        "'" + BinaryPath("tools/maze/vortanai-maze") + "' " + arguments + " 2>maze_tool_err.txt";
    ToolRun run{-1, "", ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        return run;
    }
    char buffer[4096];
    size_t taken = 0;
    while ((taken = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    {
        run.out.append(buffer, taken);
    }
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadTestFile("maze_tool_err.txt");
    return run;
}

// The maze in memory as the tool prints it.
std::string DescribeMaze()
{
    int32_t length = static_cast<int32_t>(mazeGrid.mazeLength);
    int32_t width = static_cast<int32_t>(mazeGrid.mazeWidth);
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

// Every line ends with CR LF, and no CR stands anywhere else.
bool HasOnlyCrLfLines(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i)
    {
        bool lineEnd = text[i] == '\n';
        bool crBeforeLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if ((lineEnd && (i == 0 || text[i - 1] != '\r')) || (text[i] == '\r' && !crBeforeLf))
        {
            return false;
        }
    }
    return !text.empty() && text.back() == '\n';
}

bool IsOneUsageLine(const std::string& err)
{
    return err.rfind("usage: vortanai-maze", 0) == 0 && err.find('\n') == err.size() - 1;
}

class MazeToolTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        mazeGrid = MazeGrid{};
    }
};

TEST_F(MazeToolTest, PrintsTheGamesMazeInTheFileFormat)
{
    ToolRun run = RunMazeTool("32 16 10 674827");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    GenerateMaze(32, 16, 10, 674827);
    EXPECT_EQ(run.out, DescribeMaze());
    EXPECT_TRUE(HasOnlyCrLfLines(run.out));
    EXPECT_EQ(run.out.substr(0, 7), "32 16\r\n");

    // The largest seed is the bit pattern of -1.
    run = RunMazeTool("9 127 3 4294967295");
    GenerateMaze(9, 127, 3, -1);
    EXPECT_EQ(run.status, mazeGrid.mazeAccepted ? 0 : 1);
    EXPECT_EQ(run.out, DescribeMaze());
}

TEST_F(MazeToolTest, RejectedMazeIsPrintedAllTheSame)
{
    ToolRun run = RunMazeTool("32 16 10 8314950");
    EXPECT_EQ(run.status, 1);
    GenerateMaze(32, 16, 10, 8314950);
    EXPECT_EQ(run.out, DescribeMaze());
    EXPECT_EQ(run.err, "");
}

TEST_F(MazeToolTest, SeedZeroGivesSomeMaze)
{
    ToolRun run = RunMazeTool("8 8 1 0");
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status;
    EXPECT_TRUE(HasOnlyCrLfLines(run.out));
    EXPECT_EQ(run.out.substr(0, 5), "8 8\r\n");
    EXPECT_EQ(run.out.size(), 5u + 8u * 17u);
}

TEST_F(MazeToolTest, BadArgumentsGetTheUsageLine)
{
    const char* const bad[] = {
        "",
        "32 16 10",
        "32 16 10 1 1",
        "12x 16 10 1",
        "'' 16 10 1",
        "-32 16 10 1",
        "+32 16 10 1",
        "' 32' 16 10 1",
        "7 16 10 1",
        "129 16 10 1",
        "32 7 10 1",
        "32 129 10 1",
        "32 16 0 1",
        "32 16 11 1",
        "32 16 10 -1",
        "32 16 10 4294967296",
        "32 16 10 99999999999999999999999",
        "32 16 10 0x10",
        "32 16 10 1.0",
        "--check",
        "--check a b",
        "--help",
    };
    for (const char* arguments : bad)
    {
        SCOPED_TRACE(arguments);
        ToolRun run = RunMazeTool(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(IsOneUsageLine(run.err)) << run.err;
    }
}

TEST_F(MazeToolTest, CheckPrintsWhatTheGameStored)
{
    std::string maze = RunMazeTool("20 10 1 777").out;
    WriteTestFile("tool/maze.txt", maze);
    ToolRun run = RunMazeTool("--check tool/maze.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, maze + "2 5 18 5\r\n");
    EXPECT_TRUE(HasOnlyCrLfLines(run.out));

    // The loader's own rules show through: low 8 bits, a short file repeating its last value,
    // a fractional size, and the start and exit a file without them leaves at zero.
    WriteTestFile("tool/odd.txt", "2.5 2\n258 1\n0");
    run = RunMazeTool("--check tool/odd.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "2.5 2\r\n2 1 0\r\n0 0 0\r\n0 0 0 0\r\n");

    // What the check prints reads back the same.
    WriteTestFile("tool/again.txt", RunMazeTool("--check tool/maze.txt").out);
    EXPECT_EQ(RunMazeTool("--check tool/again.txt").out, maze + "2 5 18 5\r\n");
}

TEST_F(MazeToolTest, CheckFailsOnFilesTheGameCannotRead)
{
    RemoveTestFile("tool/missing.txt");
    for (const char* arguments : {"--check tool/missing.txt", "--check tool/huge.txt"})
    {
        WriteTestFile("tool/huge.txt", "200 8\r\n0 0 0\r\n");
        ToolRun run = RunMazeTool(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("vortanai-maze"), std::string::npos);
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1);
    }
}

} // namespace
