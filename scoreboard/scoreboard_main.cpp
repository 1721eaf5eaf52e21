// vortanai-scoreboard [--port N] [--bind ADDRESS] [--db FILE|URI] [--trust-proxy]
// [--import FILE] [--help]: the game's score page. The game opens /rezultatas?v=NAME&r=CODE after
// every campaign; / shows the ten best of each campaign.
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <string>
#include <string_view>

#include "scoreboard/score_page.h"
#include "scoreboard/score_request_log.h"
#include "scoreboard/score_server.h"
#include "scoreboard/score_store.h"
#include "text/translation.h"

namespace
{

constexpr const char* USAGE = MarkText(
    "usage: vortanai-scoreboard [--port N] [--bind ADDRESS] [--db FILE|URI] [--trust-proxy]\n"
    "                           [--import FILE] [--help]\n"
    "  --port         TCP port, default 8017 (0: any free port)\n"
    "  --bind         address to listen on, default 127.0.0.1\n"
    "  --db           SQLite file (default rekordai/rezultatai.sqlite) or PostgreSQL URI\n"
    "                 (postgresql://user@host/database)\n"
    "  --trust-proxy  take the client's address from X-Forwarded-For\n"
    "  --import       copy every result of a SQLite file into the database, then exit\n"
    "  --help         this help\n"
    "The page answers in the language of the browser, English or Lithuanian (the default);\n"
    "?kalba=en or ?kalba=lt in the address chooses it.\n");

// Where the catalogs are: the installed ones, or those VORTANAI_LOCALE_DIR names (the build's).
const char* FindCatalogDir()
{
    const char* dir = std::getenv("VORTANAI_LOCALE_DIR");
    return dir != nullptr && dir[0] != '\0' ? dir : VORTANAI_LOCALE_DIR;
}

// The page's texts in each of its languages, then the operator's language for the messages here;
// false when the English catalog is missing. Before any thread starts: the language is the
// process's.
bool ChooseLanguages()
{
    const char* dir = FindCatalogDir();
    const char* set = std::getenv("LANGUAGE");
    std::string operatorLanguage = set != nullptr ? set : "";
    bool translated[PAGE_LANGUAGES];
    for (int language = 0; language < PAGE_LANGUAGES; ++language)
    {
        ChooseLanguage(PAGE_LANGUAGE_CODES[language], dir);
        translated[language] = LoadPageTexts(static_cast<PageLanguage>(language));
    }
    set != nullptr ? setenv("LANGUAGE", operatorLanguage.c_str(), 1) : unsetenv("LANGUAGE");
    ChooseLanguage(nullptr, dir);
    return translated[PAGE_ENGLISH];
}

// The value of the option argv[*i]: after its '=', or the next argument (then *i moves on to
// it); empty when there is none.
std::string ReadOptionValue(int argc, char** argv, int* i, std::string_view option)
{
    std::string_view argument = argv[*i];
    if (option.size() < argument.size())
    {
        return std::string(argument.substr(option.size() + 1));
    }
    return *i + 1 < argc ? argv[++*i] : "";
}

// Sets an option that takes a value; false, with a message, for a port outside 0..65535.
bool SetOption(std::string_view option, const std::string& value, ScoreboardOptions* options,
               std::string* error)
{
    if (option != "--port")
    {
        (option == "--bind" ? options->bind
         : option == "--db" ? options->database
                            : options->importFile) = value;
        return true;
    }
    int port = -1;
    auto [end, status] = std::from_chars(value.data(), value.data() + value.size(), port);
    if (status != std::errc() || end != value.data() + value.size() || port < 0 || port > 65535)
    {
        *error =
            FormatText(Translate("--port wants a number from 0 to 65535, not %s"), value.c_str());
        return false;
    }
    options->port = port;
    return true;
}

// Reads --port, --bind, --db, --import (as "--x VALUE" or "--x=VALUE") and --trust-proxy. False,
// with a message, on an unknown option, a missing value or a port outside 0..65535.
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
            *error = FormatText(Translate("unknown option %s"), std::string(argument).c_str());
            return false;
        }
        std::string value = ReadOptionValue(argc, argv, &i, option);
        if (value.empty())
        {
            *error = FormatText(Translate("%s wants a value"), std::string(option).c_str());
            return false;
        }
        if (!SetOption(option, value, options, error))
        {
            return false;
        }
    }
    return true;
}

// The database as the log may show it: a URI's password is left out.
std::string DescribeDatabase(const std::string& target)
{
    size_t scheme = target.find("://");
    size_t at = target.find('@');
    size_t colon = target.find(':', scheme + 3);
    if (!IsPostgresTarget(target) || at == std::string::npos || colon > at)
    {
        return target;
    }
    return target.substr(0, colon) + ":***" + target.substr(at);
}

int ImportResults(const ScoreboardOptions& options)
{
    std::vector<StoredRow> rows;
    std::string error;
    ScoreStore store;
    store.target = options.database;
    int64_t added = 0;
    bool imported =
        ReadSqliteRows(options.importFile, &rows, &error) && ImportRows(&store, rows, &added);
    CloseScoreStore(&store);
    if (!imported)
    {
        error =
            error.empty() ? FormatText(Translate("cannot import: %s"), store.error.c_str()) : error;
        std::fprintf(stderr, "vortanai-scoreboard: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr,
                 Translate("vortanai-scoreboard: imported %lld of %zu results from %s (%lld were "
                           "there already)\n"),
                 static_cast<long long>(added), rows.size(), options.importFile.c_str(),
                 static_cast<long long>(static_cast<int64_t>(rows.size()) - added));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    bool english = ChooseLanguages();
    ScoreboardOptions options;
    std::string error;
    for (int i = 1; i < argc; ++i)
    {
        if (std::string_view(argv[i]) == "--help")
        {
            std::fputs(Translate(USAGE), stdout);
            return 0;
        }
    }
    if (!ParseScoreboardOptions(argc, argv, &options, &error))
    {
        std::fprintf(stderr, "vortanai-scoreboard: %s\n%s", error.c_str(), Translate(USAGE));
        return 2;
    }
    if (!PrepareScoreStore(options.database, &error))
    {
        std::fprintf(stderr, "vortanai-scoreboard: %s\n", error.c_str());
        return 1;
    }
    if (!options.importFile.empty())
    {
        return ImportResults(options);
    }
    // Blocked before any thread exists, so every worker inherits the mask and only sigwait below
    // takes them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN); // a browser closing early must not end the server
    std::signal(SIGXFSZ, SIG_IGN); // a file size limit fails the write, reported as such

    if (!english)
    {
        std::fprintf(stderr,
                     Translate("vortanai-scoreboard: no English catalog in %s: every page "
                               "is in Lithuanian\n"),
                     FindCatalogDir());
    }
    int port = 0;
    if (!StartScoreboard(options, &port, &error))
    {
        std::fprintf(stderr, "vortanai-scoreboard: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, Translate("vortanai-scoreboard: listening on %s port %d, database %s\n"),
                 options.bind.c_str(), port, DescribeDatabase(options.database).c_str());
    int signal = 0;
    sigwait(&signals, &signal);
    std::fprintf(stderr, Translate("vortanai-scoreboard: %s, stopping\n"),
                 signal == SIGINT ? "SIGINT" : "SIGTERM");
    StopScoreboard();
    std::fputs(Translate("vortanai-scoreboard: stopped\n"), stderr);
    return 0;
}
