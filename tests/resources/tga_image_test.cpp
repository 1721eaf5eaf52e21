#include "resources/tga_image.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace
{

struct TgaHeader
{
    uint8_t idLength = 0;
    uint8_t imageType = 2;
    int16_t width = 1;
    int16_t height = 1;
    uint8_t bitsPerPixel = 24;
    uint8_t descriptor = 0;
};

void AppendWord(std::string* bytes, int16_t value)
{
    uint16_t word = static_cast<uint16_t>(value);
    bytes->push_back(static_cast<char>(word & 0xFF));
    bytes->push_back(static_cast<char>(word >> 8));
}

std::string MakeTga(const TgaHeader& header, const std::vector<uint8_t>& body)
{
    std::string bytes;
    bytes.push_back(static_cast<char>(header.idLength));
    bytes.push_back(0); // colour-map type
    bytes.push_back(static_cast<char>(header.imageType));
    bytes.append(5, '\0'); // colour-map first entry, length and entry size
    AppendWord(&bytes, 0);
    AppendWord(&bytes, 0);
    AppendWord(&bytes, header.width);
    AppendWord(&bytes, header.height);
    bytes.push_back(static_cast<char>(header.bitsPerPixel));
    bytes.push_back(static_cast<char>(header.descriptor));
    bytes.append(body.begin(), body.end());
    return bytes;
}

// Loads the bytes from a file; the caller frees the record.
TgaImage* LoadBytes(const std::string& bytes)
{
    WriteTestFile("duomenys/test.tga", bytes);
    return LoadTga("duomenys/test.tga");
}

std::vector<uint8_t> PixelsOf(const TgaImage* image, size_t count)
{
    return std::vector<uint8_t>(image->pixels, image->pixels + count);
}

} // namespace

TEST(TgaPixels, TrueColourComesOutRedFirstWithGreenAndAlphaInPlace)
{
    TgaImage* rgb = LoadBytes(MakeTga({.width = 2}, {10, 20, 30, 40, 50, 60}));
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(rgb->status, TGA_OK);
    EXPECT_EQ(rgb->imageType, 2);
    EXPECT_EQ(rgb->bitsPerPixel, 24);
    EXPECT_EQ(rgb->width, 2);
    EXPECT_EQ(rgb->height, 1);
    EXPECT_EQ(PixelsOf(rgb, 6), (std::vector<uint8_t>{30, 20, 10, 60, 50, 40}));
    FreeTgaImage(rgb);

    TgaImage* rgba = LoadBytes(MakeTga({.bitsPerPixel = 32}, {10, 20, 30, 40}));
    EXPECT_EQ(rgba->status, TGA_OK);
    EXPECT_EQ(PixelsOf(rgba, 4), (std::vector<uint8_t>{30, 20, 10, 40}));
    FreeTgaImage(rgba);
}

