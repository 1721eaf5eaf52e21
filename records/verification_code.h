// The verification code of a submitted result: 17 decimal digits that carry the score, the
// campaign mode and a four-digit number from the frame timer, and that the score page checks
// with the same key. The game carries the key, so this guards against casual tampering with the
// address, not against a determined cheat.
#pragma once

#include <cstdint>

constexpr int VERIFICATION_CODE_LENGTH = 17;
constexpr int32_t VERIFIED_SCORE_MAX = 9999999;

enum CampaignMode : uint8_t
{
    MODE_FIXED = 0,
    MODE_RANDOM = 1,
};

struct VerifiedResult
{
    int32_t score;
    uint8_t mode;
    uint16_t number; // 0 .. 9999
};

// Writes the 17 digits and a terminator. Scores outside 0 .. 9,999,999 are held to that range,
// numbers taken modulo 10,000.
void MakeVerificationCode(int32_t score, CampaignMode mode, uint32_t number,
                          char code[VERIFICATION_CODE_LENGTH + 1]);
// True, with what the code carries, when `code` is exactly 17 digits that the game made.
bool ReadVerificationCode(const char* code, VerifiedResult* result);
