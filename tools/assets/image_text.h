// Lettering for the atlases: a bold sans face found through fontconfig (DejaVu Sans Bold),
// drawn by FreeType into coverage masks. Texts are UTF-8.
#pragma once

#include "tools/assets/image_canvas.h"

// A rendered line of text. Mask coordinates run from the bottom left; the ink box is where
// coverage is not zero, `baseline` the row the letters stand on.
struct TextMask
{
    Mask mask;
    int baseline;
    int inkLeft, inkRight, inkBottom, inkTop; // inclusive pixel bounds
};

bool OpenAtlasFont();
void CloseAtlasFont();
// Renders `text` with an em of emX by emY pixels (unequal when the atlas is stretched on screen),
// `spacing` extra pixels between letters and `padding` empty pixels all round.
TextMask RenderText(const char* text, double emX, double emY, double spacing, int padding);
// The height of a capital letter at this em height, in pixels.
double CapHeight(double emX, double emY);
// The text mirrored left to right (a sign read from its back).
TextMask MirrorText(const TextMask& text);
