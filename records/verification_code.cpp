#include "records/verification_code.h"

namespace
{

using Wide = unsigned __int128;

constexpr uint64_t PAYLOAD_MODULUS = 1000000000000ULL; // twelve digits
constexpr uint64_t SCRAMBLE_FACTOR = 7340298139ULL;    // odd and not a multiple of 5
constexpr uint64_t SCRAMBLE_OFFSET = 418056927301ULL;
constexpr uint64_t SEAL_KEY = 0x5f3a9c17d2e4b681ULL;
constexpr uint32_t SEAL_MODULUS = 10000; // four digits
constexpr int PAYLOAD_DIGITS = 12;
constexpr int SEAL_DIGITS = 4;

// A quasigroup of order 10 whose check digit catches every single wrong digit and every swap
// of two neighbouring digits (H. M. Damm's table).
constexpr uint8_t CHECK_TABLE[10][10] = {
    {0, 3, 1, 7, 5, 9, 8, 6, 4, 2}, {7, 0, 9, 2, 1, 5, 4, 8, 6, 3}, {4, 2, 0, 6, 8, 7, 1, 3, 5, 9},
    {1, 7, 5, 0, 9, 8, 3, 4, 2, 6}, {6, 1, 2, 3, 0, 4, 5, 9, 7, 8}, {3, 6, 7, 4, 2, 0, 9, 5, 8, 1},
    {5, 8, 6, 9, 7, 2, 0, 1, 3, 4}, {8, 9, 4, 5, 3, 6, 2, 0, 1, 7}, {9, 4, 3, 8, 6, 1, 7, 2, 0, 5},
    {2, 5, 8, 1, 4, 3, 6, 7, 9, 0},
};

uint8_t CheckDigit(const char* digits, int count)
{
    uint8_t interim = 0;
    for (int i = 0; i < count; ++i)
    {
        interim = CHECK_TABLE[interim][digits[i] - '0'];
    }
    return interim;
}

// The inverse of the scramble factor modulo 10^12, by the extended Euclidean algorithm.
constexpr uint64_t InverseScrambleFactor()
{
    __int128 oldR = SCRAMBLE_FACTOR;
    __int128 r = PAYLOAD_MODULUS;
    __int128 oldS = 1;
    __int128 s = 0;
    while (r != 0)
    {
        __int128 quotient = oldR / r;
        __int128 next = oldR - quotient * r;
        oldR = r;
        r = next;
        next = oldS - quotient * s;
        oldS = s;
        s = next;
    }
    __int128 inverse = oldS % static_cast<__int128>(PAYLOAD_MODULUS);
    return static_cast<uint64_t>(inverse < 0 ? inverse + PAYLOAD_MODULUS : inverse);
}

constexpr uint64_t UNSCRAMBLE_FACTOR = InverseScrambleFactor();
static_assert(static_cast<Wide>(SCRAMBLE_FACTOR) * UNSCRAMBLE_FACTOR % PAYLOAD_MODULUS == 1);

uint32_t Seal(uint64_t scrambled)
{
    uint64_t hash = SEAL_KEY;
    for (int i = 0; i < 8; ++i)
    {
        hash ^= (scrambled >> (8 * i)) & 0xFF;
        hash *= 0x100000001b3ULL;
        hash ^= hash >> 29;
    }
    return static_cast<uint32_t>(hash % SEAL_MODULUS);
}

void WriteDigits(uint64_t value, int count, char* digits)
{
    for (int i = count - 1; i >= 0; --i)
    {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

uint64_t ReadDigits(const char* digits, int count)
{
    uint64_t value = 0;
    for (int i = 0; i < count; ++i)
    {
        value = value * 10 + static_cast<uint64_t>(digits[i] - '0');
    }
    return value;
}

} // namespace

void MakeVerificationCode(int32_t score, CampaignMode mode, uint32_t number,
                          char code[VERIFICATION_CODE_LENGTH + 1])
{
    uint64_t held = score < 0 ? 0 : score > VERIFIED_SCORE_MAX ? VERIFIED_SCORE_MAX : score;
    uint64_t payload = held * 100000 + static_cast<uint64_t>(mode % 10) * 10000 + number % 10000;
    uint64_t scrambled = static_cast<uint64_t>(
        (static_cast<Wide>(payload) * SCRAMBLE_FACTOR + SCRAMBLE_OFFSET) % PAYLOAD_MODULUS);
    WriteDigits(scrambled, PAYLOAD_DIGITS, code);
    WriteDigits(Seal(scrambled), SEAL_DIGITS, code + PAYLOAD_DIGITS);
    code[VERIFICATION_CODE_LENGTH - 1] =
        static_cast<char>('0' + CheckDigit(code, VERIFICATION_CODE_LENGTH - 1));
    code[VERIFICATION_CODE_LENGTH] = '\0';
}

bool ReadVerificationCode(const char* code, VerifiedResult* result)
{
    for (int i = 0; i < VERIFICATION_CODE_LENGTH; ++i)
    {
        if (code[i] < '0' || code[i] > '9')
        {
            return false;
        }
    }
    if (code[VERIFICATION_CODE_LENGTH] != '\0' || CheckDigit(code, VERIFICATION_CODE_LENGTH) != 0)
    {
        return false;
    }
    uint64_t scrambled = ReadDigits(code, PAYLOAD_DIGITS);
    if (ReadDigits(code + PAYLOAD_DIGITS, SEAL_DIGITS) != Seal(scrambled))
    {
        return false;
    }
    uint64_t shifted = (scrambled + PAYLOAD_MODULUS - SCRAMBLE_OFFSET) % PAYLOAD_MODULUS;
    uint64_t payload = static_cast<uint64_t>(static_cast<Wide>(shifted) * InverseScrambleFactor() %
                                             PAYLOAD_MODULUS);
    uint64_t mode = payload / 10000 % 10;
    if (mode != MODE_FIXED && mode != MODE_RANDOM)
    {
        return false;
    }
    result->score = static_cast<int32_t>(payload / 100000);
    result->mode = static_cast<uint8_t>(mode);
    result->number = static_cast<uint16_t>(payload % 10000);
    return true;
}
