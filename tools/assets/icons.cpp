#include "tools/assets/assets.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <png.h>
#include <string>
#include <vector>

#include "tools/assets/image_atlases.h"

namespace
{

constexpr int ICON_SIZES[4] = {48, 64, 128, 256};
constexpr int SUBSAMPLES = 4; // per side of a pixel: smooth edges at every size

// The icon at (u, v) in 0 .. 1 (v up): a rounded tile of the first wall theme's top, and on it
// the player's pyramid seen from above, with a soft shadow toward the lower right.
Rgba ShadeIcon(const Canvas& wall, const Canvas& marker, double u, double v)
{
    const double margin = 0.04, radius = 0.16;
    double dx = std::fmax(std::fabs(u - 0.5) - (0.5 - margin - radius), 0.0);
    double dy = std::fmax(std::fabs(v - 0.5) - (0.5 - margin - radius), 0.0);
    if (std::hypot(dx, dy) > radius)
    {
        return {0.0, 0.0, 0.0, 0.0};
    }
    // The wall atlas's top face is its top-left quadrant; two blocks of it across the tile.
    Rgba colour =
        SampleCanvas(wall, std::fmod(u * 2.0, 1.0) * 0.5, 0.5 + std::fmod(v * 2.0, 1.0) * 0.5);
    colour.a = 1.0;
    const double low = 0.2, high = 0.8;
    double sx = u - 0.04, sy = v + 0.04;
    double shadowDistance =
        std::fmax(std::fmax(low - sx, sx - high), std::fmax(low - sy, sy - high));
    colour = Scale(colour, 1.0 - 0.55 * (1.0 - SmoothStep(0.0, 0.05, shadowDistance)));
    if (u >= low && u < high && v >= low && v < high)
    {
        colour = SampleCanvas(marker, (u - low) / (high - low), (v - low) / (high - low));
        colour.a = 1.0;
    }
    return colour;
}

Canvas DrawIcon(const Canvas& wall, const Canvas& marker, int size)
{
    Canvas icon = MakeCanvas(size, size, {0.0, 0.0, 0.0, 0.0});
    for (int y = 0; y < size; ++y)
    {
        for (int x = 0; x < size; ++x)
        {
            // Colours summed weighted by alpha, so the transparent corners darken no edge.
            Rgba sum = {0.0, 0.0, 0.0, 0.0};
            for (int j = 0; j < SUBSAMPLES; ++j)
            {
                for (int i = 0; i < SUBSAMPLES; ++i)
                {
                    Rgba c = ShadeIcon(wall, marker, (x + (i + 0.5) / SUBSAMPLES) / size,
                                       (y + (j + 0.5) / SUBSAMPLES) / size);
                    sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
                }
            }
            Rgba& pixel = PixelAt(icon, x, y);
            if (sum.a > 0.0)
            {
                pixel = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a,
                         sum.a / (SUBSAMPLES * SUBSAMPLES)};
            }
        }
    }
    return icon;
}

// An 8-bit RGBA PNG, top row first as PNG keeps it.
bool WritePng(const Canvas& canvas, const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> bytes(static_cast<size_t>(canvas.width * canvas.height * 4));
    std::vector<png_bytep> rows(static_cast<size_t>(canvas.height));
    for (int y = 0; y < canvas.height; ++y)
    {
        rows[static_cast<size_t>(y)] = &bytes[static_cast<size_t>(y * canvas.width * 4)];
    }
    for (int y = 0; y < canvas.height; ++y)
    {
        png_bytep row = rows[static_cast<size_t>(canvas.height - 1 - y)];
        for (int x = 0; x < canvas.width; ++x)
        {
            const Rgba& p = canvas.pixels[static_cast<size_t>(y * canvas.width + x)];
            const double channels[4] = {p.r, p.g, p.b, p.a};
            for (int c = 0; c < 4; ++c)
            {
                row[x * 4 + c] = static_cast<png_byte>(std::lround(Clamp01(channels[c]) * 255.0));
            }
        }
    }
    bool done = info != nullptr && setjmp(png_jmpbuf(png)) == 0;
    if (done)
    {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.width),
                     static_cast<png_uint_32>(canvas.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && done;
}

} // namespace

bool MakeIcons(const char* iconDir)
{
    Canvas wall = MakeWallAtlas(0);
    Canvas marker = MakePlayerMarkerAtlas();
    bool done = true;
    for (int size : ICON_SIZES)
    {
        std::string folder = std::string(iconDir) + "/" + std::to_string(size) + "x" +
                             std::to_string(size) + "/apps/";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        std::string path = folder + "vortanai.png";
        if (!WritePng(DrawIcon(wall, marker, size), path))
        {
            std::fprintf(stderr, "vortanai-assets: cannot write %s\n", path.c_str());
            done = false;
        }
    }
    return done;
}
