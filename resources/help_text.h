// The help text that F1 shows over the game: the lines of duomenys/pagalba.txt, code page 1257
// bytes as the file holds them.
#pragma once

#include <cstdint>

constexpr int HELP_MAX_LINES = 20;
// Up to 80 characters and the terminator; a longer file line goes on as the next entry.
constexpr int HELP_LINE_LENGTH = 81;

// Filled once by LoadHelpText at start-up; empty (count 0) when the file is missing.
extern char helpLines[HELP_MAX_LINES][HELP_LINE_LENGTH];
extern uint32_t helpLineCount;

// Reads the help file. False when it cannot be opened. An empty line ends the text (it is kept
// as an empty entry), and reading stops when the table is full.
bool LoadHelpText();
