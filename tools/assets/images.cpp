#include "tools/assets/assets.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "text/translation.h"

#include "tools/assets/image_atlases.h"
#include "tools/assets/image_text.h"

namespace
{

// The texture list in slot order; the game binds slots by number.
const char* const TEXTURE_FILES[9] = {
    "pradzia.tga",         // 0: splash title and picture
    "meniu.tga",           // 1: menu panel, bar, emblem, help hint
    "zaidejas.tga",        // 2: player marker
    "isejimas.tga",        // 3: exit marker
    "siena_akmuo.tga",     // 4: stone brick
    "siena_gyvatvore.tga", // 5: hedge
    "siena_metalas.tga",   // 6: metal panels
    "siena_medis.tga",     // 7: timber
    "siena_ledas.tga",     // 8: ice
};

bool WriteList(const std::string& path)
{
    std::string list;
    for (int slot = 0; slot < 9; ++slot)
    {
        // CR LF between lines and none after the last, as the game's list reader expects.
        list += (slot > 0 ? "\r\n" : "") + std::string("duomenys/") + TEXTURE_FILES[slot];
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    bool written = std::fwrite(list.data(), 1, list.size(), file) == list.size();
    return std::fclose(file) == 0 && written;
}

bool Report(bool done, const std::string& path)
{
    if (!done)
    {
        std::fprintf(stderr, "vortanai-assets: cannot write %s\n", path.c_str());
    }
    return done;
}

bool IsSamePicture(const Canvas& a, const Canvas& b)
{
    return std::equal(a.pixels.begin(), a.pixels.end(), b.pixels.begin(), b.pixels.end(),
                      [](const Rgba& p, const Rgba& q)
                      { return p.r == q.r && p.g == q.g && p.b == q.b && p.a == q.a; });
}

// The languages with a catalog of the game's texts, in a fixed order.
std::vector<std::string> ListCatalogLanguages(const char* catalogDir)
{
    std::vector<std::string> languages;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(catalogDir, error))
    {
        if (std::filesystem::exists(entry.path() / "LC_MESSAGES" / "vortanai.mo", error))
        {
            languages.push_back(entry.path().filename().string());
        }
    }
    std::sort(languages.begin(), languages.end());
    return languages;
}

// The pictures with words (the menu, the exit marker and the splash that shows it) once more in
// every language whose catalog gives them other words, under duomenys/<language>/, where the
// game looks first. A language that changes none of them needs none: the game falls back.
bool MakeLanguageImages(const std::string& folder, const Canvas& wall, const Canvas& marker,
                        const Canvas& exit, const Canvas& menu)
{
    const char* catalogDir = std::getenv("VORTANAI_LOCALE_DIR");
    catalogDir = catalogDir != nullptr ? catalogDir : VORTANAI_BUILD_LOCALE_DIR;
    bool done = true;
    for (const std::string& language : ListCatalogLanguages(catalogDir))
    {
        ChooseLanguage(language.c_str(), catalogDir);
        Canvas ownExit = MakeExitMarkerAtlas();
        Canvas ownMenu = MakeMenuAtlas();
        if (IsSamePicture(ownExit, exit) && IsSamePicture(ownMenu, menu))
        {
            continue;
        }
        std::string own = folder + language + "/";
        std::error_code error;
        std::filesystem::create_directories(own, error);
        const std::pair<int, Canvas> pictures[] = {
            {0, MakeSplashAtlas(wall, marker, ownExit)}, {1, ownMenu}, {3, ownExit}};
        for (const auto& [slot, canvas] : pictures)
        {
            std::string path = own + TEXTURE_FILES[slot];
            done = Report(WriteTga(canvas, path, slot != 3), path) && done;
        }
    }
    return done;
}

} // namespace

bool MakeImages(const char* dataDir)
{
    std::string folder = std::string(dataDir) + "/duomenys/";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!OpenAtlasFont())
    {
        std::fprintf(stderr, "vortanai-assets: no bold sans font found\n");
        return false;
    }
    Canvas walls[WALL_THEME_COUNT];
    for (int theme = 0; theme < WALL_THEME_COUNT; ++theme)
    {
        walls[theme] = MakeWallAtlas(theme);
    }
    Canvas marker = MakePlayerMarkerAtlas();
    Canvas exit = MakeExitMarkerAtlas();
    Canvas menu = MakeMenuAtlas();
    Canvas splash = MakeSplashAtlas(walls[0], marker, exit);
    // The words above are the texts' own: no catalog has been chosen yet.
    bool done = MakeLanguageImages(folder, walls[0], marker, exit, menu);
    CloseAtlasFont();

    auto save = [&](int slot, const Canvas& canvas, bool withAlpha)
    {
        std::string path = folder + TEXTURE_FILES[slot];
        done = Report(WriteTga(canvas, path, withAlpha), path) && done;
    };
    save(0, splash, true);
    save(1, menu, true);
    save(2, marker, false);
    save(3, exit, false);
    for (int theme = 0; theme < WALL_THEME_COUNT; ++theme)
    {
        save(4 + theme, walls[theme], false);
    }
    std::string list = folder + "teksturos.txt";
    return Report(WriteList(list), list) && done;
}
