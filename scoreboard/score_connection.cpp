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

} // namespace

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
        int status = answer.response.result_int();
        requestLog.Add(FormatRequestLine({.address = address,
                                          .method = parser.get().method_string(),
                                          .target = parser.get().target(),
                                          .status = status,
                                          .outcome = answer.outcome,
                                          .reason = answer.reason},
                                         std::time(nullptr)),
                       status >= 500);
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
}
