// full-scan-maze LENGTH WIDTH DIFFICULTY SEED: the maze tool's generate command done by the full
// scan the generator replaced, printed the same way, so that the two processes can be timed
// whole against each other. Arguments are trusted: it serves the benchmark only.
#include <cstdio>
#include <cstdlib>

#include "tests/maze/full_scan_maze.h"

namespace
{

FullScanMaze maze;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5)
    {
        std::fputs("usage: full-scan-maze LENGTH WIDTH DIFFICULTY SEED\n", stderr);
        return 2;
    }
    int32_t length = std::atoi(argv[1]);
    int32_t width = std::atoi(argv[2]);
    bool accepted = GenerateFullScanMaze(&maze, length, width, std::atoi(argv[3]),
                                         static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)));
    std::printf("%d %d\r\n", length, width);
    for (int32_t y = 0; y < width; ++y)
    {
        for (int32_t x = 0; x < length; ++x)
        {
            std::printf(x == 0 ? "%u" : " %u", maze.cells[y][x]);
        }
        std::fputs("\r\n", stdout);
    }
    return accepted ? 0 : 1;
}
