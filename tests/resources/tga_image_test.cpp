#include "resources/tga_image.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

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

// Writes a file of the header and body and loads it; the caller frees the record.
TgaImage* LoadFile(const TgaHeader& header, const std::vector<uint8_t>& body)
{
    WriteTestFile("duomenys/test.tga", std::string(reinterpret_cast<const char*>(&header), 18) +
                                           std::string(body.begin(), body.end()));
    return LoadTga("duomenys/test.tga");
}

} // namespace

TEST(TgaImage, PixelsComeOutInFileOrderWithBlueAndRedSwappedForThreeAndFourBytes)
{
    struct Case
    {
        const char* name;
        TgaHeader header;
        std::vector<uint8_t> body;
        std::vector<uint8_t> pixels; // the first bytes of the loaded buffer
    };
    const Case cases[] = {
        {"24 bits", {.width = 2}, {10, 20, 30, 40, 50, 60}, {30, 20, 10, 60, 50, 40}},
        {"32 bits, alpha kept", {.bitsPerPixel = 32}, {10, 20, 30, 40}, {30, 20, 10, 40}},
        {"grey scale", {.imageType = 3, .width = 3, .bitsPerPixel = 8}, {1, 2, 3}, {1, 2, 3}},
        {"16 bits", {.width = 2, .bitsPerPixel = 16}, {1, 2, 3, 4}, {1, 2, 3, 4}},
        // Bit 5 announces a top-left origin; rows are never reordered.
        {"rows", {.height = 2, .descriptor = 0x20}, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        // The ID field is not skipped: its bytes become the first pixel.
        {"image ID", {.idLength = 3, .width = 2}, {7, 8, 9, 10, 20, 30}, {9, 8, 7, 30, 20, 10}},
        {"cut short",
         {.width = 2, .height = 2},
         {10, 20, 30, 40},
         {30, 20, 10, 0, 0, 40, 0, 0, 0, 0, 0, 0}},
        {"largest side", {.width = TGA_MAX_SIDE}, {1, 2, 3}, {3, 2, 1, 0}},
    };
    for (const Case& test : cases)
    {
        TgaImage* image = LoadFile(test.header, test.body);
        EXPECT_EQ(image->status, TGA_OK) << test.name;
        ASSERT_NE(image->pixels, nullptr) << test.name;
        EXPECT_EQ(std::vector<uint8_t>(image->pixels, image->pixels + test.pixels.size()),
                  test.pixels)
            << test.name;
        FreeTgaImage(image);
    }
}

TEST(TgaImage, FilesThatCannotBeUsedComeBackAsRecordsWithTheirStatusAndNoPixels)
{
    const std::pair<TgaHeader, int32_t> headers[] = {
        {{.imageType = 10}, TGA_ERR_UNSUPPORTED}, // run-length coded
        {{.imageType = 1}, TGA_ERR_COLOR_MAPPED},
        // Sizes no texture can have are refused before anything is allocated.
        {{.width = -2, .height = 2}, TGA_ERR_UNSUPPORTED},
        {{.width = 4, .height = 0}, TGA_ERR_UNSUPPORTED},
        {{.width = TGA_MAX_SIDE + 1}, TGA_ERR_UNSUPPORTED},
        {{.height = 32767}, TGA_ERR_UNSUPPORTED},
        {{.width = 4, .bitsPerPixel = 4}, TGA_ERR_UNSUPPORTED},
        {{.width = TGA_MAX_SIDE, .height = TGA_MAX_SIDE, .bitsPerPixel = 255}, TGA_ERR_UNSUPPORTED},
    };
    std::vector<std::pair<TgaImage*, int32_t>> loaded;
    for (const auto& [header, status] : headers)
    {
        loaded.emplace_back(LoadFile(header, std::vector<uint8_t>(64, 7)), status);
    }
    WriteTestFile("duomenys/trumpas.tga", std::string("\0\0\2\0", 4)); // header cut short
    loaded.emplace_back(LoadTga("duomenys/trumpas.tga"), TGA_ERR_UNSUPPORTED);
    loaded.emplace_back(LoadTga("duomenys/nera.tga"), TGA_ERR_OPEN);
    std::filesystem::create_directories("duomenys/katalogas.tga"); // opens, but reads fail
    loaded.emplace_back(LoadTga("duomenys/katalogas.tga"), TGA_ERR_READ);
    for (size_t i = 0; i < loaded.size(); ++i)
    {
        EXPECT_EQ(loaded[i].first->status, loaded[i].second) << i;
        EXPECT_EQ(loaded[i].first->pixels, nullptr) << i;
        FreeTgaImage(loaded[i].first);
    }
}
