// A score page served in-process on a free loopback port over a fresh database, with the game's
// own verification code to make addresses and SQLite to count what was stored.
#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <httplib.h>
#include <string>
#include <thread>

#include "records/verification_code.h"
#include "scoreboard/score_server.h"
#include "scoreboard/score_store.h"
#include "tests/support/test_files.h"

inline std::string MakeCode(int32_t score, CampaignMode mode, uint32_t number)
{
    char code[VERIFICATION_CODE_LENGTH + 1];
    MakeVerificationCode(score, mode, number, code);
    return code;
}

// The address the game opens, below the base: the name exactly as typed.
inline std::string ResultPath(const std::string& name, const std::string& code)
{
    return "/rezultatas?v=" + name + "&r=" + code;
}

class ScoreboardServer : public testing::Test
{
  protected:
    void SetUp() override
    {
        std::filesystem::remove_all("scores"); // the database's folder, made anew
        SetUpScoreboard(server, database);
        port = server.bind_to_any_port("127.0.0.1");
        listener = std::thread([this] { server.listen_after_bind(); });
        while (port > 0 && !server.is_running()) // a stop() before this would not be heard
        {
            std::this_thread::yield();
        }
        ASSERT_GT(port, 0);
        std::string error;
        ASSERT_TRUE(PrepareScoreDatabase(database, &error)) << error;
    }

    void TearDown() override
    {
        server.stop();
        listener.join();
    }

    // The answer to a GET; status -1 when none came.
    httplib::Response Get(const std::string& path)
    {
        httplib::Client client("127.0.0.1", port);
        client.set_url_encode(false); // the address goes out as written, as a browser sends it
        auto res = client.Get(path.c_str());
        return res ? std::move(*res) : httplib::Response();
    }

    // The first column of a one-row query on the stored results; -1 when there is none.
    int64_t Query(const std::string& sql)
    {
        ScoreDatabase db = OpenScoreDatabase(database);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr);
        int64_t value =
            sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
        sqlite3_finalize(statement);
        return value;
    }

    std::string database = "scores/scores.sqlite";
    httplib::Server server;
    std::thread listener;
    int port = -1;
};
