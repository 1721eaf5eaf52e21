#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "resources/tga_image.h"
#include "tests/support/test_files.h"

namespace
{

// The committed data tree, where the game's atlases and lists live.
std::string DataPath(const std::string& relative)
{
    return SourcePath("data/" + relative);
}

// A committed atlas, loaded as the game loads it.
struct Atlas
{
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> pixels; // R, G, B (, A), bottom row first
};

Atlas LoadAtlas(const std::string& name)
{
    Atlas atlas;
    std::string path = DataPath("duomenys/" + name);
    TgaImage* image = LoadTga(path.c_str());
    if (image != nullptr && image->status == TGA_OK)
    {
        atlas.width = image->width;
        atlas.height = image->height;
        atlas.channels = image->bitsPerPixel / 8;
        atlas.pixels.assign(image->pixels, image->pixels + CountTgaPixelBytes(image));
    }
    FreeTgaImage(image);
    return atlas;
}

double Channel(const Atlas& atlas, int x, int y, int channel)
{
    return atlas.pixels[static_cast<size_t>((y * atlas.width + x) * atlas.channels + channel)];
}

double Alpha(const Atlas& atlas, int x, int y)
{
    return atlas.channels == 4 ? Channel(atlas, x, y, 3) : 255.0;
}

double Brightness(const Atlas& atlas, int x, int y)
{
    return (Channel(atlas, x, y, 0) + Channel(atlas, x, y, 1) + Channel(atlas, x, y, 2)) / 3.0;
}

// What GL's linear filter returns at (s, t): one colour channel, 0 .. 255.
double Sample(const Atlas& atlas, double s, double t, int channel)
{
    double fx = s * atlas.width - 0.5;
    double fy = t * atlas.height - 0.5;
    int x0 = static_cast<int>(std::floor(fx));
    int y0 = static_cast<int>(std::floor(fy));
    double ax = fx - x0;
    double ay = fy - y0;
    auto at = [&](int x, int y)
    {
        x = (x % atlas.width + atlas.width) % atlas.width;
        y = (y % atlas.height + atlas.height) % atlas.height;
        return Channel(atlas, x, y, channel);
    };
    double bottom = at(x0, y0) * (1 - ax) + at(x0 + 1, y0) * ax;
    double top = at(x0, y0 + 1) * (1 - ax) + at(x0 + 1, y0 + 1) * ax;
    return bottom * (1 - ay) + top * ay;
}

// The mean colour difference between two edges of a face that meet on neighbouring blocks:
// points (s0, t) and (s1, t) for t along [from, to] (or the same with s and t swapped).
double EdgeMismatch(const Atlas& atlas, double s0, double s1, double from, double to, bool alongT)
{
    double sum = 0.0;
    int count = 0;
    for (double k = from; k <= to; k += 0.002)
    {
        for (int channel = 0; channel < 3; ++channel)
        {
            double a = alongT ? Sample(atlas, s0, k, channel) : Sample(atlas, k, s0, channel);
            double b = alongT ? Sample(atlas, s1, k, channel) : Sample(atlas, k, s1, channel);
            sum += std::fabs(a - b);
            ++count;
        }
    }
    return sum / count;
}

double MeanBrightness(const Atlas& atlas, double s0, double s1, double t0, double t1)
{
    double sum = 0.0;
    int count = 0;
    for (int y = static_cast<int>(t0 * atlas.height); y < static_cast<int>(t1 * atlas.height); ++y)
    {
        for (int x = static_cast<int>(s0 * atlas.width); x < static_cast<int>(s1 * atlas.width);
             ++x)
        {
            sum += Brightness(atlas, x, y);
            ++count;
        }
    }
    return sum / count;
}

// Light, opaque pixels (label ink) in a box of pixel rows and columns.
int CountInk(const Atlas& atlas, int x0, int x1, int y0, int y1, double* meanX = nullptr)
{
    int count = 0;
    double sumX = 0.0;
    for (int y = y0; y <= y1; ++y)
    {
        for (int x = x0; x <= x1; ++x)
        {
            if (Alpha(atlas, x, y) > 230.0 && Brightness(atlas, x, y) > 180.0)
            {
                ++count;
                sumX += x;
            }
        }
    }
    if (meanX != nullptr)
    {
        *meanX = count > 0 ? sumX / count : -1.0;
    }
    return count;
}

// True when every pixel on the border of the box (inclusive pixel bounds) is fully transparent.
bool ClearBorder(const Atlas& atlas, int x0, int x1, int y0, int y1)
{
    for (int x = x0; x <= x1; ++x)
    {
        if (Alpha(atlas, x, y0) != 0.0 || Alpha(atlas, x, y1) != 0.0)
        {
            return false;
        }
    }
    for (int y = y0; y <= y1; ++y)
    {
        if (Alpha(atlas, x0, y) != 0.0 || Alpha(atlas, x1, y) != 0.0)
        {
            return false;
        }
    }
    return true;
}

std::vector<std::string> ListLines()
{
    std::string text = ReadTestFile(DataPath("duomenys/teksturos.txt"));
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

} // namespace

TEST(Assets, TheCommittedDataIsWhatTheMakerDraws)
{
    std::filesystem::remove_all("made");
    std::string command = BinaryPath("tools/assets/vortanai-assets") + " made";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    int compared = 0;
    bool listSeen = false;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("made"))
    {
        if (!entry.is_regular_file())
        {
            continue;
        }
        std::string relative = std::filesystem::relative(entry.path(), "made").generic_string();
        std::string made = ReadTestFile(entry.path().string());
        std::string committed = ReadTestFile(DataPath(relative));
        EXPECT_FALSE(committed.empty()) << relative << " is not committed under data/";
        EXPECT_TRUE(made == committed) << relative << " differs from the maker's output";
        listSeen = listSeen || relative == "duomenys/teksturos.txt";
        ++compared;
    }
    EXPECT_TRUE(listSeen);
    EXPECT_GE(compared, 10);
}

