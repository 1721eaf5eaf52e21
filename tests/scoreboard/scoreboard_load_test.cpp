// Many browsers at once on loopback: a fixed number of submissions, each with its own connection,
// all released together. What counts is that each lands exactly once; the times are printed.
#include <atomic>
#include <latch>
#include <map>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

struct LoadOutcome
{
    std::map<std::string, int> outcomes; // X-Vortanai-Result of each answer, "none" for no answer
    std::vector<std::string> bodies;
    long long milliseconds;
};

// Sends every path at the same moment from a thread of its own.
LoadOutcome SubmitTogether(int port, const std::vector<std::string>& paths)
{
    std::vector<std::string> outcomes(paths.size());
    LoadOutcome load;
    load.bodies.resize(paths.size());
    std::latch start(static_cast<std::ptrdiff_t>(paths.size()) + 1);
    std::vector<std::thread> senders;
    for (size_t i = 0; i < paths.size(); ++i)
    {
        senders.emplace_back(
            [&, i]
            {
                httplib::Client client("127.0.0.1", port);
                client.set_connection_timeout(30);
                client.set_read_timeout(60);
                start.arrive_and_wait();
                auto res = client.Get(paths[i].c_str());
                outcomes[i] = !res                 ? "none"
                              : res->status != 200 ? std::to_string(res->status)
                                                   : res->get_header_value("X-Vortanai-Result");
                if (res)
                {
                    load.bodies[i] = res->body;
                }
            });
    }
    auto began = std::chrono::steady_clock::now();
    start.arrive_and_wait();
    for (std::thread& sender : senders)
    {
        sender.join();
    }
    load.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - began)
                            .count();
    for (const std::string& outcome : outcomes)
    {
        ++load.outcomes[outcome];
    }
    return load;
}

} // namespace

TEST_F(ScoreboardServer, TwoHundredConcurrentSubmissionsAllLandOnce)
{
    constexpr int COUNT = 200;
    std::vector<std::string> paths;
    for (int i = 0; i < COUNT; ++i)
    {
        CampaignMode mode = i % 2 ? MODE_RANDOM : MODE_FIXED;
        paths.push_back(ResultPath(Numbered("Z", i), MakeCode(1000 + i * 37, mode, i)));
    }
    LoadOutcome load = SubmitTogether(port, paths);
    std::printf("%d concurrent submissions: %lld ms, outcomes:", COUNT, load.milliseconds);
    for (const auto& [outcome, count] : load.outcomes)
    {
        std::printf(" %s %d", outcome.c_str(), count);
    }
    std::printf("\n");
    EXPECT_EQ(load.outcomes, (std::map<std::string, int>{{"added", COUNT}}));
    EXPECT_EQ(QueryNumber("SELECT COUNT(DISTINCT code) FROM results"), COUNT);
    // Every row holds what its own code carries.
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results WHERE name = 'Z' || ((score - 1000) / 37)"
                          " AND mode = ((score - 1000) / 37) % 2 AND number = (score - 1000) / 37"),
              COUNT);
}

TEST_F(ScoreboardServer, FiftyCopiesOfOneCodeAtOnceLandOnce)
{
    constexpr int COUNT = 50;
    std::string code = MakeCode(777777, MODE_FIXED, 77);
    std::vector<std::string> paths;
    for (int i = 0; i < COUNT; ++i)
    {
        paths.push_back(ResultPath(Numbered("Kopija", i), code));
    }
    LoadOutcome load = SubmitTogether(port, paths);
    std::printf("%d copies of one code: %lld ms, added %d, repeated %d\n", COUNT, load.milliseconds,
                load.outcomes["added"], load.outcomes["repeated"]);
    EXPECT_EQ(load.outcomes, (std::map<std::string, int>{{"added", 1}, {"repeated", COUNT - 1}}));
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results"), 1);
    // Every answer shows the one stored name, whichever copy got in first.
    std::string stored = "<p class=\"name\">Kopija" +
                         std::to_string(QueryNumber("SELECT substr(name, 7) FROM results")) +
                         "</p>";
    for (const std::string& body : load.bodies)
    {
        EXPECT_NE(body.find(stored), std::string::npos);
    }
}
