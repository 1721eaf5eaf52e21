#include "present/text_output.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

Font font;

namespace
{

// Glyphs of the letters of an 8K picture (68 pixels) fit; a larger one is clipped rather than
// overrun.
constexpr int GLYPH_MAX_ROWS = 128;
constexpr int GLYPH_MAX_ROW_BYTES = 32;
constexpr uint32_t NO_GLYPH = 0xFFFFFFFF;

// The font file fontconfig picks for a face of `family` (a fontconfig name) that has `character`
// and, when it is not 0, `other`.
bool FindFontFile(const char* family, uint32_t character, uint32_t other, char* path, size_t size,
                  int* faceIndex)
{
    if (!FcInit())
    {
        return false;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcCharSet* letters = FcCharSetCreate();
    FcCharSetAddChar(letters, character);
    if (other != 0)
    {
        FcCharSetAddChar(letters, other);
    }
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

FT_Face OpenFace(const char* path, int faceIndex)
{
    FT_Face face = nullptr;
    if (FT_New_Face(font.library, path, faceIndex, &face) != 0)
    {
        return nullptr;
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.pixelHeight)) != 0)
    {
        FT_Done_Face(face);
        return nullptr;
    }
    return face;
}

// The face that draws `character`: the game's own when it has it, else a face fontconfig names
// for it (up to FONT_FALLBACK_FACES of them are opened), else the game's own, which then draws
// its box for a missing letter.
FT_Face ChooseFace(uint32_t character)
{
    // DEL and the C1 controls are no letters: the face draws its box, as it drew one for DEL.
    if (FT_Get_Char_Index(font.face, character) != 0 || (character >= 0x7F && character < 0xA0))
    {
        return font.face;
    }
    for (uint32_t i = 0; i < font.fallbackCount; ++i)
    {
        if (FT_Get_Char_Index(font.fallbackFaces[i], character) != 0)
        {
            return font.fallbackFaces[i];
        }
    }
    char path[FONT_PATH_SIZE];
    int faceIndex = 0;
    if (font.fallbackCount == FONT_FALLBACK_FACES ||
        !FindFontFile("sans:bold", character, 0, path, sizeof path, &faceIndex))
    {
        return font.face;
    }
    for (uint32_t i = 0; i < font.fallbackCount; ++i)
    {
        if (std::strcmp(font.fallbackPaths[i], path) == 0)
        {
            return font.face; // a face already asked, which lacks it too
        }
    }
    FT_Face face = OpenFace(path, faceIndex);
    if (face == nullptr)
    {
        return font.face;
    }
    if (FT_Get_Char_Index(face, character) == 0)
    {
        FT_Done_Face(face);
        return font.face;
    }
    font.fallbackFaces[font.fallbackCount] = face;
    std::snprintf(font.fallbackPaths[font.fallbackCount], FONT_PATH_SIZE, "%s", path);
    ++font.fallbackCount;
    return face;
}

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

// Compiles the glyph of `character` into `list`: empty when there is no face or FreeType fails.
// Light hinting keeps the dots of i and j apart from their stems at this small size, where the
// face's own monochrome hints run them together.
void MakeGlyph(GLuint list, uint32_t character)
{
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glNewList(list, GL_COMPILE);
    FT_Face face = font.face != nullptr ? ChooseFace(character) : nullptr;
    if (face != nullptr && FT_Load_Char(face, character, FT_LOAD_TARGET_LIGHT) == 0 &&
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0 &&
        face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
    {
        CompileGlyph(face->glyph);
    }
    glEndList();
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// The list of `character` (counted from font.listBase), made now if it is not yet; NO_GLYPH when
// the table is full.
uint32_t FindGlyph(uint32_t character)
{
    uint32_t slot = (character * 2654435761u) >> 21; // 11 bits: FONT_SLOT_COUNT slots
    static_assert(FONT_SLOT_COUNT == 1 << 11);
    while (font.slots[slot] != 0)
    {
        uint32_t glyph = font.slots[slot] - 1u;
        if (font.characters[glyph] == character)
        {
            return glyph;
        }
        slot = (slot + 1) & (FONT_SLOT_COUNT - 1);
    }
    if (font.glyphCount == FONT_GLYPH_CAPACITY)
    {
        return NO_GLYPH;
    }
    uint32_t glyph = font.glyphCount++;
    font.characters[glyph] = character;
    font.slots[slot] = static_cast<uint16_t>(glyph + 1);
    MakeGlyph(font.listBase + glyph, character);
    return glyph;
}

// The lists that draw the characters of UTF-8 `text`, counted from font.listBase: the controls
// below the space have none, and a byte that is not UTF-8 (a stray continuation byte, a sequence
// cut short, an overlong form, a surrogate, a character above U+10FFFF) is passed over alone,
// decoding going on after it. -1 when the table filled up before the text's end.
int FindGlyphs(const char* text, int length, GLuint* lists)
{
    if (font.decoder == nullptr)
    {
        return 0;
    }
    uint32_t characters[PRINT_TEXT_SIZE]; // a character takes one byte of UTF-8 at least
    char* in = const_cast<char*>(text);
    size_t inLeft = static_cast<size_t>(length);
    char* out = reinterpret_cast<char*>(characters);
    size_t outLeft = sizeof characters;
    iconv(font.decoder, nullptr, nullptr, nullptr, nullptr);
    while (iconv(font.decoder, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) &&
           (errno == EILSEQ || errno == EINVAL))
    {
        ++in;
        --inLeft;
    }
    int count = 0;
    for (const uint32_t* c = characters; c < reinterpret_cast<uint32_t*>(out); ++c)
    {
        // iconv lets a 4-byte form above U+10FFFF through; it is no character either.
        if (*c < 0x20 || *c > 0x10FFFF)
        {
            continue;
        }
        uint32_t glyph = FindGlyph(*c);
        if (glyph == NO_GLYPH)
        {
            return -1;
        }
        lists[count++] = glyph;
    }
    return count;
}

void EmptyGlyphTable()
{
    font.glyphCount = 0;
    std::memset(font.slots, 0, sizeof font.slots);
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

// Closes the faces and FreeType, and empties the record.
void CloseFaces()
{
    for (uint32_t i = 0; i < font.fallbackCount; ++i)
    {
        FT_Done_Face(font.fallbackFaces[i]);
    }
    if (font.face != nullptr)
    {
        FT_Done_Face(font.face);
    }
    if (font.library != nullptr)
    {
        FT_Done_FreeType(font.library);
    }
    if (font.decoder != nullptr)
    {
        iconv_close(font.decoder);
    }
    font = Font{};
}

} // namespace

bool BuildFont()
{
    int32_t height = font.pixelHeight;
    CloseFaces();
    font.pixelHeight = height > 0 ? height : FONT_PIXEL_HEIGHT;
    font.listBase = glGenLists(FONT_GLYPH_CAPACITY);
    // Characters as the host's 32-bit integers.
    bool little = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    iconv_t decoder = iconv_open(little ? "UCS-4LE" : "UCS-4BE", "UTF-8");
    font.decoder = decoder == reinterpret_cast<iconv_t>(-1) ? nullptr : decoder;
    char path[FONT_PATH_SIZE];
    int faceIndex = 0;
    // A bold sans face with the Baltic letters: z with caron (of "Užkraunami") and e with dot
    // above. The condensed cut keeps the game's labels inside their boxes, as the narrow face the
    // game was drawn for did.
    if (FindFontFile("DejaVu Sans:bold:condensed", 0x017E, 0x0117, path, sizeof path, &faceIndex) &&
        FT_Init_FreeType(&font.library) == 0)
    {
        font.face = OpenFace(path, faceIndex);
    }
    return true;
}

int32_t ChooseLetterHeight(int32_t pictureHeight, bool fixed)
{
    int32_t height =
        (FONT_PIXEL_HEIGHT * pictureHeight + FONT_PICTURE_HEIGHT / 2) / FONT_PICTURE_HEIGHT;
    // Hinted widths grow up to 2% faster than the size, and the longest line at 768 lines fills
    // 96% of its box: rounded up by more than 1%, it would run past the box.
    if (100 * height * FONT_PICTURE_HEIGHT > 101 * FONT_PIXEL_HEIGHT * pictureHeight)
    {
        --height;
    }
    return fixed || height < FONT_PIXEL_HEIGHT ? FONT_PIXEL_HEIGHT : height;
}

void SetLetterHeight(int32_t pixels)
{
    if (pixels == font.pixelHeight)
    {
        return;
    }
    font.pixelHeight = pixels;
    // A face that cannot take the size keeps its old one: its letters are still drawn.
    if (font.face != nullptr)
    {
        FT_Set_Pixel_Sizes(font.face, 0, static_cast<FT_UInt>(pixels));
    }
    for (uint32_t i = 0; i < font.fallbackCount; ++i)
    {
        FT_Set_Pixel_Sizes(font.fallbackFaces[i], 0, static_cast<FT_UInt>(pixels));
    }
    EmptyGlyphTable();
}

void DeleteFont()
{
    if (font.listBase != 0)
    {
        glDeleteLists(font.listBase, FONT_GLYPH_CAPACITY);
    }
    CloseFaces();
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
    GLuint lists[PRINT_TEXT_SIZE];
    int count = FindGlyphs(text, length, lists);
    if (count < 0)
    {
        // The table is full: it starts over, and this text, shorter than the table, fits whole.
        EmptyGlyphTable();
        ++font.resets;
        count = FindGlyphs(text, length, lists);
    }
    glPushAttrib(GL_LIST_BIT);
    glListBase(font.listBase);
    glCallLists(count, GL_UNSIGNED_INT, lists);
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