TEST(Assets, TheTextureListNamesNineLoadableAtlases)
{
    std::vector<std::string> lines = ListLines();
    ASSERT_EQ(lines.size(), 9u);
    for (size_t slot = 0; slot < lines.size(); ++slot)
    {
        const std::string& line = lines[slot];
        ASSERT_FALSE(line.empty()) << "no line break after the last line";
        ASSERT_LT(line.size(), 80u) << line;
        ASSERT_EQ(line.rfind("duomenys/", 0), 0u) << line;
        std::string header = ReadTestFile(DataPath(line)).substr(0, 18);
        ASSERT_EQ(header.size(), 18u) << line;
        EXPECT_EQ(header[0], 0) << line << ": ID length";
        EXPECT_EQ(header[1], 0) << line << ": colour-map type";
        EXPECT_EQ(header[2], 2) << line << ": uncompressed true colour";
        EXPECT_EQ(header[17] & 0x30, 0) << line << ": bottom-left origin";
        Atlas atlas = LoadAtlas(line.substr(9));
        ASSERT_GT(atlas.width, 0) << line;
        EXPECT_EQ(atlas.width & (atlas.width - 1), 0) << line;
        EXPECT_EQ(atlas.height & (atlas.height - 1), 0) << line;
        // The splash and menu pictures are laid over other pictures: they need alpha.
        EXPECT_EQ(atlas.channels, slot < 2 ? 4 : 3) << line;
    }
}

TEST(Assets, WallsBakeTheLightAndMeetTheirNeighboursWithoutASeam)
{
    for (int slot = 4; slot <= 8; ++slot)
    {
        std::string name = ListLines()[static_cast<size_t>(slot)].substr(9);
        Atlas wall = LoadAtlas(name);
        ASSERT_EQ(wall.width, 256) << name;
        double top = MeanBrightness(wall, 0.01, 0.49, 0.49, 0.99);
        double facingY = MeanBrightness(wall, 0.01, 0.49, 0.01, 0.49);
        double facingX = MeanBrightness(wall, 0.51, 0.99, 0.01, 0.49);
        EXPECT_GT(top, facingY * 1.1) << name;
        EXPECT_GT(facingY, facingX * 1.1) << name;
        // Top faces meet along X and along Y; the faces toward +-Y meet along X.
        EXPECT_LT(EdgeMismatch(wall, 0.01, 0.49, 0.5, 0.98, true), 3.0) << name;
        EXPECT_LT(EdgeMismatch(wall, 0.49, 0.99, 0.02, 0.48, false), 3.0) << name;
        EXPECT_LT(EdgeMismatch(wall, 0.01, 0.49, 0.02, 0.48, true), 3.0) << name;
    }
}

TEST(Assets, MenuLabelsLieWhereTheHighlightBarFalls)
{
    Atlas menu = LoadAtlas("meniu.tga");
    ASSERT_EQ(menu.width, 512);
    // The panel's top edge is row 384; item i is centred 128 + 42.67 i pixels below it, about
    // 164 pixels from the panel's left edge.
    for (int item = 0; item < 6; ++item)
    {
        int centre = static_cast<int>(384.0 - (128.0 + 42.667 * item));
        double inkX = 0.0;
        EXPECT_GT(CountInk(menu, 12, 246, centre - 6, centre + 6, &inkX), 40) << item;
        EXPECT_NEAR(inkX, 164.0, 12.0) << item;
        // Midway to the next item the panel is clear of lettering.
        EXPECT_EQ(CountInk(menu, 12, 246, centre - 21, centre - 20), 0) << item;
    }
    // The heading in the top 55 pixels stays in view while the panel is slid away.
    EXPECT_GT(CountInk(menu, 12, 246, 332, 378), 40);
    // Pictures that neighbour others or the atlas's wrapped edge are clear at their borders.
    EXPECT_TRUE(ClearBorder(menu, 0, 125, 387, 511));   // turning emblem
    EXPECT_TRUE(ClearBorder(menu, 128, 253, 387, 511)); // fixed emblem
    EXPECT_TRUE(ClearBorder(menu, 259, 506, 387, 506)); // highlight bar
    EXPECT_TRUE(ClearBorder(menu, 256, 511, 5, 127));   // help hint
    EXPECT_TRUE(ClearBorder(menu, 0, 255, 0, 383));     // panel
    EXPECT_GT(CountInk(menu, 262, 506, 12, 122), 200);  // "F1 - pagalba"
}

TEST(Assets, TheSplashTitleFloatsOnTransparencyAboveThePicture)
{
    Atlas splash = LoadAtlas("pradzia.tga");
    ASSERT_EQ(splash.width, 512);
    ASSERT_EQ(splash.height, 512);
    // t 0.78125 is row 400: the banner is rows 400 .. 511, the picture rows 0 .. 399.
    EXPECT_TRUE(ClearBorder(splash, 0, 511, 400, 511));
    EXPECT_TRUE(ClearBorder(splash, 0, 511, 0, 399));
    int banner = 0;
    int picture = 0;
    for (int y = 0; y < 512; ++y)
    {
        for (int x = 0; x < 512; ++x)
        {
            (y >= 400 ? banner : picture) += Alpha(splash, x, y) == 255.0 ? 1 : 0;
        }
    }
    EXPECT_GT(banner, 512 * 112 / 5);
    EXPECT_LT(banner, 512 * 112 * 3 / 4);
    EXPECT_GT(picture, 512 * 400 / 3);
}
