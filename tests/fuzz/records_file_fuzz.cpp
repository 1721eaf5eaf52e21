// The records file on any contents: the reader fills at most ten terminated entries, and a result
// saved into whatever it read is written so that reading the file again gives back exactly the
// table the game holds: nothing of the table is lost by a save.
#include <cstdlib>
#include <cstring>

#include "records/name_entry.h"
#include "records/records_file.h"
#include "tests/fuzz/fuzz_support.h"

// The name entry screen owns the name in the game; the records file only reads it.
char playerName[NAME_MAX_LENGTH + 1];

namespace
{

bool IsTableSound()
{
    if (recordCount > RECORD_COUNT_MAX)
    {
        return false;
    }
    for (uint32_t i = 0; i < recordCount; ++i)
    {
        if (std::memchr(records[i].name, '\0', RECORD_NAME_SIZE) == nullptr)
        {
            return false;
        }
    }
    return true;
}

// A name as the name entry screen makes them: letters, digits and spaces, 1 to 15 of them.
void MakePlayerName(const uint8_t* data, size_t size)
{
    static const char LETTERS[] = "abcxyzABCXYZ019 ";
    size_t length = 1 + (size > 0 ? data[0] % NAME_MAX_LENGTH : 0);
    for (size_t i = 0; i < length; ++i)
    {
        uint8_t byte = i + 1 < size ? data[i + 1] : static_cast<uint8_t>(i);
        playerName[i] = LETTERS[byte % (sizeof LETTERS - 1)];
    }
    playerName[length] = '\0';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnterScratchDirectory("records");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile(RECORDS_PATH, data, size);
    recordCount = 0;
    fuzzMessageBoxes = 0;
    if (!LoadRecords() || !IsTableSound())
    {
        std::abort();
    }

    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i)
    {
        hash = (hash ^ data[i]) * 16777619u;
    }
    int32_t score = static_cast<int32_t>(hash % 2000000u);
    MakePlayerName(data, size);
    if (!SaveRecord(score) || fuzzMessageBoxes != 0 || !IsTableSound())
    {
        std::abort();
    }
    RecordEntry saved[RECORD_COUNT_MAX];
    uint32_t savedCount = recordCount;
    std::memcpy(saved, records, sizeof saved);

    std::memset(records, 0, sizeof records);
    recordCount = 0;
    if (!LoadRecords() || recordCount != savedCount)
    {
        std::abort(); // an entry written is lost when the file is read again
    }
    for (uint32_t i = 0; i < savedCount; ++i)
    {
        if (records[i].score != saved[i].score || std::strcmp(records[i].name, saved[i].name) != 0)
        {
            std::abort();
        }
    }
    return 0;
}
