#include "records/records_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "flow/game_state.h"
#include "platform/platform.h"
#include "records/name_entry.h"
#include "text/text_file.h"

RecordEntry records[MAX_RECORDS];
uint8_t recordCount;

namespace
{

constexpr const char* RECORDS_TEMPORARY_PATH = "rekordai/rekordai.txt.new";
constexpr const char* RECORDS_DIRECTORY = "rekordai";
// A line's name is read up to this length; the table keeps its first 15 characters.
constexpr int RECORD_LINE_NAME_SIZE = 80;

bool SyncPath(const char* path, int flags)
{
    int descriptor = open(path, flags);
    if (descriptor < 0)
    {
        return false;
    }
    bool synced = fsync(descriptor) == 0;
    close(descriptor);
    return synced;
}

// Writes the table beside the records file and puts it in the old one's place in one step, so
// that a crash at any moment leaves either the old table or the new one, whole.
bool WriteRecordsFile()
{
    FILE* file = std::fopen(RECORDS_TEMPORARY_PATH, "wb");
    if (file == nullptr)
    {
        return false;
    }
    bool written = true;
    for (uint32_t i = 0; i < recordCount; ++i)
    {
        const char* lineEnd = i + 1 < recordCount ? "\r\n" : "";
        written = written && std::fprintf(file, "%d %s%s", static_cast<int>(records[i].score),
                                          records[i].name, lineEnd) >= 0;
    }
    written = written && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(RECORDS_TEMPORARY_PATH, RECORDS_PATH) != 0)
    {
        std::remove(RECORDS_TEMPORARY_PATH);
        return false;
    }
    SyncPath(RECORDS_DIRECTORY, O_RDONLY | O_DIRECTORY);
    return true;
}

} // namespace

bool LoadRecords()
{
    TextFile file;
    if (!OpenTextFile(&file, RECORDS_PATH))
    {
        ShowMessageBox("Klaida atidarant faila rekordai/rekordai.txt", "Klaida", ICON_EXCLAMATION);
        return false;
    }
    uint32_t count = 0;
    while (count < MAX_RECORDS && IsTextGood(&file))
    {
        int32_t score = 0;
        char name[RECORD_LINE_NAME_SIZE];
        std::memset(name, '\n', sizeof name);
        if (!ReadTextInt(&file, &score))
        {
            break;
        }
        SkipTextChar(&file);
        // A line without a name is a failed read: it adds no entry.
        if (!ReadTextLine(&file, name, sizeof name))
        {
            break;
        }
        SkipTextChar(&file);
        // A NUL byte in a name (a damaged file) would cut it short, and a name cut to nothing is
        // written back as a line that stops the next reading: every entry below it would be lost.
        // NUL bytes read as spaces instead; the buffer was filled with line ends, which a line
        // never holds, so the bytes read are those before the first of them and its terminator.
        const char* unread = static_cast<const char*>(std::memchr(name, '\n', sizeof name));
        size_t length =
            unread != nullptr ? static_cast<size_t>(unread - name) - 1 : sizeof name - 1;
        std::replace(name, name + length, '\0', ' ');
        records[count].score = score;
        // A hand-edited name longer than the field keeps its first 15 characters.
        std::snprintf(records[count].name, sizeof records[count].name, "%.*s", RECORD_NAME_SIZE - 1,
                      name);
        ++count;
    }
    recordCount = static_cast<uint8_t>(count);
    CloseTextFile(&file);
    return true;
}

bool SaveRecord()
{
    int32_t score = gameState.score;
    LoadRecords();
    uint32_t position = 0;
    while (position < recordCount && records[position].score > score)
    {
        ++position;
    }
    if (position == MAX_RECORDS)
    {
        return true; // below every entry of a full table
    }
    if (recordCount < MAX_RECORDS)
    {
        ++recordCount;
    }
    for (uint32_t i = recordCount - 1; i > position; --i)
    {
        records[i] = records[i - 1];
    }
    records[position].score = score;
    std::snprintf(records[position].name, sizeof records[position].name, "%s", playerName);
    if (!WriteRecordsFile())
    {
        ShowMessageBox("Klaida rasant i faila rekordai/rekordai.txt", "Klaida", ICON_EXCLAMATION);
        return false;
    }
    return true;
}
