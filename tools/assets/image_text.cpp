#include "tools/assets/image_text.h"

#include <cstdio>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>
#include <string>
#include <vector>

namespace
{

FT_Library fontLibrary;
FT_Face fontFace;

bool FindBoldSans(char* path, size_t size, int* faceIndex)
{
    if (!FcInit())
    {
        return false;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans:bold"));
    FcCharSet* letters = FcCharSetCreate();
    FcCharSetAddChar(letters, 0x0117); // e with dot above, as in "Atsitiktine"
    FcCharSetAddChar(letters, 0x0160); // S with caron, as in "ISEJIMAS"
    FcPatternAddCharSet(pattern, FC_CHARSET, letters);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    bool found = false;
    FcChar8* file = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
    {
        std::snprintf(path, size, "%s", reinterpret_cast<const char*>(file));
        if (FcPatternGetInteger(match, FC_INDEX, 0, faceIndex) != FcResultMatch)
        {
            *faceIndex = 0;
        }
        found = true;
    }
    if (match != nullptr)
    {
        FcPatternDestroy(match);
    }
    FcCharSetDestroy(letters);
    FcPatternDestroy(pattern);
    return found;
}

// The Unicode letters of a UTF-8 text, up to the first byte that is not UTF-8.
std::vector<uint32_t> DecodeText(const char* text)
{
    std::string in(text);
    std::vector<uint32_t> letters(in.size());
    iconv_t converter = iconv_open("UCS-4LE", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
    {
        return {};
    }
    char* inPointer = in.data();
    size_t inLeft = in.size();
    char* outPointer = reinterpret_cast<char*>(letters.data());
    size_t outLeft = letters.size() * sizeof(uint32_t);
    iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(converter);
    letters.resize(letters.size() - outLeft / sizeof(uint32_t));
    return letters;
}

bool SetSize(double emX, double emY)
{
    return FT_Set_Char_Size(fontFace, static_cast<FT_F26Dot6>(emX * 64.0 + 0.5),
                            static_cast<FT_F26Dot6>(emY * 64.0 + 0.5), 72, 72) == 0;
}

constexpr FT_Int32 LOAD_FLAGS = FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT;

} // namespace

bool OpenAtlasFont()
{
    char path[1024];
    int faceIndex = 0;
    return FindBoldSans(path, sizeof path, &faceIndex) && FT_Init_FreeType(&fontLibrary) == 0 &&
           FT_New_Face(fontLibrary, path, faceIndex, &fontFace) == 0;
}

void CloseAtlasFont()
{
    if (fontFace != nullptr)
    {
        FT_Done_Face(fontFace);
        fontFace = nullptr;
    }
    if (fontLibrary != nullptr)
    {
        FT_Done_FreeType(fontLibrary);
        fontLibrary = nullptr;
    }
    FcFini();
}

TextMask RenderText(const char* text, double emX, double emY, double spacing, int padding)
{
    TextMask result = {MakeMask(1, 1), 0, 0, -1, 0, -1};
    std::vector<uint32_t> letters = DecodeText(text);
    if (fontFace == nullptr || !SetSize(emX, emY))
    {
        return result;
    }
    // First the pen positions, then the mask that holds them all.
    std::vector<double> pens;
    double pen = 0.0;
    FT_UInt previous = 0;
    for (uint32_t letter : letters)
    {
        FT_UInt glyph = FT_Get_Char_Index(fontFace, letter);
        if (previous != 0 && glyph != 0 && FT_HAS_KERNING(fontFace))
        {
            FT_Vector kerning;
            if (FT_Get_Kerning(fontFace, previous, glyph, FT_KERNING_DEFAULT, &kerning) == 0)
            {
                pen += kerning.x / 64.0;
            }
        }
        pens.push_back(pen);
        if (FT_Load_Glyph(fontFace, glyph, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) == 0)
        {
            pen += fontFace->glyph->advance.x / 64.0 + spacing;
        }
        previous = glyph;
    }
    double ascender = fontFace->size->metrics.ascender / 64.0;
    double descender = -fontFace->size->metrics.descender / 64.0;
    int width = static_cast<int>(pen + emX) + 2 * padding;
    int height = static_cast<int>(ascender + descender + 2.0) + 2 * padding;
    result.mask = MakeMask(width, height);
    result.baseline = padding + static_cast<int>(descender + 1.0);
    for (size_t i = 0; i < letters.size(); ++i)
    {
        if (FT_Load_Char(fontFace, letters[i], LOAD_FLAGS) != 0)
        {
            continue;
        }
        const FT_Bitmap& bitmap = fontFace->glyph->bitmap;
        int left = padding + static_cast<int>(pens[i] + 0.5) + fontFace->glyph->bitmap_left;
        int top = result.baseline + fontFace->glyph->bitmap_top; // first row above this
        for (unsigned row = 0; row < bitmap.rows; ++row)
        {
            for (unsigned column = 0; column < bitmap.width; ++column)
            {
                int x = left + static_cast<int>(column);
                int y = top - 1 - static_cast<int>(row);
                if (x < 0 || y < 0 || x >= width || y >= height)
                {
                    continue;
                }
                double value = bitmap.buffer[row * bitmap.pitch + column] / 255.0;
                double& cell = MaskAt(result.mask, x, y);
                cell = cell + value > 1.0 ? 1.0 : cell + value;
            }
        }
    }
    result.inkLeft = width;
    result.inkBottom = height;
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            if (MaskAt(result.mask, x, y) > 0.0)
            {
                result.inkLeft = x < result.inkLeft ? x : result.inkLeft;
                result.inkRight = x > result.inkRight ? x : result.inkRight;
                result.inkBottom = y < result.inkBottom ? y : result.inkBottom;
                result.inkTop = y > result.inkTop ? y : result.inkTop;
            }
        }
    }
    return result;
}

double CapHeight(double emX, double emY)
{
    TextMask capital = RenderText("H", emX, emY, 0.0, 0);
    return capital.inkTop - capital.baseline + 1;
}

TextMask MirrorText(const TextMask& text)
{
    TextMask mirrored = text;
    int width = text.mask.width;
    for (int y = 0; y < text.mask.height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            mirrored.mask.values[static_cast<size_t>(y * width + x)] =
                text.mask.values[static_cast<size_t>(y * width + (width - 1 - x))];
        }
    }
    mirrored.inkLeft = width - 1 - text.inkRight;
    mirrored.inkRight = width - 1 - text.inkLeft;
    return mirrored;
}
