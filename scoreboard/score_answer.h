// The answer to a request as the server sends it: a page with the headers every page carries, and
// what the log says of it.
#pragma once

#include <boost/beast/http/message.hpp>
#include <boost/beast/http/status.hpp>
#include <boost/beast/http/string_body.hpp>
#include <cstdint>
#include <string>

using Response = boost::beast::http::response<boost::beast::http::string_body>;

// The languages a page is answered in, Lithuanian first: the page's own, and the one chosen when
// a request asks for neither.
enum PageLanguage : uint8_t
{
    PAGE_LITHUANIAN,
    PAGE_ENGLISH,
    PAGE_LANGUAGES
};
// Their codes, as in Accept-Language, ?kalba= and Content-Language.
constexpr const char* PAGE_LANGUAGE_CODES[PAGE_LANGUAGES] = {"lt", "en"};

// Says which of the outcomes below a request had, for clients and tests that read no page.
constexpr const char* OUTCOME_HEADER = "X-Vortanai-Result";

// What a request was answered with, for the log.
struct Answer
{
    Response response;
    // added, repeated, unstored, failed (503), unread (503), board, slowed, rejected or error
    std::string outcome;
    std::string reason; // the database's reason for a 503
    std::string bytes;  // when not empty: the whole answer as sent, and `response` only logged
};

// A page in `language`, which varies with the request's Accept-Language.
void SetPage(Answer* answer, boost::beast::http::status status, std::string html,
             const char* outcome, PageLanguage language);
// The whole answer as written to the socket: status line, headers and page.
std::string SerializeResponse(const Response& response);
