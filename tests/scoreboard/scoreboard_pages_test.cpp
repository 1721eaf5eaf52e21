#include <arpa/inet.h>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

constexpr const char* VERIFIED = "Rezultatas patvirtintas";
constexpr const char* REJECTED = "Rezultato patvirtinti nepavyko";
constexpr const char* REPEATED = "jau buvo \xc4\xafra\xc5\xa1ytas"; // jau buvo įrašytas

// The names of one board (section id "fiksuota" or "atsitiktine"), best first.
std::vector<std::string> BoardNames(const std::string& html, const std::string& id)
{
    std::vector<std::string> names;
    size_t at = html.find("id=\"" + id + "\"");
    size_t end = html.find("</section>", at);
    const std::string open = "<td class=\"name\">";
    while (at != std::string::npos && (at = html.find(open, at)) < end)
    {
        at += open.size();
        names.push_back(html.substr(at, html.find("</td>", at) - at));
    }
    return names;
}

std::string PlaceLine(const std::string& html)
{
    size_t at = html.find("<b class=\"place\">");
    return at == std::string::npos ? "" : html.substr(at + 17, html.find("</p>", at) - at - 17);
}

} // namespace

TEST_F(ScoreboardServer, AVerifiedResultIsStoredOnceAndShownWithItsPlace)
{
    std::string code = MakeCode(850000, MODE_FIXED, 4321);
    auto first = Get(ResultPath("Ona%20B", code));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 200);
    EXPECT_EQ(first->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(first->body.find(VERIFIED), std::string::npos);
    EXPECT_NE(first->body.find("<p class=\"name\">Ona B</p><p class=\"score\">850000</p>"),
              std::string::npos);
    EXPECT_NE(first->body.find("Fiksuota kampanija &middot;"), std::string::npos);
    EXPECT_EQ(PlaceLine(first->body), "1</b> i\xc5\xa1 1"); // 1 iš 1
    EXPECT_EQ(first->body.find(REPEATED), std::string::npos);
    EXPECT_EQ(ReadTestFile(database)[18], 2); // the file format byte of WAL mode
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results WHERE name = 'Ona B' AND score = 850000"
                          " AND mode = 0 AND number = 4321 AND code = '" +
                          code + "'"),
              1);

    // The same code again, even under another name, is shown but never counted twice.
    auto again = Get(ResultPath("Kitas+Vardas", code));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_NE(again->body.find(REPEATED), std::string::npos);
    EXPECT_NE(again->body.find("<p class=\"name\">Ona B</p>"), std::string::npos);
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results"), 1);

    // A random campaign ranks among random results only; "+" is a space as well.
    auto random = Get(ResultPath("Rimas+2", MakeCode(10, MODE_RANDOM, 1)));
    ASSERT_TRUE(random);
    EXPECT_NE(random->body.find("Atsitiktin\xc4\x97 kampanija &middot;"), std::string::npos);
    EXPECT_EQ(PlaceLine(random->body), "1</b> i\xc5\xa1 1");
    EXPECT_EQ(BoardNames(random->body, "atsitiktine"), std::vector<std::string>{"Rimas 2"});
    EXPECT_EQ(BoardNames(random->body, "fiksuota"), std::vector<std::string>{"Ona B"});
}

