// The score page over HTTP on both backends: each result stored once and placed within its
// campaign, HEAD storing nothing, every name escaped, bad input refused without a trace (every
// escaped byte judged as the byte it is), bad codes slowed down, and every request on a line of
// the log.
#include <cctype>
#include <vector>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

constexpr const char* ADDED = "Rezultatas \xc4\xafra\xc5\xa1ytas";  // Rezultatas įrašytas
constexpr const char* REPEATED = "jau buvo \xc4\xafra\xc5\xa1ytas"; // jau buvo įrašytas
constexpr const char* REJECTED = "Rezultato patvirtinti nepavyko";
constexpr auto NONE = std::string::npos;

// The names and scores on a page's boards, the fixed campaign's first, each best first.
std::string Boards(const std::string& html)
{
    const std::string open = "<td class=\"name\">";
    std::string rows;
    for (size_t at = html.find(open); at != NONE; at = html.find(open, at + 1))
    {
        std::string cell = html.substr(at + open.size());
        rows += cell.substr(0, cell.find('<')) + " ";
    }
    return rows;
}

} // namespace

TEST_P(ScoreboardServer, StoresEachCodeOnceAndPlacesItWithinItsCampaignButNotOnHead)
{
    struct Submission
    {
        const char* typed;
        const char* shown;
        int score;
        CampaignMode mode;
        int number; // the code's
        bool head;
        int place;
        int total;
        const char* note; // on HEAD, which has no body, the outcome header
    };
    const Submission submissions[] = {
        {"Ona+B", "", 900, MODE_FIXED, 4321, true, 0, 0, "unstored"},
        {"Ona+B", "Ona B", 900, MODE_FIXED, 4321, false, 1, 1, ADDED},
        {"Kitas%20Vardas", "Ona B", 900, MODE_FIXED, 4321, false, 1, 1, REPEATED}, // same code
        {"Kitas", "", 900, MODE_FIXED, 4321, true, 0, 0, "repeated"},
        {"P1", "P1", 500, MODE_FIXED, 1, false, 2, 2, ADDED},
        {"P2", "", 900, MODE_FIXED, 2, true, 0, 0, "unstored"},
        {"P2", "P2", 900, MODE_FIXED, 2, false, 2, 3, ADDED}, // equal scores: the older first
        {"P3", "P3", 950, MODE_FIXED, 3, false, 1, 4, ADDED},
        {"Rimas%202", "Rimas 2", 10, MODE_RANDOM, 1, false, 1, 1, ADDED}, // its own campaign's
    };
    for (const Submission& sent : submissions)
    {
        SCOPED_TRACE(sent.typed);
        httplib::Response res =
            Fetch(port, ResultPath(sent.typed, MakeCode(sent.score, sent.mode, sent.number)), {},
                  sent.head);
        EXPECT_EQ(res.status, 200);
        EXPECT_GT(std::stoi(res.get_header_value("Content-Length")), 1000); // as GET's
        EXPECT_EQ(sent.head ? res.get_header_value("X-Vortanai-Result") : "",
                  sent.head ? sent.note : "");
        bool shown =
            res.body.find(std::string("<p class=\"name\">") + sent.shown +
                          "</p><p class=\"score\">" + std::to_string(sent.score) + "</p>") !=
                NONE &&
            res.body.find("place\">" + std::to_string(sent.place) + "</b> i\xc5\xa1 " + // iš
                          std::to_string(sent.total) + "</p>") != NONE &&
            res.body.find(sent.note) != NONE;
        EXPECT_EQ(shown, !sent.head);
    }
    for (int i = 0; i < 12; ++i) // the best five of them make the board
    {
        Get(ResultPath("N", MakeCode(1 + i, MODE_FIXED, 100 + i)));
    }
    // Names put into the database by other means than this server are escaped too, and the page
    // fetches nothing from elsewhere. An equal score stored later comes after, in either campaign.
    QueryStore(database, "INSERT INTO results (name, score, mode, number, code, stored_at) VALUES"
                         " ('<script>alert(''x'')</script>', 9999, 0, 0, 'a', 0),"
                         " ('a&b\"c', 4, 1, 0, 'b', 0), ('Antras', 10, 1, 0, 'c', 0)");
    std::string board;
    for (int wait = 0; wait < 200 && board.find("Antras") == NONE; ++wait) // taken in within 100 ms
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(wait ? 10 : 0));
        board = Get("/").body;
    }
    EXPECT_EQ(Boards(board),
              "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; P3 Ona B P2 P1 N N N N N"
              " Rimas 2 Antras a&amp;b&quot;c ");
    for (const char* external : {"<script", "src=", "href=\"http", "url(", "@import", "<link"})
    {
        EXPECT_EQ(board.find(external), NONE) << external;
    }
    EXPECT_EQ(QueryStore(database, "SELECT number FROM results WHERE name = 'Ona B'"), 4321);
    EXPECT_TRUE(GetParam() != "sqlite" || ReadTestFile(database)[18] == 2); // WAL's format byte
    auto res = httplib::Client("127.0.0.1", port).Post("/", "", "text/plain");
    EXPECT_TRUE(res && res->status == 405 && res->get_header_value("Allow") == "GET, HEAD");
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the log is written every 20 ms
    std::string logged = " GET " + ResultPath("P1", MakeCode(500, MODE_FIXED, 1)) + " 200 added\n";
    EXPECT_NE(ReadTestFile(server.log).find(logged), NONE);
}

