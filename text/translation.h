// The texts a player or an operator reads, in their language: looked up in the gettext catalogs of
// the text domain "vortanai". A text's own words in the sources are its id, in the language it was
// written in (Lithuanian for the game's own, English for the window system's boxes); a language
// without a catalog, and the C and POSIX locales, read the ids as they stand.
#pragma once

#include <string_view>

constexpr const char* TEXT_DOMAIN = "vortanai";
constexpr int LANGUAGE_CODE_SIZE = 32;

// The language whose catalog the texts come from, as its folder under the catalogs is named
// ("en", "pt_BR"); empty for the texts' own words. Set afresh by every ChooseLanguage.
struct TextLanguage
{
    char code[LANGUAGE_CODE_SIZE];
};
extern TextLanguage textLanguage;

// Chooses the language of the texts, with the catalogs under `catalogDir`: `code` where one is
// given (the command line's --language), else as gettext does, from LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG, even where the system has not generated that locale. Only the messages
// follow it: numbers in files are read and written as in the C locale whatever it is.
void ChooseLanguage(const char* code, const char* catalogDir);
// The language `code` ("en", "pt_BR") has a catalog under `catalogDir`.
bool HasCatalog(const char* catalogDir, std::string_view code);
// The text of `id` in the chosen language, in UTF-8; `id` itself where the catalog lacks it.
const char* Translate(const char* id) __attribute__((format_arg(1)));
// Marks a text for the catalogs where it is looked up later, as in a table of texts.
constexpr const char* MarkText(const char* id)
{
    return id;
}