TEST_F(ScoreboardServer, BoardsRankByScoreOlderEqualScoresFirstAndHoldTen)
{
    const int scores[] = {500, 900, 700, 900, 100, 800, 300, 600, 200, 400, 50, 900};
    for (int i = 0; i < 12; ++i)
    {
        auto res = Get(ResultPath(Numbered("P", i), MakeCode(scores[i], MODE_FIXED, i)));
        ASSERT_TRUE(res);
        ASSERT_EQ(res->status, 200);
    }
    auto board = Get("/");
    ASSERT_TRUE(board);
    EXPECT_EQ(board->status, 200);
    std::vector<std::string> expected = {"P1", "P3", "P11", "P5", "P2",
                                         "P7", "P0", "P9",  "P6", "P8"};
    EXPECT_EQ(BoardNames(board->body, "fiksuota"), expected);
    EXPECT_TRUE(BoardNames(board->body, "atsitiktine").empty());
    EXPECT_NE(board->body.find("Rezultat\xc5\xb3 dar n\xc4\x97ra."), std::string::npos);

    // An equal score ranks below the older ones; a result off the board still gets its place.
    auto tie = Get(ResultPath("Naujas", MakeCode(900, MODE_FIXED, 99)));
    ASSERT_TRUE(tie);
    EXPECT_EQ(PlaceLine(tie->body), "4</b> i\xc5\xa1 13");
    EXPECT_NE(tie->body.find("<tr class=\"mine\"><td class=\"place\">4.</td><td class=\"name\">"
                             "Naujas</td>"),
              std::string::npos);
    auto low = Get(ResultPath("Paskutinis", MakeCode(1, MODE_FIXED, 98)));
    ASSERT_TRUE(low);
    EXPECT_EQ(PlaceLine(low->body), "14</b> i\xc5\xa1 14");
    EXPECT_EQ(low->body.find("class=\"mine\""), std::string::npos);
}

TEST_F(ScoreboardServer, OnlyAGameNameWithAGenuineCodeIsStored)
{
    std::string code = MakeCode(123456, MODE_FIXED, 7);
    std::string tampered = code;
    tampered[5] = tampered[5] == '9' ? '0' : tampered[5] + 1;
    const std::string rejected[] = {
        "/rezultatas",
        "/rezultatas?v=Ona",
        "/rezultatas?r=" + code,
        ResultPath("", code),
        ResultPath("Penkiolika%20raide", code), // sixteen characters
        ResultPath("O%27Brien", code),
        ResultPath("%3Cscript%3Ealert(1)%3C/script%3E", code),
        ResultPath("<script>alert(1)</script>", code),
        ResultPath("%C4%85%C5%BE", code), // Lithuanian letters the name entry cannot type
        ResultPath("%FF%FEab%80", code),  // not UTF-8
        ResultPath("ab%00cd", code),
        ResultPath("Ona", code) + "&v=Jonas",
        ResultPath("Ona", code) + "&r=" + MakeCode(1, MODE_FIXED, 1), // which one?
        ResultPath("Ona", code.substr(0, 16)),
        ResultPath("Ona", code + "0"),
        ResultPath("Ona", code + "%00"),
        ResultPath("Ona", code.substr(0, 16) + "x"),
        ResultPath("Ona", tampered),
    };
    for (const std::string& path : rejected)
    {
        auto res = Get(path);
        ASSERT_TRUE(res) << path;
        EXPECT_EQ(res->status, 400) << path;
        EXPECT_NE(res->body.find(REJECTED), std::string::npos) << path;
        EXPECT_EQ(res->body.find("<script"), std::string::npos) << path;
        EXPECT_EQ(res->body.find("Ona"), std::string::npos) << path;
    }
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results"), 0);

    auto longest = Get(ResultPath("Penkiolika%20raid", code));
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->status, 200);
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results"), 1);
}

TEST_F(ScoreboardServer, EveryEscapedByteIsJudgedAsTheByteItStandsFor)
{
    int accepted = 0;
    for (int byte = 0; byte < 256; ++byte)
    {
        char escape[4];
        std::snprintf(escape, sizeof escape, "%%%02X", byte);
        auto res =
            Get(ResultPath(std::string("a") + escape + "b", MakeCode(byte, MODE_FIXED, byte)));
        ASSERT_TRUE(res) << escape;
        bool typeable = std::isalnum(byte) || byte == ' ';
        EXPECT_EQ(res->status, typeable ? 200 : 400) << escape;
        accepted += typeable;
    }
    EXPECT_EQ(accepted, 63);
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results"), accepted);

    // In the code only the escape of the very digit it replaces passes.
    std::string code = MakeCode(5000, MODE_RANDOM, 3);
    for (int byte = 0; byte < 256; ++byte)
    {
        char escape[4];
        std::snprintf(escape, sizeof escape, "%%%02X", byte);
        auto res = Get(ResultPath("Ona", code.substr(0, 9) + escape + code.substr(10)));
        ASSERT_TRUE(res) << escape;
        EXPECT_EQ(res->status, byte == code[9] ? 200 : 400) << escape;
    }
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results WHERE mode = 1"), 1);
}

