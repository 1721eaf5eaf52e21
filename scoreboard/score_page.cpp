#include "scoreboard/score_page.h"

#include <algorithm>
#include <cstdio>

#include "records/verification_code.h"
#include "text/translation.h"

namespace
{

// The page's texts, in its own words (Lithuanian), looked up in the catalog.
enum PageText
{
    TITLE_RESULT,
    TITLE_BOARD,
    TITLE_REJECTED,
    TITLE_BUSY,
    TITLE_MISSING,
    VERIFIED,
    ADDED,
    REPEATED,
    NAME,
    SCORE,
    PLACE,
    OF,
    FIXED,
    RANDOM,
    BEST_TEN,
    NO_RESULTS,
    ALL_RECORDS,
    REJECTED,
    REJECTED_WHY,
    BUSY,
    BUSY_WHY,
    MISSING,
    PAGE_TEXTS
};
constexpr const char* PAGE_TEXT_IDS[PAGE_TEXTS] = {
    MarkText("Vortanai – rezultatas"),
    MarkText("Vortanai – rekordai"),
    MarkText("Vortanai – rezultatas nepatvirtintas"),
    MarkText("Vortanai – serveris užimtas"),
    MarkText("Vortanai – puslapis nerastas"),
    MarkText("Rezultatas patvirtintas"),
    MarkText("Rezultatas įrašytas į lentelę."),
    MarkText("Šis rezultatas jau buvo įrašytas anksčiau, todėl antrą kartą neskaičiuojamas."),
    MarkText("Vardas"),
    MarkText("Rezultatas"),
    MarkText("Vieta"),
    MarkText("iš"), // Vieta 2 iš 5
    MarkText("Fiksuota kampanija"),
    MarkText("Atsitiktinė kampanija"),
    MarkText("dešimt geriausių"), // Fiksuota kampanija: dešimt geriausių
    MarkText("Rezultatų dar nėra."),
    MarkText("Visi rekordai"),
    MarkText("Rezultato patvirtinti nepavyko"),
    MarkText("Vardas arba patvirtinimo kodas adrese netinka, todėl rezultatas neįrašytas."),
    MarkText("Serveris užimtas"),
    MarkText("Atnaujinkite puslapį po kelių sekundžių: rezultatas įskaitomas tik vieną kartą."),
    MarkText("Puslapis nerastas"),
};

// The texts in each language, the page's own words until LoadPageTexts looks them up: requests
// never read the catalog, whose language is the process's.
struct PageTexts
{
    std::string text[PAGE_LANGUAGES][PAGE_TEXTS];
};

PageTexts pageTexts = []
{
    PageTexts texts;
    for (auto& language : texts.text)
    {
        std::copy(PAGE_TEXT_IDS, PAGE_TEXT_IDS + PAGE_TEXTS, language);
    }
    return texts;
}();

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

void OpenPage(std::string* html, PageText title, PageLanguage language)
{
    *html += "<!DOCTYPE html>\n<html lang=\"";
    *html += PAGE_LANGUAGE_CODES[language];
    *html += "\"><head><meta charset=\"utf-8\">"
             "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
             "<title>";
    *html += pageTexts.text[language][title];
    *html += "</title><style>";
    *html += STYLE;
    *html += "</style></head><body><main><h1><span>VORTANAI</span></h1>\n";
}

// Ends a page with the way back to the board, which asks for the language the address asked for.
void ClosePage(std::string* html, PageChoice choice)
{
    *html += "<p class=\"links\"><a href=\"./";
    *html += choice.asked ? std::string("?kalba=") + PAGE_LANGUAGE_CODES[choice.language] : "";
    *html += "\">";
    *html += pageTexts.text[choice.language][ALL_RECORDS];
    *html += "</a></p>\n</main></body></html>\n";
}

void AppendBoard(std::string* html, const char* id, PageText campaign,
                 const std::vector<BoardRow>& rows, int64_t highlightedId, PageLanguage language)
{
    const std::string* texts = pageTexts.text[language];
    *html += "<section class=\"panel\" id=\"";
    *html += id;
    *html += "\"><h2>";
    *html += texts[campaign];
    *html += ": ";
    *html += texts[BEST_TEN];
    *html += "</h2>";
    if (rows.empty())
    {
        *html += "<p class=\"note\">";
        *html += texts[NO_RESULTS];
        *html += "</p></section>\n";
        return;
    }
    *html += "<table><thead><tr><th>";
    *html += texts[PLACE];
    *html += "</th><th>";
    *html += texts[NAME];
    *html += "</th><th class=\"score\">";
    *html += texts[SCORE];
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

void AppendBoards(std::string* html, const ScoreBoard& board, int64_t highlightedId,
                  PageLanguage language)
{
    *html += "<div class=\"boards\">";
    AppendBoard(html, "fiksuota", FIXED, board.fixedRows, highlightedId, language);
    AppendBoard(html, "atsitiktine", RANDOM, board.randomRows, highlightedId, language);
    *html += "</div>\n";
}

std::string RenderMessagePage(PageText title, PageText heading, const char* text, PageChoice choice)
{
    std::string html;
    OpenPage(&html, title, choice.language);
    html += "<section class=\"panel result\"><h2>";
    html += pageTexts.text[choice.language][heading];
    html += "</h2><p>";
    html += text;
    html += "</p></section>";
    ClosePage(&html, choice);
    return html;
}

} // namespace

bool LoadPageTexts(PageLanguage language)
{
    bool translated = false;
    for (int i = 0; i < PAGE_TEXTS; ++i)
    {
        pageTexts.text[language][i] = Translate(PAGE_TEXT_IDS[i]);
        translated = translated || pageTexts.text[language][i] != PAGE_TEXT_IDS[i];
    }
    return translated;
}

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

std::string RenderResultPage(const RankedResult& result, bool repeated, const ScoreBoard& board,
                             PageChoice choice)
{
    const std::string* texts = pageTexts.text[choice.language];
    std::string html;
    OpenPage(&html, TITLE_RESULT, choice.language);
    html += "<section class=\"panel result\" id=\"rezultatas\"><h2>";
    html += texts[VERIFIED];
    html += "</h2><p class=\"name\">";
    html += EscapeHtml(result.name);
    html += "</p><p class=\"score\">";
    html += FormatNumber(result.score);
    html += "</p><p>";
    html += texts[result.mode == MODE_RANDOM ? RANDOM : FIXED];
    html += " &middot; ";
    html += texts[PLACE];
    html += " <b class=\"place\">";
    html += FormatNumber(result.place);
    html += "</b> ";
    html += texts[OF];
    html += ' ';
    html += FormatNumber(result.total);
    html += "</p><p class=\"note\">";
    html += texts[repeated ? REPEATED : ADDED];
    html += "</p></section>\n";
    AppendBoards(&html, board, result.id, choice.language);
    ClosePage(&html, choice);
    return html;
}

std::string RenderBoardPage(const ScoreBoard& board, PageLanguage language)
{
    std::string html;
    OpenPage(&html, TITLE_BOARD, language);
    AppendBoards(&html, board, -1, language);
    html += "</main></body></html>\n";
    return html;
}

std::string RenderRejectedPage(PageChoice choice)
{
    return RenderMessagePage(TITLE_REJECTED, REJECTED,
                             pageTexts.text[choice.language][REJECTED_WHY].c_str(), choice);
}

std::string RenderBusyPage(PageChoice choice)
{
    return RenderMessagePage(TITLE_BUSY, BUSY, pageTexts.text[choice.language][BUSY_WHY].c_str(),
                             choice);
}

std::string RenderMissingPage(PageChoice choice)
{
    return RenderMessagePage(TITLE_MISSING, MISSING, "", choice);
}
