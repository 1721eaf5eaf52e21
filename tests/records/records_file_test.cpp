#include "records/records_file.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "flow/game_state.h"
#include "records/player_name.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

class RecordsFile : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        recordCount = 0;
        RemoveTestFile(RECORDS_PATH);
        WriteTestFile("rekordai/.keep", "");
    }

    // The table in memory as the file would hold it.
    static std::string Table()
    {
        std::string text;
        for (uint32_t i = 0; i < recordCount; ++i)
        {
            text +=
                (i > 0 ? "\r\n" : "") + std::to_string(records[i].score) + " " + records[i].name;
        }
        return text;
    }

    static std::string TenLines(int32_t lowest)
    {
        std::string text;
        for (int i = 0; i < 10; ++i)
        {
            text += std::to_string(lowest + 100 * (9 - i)) + " p" + std::to_string(i);
            text += i < 9 ? "\r\n" : "";
        }
        return text;
    }
};

} // namespace

// A save goes above equal scores, and into a full table only above its last entry; a file that
// cannot be written is reported, and the table in memory holds the result all the same.
TEST_F(RecordsFile, ASaveGoesAboveEqualScoresAndAFullTableDropsItsLastOrStaysAsItIs)
{
    const std::string full = TenLines(40);
    const std::string tie = full.substr(0, full.rfind("\r\n")) + "\r\n40 tie";
    struct Save
    {
        std::optional<std::string> before; // none: no file
        int32_t score;
        std::string name, after;
    };
    const Save saves[] = {
        {std::nullopt, 1234, "abc", "1234 abc"},
        {"900 ana\r\n500 old\r\n100 zed", 500, "new", "900 ana\r\n500 new\r\n500 old\r\n100 zed"},
        {full, 40, "tie", tie},
        {full, 39, "low", full},
        {"", 70, " a b  ", "70  a b  "},
    };
    for (const Save& save : saves)
    {
        save.before ? WriteTestFile(RECORDS_PATH, *save.before) : RemoveTestFile(RECORDS_PATH);
        std::snprintf(playerName, sizeof playerName, "%s", save.name.c_str());
        gameState.score = save.score;
        EXPECT_TRUE(SaveRecord());
        EXPECT_EQ(ReadTestFile(RECORDS_PATH), save.after);
        EXPECT_EQ(Table(), save.after);
    }
    // Only the missing file is reported.
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_EQ(fakeSystem.boxes[0].caption + ": " + fakeSystem.boxes[0].text,
              "Klaida: Klaida atidarant faila rekordai/rekordai.txt");
    // A file where the folder should be stays.
    std::filesystem::remove_all("rekordai");
    WriteTestFile("rekordai", "not a folder");
    recordCount = 0;
    EXPECT_FALSE(SaveRecord());
    EXPECT_EQ(fakeSystem.boxes.size(), 3u);
    EXPECT_EQ(fakeSystem.boxes.back().text, "Klaida rasant i faila rekordai/rekordai.txt");
    EXPECT_EQ(Table(), "70  a b  ");
    EXPECT_EQ(ReadTestFile("rekordai"), "not a folder");
    RemoveTestFile("rekordai");
}

TEST_F(RecordsFile, ReadingStopsAtTenEntriesOrAFailedLineAndAMissingFileLeavesTheTable)
{
    struct Read
    {
        std::string file, table;
    };
    const Read reads[] = {
        {TenLines(5) + "\r\n1 eleven\r\n2 twelve", TenLines(5)},
        {"30 one\r\n20 \r\n10 three", "30 one"}, // a line without a name ends the table
        {"30 one\r\n", "30 one"},
        {"", ""},
        {"5 " + std::string(70, 'n') + "\r\n4 next", "5 " + std::string(15, 'n') + "\r\n4 next"},
        // A NUL byte would cut a name short, to nothing at the start; it reads as a space.
        {std::string("7 \0ab\0\r\n6 c", 11), "7  ab \r\n6 c"},
        {"70  a b  ", "70  a b  "},
    };
    for (const Read& read : reads)
    {
        WriteTestFile(RECORDS_PATH, read.file);
        ASSERT_TRUE(LoadRecords());
        EXPECT_EQ(Table(), read.table);
        RemoveTestFile(RECORDS_PATH);
        EXPECT_FALSE(LoadRecords());
        EXPECT_EQ(Table(), read.table);
    }
    EXPECT_EQ(fakeSystem.boxes.size(), std::size(reads));
}
