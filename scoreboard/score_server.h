// The score page's web server: the routes, the request log and the command line.
#pragma once

#include <string>
#include <string_view>

#include <httplib.h>

struct ScoreboardOptions
{
    std::string bind = "127.0.0.1";
    int port = 8017; // 0: any free port, named in the start-up line
    // Relative to the working directory, as the game's files are: beside the records file.
    std::string database = "rekordai/rezultatai.sqlite";
};

// Reads --port, --bind, --db (as "--x VALUE" or "--x=VALUE"). False, with a message, on an
// unknown option, a missing value or a port outside 0..65535.
bool ParseScoreboardOptions(int argc, char** argv, ScoreboardOptions* options, std::string* error);
// The names the game's name entry can type: 1 to 15 ASCII letters, digits and spaces.
bool IsPlayerName(std::string_view name);
// Installs the pages, the error pages and the one-line-per-request log on standard error. The
// database must have been prepared (PrepareScoreDatabase).
void SetUpScoreboard(httplib::Server& server, const std::string& databasePath);
