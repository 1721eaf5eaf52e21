// The texture list on any list file, with one image of the fuzzer's own beside the shipped kinds:
// the input is the list, then, after a line "#IMG#", the bytes of duomenys/x.tga. Every line that
// yields a path takes the next slot and no more than nine are made; every upload finds all the
// bytes it reads.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "resources/texture_list.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/gl_stand_in.h"

namespace
{

constexpr std::string_view IMAGE_MARK = "\n#IMG#\n";

// A header of the given type, size and depth followed by `pixelBytes` bytes of pixels.
void WriteImage(const char* path, uint8_t type, uint16_t width, uint16_t height, uint8_t bits,
                size_t pixelBytes)
{
    uint8_t bytes[18 + 64] = {};
    bytes[2] = type;
    bytes[12] = static_cast<uint8_t>(width);
    bytes[13] = static_cast<uint8_t>(width >> 8);
    bytes[14] = static_cast<uint8_t>(height);
    bytes[15] = static_cast<uint8_t>(height >> 8);
    bytes[16] = bits;
    for (size_t i = 18; i < sizeof bytes; ++i)
    {
        bytes[i] = static_cast<uint8_t>(i * 7);
    }
    WriteFuzzFile(path, bytes, 18 + pixelBytes);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnterScratchDirectory("texture-list");
    WriteImage("duomenys/rgb.tga", 2, 3, 3, 24, 27); // rows of 9 bytes: not a multiple of 4
    WriteImage("duomenys/rgba.tga", 2, 2, 2, 32, 16);
    WriteImage("duomenys/grey.tga", 3, 4, 4, 8, 16);   // a depth the list does not take
    WriteImage("duomenys/short.tga", 2, 5, 3, 24, 10); // ends early
    WriteImage("duomenys/rle.tga", 10, 2, 2, 24, 12);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t mark = input.find(IMAGE_MARK);
    std::string_view list = input.substr(0, mark);
    WriteFuzzFile("duomenys/teksturos.txt", reinterpret_cast<const uint8_t*>(list.data()),
                  list.size());
    if (mark != std::string_view::npos &&
        CountAnnouncedTgaBytes(data + mark + IMAGE_MARK.size(), size - mark - IMAGE_MARK.size()) <=
            FUZZ_IMAGE_BYTES_MAX)
    {
        std::string_view image = input.substr(mark + IMAGE_MARK.size());
        WriteFuzzFile("duomenys/x.tga", reinterpret_cast<const uint8_t*>(image.data()),
                      image.size());
    }
    else
    {
        std::remove("duomenys/x.tga");
    }

    textureCount = 0;
    std::memset(textureIds, 0, sizeof textureIds);
    glStandIn = GlStandIn{0, 0, 4, 0};
    if (!LoadTextures())
    {
        std::abort(); // the list file is there
    }
    if (textureCount > TEXTURE_SLOT_COUNT || glStandIn.texturesMade != textureCount ||
        glStandIn.uploads != textureCount || glStandIn.unpackAlignment != 4 ||
        glStandIn.boundTexture != 0)
    {
        std::abort();
    }
    for (uint32_t slot = 0; slot < textureCount; ++slot)
    {
        if (textureIds[slot] != slot + 1)
        {
            std::abort(); // slot numbers follow the list's lines
        }
    }
    return 0;
}
