// Uncompressed TGA images read into memory as bytes ready for OpenGL: R, G, B (, A), rows in the
// order the file stores them (bottom row first for ordinary files).
#pragma once

#include <cstdint>
#include <cstdio>

enum TgaStatus : int32_t
{
    TGA_OK = 0,
    TGA_ERR_UNSUPPORTED = -1, // not type 2 or 3, or a size no texture can have
    TGA_ERR_NO_MEMORY = -2,
    TGA_ERR_COLOR_MAPPED = -3,
    TGA_ERR_READ = -4,
    TGA_ERR_OPEN = -5,
};

// The largest width or height accepted; a bigger header is taken as a broken file.
constexpr int32_t TGA_MAX_SIDE = 16384;

// One loaded file. Made by LoadTga, owned by its caller, released with FreeTgaImage.
struct TgaImage
{
    int32_t status;
    uint8_t imageType;
    uint8_t bitsPerPixel;
    int16_t width;
    int16_t height;
    uint8_t* pixels; // bitsPerPixel / 8 * width * height bytes; null until allocated
};

// Always returns a record, whose status tells what happened; null only when the record itself
// cannot be allocated.
TgaImage* LoadTga(const char* path);
void FreeTgaImage(TgaImage* image);

// The 18 header bytes into the record: image type, width, height and pixel depth are kept.
void ReadTgaHeader(FILE* file, TgaImage* image);
// The pixel bytes into the allocated buffer, blue and red exchanged for 3 and 4 bytes a pixel.
void ReadTgaPixels(FILE* file, TgaImage* image);
// Bytes of pixel data the header announces, or 0 when the size is negative, absurd, or would
// not fit the 32-bit size of the original format's reader.
size_t CountTgaPixelBytes(const TgaImage* image);
