#include "records/player_name.h"

char nameBuffer[NAME_MAX_LENGTH + 1];
uint8_t nameLength;
char playerName[NAME_MAX_LENGTH + 1];
uint8_t nameCursor;
bool nameCursorShown;
