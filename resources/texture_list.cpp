#include "resources/texture_list.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "resources/tga_image.h"
#include "text/text_file.h"
#include "text/translation.h"

uint32_t textureIds[TEXTURE_SLOT_COUNT];
uint32_t textureCount;

namespace
{

// Only true-colour images with a full buffer become textures.
bool IsUsableImage(const TgaImage* image)
{
    return image != nullptr && image->status == TGA_OK && image->pixels != nullptr &&
           (image->bitsPerPixel == 24 || image->bitsPerPixel == 32);
}

void UploadImage(const TgaImage* image)
{
    GLenum format = image->bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image->width, image->height, 0,
                 format, GL_UNSIGNED_BYTE, image->pixels);
}

void UploadPlaceholder()
{
    static uint8_t pixels[PLACEHOLDER_SIDE * PLACEHOLDER_SIDE * 3];
    for (int y = 0; y < PLACEHOLDER_SIDE; ++y)
    {
        for (int x = 0; x < PLACEHOLDER_SIDE; ++x)
        {
            bool lit = ((x / 4) + (y / 4)) % 2 == 0;
            uint8_t* pixel = pixels + (y * PLACEHOLDER_SIDE + x) * 3;
            pixel[0] = lit ? 255 : 0;
            pixel[1] = 0;
            pixel[2] = lit ? 255 : 0;
        }
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, PLACEHOLDER_SIDE, PLACEHOLDER_SIDE, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, pixels);
}

// A picture with words has its language's own beside it: duomenys/X is first looked for as
// duomenys/<language>/X, so that the list stays one for every language.
TgaImage* LoadListedImage(const char* path)
{
    constexpr char FOLDER[] = "duomenys/";
    constexpr size_t FOLDER_LENGTH = sizeof FOLDER - 1;
    if (textLanguage.code[0] != '\0' && std::strncmp(path, FOLDER, FOLDER_LENGTH) == 0)
    {
        char own[TEXTURE_PATH_SIZE + LANGUAGE_CODE_SIZE];
        std::snprintf(own, sizeof own, "%s%s/%s", FOLDER, textLanguage.code, path + FOLDER_LENGTH);
        TgaImage* image = LoadTga(own);
        if (IsUsableImage(image))
        {
            return image;
        }
        FreeTgaImage(image);
    }
    return LoadTga(path);
}

void CreateTexture(const char* path)
{
    TgaImage* image = LoadListedImage(path);
    glGenTextures(1, &textureIds[textureCount]);
    glBindTexture(GL_TEXTURE_2D, textureIds[textureCount]);
    // Image rows are packed; the default alignment of 4 would read past the end of a 24-bit
    // buffer whose rows are not a multiple of 4 bytes.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (IsUsableImage(image))
    {
        UploadImage(image);
    }
    else
    {
        UploadPlaceholder();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    FreeTgaImage(image);
    ++textureCount;
}

} // namespace

bool LoadTextures()
{
    TextFile list;
    if (!OpenTextFile(&list, "duomenys/teksturos.txt"))
    {
        return false;
    }
    // The table has nine slots: lines after the ninth are not read.
    while (IsTextGood(&list) && textureCount < TEXTURE_SLOT_COUNT)
    {
        char path[TEXTURE_PATH_SIZE];
        bool read = ReadTextLine(&list, path, sizeof path);
        SkipTextChar(&list);
        // A read that yields no character (the line break behind the last entry, or an empty
        // line, which also ends the reading) takes no slot; a line that begins with NUL names no
        // file and takes its slot with the placeholder, as any image that cannot be loaded.
        if (read)
        {
            CreateTexture(path);
        }
    }
    CloseTextFile(&list);
    return true;
}

bool ReloadTextures()
{
    uint32_t kept[TEXTURE_SLOT_COUNT];
    uint32_t keptCount = textureCount;
    std::copy(std::begin(textureIds), std::end(textureIds), kept);
    textureCount = 0;
    if (!LoadTextures())
    {
        textureCount = keptCount;
        std::copy(std::begin(kept), std::end(kept), textureIds);
        return false;
    }
    glDeleteTextures(static_cast<GLsizei>(keptCount), kept);
    return true;
}