TEST(TgaPixels, OneAndTwoBytePixelsStayAsStored)
{
    TgaImage* grey = LoadBytes(MakeTga({.imageType = 3, .width = 3, .bitsPerPixel = 8}, {1, 2, 3}));
    EXPECT_EQ(grey->status, TGA_OK);
    EXPECT_EQ(PixelsOf(grey, 3), (std::vector<uint8_t>{1, 2, 3}));
    FreeTgaImage(grey);

    TgaImage* wide = LoadBytes(MakeTga({.width = 2, .bitsPerPixel = 16}, {1, 2, 3, 4}));
    EXPECT_EQ(wide->status, TGA_OK);
    EXPECT_EQ(PixelsOf(wide, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
    FreeTgaImage(wide);
}

TEST(TgaPixels, RowsKeepFileOrderWhateverOriginTheDescriptorAnnounces)
{
    // Two rows of one 24-bit pixel; descriptor bit 5 announces a top-left origin.
    TgaImage* image = LoadBytes(MakeTga({.height = 2, .descriptor = 0x20}, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(image->status, TGA_OK);
    EXPECT_EQ(PixelsOf(image, 6), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
    FreeTgaImage(image);
}

TEST(TgaPixels, AnImageIdIsReadAsPixelBytes)
{
    // Three ID bytes 7, 8, 9 are not skipped: they become the first pixel.
    TgaImage* image = LoadBytes(MakeTga({.idLength = 3, .width = 2}, {7, 8, 9, 10, 20, 30}));
    EXPECT_EQ(image->status, TGA_OK);
    EXPECT_EQ(PixelsOf(image, 6), (std::vector<uint8_t>{9, 8, 7, 30, 20, 10}));
    FreeTgaImage(image);
}

TEST(TgaPixels, AFileEndingEarlyLoadsWithTheRestLeftBlank)
{
    TgaImage* image = LoadBytes(MakeTga({.width = 2, .height = 2}, {10, 20, 30, 40}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->status, TGA_OK);
    EXPECT_EQ(PixelsOf(image, 12), (std::vector<uint8_t>{30, 20, 10, 0, 0, 40, 0, 0, 0, 0, 0, 0}));
    FreeTgaImage(image);
}

TEST(TgaStatus, UnreadableFilesComeBackAsRecordsWithTheirFailure)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        int32_t status;
    };
    const Case cases[] = {
        {"run-length true colour", MakeTga({.imageType = 10}, {1, 2, 3}), TGA_ERR_UNSUPPORTED},
        {"colour-mapped", MakeTga({.imageType = 1}, {1, 2, 3}), TGA_ERR_COLOR_MAPPED},
        {"no image", MakeTga({.imageType = 0}, {1, 2, 3}), TGA_ERR_UNSUPPORTED},
        {"header cut short", std::string("\0\0\2\0", 4), TGA_ERR_UNSUPPORTED},
        {"empty file", std::string(), TGA_ERR_UNSUPPORTED},
    };
    for (const Case& test : cases)
    {
        TgaImage* image = LoadBytes(test.bytes);
        ASSERT_NE(image, nullptr) << test.name;
        EXPECT_EQ(image->status, test.status) << test.name;
        EXPECT_EQ(image->pixels, nullptr) << test.name;
        FreeTgaImage(image);
    }

    TgaImage* missing = LoadTga("duomenys/nera.tga");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->status, TGA_ERR_OPEN);
    EXPECT_EQ(missing->pixels, nullptr);
    FreeTgaImage(missing);

    // A directory opens, but reading it fails: the header read sets the error indicator.
    std::filesystem::create_directories("duomenys/katalogas.tga");
    TgaImage* directory = LoadTga("duomenys/katalogas.tga");
    ASSERT_NE(directory, nullptr);
    EXPECT_EQ(directory->status, TGA_ERR_READ);
    EXPECT_EQ(directory->pixels, nullptr);
    FreeTgaImage(directory);

    FreeTgaImage(nullptr);
}

TEST(TgaStatus, BrokenSizesAreRefusedBeforeAnythingIsAllocated)
{
    struct Case
    {
        const char* name;
        TgaHeader header;
    };
    const Case cases[] = {
        {"negative width", {.width = -2, .height = 2}},
        {"both negative, a positive product", {.width = -2, .height = -2}},
        {"zero height", {.width = 4, .height = 0}},
        {"absurd width", {.width = TGA_MAX_SIDE + 1, .height = 1}},
        {"absurd height", {.width = 1, .height = 32767}},
        {"byte count past 32 bits",
         {.width = TGA_MAX_SIDE, .height = TGA_MAX_SIDE, .bitsPerPixel = 255}},
        {"less than a byte a pixel", {.width = 4, .height = 4, .bitsPerPixel = 4}},
    };
    for (const Case& test : cases)
    {
        TgaImage* image = LoadBytes(MakeTga(test.header, std::vector<uint8_t>(64, 7)));
        ASSERT_NE(image, nullptr) << test.name;
        EXPECT_EQ(image->status, TGA_ERR_UNSUPPORTED) << test.name;
        EXPECT_EQ(image->pixels, nullptr) << test.name;
        FreeTgaImage(image);
    }

    // The largest accepted side still loads.
    TgaImage* edge = LoadBytes(MakeTga({.width = TGA_MAX_SIDE, .height = 1}, {1, 2, 3}));
    EXPECT_EQ(edge->status, TGA_OK);
    EXPECT_EQ(PixelsOf(edge, 4), (std::vector<uint8_t>{3, 2, 1, 0}));
    FreeTgaImage(edge);
}
