#include "resources/tga_image.h"

#include <cstdlib>

namespace
{

uint8_t ReadByteField(FILE* file)
{
    uint8_t value = 0;
    if (std::fread(&value, 1, 1, file) != 1)
    {
        return 0;
    }
    return value;
}

// Little-endian on disk; a field cut short by the end of the file keeps the bytes it got.
uint16_t ReadWordField(FILE* file)
{
    uint8_t bytes[2] = {0, 0};
    if (std::fread(bytes, 1, 2, file) == 0)
    {
        return 0;
    }
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

TgaImage* FinishTga(FILE* file, TgaImage* image, int32_t status)
{
    std::fclose(file);
    image->status = status;
    return image;
}

} // namespace

TgaImage* LoadTga(const char* path)
{
    TgaImage* image = static_cast<TgaImage*>(std::calloc(1, sizeof(TgaImage)));
    if (image == nullptr)
    {
        return nullptr;
    }
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
    {
        image->status = TGA_ERR_OPEN;
        return image;
    }
    ReadTgaHeader(file, image);
    if (std::ferror(file))
    {
        return FinishTga(file, image, TGA_ERR_READ);
    }
    if (image->imageType == 1)
    {
        return FinishTga(file, image, TGA_ERR_COLOR_MAPPED);
    }
    if (image->imageType != 2 && image->imageType != 3)
    {
        return FinishTga(file, image, TGA_ERR_UNSUPPORTED);
    }
    // A broken header must not make us allocate gigabytes or a buffer smaller than the read.
    size_t size = CountTgaPixelBytes(image);
    if (size == 0)
    {
        return FinishTga(file, image, TGA_ERR_UNSUPPORTED);
    }
    // Zeroed, so the part a short file leaves unread is black and transparent, not garbage.
    image->pixels = static_cast<uint8_t*>(std::calloc(size, 1));
    if (image->pixels == nullptr)
    {
        return FinishTga(file, image, TGA_ERR_NO_MEMORY);
    }
    ReadTgaPixels(file, image);
    if (std::ferror(file))
    {
        return FinishTga(file, image, TGA_ERR_READ);
    }
    return FinishTga(file, image, TGA_OK);
}

void FreeTgaImage(TgaImage* image)
{
    if (image == nullptr)
    {
        return;
    }
    std::free(image->pixels);
    std::free(image);
}

void ReadTgaHeader(FILE* file, TgaImage* image)
{
    ReadByteField(file); // ID length: image files carry none, so it is not skipped
    ReadByteField(file); // colour-map type
    image->imageType = ReadByteField(file);
    ReadWordField(file); // colour-map first entry
    ReadWordField(file); // colour-map length
    ReadByteField(file); // colour-map entry size
    ReadWordField(file); // X origin
    ReadWordField(file); // Y origin
    image->width = static_cast<int16_t>(ReadWordField(file));
    image->height = static_cast<int16_t>(ReadWordField(file));
    image->bitsPerPixel = ReadByteField(file);
    ReadByteField(file); // image descriptor: rows are never reordered
}

void ReadTgaPixels(FILE* file, TgaImage* image)
{
    size_t bytesPerPixel = image->bitsPerPixel / 8;
    size_t size = CountTgaPixelBytes(image);
    if (image->pixels == nullptr || size == 0)
    {
        return;
    }
    // A file that ends early simply leaves the rest of the buffer as it was.
    size_t got = std::fread(image->pixels, 1, size, file);
    (void)got;
    if (bytesPerPixel < 3)
    {
        return;
    }
    // The file stores B, G, R (, A); OpenGL wants R first.
    for (size_t offset = 0; offset < size; offset += bytesPerPixel)
    {
        uint8_t blue = image->pixels[offset];
        image->pixels[offset] = image->pixels[offset + 2];
        image->pixels[offset + 2] = blue;
    }
}

size_t CountTgaPixelBytes(const TgaImage* image)
{
    int64_t width = image->width;
    int64_t height = image->height;
    int64_t bytesPerPixel = image->bitsPerPixel / 8;
    if (width <= 0 || height <= 0 || width > TGA_MAX_SIDE || height > TGA_MAX_SIDE)
    {
        return 0;
    }
    int64_t size = width * height * bytesPerPixel;
    if (size > INT32_MAX)
    {
        return 0;
    }
    return static_cast<size_t>(size);
}
