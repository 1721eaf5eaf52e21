// Name entry after a campaign, the records screen's keys, and the submission of the result to
// the score page.
#pragma once

#include <cstdint>

#include "records/player_name.h"

constexpr int SUBMIT_ADDRESS_SIZE = 256;

void OnNameEntryKey(uint32_t key);
// The pad types the name: up and down step the letter under the cursor through A-Z, a-z, 0-9 and
// the space, round, and add the letter A at a new place; left and right move the cursor along the
// name, as far as the place after its end; B deletes the last letter.
bool OnNameEntryPad(uint8_t button, bool repeated);
void OnRecordsKey(uint32_t key);
// Opens the score page with the name and the verification code of the result. Always true.
bool SubmitScore();
// The score page's address for this result: base, "?v=", the name as typed, "&r=", 17 digits.
// False (and nothing to open) when it would not fit in 255 characters.
bool FormatSubmitAddress(char* address, int size);
