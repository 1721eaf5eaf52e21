#include "maze/maze_grid.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "maze/maze_clock.h"
#include "maze/maze_random.h"

MazeGrid mazeGrid;

namespace
{

constexpr int32_t ROW_WORDS = MAZE_MAX_SIZE / 64;
static_assert((MAZE_MAX_SIZE & (MAZE_MAX_SIZE - 1)) == 0);
constexpr int32_t STEP_X[4] = {0, 1, 0, -1};
constexpr int32_t STEP_Y[4] = {-1, 0, 1, 0};

// The cells a new walk may start from: corridor cells (value 1, so never the start) inside the
// border, other than the exit, that can still extend. The next walk starts at the r-th of them
// in row-major order. Scanning the whole maze for them after every walk makes a 128 x 128 maze
// at difficulty 1 a hundred times slower, so the set is kept as the walks carve: opening a cell can
// only close directions of cells within two cells of it, and a cell never regains a direction.
// Each member keeps its open directions, which every opening nearby narrows by a table. Each
// row keeps its members as bits, and a Fenwick tree over the rows' counts finds the row of the
// r-th member in 7 steps.
// Reset at the start of every GenerateMaze.
struct WalkStarts
{
    uint8_t directions[MAZE_MAX_SIZE][MAZE_MAX_SIZE]; // a member's open directions, as bits
    uint64_t members[MAZE_MAX_SIZE][ROW_WORDS];       // bit x % 64 of word x / 64 of row y
    int32_t rowTree[MAZE_MAX_SIZE + 1]; // counts members of rows i - (i & -i) ... i - 1
    int32_t count;
};

WalkStarts walkStarts;

int32_t UsedLength()
{
    return static_cast<int32_t>(mazeGrid.mazeLength);
}

int32_t UsedWidth()
{
    return static_cast<int32_t>(mazeGrid.mazeWidth);
}

bool IsExit(int32_t x, int32_t y)
{
    return static_cast<uint32_t>(x) == mazeGrid.exitX && static_cast<uint32_t>(y) == mazeGrid.exitY;
}

bool IsInGrid(int32_t x, int32_t y)
{
    return x >= 0 && x < MAZE_MAX_SIZE && y >= 0 && y < MAZE_MAX_SIZE;
}

// The open directions from (x, y) as bits 1 << DIR_...: each step needs the cell stepped into,
// its two side neighbours and the three cells beyond them all to be walls, and must stay off
// the border. The bound is tested first, so nothing outside the maze is read. The caller keeps
// (x, y) inside the border.
uint32_t FindOpenDirections(int32_t x, int32_t y, int32_t length, int32_t width)
{
    const uint8_t* above2 = mazeGrid.cells[y >= 2 ? y - 2 : y];
    const uint8_t* above = mazeGrid.cells[y - 1];
    const uint8_t* row = mazeGrid.cells[y];
    const uint8_t* below = mazeGrid.cells[y + 1];
    const uint8_t* below2 = mazeGrid.cells[y < width - 2 ? y + 2 : y];
    uint32_t open = 0;
    if (y >= 2 && (above[x - 1] | above[x] | above[x + 1] | above2[x - 1] | above2[x] |
                   above2[x + 1]) == CELL_WALL)
    {
        open |= 1u << DIR_UP;
    }
    if (x < length - 2 && (above[x + 1] | row[x + 1] | below[x + 1] | above[x + 2] | row[x + 2] |
                           below[x + 2]) == CELL_WALL)
    {
        open |= 1u << DIR_RIGHT;
    }
    if (y < width - 2 && (below[x - 1] | below[x] | below[x + 1] | below2[x - 1] | below2[x] |
                          below2[x + 1]) == CELL_WALL)
    {
        open |= 1u << DIR_DOWN;
    }
    if (x >= 2 && (above[x - 1] | row[x - 1] | below[x - 1] | above[x - 2] | row[x - 2] |
                   below[x - 2]) == CELL_WALL)
    {
        open |= 1u << DIR_LEFT;
    }
    return open;
}

void ResetWalkStarts()
{
    std::memset(&walkStarts, 0, sizeof walkStarts);
}

bool IsWalkStart(int32_t x, int32_t y)
{
    return ((walkStarts.members[y][x / 64] >> (x % 64)) & 1u) != 0;
}

void ToggleWalkStart(int32_t x, int32_t y)
{
    bool member = !IsWalkStart(x, y);
    walkStarts.members[y][x / 64] ^= uint64_t{1} << (x % 64);
    int32_t delta = member ? 1 : -1;
    for (int32_t i = y + 1; i <= MAZE_MAX_SIZE; i += i & -i)
    {
        walkStarts.rowTree[i] += delta;
    }
    walkStarts.count += delta;
}

// The member at 0-based position `rank` in row-major order; rank must be below count.
void FindWalkStart(int32_t rank, int32_t* x, int32_t* y)
{
    // MAZE_MAX_SIZE is a power of two, so row + span never passes it. No branches: the choice
    // at each step is a coin toss the processor cannot predict.
    int32_t row = 0;
    for (int32_t span = MAZE_MAX_SIZE; span > 0; span >>= 1)
    {
        int32_t below = walkStarts.rowTree[row + span];
        bool past = below <= rank;
        row += past ? span : 0;
        rank -= past ? below : 0;
    }
    int32_t word = 0;
    while (rank >= std::popcount(walkStarts.members[row][word]))
    {
        rank -= std::popcount(walkStarts.members[row][word]);
        ++word;
    }
    uint64_t bits = walkStarts.members[row][word];
    for (; rank > 0; --rank)
    {
        bits &= bits - 1;
    }
    *x = word * 64 + std::countr_zero(bits);
    *y = row;
}

// Columns left ... right that lie in one word of a row, as that word's bits.
uint64_t ColumnMask(int32_t word, int32_t left, int32_t right)
{
    int32_t first = std::max(left, word * 64) - word * 64;
    int32_t last = std::min(right, word * 64 + 63) - word * 64;
    if (first > last)
    {
        return 0;
    }
    return (~uint64_t{0} >> (63 - (last - first))) << first;
}

// Which directions of a cell are closed by opening the cell (dx, dy) away from it, indexed
// [dy + 2][dx + 2]: a direction needs the 2 x 3 block of cells it steps into to be walls.
struct ClosedDirections
{
    uint8_t byOffset[5][5];
};

constexpr ClosedDirections MakeClosedDirections()
{
    ClosedDirections closed{};
    for (int32_t direction = DIR_UP; direction <= DIR_LEFT; ++direction)
    {
        for (int32_t along = 1; along <= 2; ++along)
        {
            for (int32_t across = -1; across <= 1; ++across)
            {
                bool vertical = STEP_X[direction] == 0;
                int32_t dx = vertical ? across : STEP_X[direction] * along;
                int32_t dy = vertical ? STEP_Y[direction] * along : across;
                closed.byOffset[dy + 2][dx + 2] |= static_cast<uint8_t>(1u << direction);
            }
        }
    }
    return closed;
}

constexpr ClosedDirections CLOSED_DIRECTIONS = MakeClosedDirections();

// Opens a cell as corridor and brings the walk starts within reach of it up to date: members
// whose last direction it closes leave, and the cell itself joins when it can extend.
void OpenCell(int32_t x, int32_t y)
{
    mazeGrid.cells[y][x] = CELL_PATH;
    int32_t length = UsedLength();
    int32_t width = UsedWidth();
    int32_t top = std::max(1, y - 2);
    int32_t bottom = std::min(width - 2, y + 2);
    int32_t left = std::max(1, x - 2);
    int32_t right = std::min(length - 2, x + 2);
    if (top > bottom || left > right)
    {
        return; // a cell outside the maze
    }
    int32_t firstWord = left / 64;
    int32_t lastWord = right / 64;
    uint64_t masks[ROW_WORDS] = {};
    for (int32_t word = firstWord; word <= lastWord; ++word)
    {
        masks[word] = ColumnMask(word, left, right);
    }
    for (int32_t row = top; row <= bottom; ++row)
    {
        for (int32_t word = firstWord; word <= lastWord; ++word)
        {
            uint64_t bits = walkStarts.members[row][word] & masks[word];
            for (; bits != 0; bits &= bits - 1)
            {
                int32_t column = word * 64 + std::countr_zero(bits);
                uint8_t& directions = walkStarts.directions[row][column];
                directions &= ~CLOSED_DIRECTIONS.byOffset[y - row + 2][x - column + 2];
                if (directions == 0)
                {
                    ToggleWalkStart(column, row);
                }
            }
        }
    }
    bool inside = x >= left && x <= right && y >= top && y <= bottom;
    if (inside && !IsExit(x, y) && !IsWalkStart(x, y))
    {
        uint32_t directions = FindOpenDirections(x, y, length, width);
        if (directions != 0)
        {
            walkStarts.directions[y][x] = static_cast<uint8_t>(directions);
            ToggleWalkStart(x, y);
        }
    }
}

} // namespace

