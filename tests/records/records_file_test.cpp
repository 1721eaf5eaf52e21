#include "records/records_file.h"

#include <gtest/gtest.h>
#include <string>

#include "flow/game_state.h"
#include "records/name_entry.h"
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

    static void Save(int32_t score, const char* name)
    {
        std::snprintf(playerName, sizeof playerName, "%s", name);
        gameState.score = score;
        EXPECT_TRUE(SaveRecord());
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

TEST_F(RecordsFile, AnEqualScoreGoesAboveTheOlderOne)
{
    WriteTestFile(RECORDS_PATH, "900 ana\r\n500 old\r\n100 zed");
    Save(500, "new");
    EXPECT_EQ(ReadTestFile(RECORDS_PATH), "900 ana\r\n500 new\r\n500 old\r\n100 zed");
    EXPECT_EQ(recordCount, 4u);
    EXPECT_TRUE(fakeSystem.boxes.empty());
}

TEST_F(RecordsFile, AFullTableDropsItsLastOrStaysAsItIs)
{
    WriteTestFile(RECORDS_PATH, TenLines(40));
    Save(40, "tie");
    std::string text = ReadTestFile(RECORDS_PATH);
    EXPECT_NE(text.find("\r\n40 tie"), std::string::npos);
    EXPECT_EQ(text.find("40 p9"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 6), "40 tie");

    Save(39, "low");
    EXPECT_EQ(ReadTestFile(RECORDS_PATH), text);
    EXPECT_EQ(recordCount, 10u);
}

TEST_F(RecordsFile, AMissingFileIsReportedAndThenWrittenWithTheOneResult)
{
    Save(1234, "abc");
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_EQ(fakeSystem.boxes[0].text, "Klaida atidarant faila rekordai/rekordai.txt");
    EXPECT_EQ(fakeSystem.boxes[0].caption, "Klaida");
    EXPECT_EQ(ReadTestFile(RECORDS_PATH), "1234 abc");
}

TEST_F(RecordsFile, NamesKeepTheirSpacesThroughAWriteAndARead)
{
    Save(70, " a b  ");
    recordCount = 0;
    ASSERT_TRUE(LoadRecords());
    ASSERT_EQ(recordCount, 1u);
    EXPECT_STREQ(records[0].name, " a b  ");
    EXPECT_EQ(records[0].score, 70);
}

TEST_F(RecordsFile, ReadingStopsAtTenEntriesAndAtAFailedLine)
{
    WriteTestFile(RECORDS_PATH, TenLines(5) + "\r\n1 eleven\r\n2 twelve");
    ASSERT_TRUE(LoadRecords());
    EXPECT_EQ(recordCount, 10u);

    WriteTestFile(RECORDS_PATH, "30 one\r\n20 \r\n10 three");
    ASSERT_TRUE(LoadRecords());
    EXPECT_EQ(recordCount, 1u); // a line without a name adds nothing and ends the table

    WriteTestFile(RECORDS_PATH, "30 one\r\n");
    ASSERT_TRUE(LoadRecords());
    EXPECT_EQ(recordCount, 1u);

    WriteTestFile(RECORDS_PATH, "");
    ASSERT_TRUE(LoadRecords());
    EXPECT_EQ(recordCount, 0u);
    EXPECT_TRUE(fakeSystem.boxes.empty());
}

TEST_F(RecordsFile, AHandEditedLongNameIsCutToTheField)
{
    WriteTestFile(RECORDS_PATH, "5 " + std::string(70, 'n') + "\r\n4 next");
    ASSERT_TRUE(LoadRecords());
    ASSERT_EQ(recordCount, 2u);
    EXPECT_EQ(std::string(records[0].name), std::string(15, 'n'));
    EXPECT_STREQ(records[1].name, "next");
}

TEST_F(RecordsFile, AMissingFileLeavesTheTableAsItWas)
{
    WriteTestFile(RECORDS_PATH, "8 kept");
    ASSERT_TRUE(LoadRecords());
    RemoveTestFile(RECORDS_PATH);
    EXPECT_FALSE(LoadRecords());
    ASSERT_EQ(recordCount, 1u);
    EXPECT_STREQ(records[0].name, "kept");
}

TEST_F(RecordsFile, AnUnwritableFolderIsReportedAndTheOldFileStays)
{
    RemoveTestFile("rekordai/.keep");
    RemoveTestFile("rekordai");
    WriteTestFile("rekordai", "not a folder");
    std::snprintf(playerName, sizeof playerName, "x");
    gameState.score = 9;
    EXPECT_FALSE(SaveRecord());
    ASSERT_EQ(fakeSystem.boxes.size(), 2u);
    EXPECT_EQ(fakeSystem.boxes[1].text, "Klaida rasant i faila rekordai/rekordai.txt");
    EXPECT_EQ(recordCount, 1u); // the table in memory holds the result all the same
    RemoveTestFile("rekordai");
}
