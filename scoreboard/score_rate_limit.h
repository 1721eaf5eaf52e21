// Bad codes are slowed down per client address with a token bucket each: a burst of
// BAD_CODE_BURST, then BAD_CODE_RATE a second. Honest players send none, so even many behind one
// proxy are never slowed.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

constexpr double BAD_CODE_BURST = 20;
constexpr double BAD_CODE_RATE = 5;
// Past this many addresses the full buckets are forgotten.
constexpr size_t BUCKET_PRUNE_SIZE = 10000;

// The buckets of every address that sent a bad code lately, shared by the workers.
class BadCodeLimiter
{
  public:
    using Clock = std::chrono::steady_clock;

    // Whether the address may send a code at `now`; when not, *retryAfter is the seconds until
    // its next token.
    bool Admits(const std::string& address, Clock::time_point now, int* retryAfter);
    // Takes a token from the address's bucket for a bad code (none from an empty one).
    void Charge(const std::string& address, Clock::time_point now);
    void Clear();
    size_t CountAddresses();

  private:
    struct TokenBucket
    {
        double tokens;
        Clock::time_point updated;
    };

    bool Refill(const std::string& address, Clock::time_point now, bool take, int* retryAfter);

    std::mutex mutex;
    std::unordered_map<std::string, TokenBucket> buckets;
};
