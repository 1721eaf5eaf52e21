#include "scoreboard/score_request.h"

#include <algorithm>

#include "rules/campaign_rules.h"

namespace
{

int ReadHexDigit(char c)
{
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

} // namespace

RequestTarget SplitTarget(std::string_view target)
{
    std::string_view path = target.substr(0, target.find('?'));
    return {path, target.substr(std::min(target.size(), path.size() + 1))};
}

std::string DecodeQueryValue(std::string_view text)
{
    std::string value;
    for (size_t i = 0; i < text.size(); ++i)
    {
        int high = i + 2 < text.size() && text[i] == '%' ? ReadHexDigit(text[i + 1]) : -1;
        int low = high >= 0 ? ReadHexDigit(text[i + 2]) : -1;
        if (low >= 0)
        {
            value += static_cast<char>(high * 16 + low);
            i += 2;
        }
        else
        {
            value += text[i] == '+' ? ' ' : text[i];
        }
    }
    return value;
}

bool ReadSingleParam(std::string_view query, std::string_view key, std::string* value)
{
    int count = 0;
    while (!query.empty())
    {
        std::string_view pair = query.substr(0, query.find('&'));
        query.remove_prefix(std::min(query.size(), pair.size() + 1));
        std::string_view name = pair.substr(0, pair.find('='));
        if (DecodeQueryValue(name) == key)
        {
            ++count;
            *value = DecodeQueryValue(pair.substr(std::min(pair.size(), name.size() + 1)));
        }
    }
    return count == 1;
}

bool ReadSubmission(std::string_view query, Submission* submission)
{
    // Exactly 17 characters before reading: a NUL inside the parameter must not end it early. A
    // score the campaign cannot give is as false as a wrong digit.
    return ReadSingleParam(query, "v", &submission->name) &&
           ReadSingleParam(query, "r", &submission->code) && IsPlayerName(submission->name) &&
           submission->code.size() == VERIFICATION_CODE_LENGTH &&
           ReadVerificationCode(submission->code.c_str(), &submission->verified) &&
           submission->verified.score <= CampaignScoreMax();
}

std::string ReadForwardedAddress(std::string_view forwarded, const std::string& peer)
{
    std::string_view last = forwarded.substr(forwarded.rfind(',') + 1);
    while (!last.empty() && last.front() == ' ')
    {
        last.remove_prefix(1);
    }
    return last.empty() ? peer : std::string(last);
}
