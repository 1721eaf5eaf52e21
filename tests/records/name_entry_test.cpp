#include "records/name_entry.h"

#include <gtest/gtest.h>
#include <string>

#include "flow/game_state.h"
#include "platform/platform.h"
#include "present/settings.h"
#include "records/records_file.h"
#include "records/verification_code.h"
#include "resources/sound_bank.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

class NameEntryKeys : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        gameState = GameState{};
        gameState.stateChangePending = false;
        nameLength = 0;
        playerName[0] = '\0';
        settings = Settings{};
        std::snprintf(settings.submitUrl, sizeof settings.submitUrl, "http://h:1/r");
        soundLog = SoundLog{};
        recordCount = 0;
        WriteTestFile(RECORDS_PATH, "");
    }

    static void Type(std::initializer_list<uint32_t> keys)
    {
        for (uint32_t key : keys)
        {
            OnNameEntryKey(key);
        }
    }
};

} // namespace

TEST_F(NameEntryKeys, ShiftMakesCapitalsAndDigitsStayDigits)
{
    Type({'A', 'B', '1'});
    EXPECT_STREQ(playerName, "ab1");
    gameState.keyDown[VK_SHIFT] = true;
    Type({'Z', VK_SPACE});
    EXPECT_STREQ(playerName, "ab1Z ");
    Type({VK_BACK, VK_BACK});
    EXPECT_STREQ(playerName, "ab1");
    Type({VK_F2, VK_LEFT, 0x5B}); // none of these types anything
    EXPECT_STREQ(playerName, "ab1");
}

TEST_F(NameEntryKeys, TheNameHoldsFifteenCharactersAndBackspaceStopsAtEmpty)
{
    for (int i = 0; i < 16; ++i)
    {
        OnNameEntryKey('Q');
    }
    EXPECT_EQ(std::string(playerName), std::string(15, 'q'));
    for (int i = 0; i < 17; ++i)
    {
        OnNameEntryKey(VK_BACK);
    }
    EXPECT_STREQ(playerName, "");
    EXPECT_EQ(nameLength, 0);
}

TEST_F(NameEntryKeys, EnterWithoutANameAndEscapeKeepTheScreen)
{
    Type({VK_RETURN, VK_ESCAPE});
    EXPECT_FALSE(gameState.stateChangePending);
    EXPECT_TRUE(fakeSystem.addresses.empty());
}

TEST_F(NameEntryKeys, EnterSavesSubmitsAndShowsTheRecords)
{
    gameState.randomCampaign = true;
    gameState.score = 11264;
    gameState.counterLast = 987654321;
    Type({'A', 'B', VK_RETURN});
    EXPECT_EQ(ReadTestFile(RECORDS_PATH), "11264 ab");
    EXPECT_FALSE(gameState.randomCampaign);
    EXPECT_FALSE(gameState.fixedCampaign);
    EXPECT_EQ(gameState.screenState, STATE_RECORDS);
    EXPECT_TRUE(gameState.stateChangePending);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 1u);
    ASSERT_EQ(fakeSystem.addresses.size(), 1u);
    const std::string& address = fakeSystem.addresses[0];
    const std::string prefix = "http://h:1/r?v=ab&r=";
    ASSERT_EQ(address.size(), prefix.size() + 17);
    EXPECT_EQ(address.substr(0, prefix.size()), prefix);
    VerifiedResult result;
    ASSERT_TRUE(ReadVerificationCode(address.substr(prefix.size()).c_str(), &result));
    EXPECT_EQ(result.score, 11264);
    EXPECT_EQ(result.mode, MODE_RANDOM);
    EXPECT_EQ(result.number, 4321);
}

TEST_F(NameEntryKeys, TheNameTravelsExactlyAsTypedAndALongAddressIsNotOpened)
{
    Type({'A', VK_SPACE, 'B'});
    char address[SUBMIT_ADDRESS_SIZE];
    ASSERT_TRUE(FormatSubmitAddress(address, sizeof address));
    EXPECT_EQ(std::string(address).substr(0, 20), "http://h:1/r?v=a b&r");

    std::snprintf(settings.submitUrl, sizeof settings.submitUrl, "%s",
                  std::string(230, 'u').c_str());
    EXPECT_FALSE(FormatSubmitAddress(address, sizeof address));
    SubmitScore();
    EXPECT_TRUE(fakeSystem.addresses.empty());
}

TEST_F(NameEntryKeys, TheRecordsScreenReturnsToTheMenuWithEnterOrEscape)
{
    for (uint32_t key : {VK_RETURN, VK_ESCAPE})
    {
        gameState.stateChangePending = false;
        OnRecordsKey(key);
        EXPECT_EQ(gameState.screenState, STATE_MENU);
        EXPECT_TRUE(gameState.stateChangePending);
    }
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 2u);
    OnRecordsKey(VK_F3);
    EXPECT_FALSE(gameState.soundEnabled);
    OnRecordsKey(VK_RETURN);
    EXPECT_EQ(soundLog.starts[SND_CONFIRM], 2u);
}
