#include "records/name_entry.h"

void OnNameEntryKey(uint32_t) {}

void OnRecordsKey(uint32_t) {}
