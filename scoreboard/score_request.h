// What a request says, read as a browser writes it: the address's path and query, a query's
// values, the name and code of a submitted result checked as the game makes them, and the client
// behind a proxy.
#pragma once

#include <string>
#include <string_view>

#include "records/verification_code.h"
#include "scoreboard/score_answer.h"

// A request's address cut at its '?': the query is empty when there is none.
struct RequestTarget
{
    std::string_view path;
    std::string_view query;
};

RequestTarget SplitTarget(std::string_view target);
// A form value as a browser sends it: %XX escapes and '+' for a space; a broken escape stays as
// it is written (and then fails the checks).
std::string DecodeQueryValue(std::string_view text);
// The one value of a query key; false when the key is missing or given more than once.
bool ReadSingleParam(std::string_view query, std::string_view key, std::string* value);

// The language a page is answered in, and whether the address asked for it: its links then ask
// for it too, so that the choice holds while the player browses.
struct PageChoice
{
    PageLanguage language = PAGE_LITHUANIAN;
    bool asked = false;
};

// ?kalba=lt or ?kalba=en, given once, else the language of Accept-Language the client weighs
// highest (q-values; en-GB is English; * any language not named), Lithuanian on a tie or when it
// names neither. Malformed entries of the header, and any other kalba, count for nothing.
PageChoice ReadPageChoice(std::string_view query, std::string_view acceptLanguage);

// A result as the game submits it: /rezultatas?v=NAME&r=CODE.
struct Submission
{
    std::string name;
    std::string code;
    VerifiedResult verified;
};

// False unless the query holds one name the game's name entry can type and one code the game made
// for a score the campaign can give.
bool ReadSubmission(std::string_view query, Submission* submission);
// The client's address: the last entry of an X-Forwarded-For list (the one the proxy added;
// earlier ones are whatever the client wrote), or `peer` when that is empty.
std::string ReadForwardedAddress(std::string_view forwarded, const std::string& peer);
