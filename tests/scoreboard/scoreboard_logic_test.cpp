// The score page's logic without a socket, a database or a window: the places' Fenwick trees
// against a count of the test's own, the bad codes' token buckets on the test's clock, a query's
// decoding and the name and code check, the pages, the board page's ready answer and the request
// log's lines.
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <random>

#include "rules/campaign_rules.h"
#include "scoreboard/score_board_page.h"
#include "scoreboard/score_page.h"
#include "scoreboard/score_places.h"
#include "scoreboard/score_rate_limit.h"
#include "scoreboard/score_request.h"
#include "scoreboard/score_request_log.h"
#include "text/translation.h"

namespace
{

std::string MakeCode(int32_t score, CampaignMode mode, uint32_t number)
{
    char code[VERIFICATION_CODE_LENGTH + 1];
    MakeVerificationCode(score, mode, number, code);
    return code;
}

std::vector<BoardRow> TenBest(const std::vector<FedResult>& results, uint8_t mode)
{
    std::vector<BoardRow> rows;
    for (const FedResult& result : results)
    {
        if (result.mode == mode)
        {
            rows.push_back({result.id, result.name, result.score});
        }
    }
    std::ranges::stable_sort(rows, std::greater(), &BoardRow::score); // ids rise: older first
    rows.resize(std::min<size_t>(rows.size(), BOARD_SIZE));
    return rows;
}

} // namespace

bool operator==(const BoardRow& a, const BoardRow& b)
{
    return a.id == b.id && a.name == b.name && a.score == b.score;
}

TEST(ScoreboardLogic, PlacesCountTheBetterResultsOfEachCampaignAndKeepItsTenBest)
{
    // Half loaded as groups, half taken in one at a time; few scores, so that many tie, some at
    // both ends of the range and some above it (put in by other means).
    std::mt19937 random(17);
    std::vector<FedResult> results;
    for (int64_t id = 1; id <= 4000; ++id)
    {
        int32_t score = int32_t(random() % 50) * (CampaignScoreMax() / 48);
        results.push_back({id, uint8_t(random() % 2), score, "R" + std::to_string(id)});
    }
    ResetScorePlaces("sync");
    PlaceCounts loaded[2];
    ClearPlaceCounts(loaded);
    std::vector loadedResults(results.begin(), results.begin() + 2000);
    std::map<std::pair<uint8_t, int32_t>, int64_t> groups;
    std::ranges::for_each(loadedResults, [&](const FedResult& r) { ++groups[{r.mode, r.score}]; });
    std::ranges::for_each(
        groups, [&](auto group)
        { AddScoreGroup(loaded, group.first.first, group.first.second, group.second); });
    InstallPlaceCounts(
        loaded, {TenBest(loadedResults, MODE_FIXED), TenBest(loadedResults, MODE_RANDOM)}, 0);
    {
        std::lock_guard lock(scorePlaces.mutex);
        std::ranges::for_each(results.begin() + 2000, results.end(), TakeInResult);
    }
    for (uint8_t mode : {MODE_FIXED, MODE_RANDOM})
    {
        for (int32_t score : {0, 1, CampaignScoreMax() / 2, CampaignScoreMax() - 1,
                              CampaignScoreMax(), int32_t(results[7].score)})
        {
            int64_t better = std::ranges::count_if(results, [&](const FedResult& r)
                                                   { return r.mode == mode && r.score > score; });
            EXPECT_EQ(CountBetterScores(scorePlaces.campaigns[mode], score), better) << score;
        }
    }
    // A result's place: 1 + the better ones + the equal ones stored before it.
    RankedResult ranked{9, "", results[9].score, results[9].mode, 0, 0};
    ScoreBoard board;
    ASSERT_TRUE(PlaceFromCounts(3, false, &ranked, &board));
    EXPECT_EQ(ranked.place, 4 + std::ranges::count_if(
                                    results, [&](const FedResult& r)
                                    { return r.mode == ranked.mode && r.score > ranked.score; }));
    EXPECT_EQ(ranked.total, 1 + std::ranges::count(results, ranked.mode, &FedResult::mode));
    EXPECT_TRUE(board.fixedRows == TenBest(results, MODE_FIXED) &&
                board.randomRows == TenBest(results, MODE_RANDOM));
    LosePlaceCounts();
    EXPECT_FALSE(PlaceFromCounts(0, true, &ranked, &board));
}

