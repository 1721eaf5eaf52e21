#include "flow/launch_options.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <getopt.h>

#include "platform/code_page.h"
#include "present/settings.h"

LaunchOptions launchOptions;

namespace
{

// "Naudojimas", "žaisti", "PLOTISxAUKŠTIS", "greičiau", "ši", "žaidimo", "šiam", "nustatymų",
// "nekeičiamas" in code page 1257.
constexpr const char* USAGE =
    "Naudojimas: vortanai [PARINKTIS...]\n"
    "  --fullscreen             \xFE"
    "aisti visame ekrane\n"
    "  --windowed               \xFE"
    "aisti lange\n"
    "  --size PLOTISxAUK\xD0TIS    lango ar ekrano dydis, pvz. 1024x768\n"
    "  --uncapped               kadrai kuo grei\xE8iau, nelaukiant ekrano\n"
    "  --help                   \xF0i pagalba\n"
    "  --version                \xFE"
    "aidimo versija\n"
    "Parinktys galioja tik \xF0iam paleidimui: nustatym\xF8 failas nekei\xE8iamas.\n";
constexpr const char* MORE = "Daugiau: vortanai --help\n";

// Writes a code page 1257 text in UTF-8, as a terminal shows it.
void WriteTerminalText(FILE* stream, const char* format, const char* value)
{
    char text[512];
    char utf8[1024];
    std::snprintf(text, sizeof text, format, value);
    ConvertToUtf8(text, utf8, sizeof utf8);
    std::fputs(utf8, stream);
}

int32_t Refuse(const char* format, const char* value)
{
    WriteTerminalText(stderr, format, value);
    WriteTerminalText(stderr, "%s", MORE);
    return 2;
}

bool ReadSide(const char* first, const char* last, uint32_t* side)
{
    auto [end, error] = std::from_chars(first, last, *side);
    return error == std::errc() && end == last && *side >= LAUNCH_SIZE_LOW &&
           *side <= LAUNCH_SIZE_HIGH;
}

// WIDTHxHEIGHT, two whole numbers within the bounds and nothing else.
bool ReadSize(const char* text, uint32_t* width, uint32_t* height)
{
    const char* cross = std::strchr(text, 'x');
    return cross != nullptr && ReadSide(text, cross, width) &&
           ReadSide(cross + 1, text + std::strlen(text), height);
}

} // namespace

int32_t ReadLaunchOptions(int argc, char** argv)
{
    enum
    {
        OPTION_FULLSCREEN = 1,
        OPTION_WINDOWED,
        OPTION_SIZE,
        OPTION_UNCAPPED,
        OPTION_HELP,
        OPTION_VERSION
    };
    static const option OPTIONS[] = {{"fullscreen", no_argument, nullptr, OPTION_FULLSCREEN},
                                     {"windowed", no_argument, nullptr, OPTION_WINDOWED},
                                     {"size", required_argument, nullptr, OPTION_SIZE},
                                     {"uncapped", no_argument, nullptr, OPTION_UNCAPPED},
                                     {"help", no_argument, nullptr, OPTION_HELP},
                                     {"version", no_argument, nullptr, OPTION_VERSION},
                                     {nullptr, 0, nullptr, 0}};
    opterr = 0; // the messages are the game's own
    optind = 1;
    for (;;)
    {
        int chosen = getopt_long(argc, argv, ":", OPTIONS, nullptr);
        switch (chosen)
        {
        case -1:
            return optind < argc ? Refuse("vortanai: perteklinis argumentas \"%s\"\n", argv[optind])
                                 : -1;
        case OPTION_FULLSCREEN:
        case OPTION_WINDOWED:
            launchOptions.fullscreen = chosen == OPTION_FULLSCREEN ? 1 : 0;
            break;
        case OPTION_SIZE:
            if (!ReadSize(optarg, &launchOptions.width, &launchOptions.height))
            {
                // "AUKŠTIS"
                return Refuse("vortanai: netinkamas dydis \"%s\": reikia PLOTISxAUK\xD0TIS, "
                              "kiekvienas nuo 64 iki 16384\n",
                              optarg);
            }
            break;
        case OPTION_UNCAPPED:
            launchOptions.uncapped = true;
            break;
        case OPTION_HELP:
            WriteTerminalText(stdout, "%s", USAGE);
            return 0;
        case OPTION_VERSION:
            WriteTerminalText(stdout, "vortanai %s\n", VORTANAI_VERSION);
            return 0;
        case ':':
            // "parinkčiai", "reikšmės"
            return Refuse("vortanai: parink\xE8iai %s reikia reik\xF0m\xEBs\n", argv[optind - 1]);
        default:
            // "nežinoma parinktis"
            return Refuse("vortanai: ne\xFEinoma parinktis \"%s\"\n", argv[optind - 1]);
        }
    }
}

void ApplyLaunchOptions()
{
    if (launchOptions.fullscreen >= 0)
    {
        settings.fullscreen = launchOptions.fullscreen == 1;
    }
    if (launchOptions.width != 0)
    {
        settings.screenWidth = launchOptions.width;
        settings.screenHeight = launchOptions.height;
    }
}