// English where the browser weighs it above Lithuanian or the address asks for it with ?kalba=,
// which the page's links then ask for too; Lithuanian otherwise (with no header: the tests above).
TEST_P(ScoreboardServer, AnswersInTheLanguageAskedForAndItsLinksKeepWhatTheAddressChose)
{
    const std::string result = ResultPath("Ona", MakeCode(700, MODE_FIXED, 1));
    // The path, its Accept-Language, the language answered, a text shown and the way back to the
    // board (which has none).
    for (auto [path, languages, language, shown, link] : std::initializer_list<
             std::tuple<std::string, std::string, std::string, const char*, std::string>>{
             {"/", "", "lt", "Fiksuota kampanija: de\xc5\xa1imt geriausi\xc5\xb3", ""},
             {"/", "de, en-GB;q=0.8, lt;q=0.5", "en", "Fixed campaign: top ten", ""},
             {"/?kalba=lt", "en", "lt", "Fiksuota kampanija", ""},
             {result + "&kalba=en", "lt", "en", "Your result has been added", "./?kalba=en"},
             {result + "&kalba=xx", "en", "en", "was already recorded", "./"},
             {"/nera?kalba=lt", "en", "lt", "Puslapis nerastas", "./?kalba=lt"},
             {"/nera?kalba=en&kalba=en", "fr", "lt", "Puslapis nerastas", "./"}})
    {
        httplib::Response res = Get(path, {{"Accept-Language", languages}});
        EXPECT_TRUE(res.get_header_value("Content-Language") == language &&
                    res.get_header_value("Vary") == "Accept-Language" &&
                    res.body.find("<html lang=\"" + language + "\">") == 16 &&
                    res.body.find(shown) != NONE &&
                    (link.empty() ? res.body.find("href") == NONE
                                  : res.body.find("href=\"" + link + "\"") != NONE))
            << path << " " << languages << "\n"
            << res.body;
    }
}

TEST_P(ScoreboardServer, BadNamesCodesAndRequestsAreRefusedAndStoreNothing)
{
    std::string code = MakeCode(123456, MODE_FIXED, 7);
    const std::string lengthy(9000, 'a');
    const httplib::Headers none;
    const std::tuple<std::string, httplib::Headers, int> cases[] = {
        {"/rezultatas", none, 400},
        {"/rezultatas?r=" + code, none, 400},
        {ResultPath("", code), none, 400},
        {ResultPath("Penkiolika%20raide", code), none, 400}, // sixteen characters
        {ResultPath("O'Brien", code), none, 400},
        {ResultPath("<script>alert(1)</script>", code), none, 400},
        {ResultPath("%C4%85%C5%BE", code), none, 400}, // letters the name entry cannot type
        {ResultPath("\xff\\", code), none, 400},       // not UTF-8, not even escaped
        {ResultPath("Ona B", code), none, 400},        // a bare space: not a valid request line
        {ResultPath("Ona", code) + "&v=Jonas", none, 400},
        {ResultPath("Ona", code) + "&r=" + MakeCode(1, MODE_FIXED, 1), none, 400},
        {ResultPath("Ona", code.substr(0, 16)), none, 400},
        {ResultPath("Ona", code + "0"), none, 400},
        {ResultPath("Ona", MakeCode(CampaignScoreMax() + 1, MODE_RANDOM, 1)), none, 400},
        {ResultPath(lengthy, code), none, 414},
        {ResultPath(std::string(200000, 'a'), code), none, 414},
        {"/", {{"X-Long", lengthy}}, 431},
        {"/", {{"Content-Length", "100000000"}}, 413},
    };
    for (const auto& [path, headers, status] : cases)
    {
        SCOPED_TRACE(path.substr(0, 80) + std::to_string(status));
        httplib::Response res = Get(path, headers);
        EXPECT_EQ(res.status, status);
        EXPECT_NE(res.body.find(REJECTED), NONE);
        EXPECT_EQ(res.body.find("<script"), NONE); // nothing of the address is shown
    }
    EXPECT_EQ(QueryStore(database, "SELECT COUNT(*) FROM results"), 0);
    EXPECT_EQ(Get(ResultPath("Penkiolika%20raid", code)).status, 200);
    EXPECT_EQ(Get(ResultPath("Max", MakeCode(CampaignScoreMax(), MODE_FIXED, 1))).status, 200);
    // Every escaped byte is judged as the byte it stands for; in the code only the escape of the
    // very digit it replaces passes.
    std::string digits = MakeCode(5000, MODE_RANDOM, 3);
    for (int byte = 0; byte < 256; ++byte)
    {
        std::string escape(3, '%');
        std::snprintf(escape.data(), 4, "%%%02X", byte);
        SCOPED_TRACE(escape);
        bool typeable = std::isalnum(byte) || byte == ' ';
        EXPECT_EQ(Get(ResultPath("a" + escape + "b", MakeCode(0, MODE_FIXED, byte))).status,
                  typeable ? 200 : 400);
        std::string digit = digits.substr(0, 9) + escape + digits.substr(10);
        EXPECT_EQ(Get(ResultPath("Ona", digit)).status, byte == digits[9] ? 200 : 400);
    }
    EXPECT_EQ(QueryStore(database, "SELECT COUNT(*) FROM results WHERE mode = 0"),
              2 + 26 + 26 + 11);
    EXPECT_EQ(QueryStore(database, "SELECT COUNT(*) FROM results WHERE mode = 1"), 1);
    // Raw bytes are logged escaped: a request cannot forge a log line.
    EXPECT_NE(ReadTestFile(server.log).find(" GET /rezultatas?v=\\xff\\x5c&r="), NONE);
}