void GetOpenDirections(int32_t x, int32_t y, bool open[4])
{
    int32_t length = UsedLength();
    int32_t width = UsedWidth();
    // A walker never stands on the border; there, or outside the maze, nothing is open.
    bool inside = x >= 1 && x <= length - 2 && y >= 1 && y <= width - 2;
    uint32_t directions = inside ? FindOpenDirections(x, y, length, width) : 0;
    for (int32_t direction = DIR_UP; direction <= DIR_LEFT; ++direction)
    {
        open[direction] = (directions & (1u << direction)) != 0;
    }
}

bool CanExtend(int32_t x, int32_t y)
{
    bool open[4];
    GetOpenDirections(x, y, open);
    return open[DIR_UP] || open[DIR_RIGHT] || open[DIR_DOWN] || open[DIR_LEFT];
}

void ConnectExit(int32_t x, int32_t y)
{
    // Only a grid filled from a file can put the exit or the walker outside the grid.
    if (mazeGrid.exitX >= MAZE_MAX_SIZE || mazeGrid.exitY >= MAZE_MAX_SIZE || !IsInGrid(x, y))
    {
        return;
    }
    int32_t exitX = static_cast<int32_t>(mazeGrid.exitX);
    int32_t exitY = static_cast<int32_t>(mazeGrid.exitY);
    if (std::abs(x - exitX) > 1 || std::abs(y - exitY) > 1)
    {
        return; // not near the exit: nothing to join
    }
    if (x == exitX || y == exitY)
    {
        return; // beside the exit: opening the exit itself joins them
    }
    int32_t farY = 2 * y - exitY; // the row one further from the exit than the walker's
    int32_t farX = 2 * exitX - x; // the column on the far side of the exit
    if (!IsInGrid(farX, farY))
    {
        return;
    }
    // Open the cell beside both: in the exit's column while the row beyond it is still solid.
    if (mazeGrid.cells[farY][exitX] == CELL_WALL && mazeGrid.cells[farY][farX] == CELL_WALL)
    {
        OpenCell(exitX, y);
    }
    else
    {
        OpenCell(x, exitY);
    }
}

