#include "records/records_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "flow/game_state.h"
#include "platform/platform.h"
#include "records/player_name.h"
#include "text/safe_save.h"
#include "text/text_file.h"
#include "text/translation.h"

RecordEntry records[MAX_RECORDS];
uint8_t recordCount;

namespace
{

// A line's name is read up to this length; the table keeps its first 15 characters.
constexpr int RECORD_LINE_NAME_SIZE = 80;

// One result a line, CR LF between lines and none after the last.
bool WriteRecordLines(FILE* file)
{
    bool written = true;
    for (uint32_t i = 0; i < recordCount; ++i)
    {
        const char* lineEnd = i + 1 < recordCount ? "\r\n" : "";
        written = written && std::fprintf(file, "%d %s%s", static_cast<int>(records[i].score),
                                          records[i].name, lineEnd) >= 0;
    }
    return written;
}

} // namespace

bool LoadRecords()
{
    TextFile file;
    if (!OpenTextFile(&file, RECORDS_PATH))
    {
        ShowMessageBox(Translate("Klaida atidarant faila rekordai/rekordai.txt"),
                       Translate("Klaida"), ICON_EXCLAMATION);
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
    if (!SaveFileSafely(RECORDS_PATH, WriteRecordLines))
    {
        ShowMessageBox(Translate("Klaida rasant i faila rekordai/rekordai.txt"),
                       Translate("Klaida"), ICON_EXCLAMATION);
        return false;
    }
    return true;
}
