// The maze generator against the full scan it replaces. Goal: a 128 x 128 maze at difficulty 1
// in at most 5 ms, and at least 100 times faster than the full scan.
#include <benchmark/benchmark.h>

#include "maze/maze_grid.h"
#include "tests/maze/full_scan_maze.h"

namespace
{

FullScanMaze fullScanMaze;

// Both methods build the same sixteen mazes in turn.
int32_t SeedOf(int64_t iteration)
{
    return static_cast<int32_t>(674827 + iteration % 16);
}

void GenerateMazeInGame(benchmark::State& state)
{
    int64_t iteration = 0;
    for (auto _ : state)
    {
        bool accepted =
            GenerateMaze(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
                         static_cast<int32_t>(state.range(2)), SeedOf(iteration++));
        benchmark::DoNotOptimize(accepted);
        benchmark::ClobberMemory();
    }
}

void GenerateMazeByFullScan(benchmark::State& state)
{
    int64_t iteration = 0;
    for (auto _ : state)
    {
        bool accepted = GenerateFullScanMaze(&fullScanMaze, static_cast<int32_t>(state.range(0)),
                                             static_cast<int32_t>(state.range(1)),
                                             static_cast<int32_t>(state.range(2)),
                                             static_cast<uint32_t>(SeedOf(iteration++)));
        benchmark::DoNotOptimize(accepted);
        benchmark::ClobberMemory();
    }
}

} // namespace

// Length, width, difficulty: the largest maze with the most walks, the last campaign maze, the
// first campaign maze.
BENCHMARK(GenerateMazeInGame)
    ->Args({128, 128, 1})
    ->Args({128, 64, 10})
    ->Args({32, 16, 10})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(GenerateMazeByFullScan)
    ->Args({128, 128, 1})
    ->Args({128, 64, 10})
    ->Args({32, 16, 10})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