TEST(ScoreboardLogic, BadCodesFromOneAddressAreSlowedAfterABurstAndFullBucketsForgotten)
{
    using namespace std::chrono_literals;
    BadCodeLimiter limiter;
    auto start = BadCodeLimiter::Clock::now();
    int admitted = 0;
    int retryAfter = 0;
    for (; admitted < 100 && limiter.Admits("a", start, &retryAfter); ++admitted)
    {
        limiter.Charge("a", start);
    }
    EXPECT_TRUE(admitted == BAD_CODE_BURST && retryAfter == 1);
    EXPECT_TRUE(limiter.Admits("b", start, &retryAfter));          // another address
    EXPECT_FALSE(limiter.Admits("a", start + 150ms, &retryAfter)); // a token each 200 ms
    EXPECT_TRUE(limiter.Admits("a", start + 250ms, &retryAfter));
    for (size_t i = 0; i < BUCKET_PRUNE_SIZE; ++i)
    {
        limiter.Charge(std::to_string(i), start);
    }
    limiter.Admits("c", start + 1s, &retryAfter); // all but "a" full again by then
    EXPECT_EQ(limiter.CountAddresses(), 2u);
}

TEST(ScoreboardLogic, QueriesDecodeAsABrowserWritesThemAndOnlyTheGamesNamesAndCodesPass)
{
    EXPECT_EQ(DecodeQueryValue("Ona+B%20%c4%85%4%zz%"), "Ona B \xc4\x85%4%zz%");
    std::string value;
    EXPECT_TRUE(ReadSingleParam("a=1&v=x%26&b", "v", &value) && value == "x&");
    EXPECT_FALSE(ReadSingleParam("v=1&%76=2", "v", &value)); // an escaped key is the same key
    EXPECT_FALSE(ReadSingleParam("a=1", "v", &value));
    RequestTarget target = SplitTarget("/rezultatas?v=a?b");
    EXPECT_TRUE(target.path == "/rezultatas" && target.query == "v=a?b");
    EXPECT_TRUE(SplitTarget("/").path == "/" && SplitTarget("/").query.empty());
    EXPECT_EQ(ReadForwardedAddress("1.2.3.4, 10.0.0.1", "peer"), "10.0.0.1");
    EXPECT_EQ(ReadForwardedAddress("1.2.3.4,  ", "peer"), "peer");
    // The page's language: a line "query|Accept-Language>chosen", '+' when the address chose.
    std::string_view choices = "|>lt\n|en>en\n|EN-gb, lt;q=0.9>en\n|lt;q=0.5,en;q=.8>lt\n"
                               "|en;q=0.5,lt>lt\n|lt;q=0.5, en;q=0.8;level=1>en\n|de,fr>lt\n|*>lt\n"
                               "|de, *;q=0.5, lt;q=0.1>en\n|en-US;q=0, en;Q=0.001>en\n|en;q=0>lt\n"
                               "|en;q=1.001>lt\n|en;q=2>lt\n|en;q=>lt\n|en;q=0.5x>lt\n"
                               "|eng, e, ;;,=>lt\nkalba=en|lt>en+\nv=1&kalba=lt|en>lt+\n"
                               "kalba=xx|en>en\nkalba=EN|>lt\nkalba=en&kalba=en|>lt\n";
    for (size_t end; (end = choices.find('\n')) != std::string_view::npos;
         choices.remove_prefix(end + 1))
    {
        std::string_view asked = choices.substr(0, end);
        size_t bar = asked.find('|'), arrow = asked.find('>');
        PageChoice choice =
            ReadPageChoice(asked.substr(0, bar), asked.substr(bar + 1, arrow - bar - 1));
        EXPECT_EQ(PAGE_LANGUAGE_CODES[choice.language] + std::string(choice.asked ? "+" : ""),
                  asked.substr(arrow + 1))
            << asked;
    }
    std::string code = MakeCode(123456, MODE_RANDOM, 77);
    const std::pair<std::string, bool> cases[] = {
        {"v=Ona+B&r=" + code, true},
        {"r=" + code + "&v=" + std::string(NAME_MAX_LENGTH, 'z'), true},
        {"v=" + std::string(NAME_MAX_LENGTH + 1, 'z') + "&r=" + code, false},
        {"v=&r=" + code, false},
        {"v=O%27Brien&r=" + code, false},
        {"v=%C4%85&r=" + code, false},
        {"v=Ona&v=Ona&r=" + code, false},
        {"v=Ona&r=" + code.substr(0, 16), false},
        {"v=Ona&r=" + code.substr(0, 16) + "%00", false},
        {"v=Ona&r=" + code.substr(0, 9) + char('0' + (code[9] - '0' + 1) % 10) + code.substr(10),
         false},
        {"v=Ona&r=" + MakeCode(CampaignScoreMax() + 1, MODE_FIXED, 1), false},
        {"v=Ona&r=" + MakeCode(CampaignScoreMax(), MODE_FIXED, 1), true},
    };
    for (const auto& [query, passes] : cases)
    {
        Submission submission{};
        EXPECT_EQ(ReadSubmission(query, &submission), passes) << query;
    }
    Submission submission{};
    ASSERT_TRUE(ReadSubmission(cases[0].first, &submission));
    EXPECT_TRUE(submission.name == "Ona B" && submission.code == code &&
                submission.verified.score == 123456 && submission.verified.mode == MODE_RANDOM &&
                submission.verified.number == 77);
}

