#include "records/verification_code.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace
{

std::string Code(int32_t score, CampaignMode mode, uint32_t number)
{
    char code[VERIFICATION_CODE_LENGTH + 1];
    MakeVerificationCode(score, mode, number, code);
    return code;
}

// The result a code reads as, "score mode number", or "" when it is refused.
std::string Read(const std::string& code)
{
    VerifiedResult result = {};
    if (!ReadVerificationCode(code.c_str(), &result))
    {
        return "";
    }
    return std::to_string(result.score) + " " + std::to_string(result.mode) + " " +
           std::to_string(result.number);
}

} // namespace

// A code reads back as the result it was made from, so different results never share a code.
TEST(VerificationCode, EveryScoreAndBothModesComeBackAndOutOfRangeValuesAreHeld)
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
    // Codes as the score page has stored them, worked out apart from this code: score x 100000 +
    // mode x 10000 + number, scrambled, sealed, and closed by Damm's check digit (his table).
    EXPECT_EQ((std::vector{Code(0, MODE_FIXED, 0), Code(500, MODE_FIXED, 1),
                           Code(1335937, MODE_FIXED, 1234), Code(9999999, MODE_RANDOM, 9999)}),
              (std::vector<std::string>{"41805692730127865", "33234722544072994",
                                        "96810913082749381", "18686550916221794"}));
    EXPECT_EQ(Read(Code(-5, MODE_FIXED, 14321)), "0 0 4321");
    EXPECT_EQ(Read(Code(123456789, MODE_RANDOM, 0)), "9999999 1 0");
}

TEST(VerificationCode, AWrongDigitANeighbourSwapOrAnythingButSeventeenDigitsIsRefused)
{
    const std::string code = Code(500, MODE_FIXED, 1);
    for (const std::string& wrong :
         {code.substr(0, 16), code + "0", std::string(), code.substr(0, 3) + "a" + code.substr(4),
          " " + code.substr(1), Code(500, static_cast<CampaignMode>(2), 1)}) // unknown mode
    {
        EXPECT_EQ(Read(wrong), "") << wrong;
    }
    std::mt19937 random(20261206);
    for (int sample = 0; sample < 3000; ++sample)
    {
        std::string made = Code(static_cast<int32_t>(random() % 10000000),
                                random() % 2 ? MODE_RANDOM : MODE_FIXED, random() % 10000);
        for (size_t place = 0; place < made.size(); ++place)
        {
            for (char digit = '0'; digit <= '9'; ++digit)
            {
                std::string changed = made;
                changed[place] = digit;
                ASSERT_EQ(Read(changed) == "", digit != made[place]) << made << " -> " << changed;
            }
            std::string swapped = made;
            std::swap(swapped[place], swapped[std::min(place + 1, made.size() - 1)]);
            ASSERT_EQ(Read(swapped) == "", swapped != made) << made << " -> " << swapped;
        }
    }
    // Random digits pass the check digit one time in ten and the seal one time in ten thousand.
    std::mt19937_64 digits(17);
    int accepted = 0;
    for (int sample = 0; sample < 1000000; ++sample)
    {
        std::string guess(VERIFICATION_CODE_LENGTH, '0');
        for (char& digit : guess)
        {
            digit = static_cast<char>('0' + digits() % 10);
        }
        accepted += Read(guess).empty() ? 0 : 1;
    }
    EXPECT_LE(accepted, 100);
}
