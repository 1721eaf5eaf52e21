#include "platform/code_page.h"

#include <cstdio>
#include <cstring>
#include <iconv.h>

void ConvertToUtf8(const char* text, char* utf8, size_t size)
{
    utf8[0] = '\0';
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
    iconv(converter, &in, &inLeft, &out, &outLeft);
    *out = '\0';
    iconv_close(converter);
}
