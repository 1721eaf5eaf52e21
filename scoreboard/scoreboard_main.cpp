// vortanai-scoreboard [--port N] [--bind ADDRESS] [--db FILE]: the game's score page. The game
// opens /rezultatas?v=NAME&r=CODE after every campaign; / shows the ten best of each campaign.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

#include "scoreboard/score_server.h"
#include "scoreboard/score_store.h"

namespace
{

constexpr const char* USAGE = "usage: vortanai-scoreboard [--port N] [--bind ADDRESS] [--db FILE]\n"
                              "  --port  TCP port, default 8017 (0: any free port)\n"
                              "  --bind  address to listen on, default 127.0.0.1\n"
                              "  --db    SQLite file, default rekordai/rezultatai.sqlite\n";

// Waits for SIGINT or SIGTERM (blocked in every thread, so only this one takes them) and stops
// the server; a SIGTERM sent by main after the server has ended wakes it for good.
void WaitForStopSignal(httplib::Server* server, const sigset_t* signals,
                       const std::atomic<bool>* listenEnded)
{
    int signal = 0;
    sigwait(signals, &signal);
    if (listenEnded->load())
    {
        return;
    }
    std::fprintf(stderr, "vortanai-scoreboard: %s, stopping\n",
                 signal == SIGINT ? "SIGINT" : "SIGTERM");
    // A signal can come between binding and listening: stop once the server runs.
    while (!listenEnded->load())
    {
        if (server->is_running())
        {
            server->stop();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

int main(int argc, char** argv)
{
    ScoreboardOptions options;
    std::string error;
    if (!ParseScoreboardOptions(argc, argv, &options, &error))
    {
        std::fprintf(stderr, "vortanai-scoreboard: %s\n%s", error.c_str(), USAGE);
        return 2;
    }
    if (!PrepareScoreDatabase(options.database, &error))
    {
        std::fprintf(stderr, "vortanai-scoreboard: %s\n", error.c_str());
        return 1;
    }
    // Blocked before any thread exists, so every worker inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN); // a browser closing early must not end the server

    httplib::Server server;
    SetUpScoreboard(server, options.database);
    int port = options.port;
    if (port == 0)
    {
        port = server.bind_to_any_port(options.bind);
    }
    else if (!server.bind_to_port(options.bind, port))
    {
        port = -1;
    }
    if (port < 0)
    {
        std::fprintf(stderr, "vortanai-scoreboard: cannot listen on %s port %d\n",
                     options.bind.c_str(), options.port);
        return 1;
    }
    std::fprintf(stderr, "vortanai-scoreboard: listening on %s port %d, database %s\n",
                 options.bind.c_str(), port, options.database.c_str());

    std::atomic<bool> listenEnded = false;
    std::thread waiter(WaitForStopSignal, &server, &signals, &listenEnded);
    bool listened = server.listen_after_bind();
    listenEnded = true;
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    std::fprintf(stderr, "vortanai-scoreboard: stopped\n");
    return listened ? 0 : 1;
}
