#include "scoreboard/score_board_page.h"

#include "scoreboard/score_page.h"
#include "scoreboard/score_places.h"

bool BoardPage::Serve(Answer* answer, bool plain)
{
    uint64_t current = 0;
    if (!ReadCountedBoardVersion(&current))
    {
        return false;
    }
    std::lock_guard lock(mutex);
    if (page.empty() || version != current)
    {
        ScoreBoard board;
        ReadCountedBoard(&board, &version);
        page = RenderBoardPage(board);
        Answer made;
        SetPage(&made, boost::beast::http::status::ok, page, "board");
        answerBytes = SerializeResponse(made.response);
    }
    if (plain)
    {
        answer->bytes = answerBytes;
        answer->outcome = "board";
        return true;
    }
    SetPage(answer, boost::beast::http::status::ok, page, "board");
    return true;
}

void BoardPage::Clear()
{
    std::lock_guard lock(mutex);
    page.clear();
}
