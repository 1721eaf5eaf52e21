// One client's connection, served as a coroutine on its own strand: it waits for each request
// without holding a worker, has it answered by the routes and logged, and holds the client to its
// deadlines. A request must come whole within REQUEST_DEADLINE of the wait for it starting (after
// connecting or after the last answer), and each answer be taken by the client within
// WRITE_DEADLINE of being written: a client that sends or reads a few bytes at a time is cut off,
// not waited on.
#pragma once

// Asio's awaitable uses std::exchange without including <utility> itself.
#include <utility>

#include <boost/asio/awaitable.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <cstddef>

// A request line and its headers together; the pages take no body, so a small one is plenty.
constexpr size_t HEADER_LIMIT = 8192;
constexpr size_t BODY_LIMIT = 4096;
constexpr auto REQUEST_DEADLINE = std::chrono::seconds(10);
constexpr auto WRITE_DEADLINE = std::chrono::seconds(10);

// Serves the connection until the client or a deadline ends it.
boost::asio::awaitable<void> ServeConnection(boost::asio::ip::tcp::socket socket);
