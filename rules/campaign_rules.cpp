#include "rules/campaign_rules.h"

#include <algorithm>

bool IsNameLetter(char letter)
{
    return letter != '\0' && std::string_view(NAME_LETTERS).find(letter) != std::string_view::npos;
}

bool IsPlayerName(std::string_view name)
{
    return !name.empty() && name.size() <= NAME_MAX_LENGTH &&
           std::all_of(name.begin(), name.end(), IsNameLetter);
}
