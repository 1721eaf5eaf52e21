#include "scoreboard/score_answer.h"

#include <boost/beast/http/write.hpp>
#include <sstream>

namespace http = boost::beast::http;

void SetPage(Answer* answer, http::status status, std::string html, const char* outcome,
             PageLanguage language)
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
    res.set(http::field::content_language, PAGE_LANGUAGE_CODES[language]);
    res.set(http::field::vary, "Accept-Language");
    res.set(OUTCOME_HEADER, outcome);
    res.body() = std::move(html);
    res.prepare_payload();
    answer->outcome = outcome;
}

std::string SerializeResponse(const Response& response)
{
    std::ostringstream bytes;
    bytes << response;
    return bytes.str();
}
