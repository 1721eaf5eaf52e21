#include "scoreboard/score_server.h"

// Asio's awaitable uses std::exchange without including <utility> itself.
#include <utility>

#include <atomic>
#include <boost/asio.hpp>
#include <cstdio>
#include <optional>
#include <random>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "scoreboard/score_connection.h"
#include "scoreboard/score_places.h"
#include "scoreboard/score_request_log.h"
#include "scoreboard/score_routes.h"
#include "scoreboard/score_store.h"
#include "text/translation.h"

namespace
{

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

// Workers take whole requests, each with a database connection of its own; waiting connections
// hold none of them.
constexpr int WORKER_COUNT = 16;
constexpr int LISTEN_BACKLOG = 511;
// Descriptors kept free for the database, the log and the listener.
constexpr rlim_t RESERVED_DESCRIPTORS = 64;
constexpr auto FEED_START_PATIENCE = std::chrono::seconds(30);

// The running server. Set up by StartScoreboard, emptied by StopScoreboard.
struct ScoreboardRun
{
    ScoreboardOptions options;
    std::optional<asio::io_context> io;
    std::optional<tcp::acceptor> acceptor;
    std::vector<std::thread> workers;
    std::atomic<int64_t> connections;
    int64_t connectionMax;
    std::thread feed; // keeps the places current (FollowStoredResults)
    std::atomic<bool> stopping;
};

ScoreboardRun scoreboardRun;

asio::awaitable<void> FlushRequestLogOften()
{
    asio::steady_timer timer(*scoreboardRun.io);
    for (boost::system::error_code ec; !ec;)
    {
        timer.expires_after(LOG_PERIOD);
        co_await timer.async_wait(asio::redirect_error(asio::use_awaitable, ec));
        requestLog.Flush();
    }
}

asio::awaitable<void> AcceptConnections()
{
    for (;;)
    {
        boost::system::error_code ec;
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
        asio::co_spawn(executor, ServeConnection(std::move(socket)),
                       [](std::exception_ptr) { --scoreboardRun.connections; });
    }
}

void RunWorker()
{
    ScoreStore store;
    store.target = scoreboardRun.options.database;
    SetWorkerStore(&store);
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

// Opens the acceptor on the options' address and port; false, with a message, when it cannot.
bool Listen(const ScoreboardOptions& options, std::string* error)
{
    ScoreboardRun& run = scoreboardRun;
    run.acceptor.emplace(*run.io);
    boost::system::error_code ec;
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
        *error = FormatText(Translate("cannot listen on %s port %d: %s"), options.bind.c_str(),
                            options.port, ec.message().c_str());
        run.acceptor.reset();
    }
    return !ec;
}

// Starts the feed that keeps the places current, and waits until it has loaded the counts or
// could not: serving then counts in the database.
void StartFeed(const std::string& database)
{
    // Syncs come back on a channel of this process's own.
    std::random_device random;
    char channel[48];
    std::snprintf(channel, sizeof channel, "vortanai_sync_%08x%08x", random(), random());
    ResetScorePlaces(channel);
    scoreboardRun.stopping = false;
    scoreboardRun.feed = std::thread(FollowStoredResults, database, &scoreboardRun.stopping);
    std::unique_lock lock(scorePlaces.mutex);
    scorePlaces.fed.wait_for(lock, FEED_START_PATIENCE, [] { return scorePlaces.loadsTried > 0; });
}

} // namespace

bool StartScoreboard(const ScoreboardOptions& options, int* port, std::string* error)
{
    ScoreboardRun& run = scoreboardRun;
    run.options = options;
    run.connections = 0;
    run.connectionMax = static_cast<int64_t>(RaiseDescriptorLimit() - RESERVED_DESCRIPTORS);
    run.io.emplace(WORKER_COUNT);
    if (!Listen(options, error))
    {
        run.io.reset();
        return false;
    }
    *port = run.acceptor->local_endpoint().port();
    ResetScoreRoutes(options.trustProxy);
    StartFeed(options.database);
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
    requestLog.Flush();
    run.acceptor.reset();
    run.io.reset(); // destroys the connections still open
}
