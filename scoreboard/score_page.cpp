#include "scoreboard/score_page.h"

#include <cstdio>

#include "records/verification_code.h"

namespace
{

// The page texts, UTF-8.
constexpr const char* TEXT_TITLE_RESULT =
    "Vortanai \xe2\x80\x93 rezultatas"; // Vortanai – rezultatas
constexpr const char* TEXT_TITLE_BOARD = "Vortanai \xe2\x80\x93 rekordai"; // Vortanai – rekordai
constexpr const char* TEXT_TITLE_REJECTED =
    "Vortanai \xe2\x80\x93 rezultatas nepatvirtintas"; // Vortanai – rezultatas nepatvirtintas
constexpr const char* TEXT_TITLE_BUSY =
    "Vortanai \xe2\x80\x93 serveris u\xc5\xbeimtas"; // Vortanai – serveris užimtas
constexpr const char* TEXT_TITLE_MISSING =
    "Vortanai \xe2\x80\x93 puslapis nerastas"; // Vortanai – puslapis nerastas
constexpr const char* TEXT_VERIFIED = "Rezultatas patvirtintas";
constexpr const char* TEXT_ADDED =
    "Rezultatas \xc4\xafra\xc5\xa1ytas \xc4\xaf lentel\xc4\x99."; // Rezultatas įrašytas į lentelę.
// Šis rezultatas jau buvo įrašytas anksčiau, todėl antrą kartą neskaičiuojamas.
constexpr const char* TEXT_REPEATED =
    "\xc5\xa0is rezultatas jau buvo \xc4\xafra\xc5\xa1ytas anks\xc4\x8diau, tod\xc4\x97l "
    "antr\xc4\x85 kart\xc4\x85 neskai\xc4\x8diuojamas.";
constexpr const char* TEXT_NAME = "Vardas";
constexpr const char* TEXT_SCORE = "Rezultatas";
constexpr const char* TEXT_PLACE = "Vieta";
constexpr const char* TEXT_OF = "i\xc5\xa1"; // iš
constexpr const char* TEXT_FIXED = "Fiksuota kampanija";
constexpr const char* TEXT_RANDOM = "Atsitiktin\xc4\x97 kampanija";     // Atsitiktinė kampanija
constexpr const char* TEXT_BEST_TEN = "de\xc5\xa1imt geriausi\xc5\xb3"; // dešimt geriausių
constexpr const char* TEXT_NO_RESULTS = "Rezultat\xc5\xb3 dar n\xc4\x97ra."; // Rezultatų dar nėra.
constexpr const char* TEXT_ALL_RECORDS = "Visi rekordai";
constexpr const char* TEXT_REJECTED = "Rezultato patvirtinti nepavyko";
// Vardas arba patvirtinimo kodas adrese netinka, todėl rezultatas neįrašytas.
constexpr const char* TEXT_REJECTED_WHY = "Vardas arba patvirtinimo kodas adrese netinka, "
                                          "tod\xc4\x97l rezultatas ne\xc4\xafra\xc5\xa1ytas.";
constexpr const char* TEXT_BUSY = "Serveris u\xc5\xbeimtas"; // Serveris užimtas
// Atnaujinkite puslapį po kelių sekundžių: rezultatas įskaitomas tik vieną kartą.
constexpr const char* TEXT_BUSY_WHY = "Atnaujinkite puslap\xc4\xaf po keli\xc5\xb3 "
                                      "sekund\xc5\xbei\xc5\xb3: rezultatas \xc4\xafskaitomas tik "
                                      "vien\xc4\x85 kart\xc4\x85.";
constexpr const char* TEXT_MISSING = "Puslapis nerastas";

// The game's palette: black ground, very dark olive panels (0.1, 0.1, 0.0) in light grey frames
// (0.7), white text at partial alpha, the yellowish highlight (1.0, 1.0, 0.5); the title in the
// splash's outlined metal capitals, orange below to pale yellow above.
constexpr const char* STYLE =
    "*{box-sizing:border-box}"
    "html{background:#000;color:rgba(255,255,255,.78);"
    "font:16px/1.45 'DejaVu Sans',Verdana,Arial,sans-serif}"
    "body{margin:0;padding:1rem .75rem 2rem}"
    "main{max-width:60rem;margin:0 auto}"
    "h1{margin:.6rem 0 1.6rem;text-align:center;line-height:1}"
    "h1 span{display:inline-block;transform:scaleY(1.5);transform-origin:50% 50%;"
    "margin:.25em 0;font-weight:900;font-size:clamp(2.6rem,14vw,6.5rem);letter-spacing:.05em;"
    "background:linear-gradient(to top,#f2590d 8%,#f7a94a 45%,#fffbe6 58%,#ffed8c 66%,"
    "#ffed8c 92%);-webkit-background-clip:text;background-clip:text;color:transparent;"
    "-webkit-text-stroke:.045em #290d05;paint-order:stroke fill;"
    "filter:drop-shadow(.04em .03em .05em rgba(0,0,0,.9)) "
    "drop-shadow(0 0 .12em rgba(242,89,13,.35))}"
    ".panel{background:#1a1a00;border:2px solid #b3b3b3;padding:.9rem 1rem;margin:0 0 1rem}"
    "h2{margin:0 0 .6rem;font-size:1.15rem;color:#ffff80;font-weight:700}"
    ".result{text-align:center}"
    ".result .name{font-size:1.6rem;color:#fff;font-weight:700;white-space:pre-wrap;"
    "overflow-wrap:anywhere;margin:.2rem 0}"
    ".result .score{font-size:2.4rem;color:#ffff80;font-weight:900;margin:.1rem 0;"
    "font-variant-numeric:tabular-nums}"
    ".result p{margin:.35rem 0}"
    ".note{color:rgba(255,255,255,.6)}"
    ".boards{display:grid;grid-template-columns:repeat(auto-fit,minmax(17rem,1fr));gap:0 1rem}"
    "table{width:100%;border-collapse:collapse;font-variant-numeric:tabular-nums}"
    "th{text-align:left;font-weight:400;color:rgba(255,255,255,.5);font-size:.85rem;"
    "border-bottom:1px solid #b3b3b3;padding:.2rem .35rem}"
    "td{padding:.28rem .35rem;border-bottom:1px solid rgba(179,179,179,.18)}"
    "td.name{white-space:pre-wrap;overflow-wrap:anywhere}"
    "td.place,td.score,th.score{text-align:right}"
    "td.place{width:2.4rem;color:rgba(255,255,255,.5)}"
    "tr.mine td{color:#ffff80;font-weight:700;background:rgba(255,255,128,.09)}"
    "a{color:#ffff80}"
    "p.links{text-align:center;margin-top:1.4rem}";

std::string FormatNumber(int64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    return text;
}

void OpenPage(std::string* html, const char* title)
{
    *html += "<!DOCTYPE html>\n<html lang=\"lt\"><head><meta charset=\"utf-8\">"
             "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
             "<title>";
    *html += title;
    *html += "</title><style>";
    *html += STYLE;
    *html += "</style></head><body><main><h1><span>VORTANAI</span></h1>\n";
}

void ClosePage(std::string* html)
{
    *html += "</main></body></html>\n";
}

void AppendBoard(std::string* html, const char* id, const char* campaign,
                 const std::vector<BoardRow>& rows, int64_t highlightedId)
{
    *html += "<section class=\"panel\" id=\"";
    *html += id;
    *html += "\"><h2>";
    *html += campaign;
    *html += ": ";
    *html += TEXT_BEST_TEN;
    *html += "</h2>";
    if (rows.empty())
    {
        *html += "<p class=\"note\">";
        *html += TEXT_NO_RESULTS;
        *html += "</p></section>\n";
        return;
    }
    *html += "<table><thead><tr><th>";
    *html += TEXT_PLACE;
    *html += "</th><th>";
    *html += TEXT_NAME;
    *html += "</th><th class=\"score\">";
    *html += TEXT_SCORE;
    *html += "</th></tr></thead><tbody>";
    for (size_t i = 0; i < rows.size(); ++i)
    {
        *html += rows[i].id == highlightedId ? "<tr class=\"mine\">" : "<tr>";
        *html += "<td class=\"place\">";
        *html += FormatNumber(static_cast<int64_t>(i) + 1);
        *html += ".</td><td class=\"name\">";
        *html += EscapeHtml(rows[i].name);
        *html += "</td><td class=\"score\">";
        *html += FormatNumber(rows[i].score);
        *html += "</td></tr>";
    }
    *html += "</tbody></table></section>\n";
}

void AppendBoards(std::string* html, const ScoreBoard& board, int64_t highlightedId)
{
    *html += "<div class=\"boards\">";
    AppendBoard(html, "fiksuota", TEXT_FIXED, board.fixedRows, highlightedId);
    AppendBoard(html, "atsitiktine", TEXT_RANDOM, board.randomRows, highlightedId);
    *html += "</div>\n";
}

std::string RenderMessagePage(const char* title, const char* heading, const char* text)
{
    std::string html;
    OpenPage(&html, title);
    html += "<section class=\"panel result\"><h2>";
    html += heading;
    html += "</h2><p>";
    html += text;
    html += "</p></section><p class=\"links\"><a href=\"./\">";
    html += TEXT_ALL_RECORDS;
    html += "</a></p>\n";
    ClosePage(&html);
    return html;
}

} // namespace

