// The score page's HTML: UTF-8, Lithuanian, in the game's palette and with its title; one inline
// style sheet, no scripts and nothing fetched from elsewhere.
#pragma once

#include <string>
#include <string_view>

#include "scoreboard/score_results.h"

// Text made safe for HTML element content and quoted attribute values.
std::string EscapeHtml(std::string_view text);
// The verified result, whether it was just stored or had been before, and both boards.
std::string RenderResultPage(const RankedResult& result, bool repeated, const ScoreBoard& board);
std::string RenderBoardPage(const ScoreBoard& board);
// The answer to an address whose name or code does not check out (nothing of it is shown).
std::string RenderRejectedPage();
std::string RenderBusyPage();
std::string RenderMissingPage();
