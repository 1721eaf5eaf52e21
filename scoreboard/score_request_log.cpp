#include "scoreboard/score_request_log.h"

RequestLog requestLog(stderr);

namespace
{

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

} // namespace

std::string FormatRequestLine(const LoggedRequest& request, std::time_t now)
{
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    std::string line = stamp;
    for (std::string_view part : {request.address, request.method, request.target})
    {
        line += ' ';
        AppendLoggable(&line, part.empty() ? "-" : part);
    }
    line += ' ' + std::to_string(request.status) + ' ';
    line += request.outcome;
    if (!request.reason.empty())
    {
        line += ": ";
        AppendLoggable(&line, request.reason);
    }
    line += '\n';
    return line;
}

void RequestLog::Add(const std::string& line, bool urgent)
{
    bool full = false;
    {
        std::lock_guard lock(mutex);
        pending += line;
        full = pending.size() > LOG_BATCH_MAX;
    }
    if (full || urgent)
    {
        Flush();
    }
}

void RequestLog::Flush()
{
    std::string lines;
    {
        std::lock_guard lock(mutex);
        lines.swap(pending);
    }
    std::fwrite(lines.data(), 1, lines.size(), sink);
}
