#include "scoreboard/score_board_page.h"

#include "scoreboard/score_page.h"
#include "scoreboard/score_places.h"

bool BoardPage::Serve(Answer* answer, bool plain, PageLanguage language)
{
    uint64_t current = 0;
    if (!ReadCountedBoardVersion(&current))
    {
        return false;
    }
    std::lock_guard lock(mutex);
    Rendered& made = rendered[language];
    if (made.page.empty() || made.version != current)
    {
        ScoreBoard board;
        ReadCountedBoard(&board, &made.version);
        made.page = RenderBoardPage(board, language);
        Answer whole;
        SetPage(&whole, boost::beast::http::status::ok, made.page, "board", language);
        made.answerBytes = SerializeResponse(whole.response);
    }
    if (plain)
    {
        answer->bytes = made.answerBytes;
        answer->outcome = "board";
        return true;
    }
    SetPage(answer, boost::beast::http::status::ok, made.page, "board", language);
    return true;
}

void BoardPage::Clear()
{
    std::lock_guard lock(mutex);
    for (Rendered& made : rendered)
    {
        made.page.clear();
    }
}
