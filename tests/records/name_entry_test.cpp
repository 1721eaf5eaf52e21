#include "records/name_entry.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "records/records_file.h"
#include "tests/flow/flow_fixture.h"
#include "tests/support/test_files.h"

namespace
{

class NameEntryKeys : public FlowTest
{
  protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        nameLength = 0;
        playerName[0] = '\0';
        std::snprintf(settings.submitUrl, sizeof settings.submitUrl, "http://h:1/r");
        recordCount = 0;
        WriteTestFile(RECORDS_PATH, "");
    }
};

} // namespace

TEST_F(NameEntryKeys, LettersDigitsAndSpacesTypeTheNameUpToFifteenAndNothingElseDoes)
{
    struct Typing
    {
        bool shift;
        std::vector<uint32_t> keys;
        std::string name;
    };
    const Typing cases[] = {
        {false, {'A', 'Z', '0', '9', VK_SPACE}, "az09 "},
        {true, {'A', 'Z', '0', '9', VK_SPACE}, "AZ09 "},
        // Keys next to the letters and digits, function and arrow keys type nothing.
        {true, {0x2F, 0x5B, 0xC0, VK_F2, VK_LEFT, VK_RETURN, VK_ESCAPE}, ""},
        {false, std::vector<uint32_t>(16, 'Q'), std::string(15, 'q')},
        {false, {'A', 'B', VK_BACK, VK_BACK, VK_BACK, 'C'}, "c"},
    };
    for (const Typing& typing : cases)
    {
        nameLength = 0;
        gameState.keyDown[VK_SHIFT] = typing.shift;
        for (uint32_t key : typing.keys)
        {
            OnNameEntryKey(key);
        }
        EXPECT_EQ(playerName, typing.name);
        EXPECT_EQ(nameLength, typing.name.size());
    }
    // Enter without a name and Escape keep the screen.
    EXPECT_FALSE(gameState.stateChangePending);
    EXPECT_TRUE(fakeSystem.addresses.empty());
}

TEST_F(NameEntryKeys, EnterSavesSubmitsTheNameAsTypedAndShowsTheRecordsWhichEnterOrEscapeLeave)
{
    gameState.randomCampaign = true;
    gameState.score = 11264;
    gameState.counterLast = 987654321;
    for (uint32_t key : {uint32_t{'A'}, uint32_t{VK_SPACE}, uint32_t{'B'}, uint32_t{VK_RETURN}})
    {
        OnNameEntryKey(key);
    }
    EXPECT_EQ(ReadTestFile(RECORDS_PATH), "11264 a b");
    EXPECT_FALSE(gameState.randomCampaign || gameState.fixedCampaign);
    EXPECT_EQ(gameState.screenState, STATE_RECORDS);
    EXPECT_TRUE(gameState.stateChangePending);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 1u);
    // The code of 11264 in the random campaign, with the frame timer's last four digits, 4321.
    EXPECT_EQ(fakeSystem.addresses,
              std::vector<std::string>{"http://h:1/r?v=a b&r=36223617592082892"});

    // An address too long for the browser's buffer is not opened.
    std::snprintf(settings.submitUrl, sizeof settings.submitUrl, "%s",
                  std::string(230, 'u').c_str());
    SubmitScore();
    EXPECT_EQ(fakeSystem.addresses.size(), 1u);

    // The records screen goes back to the menu with Escape or Enter, silently once F3 has turned
    // the sound off.
    for (uint32_t key : {uint32_t{VK_ESCAPE}, uint32_t{VK_F3}, uint32_t{VK_RETURN}})
    {
        gameState.screenState = STATE_RECORDS;
        gameState.stateChangePending = false;
        OnRecordsKey(key);
        EXPECT_EQ(gameState.screenState, key == VK_F3 ? STATE_RECORDS : STATE_MENU);
        EXPECT_EQ(gameState.stateChangePending, key != VK_F3);
    }
    EXPECT_FALSE(gameState.soundEnabled);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 2u);
}
