// The score page's web server, event-driven on Boost.Beast: connections wait for their bytes
// without holding a worker, and a worker (with its own database connection) takes a request only
// once the whole of it has arrived. Its options, its start and its stop.
#pragma once

#include <string>

struct ScoreboardOptions
{
    std::string bind = "127.0.0.1";
    int port = 8017; // 0: any free port, named in the start-up line
    // Relative to the working directory, as the game's files are: beside the records file. A
    // libpq URI (postgresql://...) uses PostgreSQL instead.
    std::string database = "rekordai/rezultatai.sqlite";
    // Bad codes are counted per client address; behind a proxy the address is the last one of
    // X-Forwarded-For, which only a proxy we trust may set.
    bool trustProxy = false;
    std::string importFile; // --import: copy this SQLite file's results in, then exit
};

// Listens and starts the workers; the database must have been prepared (PrepareScoreStore).
// *port is the port listened on. Only one server runs at a time in a process.
bool StartScoreboard(const ScoreboardOptions& options, int* port, std::string* error);
// Closes every connection and joins the workers.
void StopScoreboard();
