// Text in the game's bitmap font, and the overlay view in which flat boxes and text are placed.
#pragma once

#include <cstdint>

// The first of the 223 display lists that draw codes 32..254; set by BuildFont.
extern uint32_t fontListBase;

constexpr int FONT_FIRST_CODE = 32;
constexpr int FONT_CODE_COUNT = 223;
// The longest text one PrintText call draws; longer texts are cut.
constexpr int PRINT_TEXT_SIZE = 256;

// Builds one glBitmap display list per code page 1257 code 32..254: a bold sans face at a
// character height of 12 pixels. Always true.
bool BuildFont();
void DeleteFont();
// Formats printf-style and draws the text at the current raster position, depth testing off
// meanwhile; depth testing is on when it returns.
void PrintText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The formatting half of PrintText: the text it would draw, cut to 255 characters.
int FormatText(char* text, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The overlay view: the plane z = 0 seen with the origin at the middle of the viewport, x to the
// right and y up, reaching x = +-5.5228 and y = +-4.1421.
void SetOverlayView();
// A counter-clockwise quad from (x0, y0) to (x1, y1) in the plane z = 0.
void DrawBox(float x0, float y0, float x1, float y1);