TEST_F(ScoreboardServer, MalformedAndOverlongRequestsLeaveItServing)
{
    for (size_t length : {9000u, 200000u})
    {
        auto res = Get(ResultPath(std::string(length, 'a'), MakeCode(1, MODE_FIXED, 1)));
        ASSERT_TRUE(res) << length;
        EXPECT_GE(res->status, 400) << length;
        EXPECT_LT(res->status, 500) << length;
    }
    static constexpr char CONTROL_BYTES[] = "GET /rezultatas?v=\x01\xff\x00&r=1 HTTP/1.1\r\n\r\n";
    // Raw request lines no client library would send: a bare space inside the address (not
    // valid HTTP; browsers send it as %20), control bytes, no version, nothing at all.
    const std::string rawRequests[] = {
        "GET " + ResultPath("Ona B", MakeCode(2, MODE_FIXED, 2)) + " HTTP/1.1\r\n\r\n",
        std::string(CONTROL_BYTES, sizeof CONTROL_BYTES - 1),
        "GET /rezultatas?v=Ona\r\n\r\n",
        "\r\n\r\n",
    };
    for (const std::string& request : rawRequests)
    {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(send(fd, request.data(), request.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(request.size()));
        char reply[64] = {};
        ssize_t got = recv(fd, reply, sizeof reply - 1, 0);
        close(fd);
        EXPECT_TRUE(got <= 0 || std::string(reply).starts_with("HTTP/1.1 400")) << reply;
    }
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results"), 0);
    auto after = Get(ResultPath("Ona", MakeCode(3, MODE_FIXED, 3)));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 200);
}

TEST_F(ScoreboardServer, PagesEscapeStoredNamesAndFetchNothingElse)
{
    // Names written into the database by other means than this server are escaped too.
    ScoreDatabase db = OpenScoreDatabase(database);
    ASSERT_EQ(sqlite3_exec(db.get(),
                           "INSERT INTO results (name, score, mode, number, code, stored_at)"
                           " VALUES ('<script>alert(''x'')</script>', 5, 0, 0, 'a', 0),"
                           " ('a&b\"c', 4, 1, 0, 'b', 0)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    for (const char* path : {"/", "/nera"})
    {
        auto res = Get(path);
        ASSERT_TRUE(res) << path;
        EXPECT_EQ(res->status, path[1] == '\0' ? 200 : 404);
        EXPECT_NE(res->body.find("<h1><span>VORTANAI</span></h1>"), std::string::npos);
        EXPECT_NE(res->get_header_value("Content-Security-Policy").find("default-src 'none'"),
                  std::string::npos);
        for (const char* external : {"<script", "src=", "href=\"http", "url(", "@import", "<link"})
        {
            EXPECT_EQ(res->body.find(external), std::string::npos) << path << " " << external;
        }
    }
    auto board = Get("/");
    ASSERT_TRUE(board);
    EXPECT_NE(board->body.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"),
              std::string::npos);
    EXPECT_NE(board->body.find("a&amp;b&quot;c"), std::string::npos);
}

TEST_F(ScoreboardServer, AVanishedDatabaseIsReportedNotMadeAnew)
{
    for (const char* suffix : {"", "-wal", "-shm"})
    {
        RemoveTestFile(database + suffix);
    }
    for (const std::string& path :
         {ResultPath("Ona", MakeCode(9, MODE_FIXED, 9)), std::string("/")})
    {
        auto res = Get(path);
        ASSERT_TRUE(res) << path;
        EXPECT_EQ(res->status, 503) << path;
        EXPECT_EQ(res->get_header_value("Retry-After"), "5");
        EXPECT_NE(res->body.find("Serveris u\xc5\xbeimtas"), std::string::npos); // užimtas
    }
    EXPECT_FALSE(std::filesystem::exists(database));
}
