#include "records/verification_code.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace
{

std::string Code(int32_t score, CampaignMode mode, uint32_t number)
{
    char code[VERIFICATION_CODE_LENGTH + 1];
    MakeVerificationCode(score, mode, number, code);
    return code;
}

bool Accepts(const std::string& code)
{
    VerifiedResult result;
    return ReadVerificationCode(code.c_str(), &result);
}

} // namespace

TEST(VerificationCode, EveryScoreAndBothModesComeBack)
{
    int32_t firstFailure = -1;
    for (int32_t score = 0; score <= VERIFIED_SCORE_MAX && firstFailure < 0; ++score)
    {
        for (CampaignMode mode : {MODE_FIXED, MODE_RANDOM})
        {
            uint32_t number = static_cast<uint32_t>(score * 7 + mode) % 10000;
            char code[VERIFICATION_CODE_LENGTH + 1];
            MakeVerificationCode(score, mode, number, code);
            VerifiedResult result = {};
            if (!ReadVerificationCode(code, &result) || result.score != score ||
                result.mode != mode || result.number != number)
            {
                firstFailure = score;
            }
        }
    }
    EXPECT_EQ(firstFailure, -1);
}

TEST(VerificationCode, TheSameResultGivesTheSameCodeAndTheNumberChangesIt)
{
    EXPECT_EQ(Code(11264, MODE_FIXED, 4321), Code(11264, MODE_FIXED, 4321));
    EXPECT_NE(Code(11264, MODE_FIXED, 4321), Code(11264, MODE_FIXED, 4322));
    EXPECT_NE(Code(11264, MODE_FIXED, 4321), Code(11264, MODE_RANDOM, 4321));
    EXPECT_EQ(Code(11264, MODE_FIXED, 14321), Code(11264, MODE_FIXED, 4321));
}

TEST(VerificationCode, EverySingleWrongDigitAndEveryNeighbourSwapIsRejected)
{
    std::mt19937 random(20261206);
    for (int sample = 0; sample < 3000; ++sample)
    {
        std::string code = Code(static_cast<int32_t>(random() % 10000000),
                                random() % 2 ? MODE_RANDOM : MODE_FIXED, random() % 10000);
        for (size_t place = 0; place < code.size(); ++place)
        {
            for (char digit = '0'; digit <= '9'; ++digit)
            {
                if (digit == code[place])
                {
                    continue;
                }
                std::string changed = code;
                changed[place] = digit;
                ASSERT_FALSE(Accepts(changed)) << code << " -> " << changed;
            }
            if (place + 1 < code.size() && code[place] != code[place + 1])
            {
                std::string swapped = code;
                std::swap(swapped[place], swapped[place + 1]);
                ASSERT_FALSE(Accepts(swapped)) << code << " -> " << swapped;
            }
        }
    }
}

TEST(VerificationCode, RandomDigitsAreAlmostNeverAccepted)
{
    std::mt19937_64 random(17);
    int accepted = 0;
    for (int sample = 0; sample < 1000000; ++sample)
    {
        char code[VERIFICATION_CODE_LENGTH + 1];
        for (int i = 0; i < VERIFICATION_CODE_LENGTH; ++i)
        {
            code[i] = static_cast<char>('0' + random() % 10);
        }
        code[VERIFICATION_CODE_LENGTH] = '\0';
        accepted += Accepts(code) ? 1 : 0;
    }
    EXPECT_LE(accepted, 100);
}

TEST(VerificationCode, AnythingButSeventeenDigitsIsRejected)
{
    std::string code = Code(500, MODE_FIXED, 1);
    EXPECT_FALSE(Accepts(code.substr(0, 16)));
    EXPECT_FALSE(Accepts(code + "0"));
    EXPECT_FALSE(Accepts(""));
    std::string letter = code;
    letter[3] = 'a';
    EXPECT_FALSE(Accepts(letter));
    std::string space = code;
    space[0] = ' ';
    EXPECT_FALSE(Accepts(space));
}

TEST(VerificationCode, ScoresOutsideTheRangeAreHeldToIt)
{
    VerifiedResult result;
    ASSERT_TRUE(ReadVerificationCode(Code(-5, MODE_FIXED, 0).c_str(), &result));
    EXPECT_EQ(result.score, 0);
    ASSERT_TRUE(ReadVerificationCode(Code(123456789, MODE_RANDOM, 0).c_str(), &result));
    EXPECT_EQ(result.score, VERIFIED_SCORE_MAX);
}