TEST(ScoreboardLogic, PagesEscapeEveryNameAndMarkTheResultOnItsBoard)
{
    EXPECT_EQ(EscapeHtml("<a href='x'>&\""), "&lt;a href=&#39;x&#39;&gt;&amp;&quot;");
    ScoreBoard board{{}, {{3, "A", 950}, {7, "<b>", 900}}};
    std::string page = RenderResultPage({7, "<b>", 900, MODE_RANDOM, 2, 5}, true, board, {});
    for (const char* shown :
         {"<p class=\"name\">&lt;b&gt;</p><p class=\"score\">900</p>", "place\">2</b> i\xc5\xa1 5",
          "<tr class=\"mine\"><td class=\"place\">2.</td><td class=\"name\">&lt;b&gt;</td>",
          "id=\"fiksuota\"><h2>Fiksuota kampanija: de\xc5\xa1imt geriausi\xc5\xb3</h2><p "
          "class=\"note\">",
          "jau buvo"})
    {
        EXPECT_NE(page.find(shown), std::string::npos) << shown;
    }
    EXPECT_EQ(RenderBoardPage(board, PAGE_LITHUANIAN).find("class=\"mine\""), std::string::npos);
}

TEST(ScoreboardLogic, TheBoardPageIsServedReadyMadeAndRenderedAgainOnlyWhenATenBestChanges)
{
    ResetScorePlaces("sync");
    BoardPage boardPage;
    Answer answer;
    EXPECT_FALSE(boardPage.Serve(&answer, true, PAGE_LITHUANIAN)); // no counts: read the database
    PlaceCounts loaded[2];
    ClearPlaceCounts(loaded);
    ScoreBoard board{{{1, "Ona", 500}}, {}};
    InstallPlaceCounts(loaded, board, 0);
    ASSERT_TRUE(boardPage.Serve(&answer, true, PAGE_LITHUANIAN));
    EXPECT_TRUE(answer.bytes.starts_with("HTTP/1.1 200 OK\r\n") &&
                answer.bytes.ends_with("\r\n\r\n" + RenderBoardPage(board, PAGE_LITHUANIAN)) &&
                answer.bytes.find("X-Vortanai-Result: board\r\n") != std::string::npos &&
                answer.outcome == "board");
    Answer made;
    ASSERT_TRUE(boardPage.Serve(&made, false, PAGE_LITHUANIAN)); // a HEAD or HTTP/1.0: to adjust
    EXPECT_TRUE(made.bytes.empty() &&
                made.response.body() == RenderBoardPage(board, PAGE_LITHUANIAN));
    {
        std::lock_guard lock(scorePlaces.mutex);
        TakeInResult({2, MODE_FIXED, 400, "Jonas"});
    }
    board.fixedRows.push_back({2, "Jonas", 400});
    // Each language is rendered and kept on its own, in the catalog's words.
    ChooseLanguage("en", std::getenv("VORTANAI_LOCALE_DIR"));
    ASSERT_TRUE(LoadPageTexts(PAGE_ENGLISH));
    ASSERT_TRUE(boardPage.Serve(&made, true, PAGE_ENGLISH) &&
                boardPage.Serve(&answer, true, PAGE_LITHUANIAN));
    EXPECT_TRUE(made.bytes.ends_with(RenderBoardPage(board, PAGE_ENGLISH)) &&
                made.bytes.find("Content-Language: en\r\n") != std::string::npos &&
                made.bytes.find("Fixed campaign: top ten") != std::string::npos &&
                answer.bytes.ends_with(RenderBoardPage(board, PAGE_LITHUANIAN)))
        << made.bytes;
}

TEST(ScoreboardLogic, LogLinesArePrintableAndCutShortAndWrittenInBatchesButFailuresAtOnce)
{
    std::string target = "/a\n\\\xff" + std::string(LOGGED_TARGET_MAX, 'x');
    EXPECT_EQ(FormatRequestLine({.address = "10.0.0.1",
                                 .method = "",
                                 .target = target,
                                 .status = 503,
                                 .outcome = "failed",
                                 .reason = "disk\tfull"},
                                0),
              "1970-01-01T00:00:00Z 10.0.0.1 - /a\\x0a\\x5c\\xff" +
                  std::string(LOGGED_TARGET_MAX - 5, 'x') + "... 503 failed: disk\\x09full\n");
    char* text = nullptr;
    size_t size = 0;
    std::FILE* sink = open_memstream(&text, &size);
    RequestLog log(sink);
    log.Add("a\n", false);
    std::fflush(sink);
    EXPECT_EQ(size, 0u);
    log.Add("b\n", true);
    std::fflush(sink);
    EXPECT_EQ(std::string(text, size), "a\nb\n");
    log.Add(std::string(LOG_BATCH_MAX + 1, 'c'), false);
    std::fflush(sink);
    EXPECT_EQ(size, 5 + LOG_BATCH_MAX);
    std::fclose(sink);
    std::free(text);
}
