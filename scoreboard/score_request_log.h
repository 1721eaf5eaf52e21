// The request log: a line per request on standard error, in printable ASCII whatever the request
// held, written in batches (a write for every request cost more than serving the board).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

// A request's line is written within this long, or once this many bytes wait.
constexpr auto LOG_PERIOD = std::chrono::milliseconds(20);
constexpr size_t LOG_BATCH_MAX = 65536;
// The log keeps this much of an address or a reason; the rest of an overlong one says nothing
// new.
constexpr size_t LOGGED_TARGET_MAX = 300;

// What a request's line says, after its time.
struct LoggedRequest
{
    std::string_view address;
    std::string_view method;
    std::string_view target;
    int status;
    std::string_view outcome;
    std::string_view reason; // the database's, for a 503
};

// "TIME ADDRESS METHOD TARGET STATUS OUTCOME[: REASON]\n", TIME in UTC. Printable ASCII stays, any
// other byte (and the backslash) becomes \xHH: a request can never forge a line or put raw bytes
// into it. An empty part is written "-".
std::string FormatRequestLine(const LoggedRequest& request, std::time_t now);

// Lines not written yet, in order. Emptied every LOG_PERIOD and when the server stops.
class RequestLog
{
  public:
    explicit RequestLog(std::FILE* sink) : sink(sink) {}

    // A failure (`urgent`) and a full batch are written at once.
    void Add(const std::string& line, bool urgent);
    // One write of every line added since the last.
    void Flush();

  private:
    std::mutex mutex;
    std::string pending;
    std::FILE* sink;
};

// The server's, on standard error.
extern RequestLog requestLog;

// An operator's message: `format`, as the catalog gives it (Translate), with its values put in.
template <typename... Values> std::string FormatText(const char* format, Values... values)
{
    std::string text(static_cast<size_t>(std::max(0, std::snprintf(nullptr, 0, format, values...))),
                     '\0');
    std::snprintf(text.data(), text.size() + 1, format, values...);
    return text;
}
