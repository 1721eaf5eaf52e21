// The store on both backends: each code once and ranked within its campaign, a look that stores
// nothing, the schema's version and the import of a SQLite file.
#include <tuple>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

class ScoreStoreTest : public testing::TestWithParam<std::string>
{
  protected:
    void SetUp() override
    {
        store.target = MakeStore(GetParam());
        SKIP_WITHOUT_STORE(store.target);
        std::string error;
        ASSERT_TRUE(PrepareScoreStore(store.target, &error)) << error;
    }
    void TearDown() override
    {
        CloseScoreStore(&store);
    }

    StoreOutcome Store(const char* name, int32_t score, uint8_t mode, uint16_t number,
                       bool write = true)
    {
        return StoreVerifiedResult(&store, name, {score, mode, number},
                                   MakeCode(score, CampaignMode(mode), number), write, &ranked);
    }

    ScoreStore store;
    RankedResult ranked{};
};

} // namespace

TEST_P(ScoreStoreTest, StoresEachCodeOnceAndRanksItWithinItsCampaign)
{
    // Name, score, campaign, number, only looked at; the outcome, the name shown, place, total.
    const std::tuple<const char*, int, int, int, bool, StoreOutcome, const char*, int, int>
        submissions[] = {
            {"Ona", 900, 0, 1, true, STORE_UNSTORED, "Ona", 1, 1},
            {"Ona", 900, 0, 1, false, STORE_ADDED, "Ona", 1, 1},
            {"Kitas", 900, 0, 1, false, STORE_REPEATED, "Ona", 1, 1}, // the same code
            {"Kitas", 900, 0, 1, true, STORE_REPEATED, "Ona", 1, 1},
            {"P1", 500, 0, 2, false, STORE_ADDED, "P1", 2, 2},
            {"P2", 900, 0, 3, true, STORE_UNSTORED, "P2", 2, 3}, // equal scores: the older first
            {"P2", 900, 0, 3, false, STORE_ADDED, "P2", 2, 3},
            {"P3", 950, 0, 4, false, STORE_ADDED, "P3", 1, 4},
            {"R", 10, 1, 1, false, STORE_ADDED, "R", 1, 1}, // its own campaign's place
        };
    for (const auto& [name, score, mode, number, look, outcome, shown, place, total] : submissions)
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(Store(name, score, mode, number, !look), outcome);
        EXPECT_EQ(std::tie(ranked.name, ranked.score, ranked.place, ranked.total),
                  std::make_tuple(std::string(shown), score, place, total));
    }
    for (int i = 0; i < 12; ++i) // the lowest two stay off the board
    {
        Store("N", 1 + i, 0, static_cast<uint16_t>(100 + i));
    }
    ScoreBoard board;
    ASSERT_TRUE(ReadScoreBoard(&store, &board));
    std::string names;
    for (const BoardRow& row : board.fixedRows)
    {
        names += row.name + std::to_string(row.score) + " ";
    }
    EXPECT_EQ(names + "| " + board.randomRows.at(0).name,
              "P3950 Ona900 P2900 P1500 N12 N11 N10 N9 N8 N7 | R");
}

TEST_P(ScoreStoreTest, RefusesANewerSchemaAndImportsEachResultOnce)
{
    std::string error;
    ASSERT_TRUE(PrepareScoreStore(store.target, &error)) << error; // a second start changes nothing
    EXPECT_EQ(QueryStore(store.target, "SELECT COUNT(*) FROM schema_version WHERE version = 1"), 1);

    std::string old = "stores/old.sqlite";
    std::filesystem::remove(old);
    ASSERT_TRUE(PrepareScoreStore(old, &error)) << error;
    ScoreStore oldStore;
    oldStore.target = old;
    for (int i = 0; i < 30; ++i)
    {
        StoreVerifiedResult(&oldStore, "Senas", {i * 10, uint8_t(i % 2), uint16_t(i)},
                            MakeCode(i * 10, CampaignMode(i % 2), i), true, &ranked);
    }
    CloseScoreStore(&oldStore);
    Store("Jau", 50, 1, 5); // stored here already: not copied again
    std::vector<StoredRow> rows;
    int64_t added = -1;
    ASSERT_TRUE(ReadSqliteRows(old, &rows, &error)) << error;
    EXPECT_TRUE(ImportRows(&store, rows, &added) && added == 29) << added;
    EXPECT_TRUE(ImportRows(&store, rows, &added) && added == 0) << added;
    EXPECT_EQ(QueryStore(store.target, "SELECT COUNT(*) FROM results WHERE name = 'Senas'"), 29);

    QueryStore(store.target, "UPDATE schema_version SET version = 2");
    EXPECT_FALSE(PrepareScoreStore(store.target, &error));
    EXPECT_NE(error.find("newer"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Backends, ScoreStoreTest, testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });
