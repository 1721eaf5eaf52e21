#include "scoreboard/score_connection.h"

#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <ctime>
#include <linux/sockios.h>
#include <string>
#include <sys/ioctl.h>

#include "scoreboard/score_page.h"
#include "scoreboard/score_request_log.h"
#include "scoreboard/score_routes.h"

namespace
{

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// Each answer goes out at once, not after the next packet's acknowledgement, and writes that
// would wait return at once, so that a ready-made answer can be tried first.
void SetSocketOptions(tcp::socket& socket)
{
    beast::error_code ec;
    socket.set_option(tcp::no_delay(true), ec);
    socket.non_blocking(true, ec);
}

std::string ReadPeerAddress(const tcp::socket& socket)
{
    beast::error_code ec;
    tcp::endpoint peer = socket.remote_endpoint(ec);
    return ec ? "-" : peer.address().to_string();
}

// A connection being served, from its coroutine's frame.
struct Connection
{
    explicit Connection(tcp::socket socket)
        : stream(std::move(socket)), waitTimer(stream.get_executor())
    {
        SetSocketOptions(stream.socket());
        peerAddress = ReadPeerAddress(stream.socket());
    }

    beast::tcp_stream stream;
    asio::steady_timer waitTimer;
    std::string peerAddress;
    beast::flat_buffer buffer;
    Clock::time_point takenBy = Clock::now(); // the oldest answer not taken yet, by then
    bool late = false;                        // it was not: the connection is reset
};

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

// Whether the wait for the next request must watch an answer still being taken: the client has
// not taken it all, nor sent anything since, and the request's deadline has not passed.
bool IsAnswerBeingTaken(Connection& c, Clock::time_point requestBy)
{
    return !c.late && c.buffer.size() == 0 && CountUntaken(c.stream.socket()) > 0 &&
           !HasClientSent(c.stream.socket()) && Clock::now() < requestBy;
}

bool IsAnswerLate(Connection& c)
{
    return !HasClientSent(c.stream.socket()) && Clock::now() >= c.takenBy &&
           CountUntaken(c.stream.socket()) > 0;
}

// Whichever comes first, the client's bytes or the deadline. The wait's handler and this
// coroutine run on the connection's strand, and the coroutine goes on only once the handler has
// run: nothing it touches is gone by then.
asio::awaitable<void> AwaitClientOrDeadline(Connection& c, Clock::time_point deadline)
{
    beast::error_code ec;
    bool waiting = true;
    c.waitTimer.expires_at(deadline);
    c.stream.socket().async_wait(tcp::socket::wait_read,
                                 [&](beast::error_code)
                                 {
                                     waiting = false;
                                     c.waitTimer.cancel();
                                 });
    co_await c.waitTimer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
    if (waiting)
    {
        c.stream.socket().cancel(ec);
        c.waitTimer.expires_at(Clock::time_point::max());
        co_await c.waitTimer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
    }
}

// The next request, whole by `requestBy`; the error that ended the read, if any.
asio::awaitable<beast::error_code> ReadRequest(Connection& c,
                                               http::request_parser<http::string_body>& parser,
                                               Clock::time_point requestBy)
{
    beast::error_code ec;
    parser.header_limit(HEADER_LIMIT);
    parser.body_limit(BODY_LIMIT);
    c.stream.expires_at(requestBy);
    co_await http::async_read(c.stream, c.buffer, parser,
                              asio::redirect_error(asio::use_awaitable, ec));
    co_return ec;
}

// The answer to a request that could not be read whole, in the page's own language (its headers
// are not all read); the connection is closed after it.
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
                RenderRejectedPage({}), "error", PAGE_LITHUANIAN);
    }
    else if (ec == http::error::body_limit)
    {
        SetPage(answer, http::status::payload_too_large, RenderRejectedPage({}), "error",
                PAGE_LITHUANIAN);
    }
    else if (ec.category() == http::make_error_code(http::error::bad_target).category())
    {
        SetPage(answer, http::status::bad_request, RenderRejectedPage({}), "error",
                PAGE_LITHUANIAN);
    }
    else
    {
        return false;
    }
    answer->response.keep_alive(false);
    return true;
}

// Answers what the read ended with, and logs it; false when nothing is to be answered.
bool AnswerAndLogRequest(const Connection& c, beast::error_code ec, const Request& req,
                         Answer* answer)
{
    std::string address = c.peerAddress;
    if (!ec)
    {
        address = ReadClientAddress(req, c.peerAddress);
        ServeRequest(req, address, answer);
    }
    else if (ec == http::error::end_of_stream || !AnswerUnreadRequest(ec, c.buffer, answer))
    {
        return false;
    }
    int status = answer->response.result_int();
    std::string line = FormatRequestLine({.address = address,
                                          .method = req.method_string(),
                                          .target = req.target(),
                                          .status = status,
                                          .outcome = answer->outcome,
                                          .reason = answer->reason},
                                         std::time(nullptr));
    requestLog.Add(line, status >= 500);
    return true;
}

// An answer written when all before it were taken is due WRITE_DEADLINE later.
void StartAnswerDeadline(Connection& c)
{
    if (CountUntaken(c.stream.socket()) == 0)
    {
        c.takenBy = Clock::now() + WRITE_DEADLINE;
    }
}

// As much of a ready-made answer as the socket takes at once: mostly the whole of it, and then no
// write waits. The bytes written.
size_t WriteReadyAnswer(Connection& c, const Answer& answer)
{
    beast::error_code ec;
    return answer.bytes.empty() ? 0 : c.stream.socket().write_some(asio::buffer(answer.bytes), ec);
}

// The rest of the answer, past its `written` bytes, by the time it must be taken; false when the
// write failed. A write cut off by its deadline resets the connection (see ResetConnection).
asio::awaitable<bool> WriteAnswerInTime(Connection& c, Answer& answer, size_t written)
{
    beast::error_code ec;
    c.stream.socket().set_option(asio::socket_base::linger(true, 0), ec);
    c.stream.expires_at(c.takenBy);
    if (answer.bytes.empty())
    {
        co_await http::async_write(c.stream, answer.response,
                                   asio::redirect_error(asio::use_awaitable, ec));
    }
    else
    {
        co_await asio::async_write(c.stream, asio::buffer(answer.bytes) + written,
                                   asio::redirect_error(asio::use_awaitable, ec));
    }
    bool sent = !ec;
    c.stream.socket().set_option(asio::socket_base::linger(false, 0), ec);
    co_return sent;
}

// The last answer is given the rest of its time to be taken.
asio::awaitable<void> AwaitLastAnswerTaken(Connection& c)
{
    beast::error_code ec;
    while (!c.late && c.stream.socket().is_open() && CountUntaken(c.stream.socket()) > 0)
    {
        c.late = Clock::now() >= c.takenBy;
        c.waitTimer.expires_after(std::chrono::milliseconds(20));
        co_await c.waitTimer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
    }
}

// An answer not taken in time is dropped with a reset: closed normally, the system would go on
// handing it out for minutes to a client that reads a few bytes at a time.
void ResetConnection(tcp::socket& socket)
{
    beast::error_code ec;
    socket.set_option(asio::socket_base::linger(true, 0), ec);
    socket.close(ec);
}

void CloseConnection(Connection& c)
{
    if (c.late)
    {
        ResetConnection(c.stream.socket());
    }
    beast::error_code ec;
    c.stream.socket().shutdown(tcp::socket::shutdown_send, ec);
}

} // namespace

asio::awaitable<void> ServeConnection(tcp::socket socket)
{
    Connection c(std::move(socket));
    for (bool open = true; open;)
    {
        Clock::time_point requestBy = Clock::now() + REQUEST_DEADLINE;
        // While an answer is still being taken, the wait for the next request watches its
        // deadline too.
        while (IsAnswerBeingTaken(c, requestBy))
        {
            co_await AwaitClientOrDeadline(c, std::min(requestBy, c.takenBy));
            c.late = IsAnswerLate(c);
        }
        if (c.late)
        {
            break;
        }
        http::request_parser<http::string_body> parser;
        beast::error_code ec = co_await ReadRequest(c, parser, requestBy);
        Answer answer;
        if (!AnswerAndLogRequest(c, ec, parser.get(), &answer))
        {
            break;
        }
        open = answer.response.keep_alive();
        StartAnswerDeadline(c);
        size_t written = WriteReadyAnswer(c, answer);
        if (answer.bytes.empty() || written < answer.bytes.size())
        {
            open = co_await WriteAnswerInTime(c, answer, written) && open;
        }
    }
    co_await AwaitLastAnswerTaken(c);
    CloseConnection(c);
}
