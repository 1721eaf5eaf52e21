// The table of the ten best campaign results and its file, rekordai/rekordai.txt: one result a
// line, the score, one space and the name; CR LF between lines and none after the last.
#pragma once

#include <cstdint>

constexpr const char* RECORDS_PATH = "rekordai/rekordai.txt";
constexpr int MAX_RECORDS = 10;
constexpr int RECORD_NAME_SIZE = 16; // up to 15 characters and the terminator

struct RecordEntry
{
    char name[RECORD_NAME_SIZE];
    int32_t score;
};

// Read afresh from the file each time the records screen opens and each time a result is
// recorded; tests reset them with `recordCount = 0;`.
extern RecordEntry records[MAX_RECORDS];
extern uint8_t recordCount;

// Reads the file into the table; false (with its message) when it cannot be opened, leaving the
// table as it was.
bool LoadRecords();
// Reads the file again, inserts the game's score with playerName above every entry it equals or
// beats, and writes the whole table back. A result below every entry of a full table changes
// nothing.
bool SaveRecord();
