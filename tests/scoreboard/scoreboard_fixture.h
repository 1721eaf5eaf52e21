// A score page served in-process on a free loopback port, over a fresh database of its own, with
// the game's verification code to make addresses and SQLite to look at what was stored.
#pragma once

#include <chrono>
#include <cstdio>
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

// "P7" and the like (appending sidesteps a false -Wrestrict of GCC 12 on "P" + std::string).
inline std::string Numbered(const char* prefix, int number)
{
    std::string text = prefix;
    text += std::to_string(number);
    return text;
}

// The address as the game builds it, below the base: the name exactly as typed.
inline std::string ResultPath(const std::string& name, const std::string& code)
{
    return "/rezultatas?v=" + name + "&r=" + code;
}

class ScoreboardServer : public testing::Test
{
  protected:
    void SetUp() override
    {
        database =
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".sqlite";
        for (const char* suffix : {"", "-wal", "-shm"})
        {
            RemoveTestFile(database + suffix);
        }
        std::string error;
        ASSERT_TRUE(PrepareScoreDatabase(database, &error)) << error;
        SetUpScoreboard(server, database);
        port = server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(port, 0);
        listener = std::thread([this] { server.listen_after_bind(); });
        for (int i = 0; i < 500 && !server.is_running(); ++i)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(server.is_running());
    }

    void TearDown() override
    {
        server.stop();
        if (listener.joinable())
        {
            listener.join();
        }
    }

    httplib::Result Get(const std::string& path)
    {
        httplib::Client client("127.0.0.1", port);
        client.set_url_encode(false); // the address goes out as written, as a browser sends it
        client.set_read_timeout(30);
        return client.Get(path.c_str());
    }

    // The first column of a one-row query on the stored results.
    int64_t QueryNumber(const std::string& sql)
    {
        ScoreDatabase db = OpenScoreDatabase(database);
        sqlite3_stmt* statement = nullptr;
        int64_t value = -1;
        if (db && sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
        {
            value = sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
        return value;
    }

    std::string database;
    httplib::Server server;
    std::thread listener;
    int port = -1;
};
