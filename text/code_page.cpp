#include "text/code_page.h"

namespace
{

// Codes 0x80..0xFF as the code page gives them (glibc's and Python's tables agree).
constexpr uint16_t UPPER_HALF[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, //
    0,      0x2030, 0,      0x2039, 0,      0x00A8, 0x02C7, 0x00B8, //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0,      0x2122, 0,      0x203A, 0,      0x00AF, 0x02DB, 0,      //
    0x00A0, 0,      0x00A2, 0x00A3, 0x00A4, 0,      0x00A6, 0x00A7, //
    0x00D8, 0x00A9, 0x0156, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00C6, //
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00F8, 0x00B9, 0x0157, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00E6, //
    0x0104, 0x012E, 0x0100, 0x0106, 0x00C4, 0x00C5, 0x0118, 0x0112, //
    0x010C, 0x00C9, 0x0179, 0x0116, 0x0122, 0x0136, 0x012A, 0x013B, //
    0x0160, 0x0143, 0x0145, 0x00D3, 0x014C, 0x00D5, 0x00D6, 0x00D7, //
    0x0172, 0x0141, 0x015A, 0x016A, 0x00DC, 0x017B, 0x017D, 0x00DF, //
    0x0105, 0x012F, 0x0101, 0x0107, 0x00E4, 0x00E5, 0x0119, 0x0113, //
    0x010D, 0x00E9, 0x017A, 0x0117, 0x0123, 0x0137, 0x012B, 0x013C, //
    0x0161, 0x0144, 0x0146, 0x00F3, 0x014D, 0x00F5, 0x00F6, 0x00F7, //
    0x0173, 0x0142, 0x015B, 0x016B, 0x00FC, 0x017C, 0x017E, 0x02D9, //
};

} // namespace

uint32_t DecodeCodePage1257(unsigned char code)
{
    return code < 0x80 ? code : UPPER_HALF[code - 0x80];
}

void ConvertToUtf8(const char* text, char* utf8, size_t size)
{
    size_t used = 0;
    for (const char* in = text; *in != '\0'; ++in)
    {
        uint32_t character = DecodeCodePage1257(static_cast<unsigned char>(*in));
        // Every character of the code page takes one to three bytes in UTF-8.
        unsigned char bytes[3];
        size_t count = 0;
        if (character == 0)
        {
            continue;
        }
        if (character < 0x80)
        {
            bytes[count++] = static_cast<unsigned char>(character);
        }
        else if (character < 0x800)
        {
            bytes[count++] = static_cast<unsigned char>(0xC0 | (character >> 6));
            bytes[count++] = static_cast<unsigned char>(0x80 | (character & 0x3F));
        }
        else
        {
            bytes[count++] = static_cast<unsigned char>(0xE0 | (character >> 12));
            bytes[count++] = static_cast<unsigned char>(0x80 | ((character >> 6) & 0x3F));
            bytes[count++] = static_cast<unsigned char>(0x80 | (character & 0x3F));
        }
        if (used + count >= size)
        {
            break;
        }
        for (size_t i = 0; i < count; ++i)
        {
            utf8[used++] = static_cast<char>(bytes[i]);
        }
    }
    utf8[used] = '\0';
}
