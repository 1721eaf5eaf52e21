#include "text/translation.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <libintl.h>

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

} // namespace

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
        return;
    }
    setenv("LANGUAGE", code, 1);
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
