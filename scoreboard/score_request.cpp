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

std::string_view TrimBlanks(std::string_view text)
{
    size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The weight of a language range from its parameters (";q=0.5"), in thousandths: 1000 without
// a q; -1 when a q is not a qvalue (0 to 1 with at most three decimals).
int ReadQuality(std::string_view parameters)
{
    int quality = 1000;
    while (!parameters.empty())
    {
        parameters.remove_prefix(1); // the ';'
        std::string_view parameter = parameters.substr(0, parameters.find(';'));
        parameters.remove_prefix(parameter.size());
        parameter = TrimBlanks(parameter);
        if (parameter.size() < 2 || (parameter[0] | 0x20) != 'q' || parameter[1] != '=')
        {
            continue;
        }
        std::string_view value = parameter.substr(2);
        if (value.empty() || value.size() > 5 || value[0] < '0' || value[0] > '1' ||
            (value.size() > 1 && value[1] != '.'))
        {
            return -1;
        }
        quality = (value[0] - '0') * 1000;
        for (size_t i = 2, scale = 100; i < value.size(); ++i, scale /= 10)
        {
            if (value[i] < '0' || value[i] > '9')
            {
                return -1;
            }
            quality += (value[i] - '0') * static_cast<int>(scale);
        }
        if (quality > 1000)
        {
            return -1;
        }
    }
    return quality;
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

PageChoice ReadPageChoice(std::string_view query, std::string_view acceptLanguage)
{
    std::string asked;
    bool given = ReadSingleParam(query, "kalba", &asked);
    for (int language = 0; given && language < PAGE_LANGUAGES; ++language)
    {
        if (asked == PAGE_LANGUAGE_CODES[language])
        {
            return {static_cast<PageLanguage>(language), true};
        }
    }
    // Each language weighs what the highest range naming it does, or else what * does.
    int named[PAGE_LANGUAGES] = {-1, -1};
    int others = 0;
    while (!acceptLanguage.empty())
    {
        std::string_view entry = acceptLanguage.substr(0, acceptLanguage.find(','));
        acceptLanguage.remove_prefix(std::min(acceptLanguage.size(), entry.size() + 1));
        std::string_view range = entry.substr(0, entry.find(';'));
        int quality = ReadQuality(entry.substr(range.size()));
        range = TrimBlanks(range);
        std::string_view primary = range.substr(0, range.find('-'));
        for (int language = 0; language < PAGE_LANGUAGES; ++language)
        {
            const char* code = PAGE_LANGUAGE_CODES[language];
            if (primary.size() == 2 && (primary[0] | 0x20) == code[0] &&
                (primary[1] | 0x20) == code[1])
            {
                named[language] = std::max(named[language], quality);
            }
        }
        others = range == "*" ? std::max(others, quality) : others;
    }
    auto weigh = [&](int language) { return named[language] >= 0 ? named[language] : others; };
    return {weigh(PAGE_ENGLISH) > weigh(PAGE_LITHUANIAN) ? PAGE_ENGLISH : PAGE_LITHUANIAN, false};
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
