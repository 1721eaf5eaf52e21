#include "text/translation.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <libintl.h>
#include <string>

namespace
{

// The first of these that is set names the locale, as the C library reads them.
const char* ReadLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0')
        {
            return value;
        }
    }
    return "";
}

// C, POSIX and C.UTF-8 speak the texts' own words, as gettext's C locale does.
bool IsPlainLocale(const char* name)
{
    return name[0] == '\0' || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

// The first language of the colon-separated `languages` that has a catalog under `catalogDir`,
// tried as gettext tries it: "pt_BR.UTF-8@euro" as pt_BR, then pt. Empty where none has one.
void FindCatalogLanguage(const char* languages, const char* catalogDir, TextLanguage* found)
{
    found->code[0] = '\0';
    for (const char* entry = languages; *entry != '\0' && found->code[0] == '\0';)
    {
        size_t length = std::strcspn(entry, ":");
        size_t country = std::strcspn(entry, ".@:");
        size_t language = std::strcspn(entry, "_.@:");
        for (size_t size : {country, language})
        {
            if (size > 0 && size < LANGUAGE_CODE_SIZE && found->code[0] == '\0' &&
                HasCatalog(catalogDir, std::string_view(entry, size)))
            {
                std::snprintf(found->code, sizeof found->code, "%.*s", static_cast<int>(size),
                              entry);
            }
        }
        entry += entry[length] == ':' ? length + 1 : length;
    }
}

} // namespace

TextLanguage textLanguage;

bool HasCatalog(const char* catalogDir, std::string_view code)
{
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(catalogDir) / code /
                                                "LC_MESSAGES" / (std::string(TEXT_DOMAIN) + ".mo"),
                                            error);
}

void ChooseLanguage(const char* code, const char* catalogDir)
{
    bindtextdomain(TEXT_DOMAIN, catalogDir);
    bind_textdomain_codeset(TEXT_DOMAIN, "UTF-8");
    textdomain(TEXT_DOMAIN);
    if (code == nullptr)
    {
        // gettext reads no LANGUAGE in the C locale, and falls back to it where the system lacks
        // the player's: the language is then taken from the locale's name itself.
        const char* locale = ReadLocaleName();
        const char* languages = std::getenv("LANGUAGE");
        code = IsPlainLocale(locale)                          ? nullptr
               : languages != nullptr && languages[0] != '\0' ? languages
                                                              : locale;
    }
    if (code == nullptr)
    {
        std::setlocale(LC_MESSAGES, "C");
        textLanguage = TextLanguage{};
        return;
    }
    setenv("LANGUAGE", code, 1);
    FindCatalogLanguage(code, catalogDir, &textLanguage);
    // Any locale but C lets gettext follow LANGUAGE; C.UTF-8 is always there.
    if (std::setlocale(LC_MESSAGES, "") == nullptr ||
        IsPlainLocale(std::setlocale(LC_MESSAGES, nullptr)))
    {
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
}

const char* Translate(const char* id)
{
    return gettext(id);
}
