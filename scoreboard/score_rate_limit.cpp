#include "scoreboard/score_rate_limit.h"

#include <algorithm>
#include <cmath>

bool BadCodeLimiter::Admits(const std::string& address, Clock::time_point now, int* retryAfter)
{
    return Refill(address, now, false, retryAfter);
}

void BadCodeLimiter::Charge(const std::string& address, Clock::time_point now)
{
    int retryAfter = 0;
    Refill(address, now, true, &retryAfter);
}

void BadCodeLimiter::Clear()
{
    std::lock_guard lock(mutex);
    buckets.clear();
}

size_t BadCodeLimiter::CountAddresses()
{
    std::lock_guard lock(mutex);
    return buckets.size();
}

// Brings the address's bucket up to `now` and, with `take`, takes a token from it; false (with
// the seconds until the next token) when it is empty.
bool BadCodeLimiter::Refill(const std::string& address, Clock::time_point now, bool take,
                            int* retryAfter)
{
    std::lock_guard lock(mutex);
    if (buckets.size() >= BUCKET_PRUNE_SIZE)
    {
        // Full buckets say nothing: forgetting them keeps the table small under many addresses.
        std::erase_if(buckets,
                      [&](const auto& entry)
                      {
                          std::chrono::duration<double> idle = now - entry.second.updated;
                          return entry.second.tokens + idle.count() * BAD_CODE_RATE >=
                                 BAD_CODE_BURST;
                      });
    }
    auto [found, added] = buckets.try_emplace(address, TokenBucket{BAD_CODE_BURST, now});
    TokenBucket& bucket = found->second;
    std::chrono::duration<double> elapsed = now - bucket.updated;
    bucket.tokens = std::min(BAD_CODE_BURST, bucket.tokens + elapsed.count() * BAD_CODE_RATE);
    bucket.updated = now;
    if (bucket.tokens < 1)
    {
        *retryAfter = static_cast<int>(std::ceil((1 - bucket.tokens) / BAD_CODE_RATE));
        return false;
    }
    bucket.tokens -= take ? 1 : 0;
    return true;
}
