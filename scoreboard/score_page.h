// The score page's HTML: UTF-8, in Lithuanian or English, in the game's palette and with its
// title; one inline style sheet, no scripts and nothing fetched from elsewhere.
#pragma once

#include <string>
#include <string_view>

#include "scoreboard/score_request.h"
#include "scoreboard/score_results.h"

// Looks up the page's texts for `language` in the language the catalog is set to now
// (ChooseLanguage), once at start before any request: requests in either language are answered
// at once, so they never switch the process's language. Until then every language reads the
// page's own words. False when the catalog translated none of them.
bool LoadPageTexts(PageLanguage language);

// Text made safe for HTML element content and quoted attribute values.
std::string EscapeHtml(std::string_view text);
// The verified result, whether it was just stored or had been before, and both boards.
// A page's links ask for the language the address asked for (`choice.asked`).
std::string RenderResultPage(const RankedResult& result, bool repeated, const ScoreBoard& board,
                             PageChoice choice);
std::string RenderBoardPage(const ScoreBoard& board, PageLanguage language);
// The answer to an address whose name or code does not check out (nothing of it is shown).
std::string RenderRejectedPage(PageChoice choice);
std::string RenderBusyPage(PageChoice choice);
std::string RenderMissingPage(PageChoice choice);
