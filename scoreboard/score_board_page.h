// The board page (/) in each language as last rendered from the counts (score_places.h), for the
// ten best of that version, and the whole answer to a plain GET of it as sent: rendered again only
// when a ten best changes.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "scoreboard/score_answer.h"

class BoardPage
{
  public:
    // The board from the counts; `plain`: a kept-alive GET, which takes the whole answer ready
    // made. False, with nothing set, when the counts are not current: the board is then to be read
    // from the database.
    bool Serve(Answer* answer, bool plain, PageLanguage language);
    void Clear();

  private:
    struct Rendered
    {
        std::string page;
        std::string answerBytes;
        uint64_t version = 0;
    };
    std::mutex mutex;
    Rendered rendered[PAGE_LANGUAGES];
};
