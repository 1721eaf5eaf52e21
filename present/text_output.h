// Text in the game's bitmap font, and the overlay view in which flat boxes and text are placed.
#pragma once

#include <cstdint>
#include <iconv.h>

struct FT_LibraryRec_;
struct FT_FaceRec_;

// The most different characters the font holds at once, and the faces it may borrow letters
// from: a language's letters, digits and signs are a few hundred at most.
constexpr int FONT_GLYPH_CAPACITY = 1024;
constexpr int FONT_SLOT_COUNT = 2 * FONT_GLYPH_CAPACITY; // a power of two
constexpr int FONT_FALLBACK_FACES = 4;
constexpr int FONT_PATH_SIZE = 512;
// The longest text one PrintText call draws, in bytes of UTF-8; longer texts are cut.
constexpr int PRINT_TEXT_SIZE = 256;

// The letters' height at the game's own 1024 x 768, and the picture height it belongs to.
constexpr int32_t FONT_PIXEL_HEIGHT = 12;
constexpr int32_t FONT_PICTURE_HEIGHT = 768;

// The game's bitmap font: a bold sans face at a character height of pixelHeight, one glBitmap
// display list per character, made from the face when a text first needs it. BuildFont fills the
// record afresh for each GL context, keeping the height SetLetterHeight last chose, and
// DeleteFont empties it (tests need no other reset). When
// the table is full and a text needs one more character, the table starts over: every glyph is
// dropped (to be made again on its next use) and the text is drawn with glyphs made anew, so a
// text always draws whole (it has fewer characters than the table holds).
struct Font
{
    FT_LibraryRec_* library;
    FT_FaceRec_* face; // the face fontconfig picks; null when there is none (texts draw nothing)
    // Faces that lend a letter the face lacks, and their files, opened as such letters come.
    FT_FaceRec_* fallbackFaces[FONT_FALLBACK_FACES];
    char fallbackPaths[FONT_FALLBACK_FACES][FONT_PATH_SIZE];
    uint32_t fallbackCount;
    iconv_t decoder;     // iconv's UTF-8 to UCS-4; null where it cannot be had (texts draw nothing)
    uint32_t listBase;   // the first of FONT_GLYPH_CAPACITY display lists
    uint32_t glyphCount; // lists made since the table was last emptied
    uint32_t characters[FONT_GLYPH_CAPACITY]; // the Unicode character of each list made
    uint16_t slots[FONT_SLOT_COUNT];          // open hashing of characters: 1 + list, 0 free
    uint32_t resets;                          // the times the table was full and started over
    int32_t pixelHeight; // the letters' character height; 0 before the first BuildFont
};

extern Font font;

// Opens the face and reserves the lists; makes no glyph yet. Always true: without a face, texts
// draw nothing.
bool BuildFont();
void DeleteFont();
// The letters' height for a 4:3 picture `pictureHeight` lines high: 12 pixels for every 768
// lines, rounded, but never more than 1% up (so that every line fits its box as at 768 lines),
// and never below 12; 12 at every size when `fixed`.
int32_t ChooseLetterHeight(int32_t pictureHeight, bool fixed);
// The faces rasterise at `pixels` from now on (and BuildFont opens them so). A new height empties
// the glyph table, so every glyph is made again at its next use: the letters stay sharp rather
// than being bitmaps scaled after the fact.
void SetLetterHeight(int32_t pixels);
// Formats printf-style and draws the UTF-8 text at the current raster position, depth testing off
// meanwhile; depth testing is on when it returns. Each character draws its glyph: from the face,
// else from a face that has it, else the face's box for a missing letter (DEL and the C1
// controls draw that box too, as DEL did in code page 1257). The controls below the space and the
// bytes of malformed UTF-8 (a stray continuation byte, a sequence cut short, an overlong form, a
// surrogate, a character above U+10FFFF) draw nothing and advance nothing; decoding goes on at
// the next byte.
void PrintText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The formatting half of PrintText: the text it would draw, cut to 255 bytes.
int FormatText(char* text, const char* format, ...) __attribute__((format(printf, 2, 3)));
// How far the overlay view reaches from the middle of the 4:3 viewport to its sides and to its top
// and bottom: 10 units away at the 45-degree field of view.
constexpr float OVERLAY_HALF_WIDTH = 5.5228f;
constexpr float OVERLAY_HALF_HEIGHT = 4.1421f;
// The overlay view: the plane z = 0 seen with the origin at the middle of the viewport, x to the
// right and y up, reaching x = +-OVERLAY_HALF_WIDTH and y = +-OVERLAY_HALF_HEIGHT.
void SetOverlayView();
// A counter-clockwise quad from (x0, y0) to (x1, y1) in the plane z = 0.
void DrawBox(float x0, float y0, float x1, float y1);
