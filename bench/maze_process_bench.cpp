// The maze tool against the full scan as whole processes, start-up included: what a script
// calling `vortanai-maze 128 128 1 42` waits for. Goal: at least 50 times faster than the full
// scan's process. Both print the same maze; the benchmark refuses to run when they do not.
// Besides the wall time, `child_ms` is the processor time the process itself took (user and
// system), which other work on the machine does not inflate.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern char** environ;

namespace
{

char* const MAZE_TOOL_ARGUMENTS[] = {const_cast<char*>(MAZE_TOOL), const_cast<char*>("128"),
                                     const_cast<char*>("128"),     const_cast<char*>("1"),
                                     const_cast<char*>("42"),      nullptr};
char* const FULL_SCAN_ARGUMENTS[] = {const_cast<char*>(FULL_SCAN_TOOL), const_cast<char*>("128"),
                                     const_cast<char*>("128"),          const_cast<char*>("1"),
                                     const_cast<char*>("42"),           nullptr};

// Runs the program to its end with its output thrown away; its exit code, or -1. Adds the
// processor time it took to *seconds.
int RunProcess(char* const* arguments, double* seconds)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int status = -1;
    rusage usage = {};
    if (posix_spawn(&child, arguments[0], &actions, nullptr, arguments, environ) == 0)
    {
        wait4(child, &status, 0, &usage);
    }
    *seconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string OutputOf(char* const* arguments)
{
    std::string command;
    for (char* const* argument = arguments; *argument != nullptr; ++argument)
    {
        command += std::string(*argument) + " ";
    }
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    for (int c = pipe != nullptr ? std::fgetc(pipe) : EOF; c != EOF; c = std::fgetc(pipe))
    {
        output += static_cast<char>(c);
    }
    if (pipe != nullptr)
    {
        pclose(pipe);
    }
    return output;
}

void RunWholeProcess(benchmark::State& state, char* const* arguments)
{
    double seconds = 0.0;
    for (auto _ : state)
    {
        if (RunProcess(arguments, &seconds) != 0)
        {
            state.SkipWithError("the process failed");
            break;
        }
    }
    state.counters["child_ms"] = benchmark::Counter(seconds * 1000.0 / state.iterations());
}

} // namespace

BENCHMARK_CAPTURE(RunWholeProcess, maze_tool, MAZE_TOOL_ARGUMENTS)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(RunWholeProcess, full_scan, FULL_SCAN_ARGUMENTS)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv)
{
    std::string mazeTool = OutputOf(MAZE_TOOL_ARGUMENTS);
    if (mazeTool.empty() || mazeTool != OutputOf(FULL_SCAN_ARGUMENTS))
    {
        std::fputs("the maze tool and the full scan print different mazes\n", stderr);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
