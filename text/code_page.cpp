#include "text/code_page.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>

void ConvertToUtf8(const char* text, char* utf8, size_t size)
{
    iconv_t converter = iconv_open("UTF-8", "CP1257");
    if (converter == reinterpret_cast<iconv_t>(-1))
    {
        std::snprintf(utf8, size, "%s", text);
        return;
    }
    char* in = const_cast<char*>(text);
    size_t inLeft = std::strlen(text);
    char* out = utf8;
    size_t outLeft = size - 1;
    // A code the code page leaves unused is left out, as the font drew nothing for it; a character
    // that does not fit whole ends the text.
    while (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) &&
           errno == EILSEQ)
    {
        ++in;
        --inLeft;
    }
    *out = '\0';
    iconv_close(converter);
}

bool IsUtf8Text(const char* bytes, size_t size)
{
    if (std::memchr(bytes, '\0', size) != nullptr)
    {
        return false;
    }
    iconv_t decoder = iconv_open("UTF-32LE", "UTF-8");
    if (decoder == reinterpret_cast<iconv_t>(-1))
    {
        return false;
    }
    // Decoded a piece at a time into a small buffer: only a bad or cut sequence stops it early.
    char* in = const_cast<char*>(bytes);
    size_t inLeft = size;
    bool good = true;
    while (inLeft > 0 && good)
    {
        char decoded[1024];
        char* out = decoded;
        size_t outLeft = sizeof decoded;
        good = iconv(decoder, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) ||
               errno == E2BIG;
    }
    iconv_close(decoder);
    return good;
}
