// A result as the score page places it and the two boards of ten best, as the places, the pages
// and the stores hand them to each other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int BOARD_SIZE = 10;

// A stored result with its rank among the results of its campaign mode.
struct RankedResult
{
    int64_t id;
    std::string name;
    int32_t score;
    uint8_t mode;
    int64_t place; // 1 = best; equal scores rank older results first
    int64_t total; // results stored for that mode
};

struct BoardRow
{
    int64_t id;
    std::string name;
    int32_t score;
};

// The ten best of the fixed and of the random campaign, best first.
struct ScoreBoard
{
    std::vector<BoardRow> fixedRows;
    std::vector<BoardRow> randomRows;
};
