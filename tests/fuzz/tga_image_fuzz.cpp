// The TGA loader on any file: a record always comes back, its status is one of the loader's,
// and an image it calls good has every byte its header announces.
#include <cstdint>
#include <cstdlib>

#include "resources/tga_image.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnterScratchDirectory("tga");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (CountAnnouncedTgaBytes(data, size) > FUZZ_IMAGE_BYTES_MAX)
    {
        // The size rule alone: no side above TGA_MAX_SIDE, no buffer beyond 32-bit sizes.
        TgaImage header = {};
        header.width = static_cast<int16_t>(data[12] | (data[13] << 8));
        header.height = static_cast<int16_t>(data[14] | (data[15] << 8));
        header.bitsPerPixel = data[16];
        size_t bytes = CountTgaPixelBytes(&header);
        if (bytes > INT32_MAX ||
            (bytes > 0 && (header.width > TGA_MAX_SIDE || header.height > TGA_MAX_SIDE)))
        {
            std::abort();
        }
        return 0;
    }
    WriteFuzzFile("duomenys/x.tga", data, size);
    TgaImage* image = LoadTga("duomenys/x.tga");
    if (image == nullptr)
    {
        std::abort(); // only a failed allocation of the record itself returns none
    }
    switch (image->status)
    {
    case TGA_OK:
        if (image->pixels == nullptr || image->width <= 0 || image->height <= 0 ||
            (image->imageType != 2 && image->imageType != 3))
        {
            std::abort();
        }
        TouchBytes(image->pixels, CountTgaPixelBytes(image));
        if (CountTgaPixelBytes(image) != CountAnnouncedTgaBytes(data, size))
        {
            std::abort(); // the buffer is not the size the header announces
        }
        break;
    case TGA_ERR_UNSUPPORTED:
    case TGA_ERR_COLOR_MAPPED:
    case TGA_ERR_NO_MEMORY:
        if (image->pixels != nullptr)
        {
            std::abort();
        }
        break;
    case TGA_ERR_READ:
        break;
    default:
        std::abort(); // the file exists, so TGA_ERR_OPEN cannot be
    }
    FreeTgaImage(image);
    return 0;
}