TEST_P(ScoreboardServer, BadCodesFromOneAddressAreSlowedDown)
{
    std::string good = ResultPath("Ona", MakeCode(1, MODE_FIXED, 1));
    std::string bad = good.substr(0, good.size() - 1) + "x";
    for (const char* trust : {"--trust-proxy", ""})
    {
        TearDown();
        Start(trust);
        // Behind a proxy the last address is the one it added; the client wrote the first.
        auto from = [&](int i, const char* proxy)
        {
            return Fetch(port, i < 0 ? good : bad,
                         {{"X-Forwarded-For", std::to_string(i) + ", " + proxy}});
        };
        int allowed = 0;
        while (allowed < 1000 && from(allowed, "10.0.0.1").status == 400)
        {
            ++allowed;
        }
        EXPECT_TRUE(allowed >= 5 && allowed <= 50) << allowed;
        httplib::Response slowed = from(-1, "10.0.0.1");
        EXPECT_TRUE(slowed.status == 429 && slowed.get_header_value("Retry-After") == "1");
        // Another address is not slowed, unless the header is not to be trusted.
        EXPECT_EQ(from(0, "10.0.0.2").status, *trust ? 400 : 429);
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // a token comes each 200 ms
        EXPECT_EQ(from(-1, "10.0.0.1").status, 200);
    }
}

TEST_P(ScoreboardServer, ImportsEachResultOfASqliteFileOnceAndRefusesANewerSchema)
{
    std::filesystem::remove_all("old");
    ServerProcess old = StartServer("--port 0 --db old/scores.sqlite", "old.log");
    for (int i = 0; i < 3; ++i)
    {
        Fetch(old.port, ResultPath("Senas", MakeCode(i * 10, CampaignMode(i % 2), i)));
    }
    EXPECT_EQ(StopServer(old), 0);
    Get(ResultPath("Jau", MakeCode(10, MODE_RANDOM, 1))); // stored here already: not copied
    for (const char* imported : {"imported 2 of 3", "imported 0 of 3"})
    {
        ServerProcess import =
            StartServer("--db " + database + " --import old/scores.sqlite", "import.log");
        EXPECT_EQ(StopServer(import), 0);
        EXPECT_NE(ReadTestFile(import.log).find(imported), NONE) << ReadTestFile(import.log);
    }
    EXPECT_EQ(QueryStore(database, "SELECT COUNT(*) FROM results WHERE name = 'Senas'"), 2);
    int version = GetParam() == "sqlite" ? SQLITE_SCHEMA_VERSION : POSTGRES_SCHEMA_VERSION;
    EXPECT_EQ(QueryStore(database, "SELECT COUNT(*) FROM schema_version WHERE version = " +
                                       std::to_string(version)),
              1);
    QueryStore(database, "UPDATE schema_version SET version = " + std::to_string(version + 1));
    ServerProcess newer = StartServer("--port 0 --db " + database, "newer.log");
    EXPECT_EQ(StopServer(newer), 1);
    EXPECT_NE(ReadTestFile(newer.log).find("newer"), NONE) << ReadTestFile(newer.log);
}

INSTANTIATE_TEST_SUITE_P(Backends, ScoreboardServer, testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });
