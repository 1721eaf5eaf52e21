// The flat screens: splash, custom-maze parameters, name entry, records, credits.
#pragma once

#include <cstdint>

int32_t DrawSplash();
int32_t DrawCustomMaze();
int32_t DrawNameEntry();
int32_t DrawRecords();
int32_t DrawCredits();
