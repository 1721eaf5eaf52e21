// Pictures in the making: float RGBA pixels (straight alpha), row 0 at the bottom as OpenGL and
// TGA files keep them, and the few ways the atlases are painted and saved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba
{
    double r, g, b, a;
};

struct Canvas
{
    int width;
    int height;
    std::vector<Rgba> pixels; // row after row, bottom row first
};

// A coverage mask (0 .. 1), laid out like a canvas.
struct Mask
{
    int width;
    int height;
    std::vector<double> values;
};

Canvas MakeCanvas(int width, int height, Rgba fill);
Mask MakeMask(int width, int height);
Rgba& PixelAt(Canvas& canvas, int x, int y);
double& MaskAt(Mask& mask, int x, int y);
double MaskValue(const Mask& mask, int x, int y); // 0 outside the mask

double Clamp01(double value);
double Mix(double a, double b, double amount);
Rgba MixColour(Rgba a, Rgba b, double amount);
Rgba Scale(Rgba colour, double factor); // the colour darker or lighter, alpha kept
// 0 below `low`, 1 above `high`, a smooth S between.
double SmoothStep(double low, double high, double value);

// `source` laid over the pixel with its alpha times `coverage`.
void BlendPixel(Canvas& canvas, int x, int y, Rgba source, double coverage);
// Lays a colour over the canvas through a mask placed with its pixel (0, 0) at (x, y).
void PaintMask(Canvas& canvas, const Mask& mask, int x, int y, Rgba colour);
// The same with a colour chosen per canvas pixel.
template <typename Shade>
void PaintMaskShaded(Canvas& canvas, const Mask& mask, int x, int y, Shade shade)
{
    for (int my = 0; my < mask.height; ++my)
    {
        for (int mx = 0; mx < mask.width; ++mx)
        {
            double coverage = mask.values[static_cast<size_t>(my * mask.width + mx)];
            if (coverage > 0.0)
            {
                BlendPixel(canvas, x + mx, y + my, shade(x + mx, y + my), coverage);
            }
        }
    }
}

// The mask grown by an ellipse of radii rx, ry, with a soft rim: outlines and shadows of text.
Mask GrowMask(const Mask& mask, double rx, double ry);
// Copies `source` into `target` with its pixel (0, 0) at (x, y).
void CopyCanvas(Canvas& target, const Canvas& source, int x, int y);
// Bilinear sample at texture coordinates (s, t), wrapping like GL_REPEAT.
Rgba SampleCanvas(const Canvas& canvas, double s, double t);

// An uncompressed true-colour TGA: ID length 0, no colour map, bottom-left origin, 24 bits
// (alpha dropped) or 32 bits.
bool WriteTga(const Canvas& canvas, const std::string& path, bool withAlpha);
