#include "scoreboard/score_server.h"

// Asio's awaitable uses std::exchange without including <utility> itself.
#include <utility>

#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <linux/sockios.h>
#include <mutex>
#include <optional>
#include <random>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <thread>
#include <unordered_map>
#include <vector>

#include "records/verification_code.h"
#include "scoreboard/score_page.h"
#include "scoreboard/score_places.h"
#include "scoreboard/score_store.h"

namespace
{

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Request = http::request<http::string_body>;
using Response = http::response<http::string_body>;

// The log keeps this much of an address; the rest of an overlong one says nothing new.
constexpr size_t LOGGED_TARGET_MAX = 300;
// Workers take whole requests, each with a database connection of its own; waiting connections
// hold none of them.
constexpr int WORKER_COUNT = 16;
constexpr int LISTEN_BACKLOG = 511;
// A request line and its headers together; the pages take no body, so a small one is plenty.
constexpr size_t HEADER_LIMIT = 8192;
constexpr size_t BODY_LIMIT = 4096;
// From the moment a connection waits for a request (after connecting or after the last answer)
// the whole request must have come: a client sending a byte at a time is cut off, not waited on.
constexpr auto REQUEST_DEADLINE = std::chrono::seconds(10);
constexpr auto WRITE_DEADLINE = std::chrono::seconds(10);
// Descriptors kept free for the database, the log and the listener.
constexpr rlim_t RESERVED_DESCRIPTORS = 64;
// Bad codes from one address: a burst of this many, then this many a second; honest players send
// none, so even many behind one proxy are never slowed.
constexpr double BAD_CODE_BURST = 20;
constexpr double BAD_CODE_RATE = 5;
constexpr size_t BUCKET_PRUNE_SIZE = 10000;
constexpr const char* OUTCOME_HEADER = "X-Vortanai-Result";
constexpr auto FEED_START_PATIENCE = std::chrono::seconds(30);
// A request's log line is written within this long, or once this many bytes wait.
constexpr auto LOG_PERIOD = std::chrono::milliseconds(20);
constexpr size_t LOG_BATCH_MAX = 65536;

struct TokenBucket
{
    double tokens;
    std::chrono::steady_clock::time_point updated;
};

// The running server. Set up by StartScoreboard, emptied by StopScoreboard.
struct ScoreboardRun
{
    ScoreboardOptions options;
    std::optional<asio::io_context> io;
    std::optional<tcp::acceptor> acceptor;
    std::vector<std::thread> workers;
    std::atomic<int64_t> connections;
    int64_t connectionMax;
    std::mutex bucketMutex;
    std::unordered_map<std::string, TokenBucket> buckets; // bad codes per client address
    std::thread feed; // keeps the places current (FollowStoredResults)
    std::atomic<bool> stopping;
    // The board page as last rendered, for the ten best of that version, and the whole answer to
    // a plain GET of it as sent.
    std::mutex boardMutex;
    std::string boardPage;
    std::string boardAnswer;
    uint64_t boardVersion;
};

ScoreboardRun scoreboardRun;

// Request log lines not written yet. Emptied every LOG_PERIOD and when the server stops.
struct RequestLog
{
    std::mutex mutex;
    std::string pending;
};

RequestLog requestLog;
// The database connection of the worker thread running this request.
thread_local ScoreStore* workerStore = nullptr;

// What a request was answered with, for the log.
struct Answer
{
    Response response;
    std::string outcome;
    std::string reason; // the database's reason for a 503
    std::string bytes;  // when not empty: the whole answer as sent, and `response` only logged
};

void SetPage(Answer* answer, http::status status, std::string html, const char* outcome)
{
    Response& res = answer->response;
    res.result(status);
    // The page needs nothing but its own inline style; results are never served from a cache.
    res.set("Content-Security-Policy",
            "default-src 'none'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'");
    res.set("X-Content-Type-Options", "nosniff");
    res.set("Referrer-Policy", "no-referrer");
    res.set(http::field::cache_control, "no-store");
    res.set(http::field::content_type, "text/html; charset=utf-8");
    res.set(OUTCOME_HEADER, outcome);
    res.body() = std::move(html);
    res.prepare_payload();
    answer->outcome = outcome;
}

void SetBusyPage(Answer* answer, const char* outcome)
{
    // Stored or not, the same address can be opened again: a repeat is never counted twice.
    answer->response.set(http::field::retry_after, "5");
    SetPage(answer, http::status::service_unavailable, RenderBusyPage(), outcome);
    answer->reason = workerStore->error;
}

int ReadHexDigit(char c)
{
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// A form value as a browser sends it: %XX escapes and '+' for a space; a broken escape stays as
// it is written (and then fails the checks).
std::string DecodeQueryValue(std::string_view text)
{
    std::string value;
    for (size_t i = 0; i < text.size(); ++i)
    {
        int high = i + 2 < text.size() && text[i] == '%' ? ReadHexDigit(text[i + 1]) : -1;
        int low = high >= 0 ? ReadHexDigit(text[i + 2]) : -1;
        if (low >= 0)
        {
            value += static_cast<char>(high * 16 + low);
            i += 2;
        }
        else
        {
            value += text[i] == '+' ? ' ' : text[i];
        }
    }
    return value;
}

// The one value of a query key; false when the key is missing or given more than once.
bool ReadSingleParam(std::string_view query, std::string_view key, std::string* value)
{
    int count = 0;
    while (!query.empty())
    {
        std::string_view pair = query.substr(0, query.find('&'));
        query.remove_prefix(std::min(query.size(), pair.size() + 1));
        std::string_view name = pair.substr(0, pair.find('='));
        if (DecodeQueryValue(name) == key)
        {
            ++count;
            *value = DecodeQueryValue(pair.substr(std::min(pair.size(), name.size() + 1)));
        }
    }
    return count == 1;
}

// Takes one token for a bad code from the address's bucket; false (with the seconds until the
// next token) when it is empty.
bool TakeBadCodeToken(const std::string& address, bool take, int* retryAfter)
{
    auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(scoreboardRun.bucketMutex);
    auto& buckets = scoreboardRun.buckets;
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

void ServeResult(std::string_view query, bool write, const std::string& address, Answer* answer)
{
    int retryAfter = 0;
    if (!TakeBadCodeToken(address, false, &retryAfter))
    {
        answer->response.set(http::field::retry_after, std::to_string(retryAfter));
        SetPage(answer, http::status::too_many_requests, RenderRejectedPage(), "slowed");
        return;
    }
    std::string name;
    std::string code;
    VerifiedResult verified{};
    // Exactly 17 characters before reading: a NUL inside the parameter must not end it early. A
    // score the campaign cannot give is as false as a wrong digit.
    if (!ReadSingleParam(query, "v", &name) || !ReadSingleParam(query, "r", &code) ||
        !IsPlayerName(name) || code.size() != VERIFICATION_CODE_LENGTH ||
        !ReadVerificationCode(code.c_str(), &verified) || verified.score > CampaignScoreMax())
    {
        TakeBadCodeToken(address, true, &retryAfter);
        SetPage(answer, http::status::bad_request, RenderRejectedPage(), "rejected");
        return;
    }
    RankedResult ranked{};
    ScoreBoard board;
    StoreOutcome outcome =
        StoreVerifiedResult(workerStore, name, verified, code, write, &ranked, &board);
    if (outcome == STORE_FAILED)
    {
        SetBusyPage(answer, "failed");
        return;
    }
    const char* outcomes[] = {"added", "repeated", "unstored"};
    SetPage(answer, http::status::ok, RenderResultPage(ranked, outcome != STORE_ADDED, board),
            outcomes[outcome]);
}

// `plain`: a kept-alive GET, which takes the whole answer ready made.
void ServeBoard(Answer* answer, bool plain)
{
    ScoreBoard board;
    uint64_t version = 0;
    if (ReadCountedBoardVersion(&version))
    {
        std::lock_guard lock(scoreboardRun.boardMutex);
        if (scoreboardRun.boardPage.empty() || scoreboardRun.boardVersion != version)
        {
            ReadCountedBoard(&board, &scoreboardRun.boardVersion);
            scoreboardRun.boardPage = RenderBoardPage(board);
            Answer made;
            SetPage(&made, http::status::ok, scoreboardRun.boardPage, "board");
            std::ostringstream bytes;
            bytes << made.response;
            scoreboardRun.boardAnswer = bytes.str();
        }
        if (plain)
        {
            answer->bytes = scoreboardRun.boardAnswer;
            answer->outcome = "board";
            return;
        }
        SetPage(answer, http::status::ok, scoreboardRun.boardPage, "board");
        return;
    }
    // The counts are being loaded again: read the board from the database meanwhile.
    if (!ReadScoreBoard(workerStore, &board))
    {
        SetBusyPage(answer, "unread");
        return;
    }
    SetPage(answer, http::status::ok, RenderBoardPage(board), "board");
}

// The client's address: the peer's, or behind a trusted proxy the last X-Forwarded-For entry
// (the one the proxy added; earlier ones are whatever the client wrote).
std::string ReadClientAddress(const Request& req, const std::string& peer)
{
    auto forwarded = req.find("X-Forwarded-For");
    if (!scoreboardRun.options.trustProxy || forwarded == req.end())
    {
        return peer;
    }
    std::string_view list = forwarded->value();
    std::string_view last = list.substr(list.rfind(',') + 1);
    while (!last.empty() && last.front() == ' ')
    {
        last.remove_prefix(1);
    }
    return last.empty() ? peer : std::string(last);
}

void ServeRequest(const Request& req, const std::string& address, Answer* answer)
{
    std::string_view target = req.target();
    std::string_view path = target.substr(0, target.find('?'));
    std::string_view query = target.substr(std::min(target.size(), path.size() + 1));
    bool head = req.method() == http::verb::head;
    if (req.method() != http::verb::get && !head)
    {
        answer->response.set(http::field::allow, "GET, HEAD");
        SetPage(answer, http::status::method_not_allowed, RenderRejectedPage(), "error");
    }
    else if (path == "/rezultatas")
    {
        ServeResult(query, !head, address, answer); // HEAD answers as GET would, storing nothing
    }
    else if (path == "/")
    {
        ServeBoard(answer, !head && req.keep_alive() && req.version() == 11);
    }
    else
    {
        SetPage(answer, http::status::not_found, RenderMissingPage(), "error");
    }
    answer->response.keep_alive(req.keep_alive());
    if (head)
    {
        answer->response.body().clear(); // the Content-Length stays that of the page
    }
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

// One write of every line logged since the last.
void FlushRequestLog()
{
    std::string lines;
    {
        std::lock_guard lock(requestLog.mutex);
        lines.swap(requestLog.pending);
    }
    std::fwrite(lines.data(), 1, lines.size(), stderr);
}

void LogRequest(const std::string& address, std::string_view method, std::string_view target,
                const Answer& answer)
{
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    std::string line = stamp;
    for (std::string_view part : {std::string_view(address), method, target})
    {
        line += ' ';
        AppendLoggable(&line, part.empty() ? "-" : part);
    }
    line += ' ' + std::to_string(answer.response.result_int()) + ' ' + answer.outcome;
    if (!answer.reason.empty())
    {
        line += ": ";
        AppendLoggable(&line, answer.reason);
    }
    line += '\n';
    // Whole lines, in order, in batches: a write for every request cost more than serving the
    // board. A failure is written at once.
    bool full = false;
    {
        std::lock_guard lock(requestLog.mutex);
        requestLog.pending += line;
        full = requestLog.pending.size() > LOG_BATCH_MAX;
    }
    if (full || answer.response.result_int() >= 500)
    {
        FlushRequestLog();
    }
}

asio::awaitable<void> FlushRequestLogOften()
{
    asio::steady_timer timer(*scoreboardRun.io);
    for (beast::error_code ec; !ec;)
    {
        timer.expires_after(LOG_PERIOD);
        co_await timer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
        FlushRequestLog();
    }
}

// The answer to a request that could not be read whole; the connection is closed after it.
// False when nothing is to be answered (the client left or took too long).
bool AnswerUnreadRequest(beast::error_code ec, const beast::flat_buffer& buffer, Answer* answer)
{
    if (ec == http::error::header_limit)
    {
        // Still within the first line: the address itself is too long.
        std::string_view start(static_cast<const char*>(buffer.data().data()),
                               buffer.data().size());
        bool inLine = start.find('\n') == std::string_view::npos;
        SetPage(answer,
                inLine ? http::status::uri_too_long : http::status::request_header_fields_too_large,
                RenderRejectedPage(), "error");
    }
    else if (ec == http::error::body_limit)
    {
        SetPage(answer, http::status::payload_too_large, RenderRejectedPage(), "error");
    }
    else if (ec.category() == http::make_error_code(http::error::bad_target).category())
    {
        SetPage(answer, http::status::bad_request, RenderRejectedPage(), "error");
    }
    else
    {
        return false;
    }
    answer->response.keep_alive(false);
    return true;
}

// Bytes of the answers written that the client has not taken yet (sent or not).
int CountUntaken(tcp::socket& socket)
{
    int untaken = 0;
    return ioctl(socket.native_handle(), SIOCOUTQ, &untaken) == 0 ? untaken : 0;
}

// Whether the client sent bytes or ended its side. The system may report a socket readable for
// bytes already read, so a wake-up alone does not tell.
bool HasClientSent(tcp::socket& socket)
{
    char byte;
    ssize_t got = recv(socket.native_handle(), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
}

// An answer not taken in time is dropped with a reset: closed normally, the system would go on
// handing it out for minutes to a client that reads a few bytes at a time.
void ResetConnection(tcp::socket& socket)
{
    beast::error_code ec;
    socket.set_option(asio::socket_base::linger(true, 0), ec);
    socket.close(ec);
}

// A connection's answers must each be taken by the client within WRITE_DEADLINE of being
// written, as a request must come whole within REQUEST_DEADLINE: a client that reads a few bytes
// at a time is cut off, not waited on.
asio::awaitable<void> ServeConnection(tcp::socket socket)
{
    using Clock = std::chrono::steady_clock;
    beast::error_code ec;
    // Each answer goes out at once, not after the next packet's acknowledgement.
    socket.set_option(tcp::no_delay(true), ec);
    tcp::endpoint peer = socket.remote_endpoint(ec);
    std::string peerAddress = ec ? "-" : peer.address().to_string();
    // Writes that would wait return at once, so that a ready-made answer can be tried first.
    socket.non_blocking(true, ec);
    beast::tcp_stream stream(std::move(socket));
    beast::flat_buffer buffer;
    Clock::time_point takenBy = Clock::now(); // the oldest answer not taken yet, by then
    bool late = false;
    asio::steady_timer waitTimer(stream.get_executor());
    for (bool open = true; open;)
    {
        http::request_parser<http::string_body> parser;
        parser.header_limit(HEADER_LIMIT);
        parser.body_limit(BODY_LIMIT);
        Clock::time_point requestBy = Clock::now() + REQUEST_DEADLINE;
        // While an answer is still being taken, the wait for the next request watches its
        // deadline too.
        for (bool sent = false; !late && buffer.size() == 0 && CountUntaken(stream.socket()) > 0 &&
                                !(sent = HasClientSent(stream.socket())) &&
                                Clock::now() < requestBy;)
        {
            // Whichever comes first, the client's bytes or the deadline. The wait's handler and
            // this coroutine run on the connection's strand, and the coroutine goes on only once
            // the handler has run: nothing it touches is gone by then.
            bool waiting = true;
            waitTimer.expires_at(std::min(requestBy, takenBy));
            stream.socket().async_wait(tcp::socket::wait_read,
                                       [&](beast::error_code)
                                       {
                                           waiting = false;
                                           waitTimer.cancel();
                                       });
            co_await waitTimer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
            if (waiting)
            {
                stream.socket().cancel(ec);
                waitTimer.expires_at(Clock::time_point::max());
                co_await waitTimer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
            }
            late = !HasClientSent(stream.socket()) && Clock::now() >= takenBy &&
                   CountUntaken(stream.socket()) > 0;
        }
        if (late)
        {
            break;
        }
        stream.expires_at(requestBy);
        co_await http::async_read(stream, buffer, parser,
                                  asio::redirect_error(asio::use_awaitable, ec));
        Answer answer;
        std::string address = peerAddress;
        if (!ec)
        {
            address = ReadClientAddress(parser.get(), peerAddress);
            ServeRequest(parser.get(), address, &answer);
            open = answer.response.keep_alive();
        }
        else if (ec == http::error::end_of_stream || !AnswerUnreadRequest(ec, buffer, &answer))
        {
            break;
        }
        else
        {
            open = false;
        }
        LogRequest(address, parser.get().method_string(), parser.get().target(), answer);
        if (CountUntaken(stream.socket()) == 0)
        {
            takenBy = Clock::now() + WRITE_DEADLINE;
        }
        // A ready-made answer mostly fits the socket's buffer at once, and then no write waits.
        size_t written = 0;
        if (!answer.bytes.empty())
        {
            written = stream.socket().write_some(asio::buffer(answer.bytes), ec);
            ec = {};
        }
        if (answer.bytes.empty() || written < answer.bytes.size())
        {
            // A write cut off by its deadline resets the connection, for the same reason.
            stream.socket().set_option(asio::socket_base::linger(true, 0), ec);
            stream.expires_at(takenBy);
            if (answer.bytes.empty())
            {
                co_await http::async_write(stream, answer.response,
                                           asio::redirect_error(asio::use_awaitable, ec));
            }
            else
            {
                co_await asio::async_write(stream, asio::buffer(answer.bytes) + written,
                                           asio::redirect_error(asio::use_awaitable, ec));
            }
            open = open && !ec;
            stream.socket().set_option(asio::socket_base::linger(false, 0), ec);
        }
    }
    // The last answer is given the rest of its time to be taken.
    while (!late && stream.socket().is_open() && CountUntaken(stream.socket()) > 0)
    {
        late = Clock::now() >= takenBy;
        waitTimer.expires_after(std::chrono::milliseconds(20));
        co_await waitTimer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
    }
    if (late)
    {
        ResetConnection(stream.socket());
    }
    stream.socket().shutdown(tcp::socket::shutdown_send, ec);
    --scoreboardRun.connections;
}

asio::awaitable<void> AcceptConnections()
{
    for (;;)
    {
        beast::error_code ec;
        tcp::socket socket = co_await scoreboardRun.acceptor->async_accept(
            asio::make_strand(*scoreboardRun.io), asio::redirect_error(asio::use_awaitable, ec));
        if (ec == asio::error::operation_aborted)
        {
            co_return;
        }
        if (ec || scoreboardRun.connections >= scoreboardRun.connectionMax)
        {
            // Out of descriptors: wait for connections to end instead of spinning on the error.
            asio::steady_timer pause(*scoreboardRun.io, std::chrono::milliseconds(ec ? 50 : 0));
            co_await pause.async_wait(asio::redirect_error(asio::use_awaitable, ec));
            continue; // the socket, if any, closes here
        }
        ++scoreboardRun.connections;
        asio::any_io_executor executor = socket.get_executor();
        asio::co_spawn(executor, ServeConnection(std::move(socket)), asio::detached);
    }
}

void RunWorker()
{
    ScoreStore store;
    store.target = scoreboardRun.options.database;
    workerStore = &store;
    scoreboardRun.io->run();
    CloseScoreStore(&store);
}

// Every connection is a descriptor: take the most the system allows.
rlim_t RaiseDescriptorLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    getrlimit(RLIMIT_NOFILE, &limit);
    return limit.rlim_cur;
}

} // namespace

bool ParseScoreboardOptions(int argc, char** argv, ScoreboardOptions* options, std::string* error)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string_view argument = argv[i];
        std::string_view option = argument.substr(0, argument.find('='));
        if (argument == "--trust-proxy")
        {
            options->trustProxy = true;
            continue;
        }
        if (option != "--port" && option != "--bind" && option != "--db" && option != "--import")
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
        else
        {
            (option == "--bind" ? options->bind
             : option == "--db" ? options->database
                                : options->importFile) = value;
        }
    }
    return true;
}

bool StartScoreboard(const ScoreboardOptions& options, int* port, std::string* error)
{
    ScoreboardRun& run = scoreboardRun;
    run.options = options;
    run.connections = 0;
    run.connectionMax = static_cast<int64_t>(RaiseDescriptorLimit() - RESERVED_DESCRIPTORS);
    run.buckets.clear();
    run.io.emplace(WORKER_COUNT);
    run.acceptor.emplace(*run.io);
    beast::error_code ec;
    tcp::endpoint endpoint(asio::ip::make_address(options.bind, ec),
                           static_cast<uint16_t>(options.port));
    if (!ec)
    {
        run.acceptor->open(endpoint.protocol(), ec);
    }
    if (!ec)
    {
        run.acceptor->set_option(tcp::acceptor::reuse_address(true), ec);
        run.acceptor->bind(endpoint, ec);
    }
    if (!ec)
    {
        run.acceptor->listen(LISTEN_BACKLOG, ec);
    }
    if (ec)
    {
        *error = "cannot listen on " + options.bind + " port " + std::to_string(options.port) +
                 ": " + ec.message();
        run.acceptor.reset();
        run.io.reset();
        return false;
    }
    *port = run.acceptor->local_endpoint().port();
    // Syncs come back on a channel of this process's own.
    std::random_device random;
    char channel[48];
    std::snprintf(channel, sizeof channel, "vortanai_sync_%08x%08x", random(), random());
    ResetScorePlaces(channel);
    run.stopping = false;
    run.boardPage.clear();
    run.feed = std::thread(FollowStoredResults, options.database, &run.stopping);
    {
        // Serving starts once the counts are loaded, or could not be: then from the database.
        std::unique_lock lock(scorePlaces.mutex);
        scorePlaces.fed.wait_for(lock, FEED_START_PATIENCE,
                                 [] { return scorePlaces.loadsTried > 0; });
    }
    asio::co_spawn(*run.io, AcceptConnections(), asio::detached);
    asio::co_spawn(*run.io, FlushRequestLogOften(), asio::detached);
    for (int i = 0; i < WORKER_COUNT; ++i)
    {
        run.workers.emplace_back(RunWorker);
    }
    return true;
}

void StopScoreboard()
{
    ScoreboardRun& run = scoreboardRun;
    run.io->stop();
    for (std::thread& worker : run.workers)
    {
        worker.join();
    }
    run.workers.clear();
    run.stopping = true;
    run.feed.join();
    FlushRequestLog();
    run.acceptor.reset();
    run.io.reset(); // destroys the connections still open
}
