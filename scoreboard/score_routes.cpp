#include "scoreboard/score_routes.h"

#include "scoreboard/score_board_page.h"
#include "scoreboard/score_page.h"
#include "scoreboard/score_rate_limit.h"
#include "scoreboard/score_request.h"

namespace
{

namespace http = boost::beast::http;
using Clock = std::chrono::steady_clock;

// What the routes keep between requests, set up by ResetScoreRoutes.
struct ScoreRoutes
{
    bool trustProxy = false;
    BadCodeLimiter badCodes; // per client address
    BoardPage board;
};

ScoreRoutes scoreRoutes;
// The database connection of the worker thread running this request.
thread_local ScoreStore* workerStore = nullptr;

void SetBusyPage(Answer* answer, const char* outcome, PageChoice choice)
{
    // Stored or not, the same address can be opened again: a repeat is never counted twice.
    answer->response.set(http::field::retry_after, "5");
    SetPage(answer, http::status::service_unavailable, RenderBusyPage(choice), outcome,
            choice.language);
    answer->reason = workerStore->error;
}

void ServeResult(std::string_view query, bool write, const std::string& address, PageChoice choice,
                 Answer* answer)
{
    int retryAfter = 0;
    if (!scoreRoutes.badCodes.Admits(address, Clock::now(), &retryAfter))
    {
        answer->response.set(http::field::retry_after, std::to_string(retryAfter));
        SetPage(answer, http::status::too_many_requests, RenderRejectedPage(choice), "slowed",
                choice.language);
        return;
    }
    Submission submission{};
    if (!ReadSubmission(query, &submission))
    {
        scoreRoutes.badCodes.Charge(address, Clock::now());
        SetPage(answer, http::status::bad_request, RenderRejectedPage(choice), "rejected",
                choice.language);
        return;
    }
    RankedResult ranked{};
    ScoreBoard board;
    StoreOutcome outcome = StoreVerifiedResult(workerStore, submission.name, submission.verified,
                                               submission.code, write, &ranked, &board);
    if (outcome == STORE_FAILED)
    {
        SetBusyPage(answer, "failed", choice);
        return;
    }
    const char* outcomes[] = {"added", "repeated", "unstored"};
    SetPage(answer, http::status::ok,
            RenderResultPage(ranked, outcome != STORE_ADDED, board, choice), outcomes[outcome],
            choice.language);
}

// `plain`: a kept-alive GET, which takes the whole answer ready made.
void ServeBoard(Answer* answer, bool plain, PageChoice choice)
{
    if (scoreRoutes.board.Serve(answer, plain, choice.language))
    {
        return;
    }
    // The counts are being loaded again: read the board from the database meanwhile.
    ScoreBoard board;
    if (!ReadScoreBoard(workerStore, &board))
    {
        SetBusyPage(answer, "unread", choice);
        return;
    }
    SetPage(answer, http::status::ok, RenderBoardPage(board, choice.language), "board",
            choice.language);
}

} // namespace

void ResetScoreRoutes(bool trustProxy)
{
    scoreRoutes.trustProxy = trustProxy;
    scoreRoutes.badCodes.Clear();
    scoreRoutes.board.Clear();
}

void SetWorkerStore(ScoreStore* store)
{
    workerStore = store;
}

std::string ReadClientAddress(const Request& req, const std::string& peer)
{
    auto forwarded = req.find("X-Forwarded-For");
    if (!scoreRoutes.trustProxy || forwarded == req.end())
    {
        return peer;
    }
    return ReadForwardedAddress(forwarded->value(), peer);
}

void ServeRequest(const Request& req, const std::string& address, Answer* answer)
{
    RequestTarget target = SplitTarget(req.target());
    bool head = req.method() == http::verb::head;
    auto accepted = req.find(http::field::accept_language);
    PageChoice choice = ReadPageChoice(target.query, accepted == req.end() ? std::string_view()
                                                                           : accepted->value());
    if (req.method() != http::verb::get && !head)
    {
        answer->response.set(http::field::allow, "GET, HEAD");
        SetPage(answer, http::status::method_not_allowed, RenderRejectedPage(choice), "error",
                choice.language);
    }
    else if (target.path == "/rezultatas")
    {
        // HEAD answers as GET would, storing nothing.
        ServeResult(target.query, !head, address, choice, answer);
    }
    else if (target.path == "/")
    {
        ServeBoard(answer, !head && req.keep_alive() && req.version() == 11, choice);
    }
    else
    {
        SetPage(answer, http::status::not_found, RenderMissingPage(choice), "error",
                choice.language);
    }
    answer->response.keep_alive(req.keep_alive());
    if (head)
    {
        answer->response.body().clear(); // the Content-Length stays that of the page
    }
}
