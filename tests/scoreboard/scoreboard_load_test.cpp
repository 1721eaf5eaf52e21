// Many browsers at once on loopback, each on a connection of its own, all released together: every
// result must land exactly once. The time taken and the outcomes are printed.
#include <chrono>
#include <functional>
#include <latch>
#include <map>
#include <mutex>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

// How many answers said "added", "repeated", "rejected", "failed"...; "none": no answer at all.
using Outcomes = std::map<std::string, int>;

// Sends path(0) .. path(count - 1) at the same moment, each from a thread of its own.
Outcomes SubmitTogether(int port, int count, const std::function<std::string(int)>& path)
{
    Outcomes outcomes;
    std::mutex mutex;
    std::latch start(count + 1);
    std::vector<std::thread> senders;
    for (int i = 0; i < count; ++i)
    {
        senders.emplace_back(
            [&, i]
            {
                httplib::Client client("127.0.0.1", port);
                client.set_read_timeout(60);
                start.arrive_and_wait();
                auto res = client.Get(path(i).c_str());
                std::lock_guard lock(mutex);
                ++outcomes[res ? res->get_header_value("X-Vortanai-Result") : "none"];
            });
    }
    auto began = std::chrono::steady_clock::now();
    start.arrive_and_wait();
    for (std::thread& sender : senders)
    {
        sender.join();
    }
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - began;
    std::printf("%d submissions at once: %.0f ms, %s\n", count, took.count(),
                testing::PrintToString(outcomes).c_str());
    return outcomes;
}

} // namespace

TEST_F(ScoreboardServer, ConcurrentSubmissionsEachLandExactlyOnce)
{
    auto distinct = [](int i) {
        return ResultPath(std::to_string(i) + "Z", MakeCode(1000 + i * 37, CampaignMode(i % 2), i));
    };
    EXPECT_EQ(SubmitTogether(port, 200, distinct), (Outcomes{{"added", 200}}));
    // One row for each, holding what its own code carries.
    EXPECT_EQ(Query("SELECT COUNT(DISTINCT number) FROM results WHERE name = number || 'Z'"
                    " AND score = 1000 + number * 37 AND mode = number % 2"),
              200);

    // Fifty copies of one code: the first lands, every other is told it already had.
    std::string code = MakeCode(777777, MODE_FIXED, 77);
    auto copy = [&](int i) { return ResultPath(std::to_string(i) + "Kopija", code); };
    EXPECT_EQ(SubmitTogether(port, 50, copy), (Outcomes{{"added", 1}, {"repeated", 49}}));
    EXPECT_EQ(Query("SELECT COUNT(*) FROM results WHERE score = 777777"), 1);
}
