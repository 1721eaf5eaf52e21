#include "flow/launch_options.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>

#include "flow/preferences.h"
#include "present/settings.h"
#include "text/translation.h"

LaunchOptions launchOptions;

namespace
{

constexpr const char* USAGE =
    MarkText("Naudojimas: vortanai [PARINKTIS...]\n"
             "  --fullscreen             žaisti visame ekrane; be --size – darbalaukio raiška\n"
             "  --windowed               žaisti lange\n"
             "  --size PLOTISxAUKŠTIS    lango ar ekrano dydis, pvz. 1024x768\n"
             "  --uncapped               kadrai kuo greičiau, nelaukiant ekrano\n"
             "  --widescreen             labirintas per visą plačiojo ekrano plotį\n"
             "  --language KALBA         tekstų kalba, pvz. en arba lt\n"
             "  --help                   ši pagalba\n"
             "  --version                žaidimo versija\n"
             "Parinktys galioja tik šiam paleidimui: nustatymų failas nekeičiamas. Nuolatines\n"
             "nuostatas (kalbą, vaizdą, garsą, kamerą, klavišus) keičia žaidimo F10 ekranas; jos\n"
             "laikomos ~/.config/vortanai/vortanai.conf.\n");

int32_t Refuse(const char* format, const char* value)
{
    std::fprintf(stderr, format, value);
    std::fputs(Translate("Daugiau: vortanai --help\n"), stderr);
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

const char* FindCatalogDir()
{
    const char* dir = std::getenv("VORTANAI_LOCALE_DIR");
    return dir != nullptr && dir[0] != '\0' ? dir : VORTANAI_LOCALE_DIR;
}

int32_t ReadLaunchOptions(int argc, char** argv)
{
    enum
    {
        OPTION_FULLSCREEN = 1,
        OPTION_WINDOWED,
        OPTION_SIZE,
        OPTION_UNCAPPED,
        OPTION_WIDESCREEN,
        OPTION_LANGUAGE,
        OPTION_HELP,
        OPTION_VERSION
    };
    static const option OPTIONS[] = {{"fullscreen", no_argument, nullptr, OPTION_FULLSCREEN},
                                     {"windowed", no_argument, nullptr, OPTION_WINDOWED},
                                     {"size", required_argument, nullptr, OPTION_SIZE},
                                     {"uncapped", no_argument, nullptr, OPTION_UNCAPPED},
                                     {"widescreen", no_argument, nullptr, OPTION_WIDESCREEN},
                                     {"language", required_argument, nullptr, OPTION_LANGUAGE},
                                     {"help", no_argument, nullptr, OPTION_HELP},
                                     {"version", no_argument, nullptr, OPTION_VERSION},
                                     {nullptr, 0, nullptr, 0}};
    opterr = 0; // the messages are the game's own
    optind = 0; // glibc starts a scan afresh, forgetting the last one, only from 0
    // The preferences file's language goes over the locale's, and a --language before the option
    // that is answered goes over both. What the file has to say is said in the locale's.
    ChooseLanguage(nullptr, FindCatalogDir());
    std::snprintf(launchOptions.localeLanguage, sizeof launchOptions.localeLanguage, "%s",
                  textLanguage.code);
    ReadPreferences();
    if (preferences.language[0] != '\0')
    {
        ChooseLanguage(preferences.language, FindCatalogDir());
    }
    for (;;)
    {
        int chosen = getopt_long(argc, argv, ":", OPTIONS, nullptr);
        switch (chosen)
        {
        case -1:
            return optind < argc ? Refuse(Translate("vortanai: perteklinis argumentas \"%s\"\n"),
                                          argv[optind])
                                 : -1;
        case OPTION_FULLSCREEN:
        case OPTION_WINDOWED:
            launchOptions.fullscreen = chosen == OPTION_FULLSCREEN ? 1 : 0;
            break;
        case OPTION_SIZE:
            if (!ReadSize(optarg, &launchOptions.width, &launchOptions.height))
            {
                return Refuse(Translate("vortanai: netinkamas dydis \"%s\": reikia PLOTISxAUKŠTIS, "
                                        "kiekvienas nuo 64 iki 16384\n"),
                              optarg);
            }
            break;
        case OPTION_UNCAPPED:
            launchOptions.uncapped = true;
            break;
        case OPTION_WIDESCREEN:
            launchOptions.widescreen = true;
            break;
        case OPTION_LANGUAGE:
            ChooseLanguage(optarg, FindCatalogDir());
            break;
        case OPTION_HELP:
            std::fputs(Translate(USAGE), stdout);
            return 0;
        case OPTION_VERSION:
            std::printf("vortanai %s\n", VORTANAI_VERSION);
            return 0;
        case ':':
            return Refuse(Translate("vortanai: parinkčiai %s reikia reikšmės\n"), argv[optind - 1]);
        default:
            return Refuse(Translate("vortanai: nežinoma parinktis \"%s\"\n"), argv[optind - 1]);
        }
    }
}

void ApplyLaunchOptions()
{
    launchOptions.settingsFullscreen = settings.fullscreen;
    if (launchOptions.fullscreen >= 0)
    {
        settings.fullscreen = launchOptions.fullscreen == 1;
    }
    else if (preferences.fullscreen != FULLSCREEN_AS_SETTINGS)
    {
        settings.fullscreen = preferences.fullscreen == FULLSCREEN_ON;
    }
    if (launchOptions.width != 0)
    {
        settings.screenWidth = launchOptions.width;
        settings.screenHeight = launchOptions.height;
        // The full-screen question names the mode asked for.
        FormatModeText("%ux%u@%u", settings.screenWidth, settings.screenHeight,
                       settings.refreshRate);
    }
}

bool IsAtDesktopMode()
{
    int8_t asked = launchOptions.fullscreen >= 0 ? launchOptions.fullscreen
                                                 : static_cast<int8_t>(preferences.fullscreen);
    return settings.fullscreen && asked == FULLSCREEN_ON && launchOptions.width == 0;
}

bool IsWidescreen()
{
    return launchOptions.widescreen || preferences.widescreen;
}