bool IsExitConnected()
{
    int64_t exitX = mazeGrid.exitX;
    int64_t exitY = mazeGrid.exitY;
    for (int64_t y = exitY - 1; y <= exitY + 1; ++y)
    {
        for (int64_t x = exitX - 1; x <= exitX + 1; ++x)
        {
            bool inGrid = x >= 0 && x < MAZE_MAX_SIZE && y >= 0 && y < MAZE_MAX_SIZE;
            if (inGrid && !(x == exitX && y == exitY) && mazeGrid.cells[y][x] != CELL_WALL)
            {
                return true;
            }
        }
    }
    return false;
}

bool GenerateMaze(int32_t length, int32_t width, int32_t difficulty, int32_t seed)
{
    // No caller passes anything outside these ranges; whatever comes is clamped into them, so
    // the maze always fits the grid and keeps its border, start and exit apart.
    length = std::clamp(length, MAZE_MIN_SIZE, MAZE_MAX_SIZE);
    width = std::clamp(width, MAZE_MIN_SIZE, MAZE_MAX_SIZE);
    difficulty = std::clamp(difficulty, MAZE_MIN_DIFFICULTY, MAZE_MAX_DIFFICULTY);

    // Seed 0 asks for a new maze on every call.
    uint32_t start =
        seed != 0 ? static_cast<uint32_t>(seed) : static_cast<uint32_t>(ReadMazeClock());
    SeedMazeRandom(start);

    mazeGrid.playerX = 2.0f;
    mazeGrid.mazeLength = static_cast<float>(length);
    mazeGrid.mazeWidth = static_cast<float>(width);
    mazeGrid.playerY = static_cast<float>(width / 2);
    mazeGrid.exitX = static_cast<uint32_t>(length - 2);
    mazeGrid.exitY = static_cast<uint32_t>(width / 2);
    int32_t exitX = length - 2;
    int32_t exitY = width / 2;

    // Cells beyond the rectangle keep the last maze's values: nothing reads them.
    for (int32_t y = 0; y < width; ++y)
    {
        std::memset(mazeGrid.cells[y], CELL_WALL, static_cast<size_t>(length));
    }
    ResetWalkStarts();

    int32_t x = 2;
    int32_t y = width / 2;
    mazeGrid.cells[y][x] = CELL_START;
    bool exitJoined = false;
    for (;;)
    {
        int32_t steps = 0;
        bool joinedNow = false;
        for (;;)
        {
            uint32_t open = FindOpenDirections(x, y, length, width);
            if (open == 0)
            {
                break; // blocked
            }
            int32_t direction = NextMazeRandom() % 4;
            while ((open & (1u << direction)) == 0)
            {
                direction = NextMazeRandom() % 4;
            }
            x += STEP_X[direction];
            y += STEP_Y[direction];
            OpenCell(x, y);
            if (!exitJoined && std::abs(x - exitX) <= 1 && std::abs(y - exitY) <= 1)
            {
                ConnectExit(x, y);
                exitJoined = true;
                OpenCell(exitX, exitY);
                joinedNow = true;
            }
            ++steps;
            // Difficulty d lets a walk take d + 1 steps; the top difficulty sets no bound.
            if ((difficulty != MAZE_MAX_DIFFICULTY && steps > difficulty) || joinedNow)
            {
                break;
            }
        }
        if (walkStarts.count == 0)
        {
            break;
        }
        FindWalkStart(NextMazeRandom() % walkStarts.count, &x, &y);
    }

    mazeGrid.cells[exitY][exitX] = CELL_EXIT;
    mazeGrid.mazeAccepted = IsExitConnected();
    return mazeGrid.mazeAccepted;
}
