#include "present/text_output.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>

uint32_t fontListBase;

namespace
{

constexpr int FONT_PIXEL_HEIGHT = 12;
// Glyphs of a 12-pixel face fit easily; a larger one is clipped rather than overrun.
constexpr int GLYPH_MAX_ROWS = 64;
constexpr int GLYPH_MAX_ROW_BYTES = 16;

// The font file fontconfig picks for a bold sans face with the Baltic letters. The condensed cut
// keeps the game's labels inside their boxes, as the narrow face the game was drawn for did.
bool FindFontFile(char* path, size_t size, int* faceIndex)
{
    if (!FcInit())
    {
        return false;
    }
    FcPattern* pattern =
        FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans:bold:condensed"));
    FcCharSet* letters = FcCharSetCreate();
    FcCharSetAddChar(letters, 0x017E); // the z with caron of "Užkraunami"
    FcCharSetAddChar(letters, 0x0117); // e with dot above
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

// The Unicode character of a code page 1257 byte, or 0 where the code page leaves it unused.
uint32_t DecodeCodePage1257(iconv_t converter, unsigned char code)
{
    char in[1] = {static_cast<char>(code)};
    uint32_t out[1] = {0};
    char* inPointer = in;
    size_t inLeft = 1;
    char* outPointer = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1))
    {
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        return 0;
    }
    return out[0];
}

// Light hinting keeps the dots of i and j apart from their stems at this small size, where the
// face's own monochrome hints run them together.
// Compiles the glyph FreeType has rendered into the current list as one glBitmap call.
void CompileGlyph(FT_GlyphSlot glyph)
{
    static GLubyte rows[GLYPH_MAX_ROWS * GLYPH_MAX_ROW_BYTES];
    const FT_Bitmap& bitmap = glyph->bitmap;
    int height = static_cast<int>(bitmap.rows) < GLYPH_MAX_ROWS ? static_cast<int>(bitmap.rows)
                                                                : GLYPH_MAX_ROWS;
    int rowBytes = (static_cast<int>(bitmap.width) + 7) / 8;
    if (rowBytes > GLYPH_MAX_ROW_BYTES)
    {
        rowBytes = GLYPH_MAX_ROW_BYTES;
    }
    int width = rowBytes * 8 < static_cast<int>(bitmap.width) ? rowBytes * 8
                                                              : static_cast<int>(bitmap.width);
    // FreeType's rows run top down, glBitmap's bottom up.
    for (int row = 0; row < height; ++row)
    {
        const unsigned char* source = bitmap.buffer + row * bitmap.pitch;
        std::memcpy(rows + (height - 1 - row) * rowBytes, source, static_cast<size_t>(rowBytes));
    }
    glBitmap(width, height, static_cast<GLfloat>(-glyph->bitmap_left),
             static_cast<GLfloat>(height - glyph->bitmap_top),
             static_cast<GLfloat>(glyph->advance.x) / 64.0f, 0.0f, rows);
}

// Formats into a buffer of PRINT_TEXT_SIZE bytes; the length of what it holds.
int FormatTextList(char* text, const char* format, va_list arguments)
{
    int length = std::vsnprintf(text, PRINT_TEXT_SIZE, format, arguments);
    if (length < 0)
    {
        text[0] = '\0';
        return 0;
    }
    return length < PRINT_TEXT_SIZE ? length : PRINT_TEXT_SIZE - 1;
}

} // namespace

bool BuildFont()
{
    fontListBase = glGenLists(FONT_CODE_COUNT);
    char path[1024];
    int faceIndex = 0;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool faceReady = FindFontFile(path, sizeof path, &faceIndex) &&
                     FT_Init_FreeType(&library) == 0 &&
                     FT_New_Face(library, path, faceIndex, &face) == 0 &&
                     FT_Set_Pixel_Sizes(face, 0, FONT_PIXEL_HEIGHT) == 0;
    iconv_t converter = iconv_open("UCS-4LE", "CP1257");
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < FONT_CODE_COUNT; ++i)
    {
        glNewList(fontListBase + static_cast<GLuint>(i), GL_COMPILE);
        uint32_t character =
            converter == reinterpret_cast<iconv_t>(-1)
                ? 0
                : DecodeCodePage1257(converter, static_cast<unsigned char>(FONT_FIRST_CODE + i));
        if (faceReady && character != 0 &&
            FT_Load_Char(face, character, FT_LOAD_TARGET_LIGHT) == 0 &&
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0 &&
            face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        {
            CompileGlyph(face->glyph);
        }
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    if (converter != reinterpret_cast<iconv_t>(-1))
    {
        iconv_close(converter);
    }
    if (face != nullptr)
    {
        FT_Done_Face(face);
    }
    if (library != nullptr)
    {
        FT_Done_FreeType(library);
    }
    return true;
}

void DeleteFont()
{
    glDeleteLists(fontListBase, FONT_CODE_COUNT);
}

int FormatText(char* text, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = FormatTextList(text, format, arguments);
    va_end(arguments);
    return length;
}

void PrintText(const char* format, ...)
{
    glDisable(GL_DEPTH_TEST);
    if (format == nullptr)
    {
        return;
    }
    char text[PRINT_TEXT_SIZE];
    va_list arguments;
    va_start(arguments, format);
    int length = FormatTextList(text, format, arguments);
    va_end(arguments);
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontListBase - FONT_FIRST_CODE);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
    glEnable(GL_DEPTH_TEST);
}

void SetOverlayView()
{
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

void DrawBox(float x0, float y0, float x1, float y1)
{
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}
