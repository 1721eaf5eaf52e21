#include "tools/assets/image_canvas.h"

#include <cmath>
#include <cstdio>

Canvas MakeCanvas(int width, int height, Rgba fill)
{
    return Canvas{width, height, std::vector<Rgba>(static_cast<size_t>(width * height), fill)};
}

Mask MakeMask(int width, int height)
{
    return Mask{width, height, std::vector<double>(static_cast<size_t>(width * height), 0.0)};
}

Rgba& PixelAt(Canvas& canvas, int x, int y)
{
    return canvas.pixels[static_cast<size_t>(y * canvas.width + x)];
}

double& MaskAt(Mask& mask, int x, int y)
{
    return mask.values[static_cast<size_t>(y * mask.width + x)];
}

double MaskValue(const Mask& mask, int x, int y)
{
    if (x < 0 || y < 0 || x >= mask.width || y >= mask.height)
    {
        return 0.0;
    }
    return mask.values[static_cast<size_t>(y * mask.width + x)];
}

double Clamp01(double value)
{
    return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

double Mix(double a, double b, double amount)
{
    return a + (b - a) * amount;
}

Rgba MixColour(Rgba a, Rgba b, double amount)
{
    return {Mix(a.r, b.r, amount), Mix(a.g, b.g, amount), Mix(a.b, b.b, amount),
            Mix(a.a, b.a, amount)};
}

Rgba Scale(Rgba colour, double factor)
{
    return {colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
}

double SmoothStep(double low, double high, double value)
{
    double x = Clamp01((value - low) / (high - low));
    return x * x * (3.0 - 2.0 * x);
}

void BlendPixel(Canvas& canvas, int x, int y, Rgba source, double coverage)
{
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height)
    {
        return;
    }
    Rgba& target = PixelAt(canvas, x, y);
    double alpha = Clamp01(source.a * coverage);
    double kept = target.a * (1.0 - alpha);
    double outAlpha = alpha + kept;
    if (outAlpha <= 0.0)
    {
        return;
    }
    target.r = (source.r * alpha + target.r * kept) / outAlpha;
    target.g = (source.g * alpha + target.g * kept) / outAlpha;
    target.b = (source.b * alpha + target.b * kept) / outAlpha;
    target.a = outAlpha;
}

void PaintMask(Canvas& canvas, const Mask& mask, int x, int y, Rgba colour)
{
    PaintMaskShaded(canvas, mask, x, y, [colour](int, int) { return colour; });
}

Mask GrowMask(const Mask& mask, double rx, double ry)
{
    Mask grown = MakeMask(mask.width, mask.height);
    int reachX = static_cast<int>(std::ceil(rx)) + 1;
    int reachY = static_cast<int>(std::ceil(ry)) + 1;
    for (int y = 0; y < mask.height; ++y)
    {
        for (int x = 0; x < mask.width; ++x)
        {
            double best = 0.0;
            for (int dy = -reachY; dy <= reachY; ++dy)
            {
                for (int dx = -reachX; dx <= reachX; ++dx)
                {
                    double value = MaskValue(mask, x + dx, y + dy);
                    if (value <= best)
                    {
                        continue;
                    }
                    // Distance in units of the radius; the last pixel of the rim fades out.
                    double nx = dx / rx;
                    double ny = dy / ry;
                    double distance = std::sqrt(nx * nx + ny * ny);
                    double pixels = (distance - 1.0) * (rx < ry ? rx : ry);
                    double weight = Clamp01(1.0 - pixels);
                    if (value * weight > best)
                    {
                        best = value * weight;
                    }
                }
            }
            MaskAt(grown, x, y) = best;
        }
    }
    return grown;
}

void CopyCanvas(Canvas& target, const Canvas& source, int x, int y)
{
    for (int sy = 0; sy < source.height; ++sy)
    {
        for (int sx = 0; sx < source.width; ++sx)
        {
            int tx = x + sx;
            int ty = y + sy;
            if (tx >= 0 && ty >= 0 && tx < target.width && ty < target.height)
            {
                PixelAt(target, tx, ty) =
                    source.pixels[static_cast<size_t>(sy * source.width + sx)];
            }
        }
    }
}

Rgba SampleCanvas(const Canvas& canvas, double s, double t)
{
    double fx = s * canvas.width - 0.5;
    double fy = t * canvas.height - 0.5;
    double x0 = std::floor(fx);
    double y0 = std::floor(fy);
    double ax = fx - x0;
    double ay = fy - y0;
    auto at = [&canvas](double x, double y)
    {
        int ix = static_cast<int>(x) % canvas.width;
        int iy = static_cast<int>(y) % canvas.height;
        ix = ix < 0 ? ix + canvas.width : ix;
        iy = iy < 0 ? iy + canvas.height : iy;
        return canvas.pixels[static_cast<size_t>(iy * canvas.width + ix)];
    };
    Rgba bottom = MixColour(at(x0, y0), at(x0 + 1.0, y0), ax);
    Rgba top = MixColour(at(x0, y0 + 1.0), at(x0 + 1.0, y0 + 1.0), ax);
    return MixColour(bottom, top, ay);
}

namespace
{

uint8_t ToByte(double value)
{
    return static_cast<uint8_t>(Clamp01(value) * 255.0 + 0.5);
}

} // namespace

bool WriteTga(const Canvas& canvas, const std::string& path, bool withAlpha)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    uint8_t header[18] = {};
    header[2] = 2; // uncompressed true colour
    header[12] = static_cast<uint8_t>(canvas.width & 0xFF);
    header[13] = static_cast<uint8_t>(canvas.width >> 8);
    header[14] = static_cast<uint8_t>(canvas.height & 0xFF);
    header[15] = static_cast<uint8_t>(canvas.height >> 8);
    header[16] = withAlpha ? 32 : 24;
    header[17] = withAlpha ? 8 : 0; // alpha bits; origin bottom left
    std::vector<uint8_t> bytes(header, header + sizeof header);
    for (const Rgba& pixel : canvas.pixels)
    {
        bytes.push_back(ToByte(pixel.b));
        bytes.push_back(ToByte(pixel.g));
        bytes.push_back(ToByte(pixel.r));
        if (withAlpha)
        {
            bytes.push_back(ToByte(pixel.a));
        }
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
