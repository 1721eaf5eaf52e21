#include "records/records_file.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>

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

TEST_F(RecordsFile, ASaveGoesAboveEqualScoresAndAFullTableDropsItsLastOrStaysAsItIs)
{
    const std::string full = TenLines(40);
    const std::string tie = full.substr(0, full.rfind("\r\n")) + "\r\n40 tie";
    // The file before (none: no file), the result saved, the file after.
    const std::tuple<std::optional<std::string>, int32_t, const char*, std::string> cases[] = {
        {std::nullopt, 1234, "abc", "1234 abc"},
        {"900 ana\r\n500 old\r\n100 zed", 500, "new", "900 ana\r\n500 new\r\n500 old\r\n100 zed"},
        {full, 40, "tie", tie},
        {full, 39, "low", full},
        {"", 70, " a b  ", "70  a b  "},
    };
    for (const auto& [before, score, name, after] : cases)
    {
        before ? WriteTestFile(RECORDS_PATH, *before) : RemoveTestFile(RECORDS_PATH);
        std::snprintf(playerName, sizeof playerName, "%s", name);
        gameState.score = score;
        EXPECT_TRUE(SaveRecord());
        EXPECT_EQ(ReadTestFile(RECORDS_PATH), after);
        EXPECT_EQ(Table(), after);
    }
    // Only the missing file is reported.
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_EQ(fakeSystem.boxes[0].text, "Klaida atidarant faila rekordai/rekordai.txt");
    EXPECT_EQ(fakeSystem.boxes[0].caption, "Klaida");
}

TEST_F(RecordsFile, ReadingStopsAtTenEntriesOrAFailedLineAndAMissingFileLeavesTheTable)
{
    const std::pair<std::string, std::string> cases[] = {
        {TenLines(5) + "\r\n1 eleven\r\n2 twelve", TenLines(5)},
        {"30 one\r\n20 \r\n10 three", "30 one"}, // a line without a name ends the table
        {"30 one\r\n", "30 one"},
        {"", ""},
        {"5 " + std::string(70, 'n') + "\r\n4 next", "5 " + std::string(15, 'n') + "\r\n4 next"},
        // A NUL byte would cut a name short, to nothing at the start; it reads as a space.
        {std::string("7 \0ab\0\r\n6 c", 11), "7  ab \r\n6 c"},
        {"70  a b  ", "70  a b  "},
    };
    for (const auto& [file, table] : cases)
    {
        WriteTestFile(RECORDS_PATH, file);
        ASSERT_TRUE(LoadRecords());
        EXPECT_EQ(Table(), table);
        RemoveTestFile(RECORDS_PATH);
        EXPECT_FALSE(LoadRecords());
        EXPECT_EQ(Table(), table);
    }
    EXPECT_EQ(fakeSystem.boxes.size(), std::size(cases));
}

TEST_F(RecordsFile, AnUnwritableFolderIsReportedAndTheFileInItsPlaceStays)
{
    RemoveTestFile("rekordai/.keep");
    RemoveTestFile("rekordai");
    WriteTestFile("rekordai", "not a folder");
    std::snprintf(playerName, sizeof playerName, "abc");
    gameState.score = 1234;
    EXPECT_FALSE(SaveRecord());
    ASSERT_EQ(fakeSystem.boxes.size(), 2u);
    EXPECT_EQ(fakeSystem.boxes[1].text, "Klaida rasant i faila rekordai/rekordai.txt");
    EXPECT_EQ(Table(), "1234 abc"); // the table in memory holds the result all the same
    EXPECT_EQ(ReadTestFile("rekordai"), "not a folder");
    RemoveTestFile("rekordai");
}