std::string EscapeHtml(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text)
    {
        switch (c)
        {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string RenderResultPage(const RankedResult& result, bool repeated, const ScoreBoard& board)
{
    std::string html;
    OpenPage(&html, TEXT_TITLE_RESULT);
    html += "<section class=\"panel result\" id=\"rezultatas\"><h2>";
    html += TEXT_VERIFIED;
    html += "</h2><p class=\"name\">";
    html += EscapeHtml(result.name);
    html += "</p><p class=\"score\">";
    html += FormatNumber(result.score);
    html += "</p><p>";
    html += result.mode == MODE_RANDOM ? TEXT_RANDOM : TEXT_FIXED;
    html += " &middot; ";
    html += TEXT_PLACE;
    html += " <b class=\"place\">";
    html += FormatNumber(result.place);
    html += "</b> ";
    html += TEXT_OF;
    html += ' ';
    html += FormatNumber(result.total);
    html += "</p><p class=\"note\">";
    html += repeated ? TEXT_REPEATED : TEXT_ADDED;
    html += "</p></section>\n";
    AppendBoards(&html, board, result.id);
    html += "<p class=\"links\"><a href=\"./\">";
    html += TEXT_ALL_RECORDS;
    html += "</a></p>\n";
    ClosePage(&html);
    return html;
}

std::string RenderBoardPage(const ScoreBoard& board)
{
    std::string html;
    OpenPage(&html, TEXT_TITLE_BOARD);
    AppendBoards(&html, board, -1);
    ClosePage(&html);
    return html;
}

std::string RenderRejectedPage()
{
    return RenderMessagePage(TEXT_TITLE_REJECTED, TEXT_REJECTED, TEXT_REJECTED_WHY);
}

std::string RenderBusyPage()
{
    return RenderMessagePage(TEXT_TITLE_BUSY, TEXT_BUSY, TEXT_BUSY_WHY);
}

std::string RenderMissingPage()
{
    return RenderMessagePage(TEXT_TITLE_MISSING, TEXT_MISSING, "");
}
