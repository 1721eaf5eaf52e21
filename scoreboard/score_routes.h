// The score page's routes: /rezultatas checks a submitted result, stores it once and shows its
// place (HEAD only looks), / shows the board; any other path is missing and any other method not
// allowed. Each worker thread answers with its own database connection.
#pragma once

#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <string>

#include "scoreboard/score_answer.h"
#include "scoreboard/score_store.h"

using Request = boost::beast::http::request<boost::beast::http::string_body>;

// For a server starting: whether X-Forwarded-For names the client, and no bad code counted yet
// nor board page rendered.
void ResetScoreRoutes(bool trustProxy);
// The database connection of the calling worker thread, for every request it answers.
void SetWorkerStore(ScoreStore* store);
// The client's address: the peer's, or behind a trusted proxy the one it forwarded.
std::string ReadClientAddress(const Request& req, const std::string& peer);
void ServeRequest(const Request& req, const std::string& address, Answer* answer);
