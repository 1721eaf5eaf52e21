// Name entry after a campaign, the records screen's keys, and the score submission.
#pragma once

#include <cstdint>

void OnNameEntryKey(uint32_t key);
void OnRecordsKey(uint32_t key);
