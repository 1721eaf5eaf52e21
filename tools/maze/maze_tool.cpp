// vortanai-maze: prints a maze exactly as the game generates it, or exactly what the game reads
// from a maze file, in the maze file format (CR LF line ends).
//
//   vortanai-maze LENGTH WIDTH DIFFICULTY SEED   exit 0 when the maze is accepted, 1 when not
//   vortanai-maze --check FILE                    exit 0 when the file could be read
//
// Bad arguments, and a file that cannot be read, exit with 2.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "text/translation.h"

namespace
{

const char* const USAGE = MarkText("usage: vortanai-maze LENGTH WIDTH DIFFICULTY SEED | "
                                   "vortanai-maze --check FILE (sizes 8..128, difficulty 1..10, "
                                   "seed 0..4294967295)\n");

constexpr int EXIT_ACCEPTED = 0;
constexpr int EXIT_REJECTED = 1;
constexpr int EXIT_USAGE = 2;

// A message in the user's language, chosen as the game chooses it only when there is one to say:
// scripts run the tool many times over, and a maze needs no catalog.
const char* TranslateMessage(const char* id)
{
    const char* dir = std::getenv("VORTANAI_LOCALE_DIR");
    ChooseLanguage(nullptr, dir != nullptr && dir[0] != '\0' ? dir : VORTANAI_LOCALE_DIR);
    return Translate(id);
}

// A whole argument of decimal digits within low ... high: no sign, blank or anything after it.
bool ParseArgument(const char* text, uint64_t low, uint64_t high, uint64_t* value)
{
    const char* end = text + std::strlen(text);
    auto [stop, error] = std::from_chars(text, end, *value);
    return error == std::errc() && stop == end && *value >= low && *value <= high;
}

// A float as the shortest text that reads back as the same value.
void PrintFloat(float value)
{
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text - 1, value);
    *(error == std::errc() ? end : text) = '\0';
    std::fputs(text, stdout);
}

// The maze in memory: the two sizes, then one row per line, as the game reads them back.
void PrintMaze()
{
    PrintFloat(mazeGrid.mazeLength);
    std::fputs(" ", stdout);
    PrintFloat(mazeGrid.mazeWidth);
    std::fputs("\r\n", stdout);
    // A row is formatted whole and written at once: a printf per cell cost more than the maze.
    char row[MAZE_MAX_SIZE * 4 + 2];
    for (int32_t y = 0; static_cast<float>(y) < mazeGrid.mazeWidth; ++y)
    {
        char* end = row;
        for (int32_t x = 0; static_cast<float>(x) < mazeGrid.mazeLength; ++x)
        {
            if (x > 0)
            {
                *end++ = ' ';
            }
            end = std::to_chars(end, row + sizeof row, mazeGrid.cells[y][x]).ptr;
        }
        *end++ = '\r';
        *end++ = '\n';
        std::fwrite(row, 1, static_cast<size_t>(end - row), stdout);
    }
}

int GenerateCommand(char** argv)
{
    uint64_t length = 0;
    uint64_t width = 0;
    uint64_t difficulty = 0;
    uint64_t seed = 0;
    if (!ParseArgument(argv[1], MAZE_MIN_SIZE, MAZE_MAX_SIZE, &length) ||
        !ParseArgument(argv[2], MAZE_MIN_SIZE, MAZE_MAX_SIZE, &width) ||
        !ParseArgument(argv[3], MAZE_MIN_DIFFICULTY, MAZE_MAX_DIFFICULTY, &difficulty) ||
        !ParseArgument(argv[4], 0, UINT32_MAX, &seed))
    {
        std::fputs(TranslateMessage(USAGE), stderr);
        return EXIT_USAGE;
    }
    // The game takes the seed as a signed 32-bit value and uses its bit pattern.
    bool accepted = GenerateMaze(static_cast<int32_t>(length), static_cast<int32_t>(width),
                                 static_cast<int32_t>(difficulty),
                                 static_cast<int32_t>(static_cast<uint32_t>(seed)));
    PrintMaze();
    return accepted ? EXIT_ACCEPTED : EXIT_REJECTED;
}

int CheckCommand(const char* path)
{
    if (!LoadMazeFile(path))
    {
        std::fprintf(stderr,
                     TranslateMessage(MarkText("vortanai-maze: cannot read a maze from %s\n")),
                     path);
        return EXIT_USAGE;
    }
    PrintMaze();
    // Player start, then exit: the loader keeps what a file without a 2 or a 3 does not set.
    PrintFloat(mazeGrid.playerX);
    std::fputs(" ", stdout);
    PrintFloat(mazeGrid.playerY);
    std::printf(" %u %u\r\n", mazeGrid.exitX, mazeGrid.exitY);
    return EXIT_ACCEPTED;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5)
    {
        return GenerateCommand(argv);
    }
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0)
    {
        return CheckCommand(argv[2]);
    }
    std::fputs(TranslateMessage(USAGE), stderr);
    return EXIT_USAGE;
}
