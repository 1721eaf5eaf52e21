// The name a player types after a campaign, which the records file stores and the name-entry
// screen draws.
#pragma once

#include <cstdint>

#include "rules/campaign_rules.h"

// The name typed so far, not terminated: its first nameLength bytes count. Zero at program start
// and kept for the whole run, so the next campaign starts with it; tests reset nameLength.
extern char nameBuffer[NAME_MAX_LENGTH + 1];
extern uint8_t nameLength;
// The typed name, terminated; rebuilt after every key on the name-entry screen.
extern char playerName[NAME_MAX_LENGTH + 1];

// Where a pad edits the name: the letter at nameCursor, or a new one when it is nameLength. The
// screen marks it once a pad has moved it (nameCursorShown); both are reset on entering the
// screen.
extern uint8_t nameCursor;
extern bool nameCursorShown;
