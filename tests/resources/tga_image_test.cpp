#include "resources/tga_image.h"

#include <GL/gl.h>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "resources/texture_list.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"
#include "text/translation.h"

namespace
{

// The file's 18-byte header as it lies on disk (little-endian words).
#pragma pack(push, 1)
struct TgaHeader
{
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 2;
    uint8_t colourMap[5] = {};
    int16_t origin[2] = {};
    int16_t width = 1;
    int16_t height = 1;
    uint8_t bitsPerPixel = 24;
    uint8_t descriptor = 0;
};
#pragma pack(pop)
static_assert(sizeof(TgaHeader) == 18);

// Writes a TGA file of the header and body; returns its path.
std::string WriteImage(const std::string& path, const TgaHeader& header, const std::string& body)
{
    WriteTestFile(path, std::string(reinterpret_cast<const char*>(&header), 18) + body);
    return path;
}

// Writes a file of the header and body and loads it; the caller frees the record.
TgaImage* LoadFile(const TgaHeader& header, const std::vector<uint8_t>& body)
{
    return LoadTga(
        WriteImage("duomenys/test.tga", header, std::string(body.begin(), body.end())).c_str());
}

// A slot's texture as "width x height last pixel"; the last pixel shows a misread row, and its
// alpha an upload of the wrong format.
std::string Describe(int slot)
{
    GLint width = 0, height = 0, filter = 0;
    glBindTexture(GL_TEXTURE_2D, textureIds[slot]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    // Without mipmaps only a filter that uses none makes the texture complete.
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    std::vector<uint8_t> rgba(static_cast<size_t>(width * height * 4) + 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data() + 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    const uint8_t* last = &rgba[rgba.size() - 4];
    char text[64];
    std::snprintf(text, sizeof text, "%dx%d %d,%d,%d,%d%s", width, height, last[0], last[1],
                  last[2], last[3], filter == GL_LINEAR ? "" : " mipmapped");
    return text;
}

} // namespace

// Pixels come out in file order, with blue and red swapped for three and four bytes; files that
// cannot be used come back as records with their status and no pixels.
TEST(TgaImage, PixelsComeOutInFileOrderAndFilesThatCannotBeUsedHaveNone)
{
    struct Case
    {
        const char* what;
        TgaHeader header;
        // The first bytes of the loaded buffer; none: no buffer.
        std::vector<uint8_t> body, pixels;
        int32_t status = TGA_OK;
        const char* path = nullptr; // a file of its own instead of the header and body
    };
    const std::vector<uint8_t> body(64, 7);
    const TgaHeader largest = {.width = TGA_MAX_SIDE, .height = TGA_MAX_SIDE, .bitsPerPixel = 255};
    const Case cases[] = {
        {"24 bits", {.width = 2}, {10, 20, 30, 40, 50, 60}, {30, 20, 10, 60, 50, 40}},
        {"32 bits, alpha kept", {.bitsPerPixel = 32}, {10, 20, 30, 40}, {30, 20, 10, 40}},
        {"grey scale", {.imageType = 3, .width = 3, .bitsPerPixel = 8}, {1, 2, 3}, {1, 2, 3}},
        {"16 bits", {.width = 2, .bitsPerPixel = 16}, {1, 2, 3, 4}, {1, 2, 3, 4}},
        // Bit 5 announces a top-left origin; rows are never reordered.
        {"rows", {.height = 2, .descriptor = 0x20}, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        // The ID field is not skipped: its bytes become the first pixel.
        {"image ID", {.idLength = 3, .width = 2}, {7, 8, 9, 10, 20, 30}, {9, 8, 7, 30, 20, 10}},
        {"cut short, the rest zero", {.height = 2}, {10, 20, 30, 40}, {30, 20, 10, 0, 0, 40}},
        {"widest", {.width = TGA_MAX_SIDE}, {1, 2, 3}, {3, 2, 1, 0}},
        {"tallest", {.height = TGA_MAX_SIDE}, {1, 2, 3}, {3, 2, 1, 0}},
        {"run-length coded", {.imageType = 10}, body, {}, TGA_ERR_UNSUPPORTED},
        {"colour-mapped", {.imageType = 1}, body, {}, TGA_ERR_COLOR_MAPPED},
        // Sizes no texture can have are refused before anything is allocated, on either side.
        {"no width", {.width = 0, .height = 4}, body, {}, TGA_ERR_UNSUPPORTED},
        {"no height", {.width = 4, .height = 0}, body, {}, TGA_ERR_UNSUPPORTED},
        {"negative width", {.width = -2, .height = 2}, body, {}, TGA_ERR_UNSUPPORTED},
        {"negative height", {.width = 2, .height = -2}, body, {}, TGA_ERR_UNSUPPORTED},
        {"too wide", {.width = TGA_MAX_SIDE + 1}, body, {}, TGA_ERR_UNSUPPORTED},
        {"too tall", {.height = TGA_MAX_SIDE + 1}, body, {}, TGA_ERR_UNSUPPORTED},
        {"4 bits", {.width = 4, .bitsPerPixel = 4}, body, {}, TGA_ERR_UNSUPPORTED},
        {"255 bits at the largest size", largest, body, {}, TGA_ERR_UNSUPPORTED},
        {"header cut short", {}, {}, {}, TGA_ERR_UNSUPPORTED, "duomenys/trumpas.tga"},
        {"no file", {}, {}, {}, TGA_ERR_OPEN, "duomenys/nera.tga"},
        {"a folder: opens, but reads fail", {}, {}, {}, TGA_ERR_READ, "duomenys/katalogas.tga"},
    };
    WriteTestFile("duomenys/trumpas.tga", std::string("\0\0\2\0", 4));
    std::filesystem::create_directories("duomenys/katalogas.tga");
    for (const Case& c : cases)
    {
        TgaImage* image = c.path != nullptr ? LoadTga(c.path) : LoadFile(c.header, c.body);
        EXPECT_EQ(image->status, c.status) << c.what;
        ASSERT_EQ(image->pixels == nullptr, c.pixels.empty()) << c.what;
        EXPECT_EQ(std::vector<uint8_t>(image->pixels, image->pixels + c.pixels.size()), c.pixels)
            << c.what;
        FreeTgaImage(image);
    }
}

TEST(TextureList, EachLineFillsTheNextOfNineSlotsWithItsImageOrThePlaceholder)
{
    ASSERT_TRUE(OpenTestWindow(64, 64));
    // Image i is i + 1 pixels wide, so a slot's width tells which line made it.
    std::vector<std::string> lists; // the first 1, 2, ... 11 lines
    std::vector<std::string> slots;
    for (int i = 0; i < 11; ++i)
    {
        const std::string path = WriteImage("duomenys/vaizdas" + std::to_string(i) + ".tga",
                                            {.width = int16_t(i + 1)}, std::string(3 * i + 3, '@'));
        lists.push_back((i > 0 ? lists.back() + "\r\n" : "") + path);
        slots.push_back(std::to_string(i + 1) + "x1 64,64,64,255");
    }
    // Three 24-bit pixels make a 9-byte row, which 4-byte row alignment would misread.
    WriteImage("duomenys/rgb.tga", {.width = 3, .height = 2},
               std::string(15, '@') + "\x10\x11\x12");
    WriteImage("duomenys/rgba.tga", {.bitsPerPixel = 32}, "\x01\x02\x03\xC8");
    WriteImage("duomenys/gylis16.tga", {.width = 2, .height = 2, .bitsPerPixel = 16}, "");
    // A path of 79 characters fills the line buffer.
    const std::string longPath =
        WriteImage("duomenys/" + std::string(66, 'a') + ".tga", {.width = 3}, std::string(9, '@'));
    const std::string placeholder = "8x8 255,0,255,255";
    // A language's own picture comes first; one it lacks or cannot use falls back.
    WriteImage("duomenys/xx/vaizdas0.tga", {.width = 5}, std::string(15, '@'));
    WriteTestFile("duomenys/xx/rgb.tga", std::string("\0\0\2\0", 4));
    struct Case
    {
        std::string list;
        std::vector<std::string> slots;
        const char* language = "";
    };
    const Case cases[] = {
        {lists[10], {slots.begin(), slots.begin() + 9}},
        // A read that yields nothing (the break behind the last line) takes no slot.
        {lists[1] + "\r\n", {slots[0], slots[1]}},
        // The 80th character of a longer line is dropped and the rest is the next entry.
        {longPath + "Xduomenys/vaizdas4.tga", {slots[2], slots[4]}},
        // A line that begins with NUL names no file: it takes its slot like a missing one.
        {std::string("duomenys/nera.tga\r\nduomenys/rgb.tga\r\nduomenys/gylis16.tga\r\n") + '\0' +
             "duomenys/rgb.tga\r\nduomenys/rgba.tga",
         {placeholder, "3x2 18,17,16,255", placeholder, placeholder, "1x1 3,2,1,200"}},
        {"duomenys/vaizdas0.tga\r\nduomenys/rgb.tga\r\nduomenys/nera.tga\r\nduomenys/vaizdas2.tga",
         {"5x1 64,64,64,255", "3x2 18,17,16,255", placeholder, slots[2]},
         "xx"},
    };
    for (const Case& c : cases)
    {
        std::snprintf(textLanguage.code, sizeof textLanguage.code, "%s", c.language);
        WriteTestFile("duomenys/teksturos.txt", c.list);
        textureCount = 0;
        ASSERT_TRUE(LoadTextures());
        std::vector<std::string> found;
        for (int slot = 0; slot < static_cast<int>(textureCount); ++slot)
        {
            found.push_back(Describe(slot));
        }
        EXPECT_EQ(found, c.slots) << c.list;
        glDeleteTextures(static_cast<GLsizei>(textureCount), textureIds);
    }
    textLanguage = TextLanguage{};
    RemoveTestFile("duomenys/teksturos.txt");
    EXPECT_FALSE(LoadTextures());
    CloseTestWindow();
}
