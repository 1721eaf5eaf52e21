#include "scoreboard/score_server.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <memory>

#include "records/verification_code.h"
#include "scoreboard/score_page.h"
#include "scoreboard/score_store.h"

namespace
{

constexpr size_t NAME_MAX_LENGTH = 15;
// The log keeps this much of an address; the rest of an overlong one says nothing new.
constexpr size_t LOGGED_TARGET_MAX = 300;
// Workers for requests: enough that a few idle keep-alive browsers do not hold up submissions.
constexpr size_t WORKER_COUNT = 16;
constexpr const char* OUTCOME_HEADER = "X-Vortanai-Result";

void SendPage(httplib::Response& res, int status, std::string html, const char* outcome)
{
    res.status = status;
    // The page needs nothing but its own inline style; results are never served from a cache.
    res.set_header("Content-Security-Policy",
                   "default-src 'none'; style-src 'unsafe-inline'; base-uri 'none'; "
                   "form-action 'none'");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("Cache-Control", "no-store");
    res.set_header(OUTCOME_HEADER, outcome);
    res.set_content(std::move(html), "text/html; charset=utf-8");
}

// The one value of a query key; false when the key is missing or given more than once.
bool ReadSingleParam(const httplib::Request& req, const char* key, std::string* value)
{
    if (req.get_param_value_count(key) != 1)
    {
        return false;
    }
    *value = req.get_param_value(key);
    return true;
}

void ServeResult(const httplib::Request& req, httplib::Response& res, const std::string& path)
{
    std::string name;
    std::string code;
    VerifiedResult verified{};
    // Exactly 17 characters before reading: a NUL inside the parameter must not end it early.
    if (!ReadSingleParam(req, "v", &name) || !ReadSingleParam(req, "r", &code) ||
        !IsPlayerName(name) || code.size() != VERIFICATION_CODE_LENGTH ||
        !ReadVerificationCode(code.c_str(), &verified))
    {
        SendPage(res, 400, RenderRejectedPage(), "rejected");
        return;
    }
    ScoreDatabase db = OpenScoreDatabase(path);
    RankedResult ranked{};
    ScoreBoard board;
    StoreOutcome outcome =
        db ? StoreVerifiedResult(db.get(), name, verified, code, &ranked) : STORE_FAILED;
    if (outcome == STORE_FAILED || !ReadScoreBoard(db.get(), &board))
    {
        // Stored or not, the same address can be opened again: a repeat is never counted twice.
        res.set_header("Retry-After", "5");
        SendPage(res, 503, RenderBusyPage(), outcome == STORE_FAILED ? "failed" : "unread");
        return;
    }
    bool repeated = outcome == STORE_REPEATED;
    SendPage(res, 200, RenderResultPage(ranked, repeated, board), repeated ? "repeated" : "added");
}

void ServeBoard(httplib::Response& res, const std::string& path)
{
    ScoreDatabase db = OpenScoreDatabase(path);
    ScoreBoard board;
    if (!db || !ReadScoreBoard(db.get(), &board))
    {
        res.set_header("Retry-After", "5");
        SendPage(res, 503, RenderBusyPage(), "unread");
        return;
    }
    SendPage(res, 200, RenderBoardPage(board), "board");
}

// httplib's own refusals (unknown path, bad request line, overlong address) get a page too; a
// page already written by a route is left as it is.
httplib::Server::HandlerResponse FillErrorPage(const httplib::Request&, httplib::Response& res)
{
    if (!res.body.empty())
    {
        return httplib::Server::HandlerResponse::Unhandled;
    }
    std::string page = res.status == 404   ? RenderMissingPage()
                       : res.status >= 500 ? RenderBusyPage()
                                           : RenderRejectedPage();
    SendPage(res, res.status, std::move(page), "error");
    return httplib::Server::HandlerResponse::Handled;
}

// Printable ASCII stays, everything else (and the backslash) becomes \xHH: a request can never
// forge a log line or put raw bytes into it.
void AppendLoggable(std::string* line, std::string_view text)
{
    static const char* HEX = "0123456789abcdef";
    for (size_t i = 0; i < text.size() && i < LOGGED_TARGET_MAX; ++i)
    {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\')
        {
            *line += static_cast<char>(c);
        }
        else
        {
            *line += "\\x";
            *line += HEX[c >> 4];
            *line += HEX[c & 15];
        }
    }
    if (text.size() > LOGGED_TARGET_MAX)
    {
        *line += "...";
    }
}

void LogRequest(const httplib::Request& req, const httplib::Response& res)
{
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    std::string line = stamp;
    line += ' ';
    AppendLoggable(&line, req.remote_addr.empty() ? "-" : req.remote_addr);
    line += ' ';
    AppendLoggable(&line, req.method.empty() ? "-" : req.method);
    line += ' ';
    AppendLoggable(&line, req.target.empty() ? "-" : req.target);
    line += ' ' + std::to_string(res.status);
    std::string outcome = res.get_header_value(OUTCOME_HEADER);
    if (!outcome.empty())
    {
        line += ' ' + outcome;
    }
    line += '\n';
    // One write per line, so lines from different workers never interleave.
    std::fputs(line.c_str(), stderr);
}

} // namespace

bool ParseScoreboardOptions(int argc, char** argv, ScoreboardOptions* options, std::string* error)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string_view argument = argv[i];
        std::string_view option = argument.substr(0, argument.find('='));
        if (option != "--port" && option != "--bind" && option != "--db")
        {
            *error = "unknown option " + std::string(argument);
            return false;
        }
        std::string value;
        if (option.size() < argument.size())
        {
            value = argument.substr(option.size() + 1);
        }
        else if (i + 1 < argc)
        {
            value = argv[++i];
        }
        if (value.empty())
        {
            *error = std::string(option) + " wants a value";
            return false;
        }
        if (option == "--port")
        {
            int port = -1;
            auto [end, status] = std::from_chars(value.data(), value.data() + value.size(), port);
            if (status != std::errc() || end != value.data() + value.size() || port < 0 ||
                port > 65535)
            {
                *error = "--port wants a number from 0 to 65535, not " + value;
                return false;
            }
            options->port = port;
        }
        else if (option == "--bind")
        {
            options->bind = value;
        }
        else
        {
            options->database = value;
        }
    }
    return true;
}

bool IsPlayerName(std::string_view name)
{
    if (name.empty() || name.size() > NAME_MAX_LENGTH)
    {
        return false;
    }
    for (char c : name)
    {
        bool typeable =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
        if (!typeable)
        {
            return false;
        }
    }
    return true;
}

void SetUpScoreboard(httplib::Server& server, const std::string& databasePath)
{
    server.new_task_queue = [] { return new httplib::ThreadPool(WORKER_COUNT); };
    server.Get("/rezultatas", [databasePath](const httplib::Request& req, httplib::Response& res)
               { ServeResult(req, res, databasePath); });
    server.Get("/", [databasePath](const httplib::Request&, httplib::Response& res)
               { ServeBoard(res, databasePath); });
    server.set_error_handler(httplib::Server::HandlerWithResponse(FillErrorPage));
    server.set_logger(LogRequest);
}
