#include "resources/texture_list.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "maze/maze_render.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"

namespace
{

// A TGA file of one colour, stored as the file wants it: B, G, R (, A).
std::string MakeImage(int width, int height, int bits, uint8_t red, uint8_t green, uint8_t blue)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width);
    bytes[14] = static_cast<char>(height);
    bytes[16] = static_cast<char>(bits);
    for (int i = 0; i < width * height; ++i)
    {
        bytes.push_back(static_cast<char>(blue));
        bytes.push_back(static_cast<char>(green));
        bytes.push_back(static_cast<char>(red));
        if (bits == 32)
        {
            bytes.push_back(static_cast<char>(200));
        }
    }
    return bytes;
}

std::string ImagePath(int line)
{
    return "duomenys/vaizdas" + std::to_string(line) + ".tga";
}

// Images 0 .. count-1, image i being i+1 pixels wide and red i*20, and the list text naming them
// with CR LF between lines.
std::string MakeImages(int count)
{
    std::string list;
    for (int i = 0; i < count; ++i)
    {
        WriteTestFile(ImagePath(i), MakeImage(i + 1, 1, 24, static_cast<uint8_t>(i * 20), 5, 6));
        list += (i > 0 ? "\r\n" : "") + ImagePath(i);
    }
    return list;
}

struct TextureFacts
{
    int width;
    int height;
    int alphaBits;
    std::vector<uint8_t> rgba;
};

TextureFacts ReadTexture(uint32_t name)
{
    TextureFacts facts = {};
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &facts.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &facts.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &facts.alphaBits);
    facts.rgba.resize(static_cast<size_t>(facts.width * facts.height * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, facts.rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return facts;
}

bool IsPlaceholder(const TextureFacts& facts)
{
    return facts.width == PLACEHOLDER_SIDE && facts.height == PLACEHOLDER_SIDE &&
           facts.rgba[0] == 255 && facts.rgba[1] == 0 && facts.rgba[2] == 255;
}

class TextureList : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        ResetFakeSystem();
        ASSERT_TRUE(OpenTestWindow(64, 64));
    }

    static void TearDownTestSuite()
    {
        CloseTestWindow();
    }

    void SetUp() override
    {
        RemoveTestFile("duomenys/teksturos.txt");
    }

    void TearDown() override
    {
        glDeleteTextures(static_cast<GLsizei>(textureCount), textureIds);
        textureCount = 0;
    }
};

} // namespace

TEST_F(TextureList, NineLinesFillTheSlotsInLineOrder)
{
    WriteTestFile("duomenys/teksturos.txt", MakeImages(9));
    ASSERT_TRUE(LoadTextures());
    ASSERT_EQ(textureCount, 9u);
    for (int slot = 0; slot < 9; ++slot)
    {
        ASSERT_TRUE(glIsTexture(textureIds[slot])) << slot;
        TextureFacts facts = ReadTexture(textureIds[slot]);
        EXPECT_EQ(facts.width, slot + 1) << slot;
        EXPECT_EQ(facts.rgba[0], slot * 20) << slot;
    }
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(TextureList, AFailedImageKeepsItsSlotAndShowsThePlaceholder)
{
    MakeImages(4);
    WriteTestFile("duomenys/gylis16.tga", MakeImage(2, 2, 16, 1, 2, 3));
    WriteTestFile("duomenys/teksturos.txt", ImagePath(0) + "\r\n" + ImagePath(1) +
                                                "\r\nduomenys/nera.tga\r\n" + ImagePath(3) +
                                                "\r\nduomenys/gylis16.tga");
    ASSERT_TRUE(LoadTextures());
    ASSERT_EQ(textureCount, 5u);
    EXPECT_TRUE(IsPlaceholder(ReadTexture(textureIds[2])));
    EXPECT_EQ(ReadTexture(textureIds[3]).width, 4); // the fourth line
    EXPECT_TRUE(IsPlaceholder(ReadTexture(textureIds[4])));
    EXPECT_FALSE(IsPlaceholder(ReadTexture(textureIds[1])));
}

TEST_F(TextureList, ALongLineIsCutAt79CharactersAndGoesOnAsTheNextEntry)
{
    std::string longPath = "duomenys/" + std::string(66, 'a') + ".tga"; // 79 characters
    ASSERT_EQ(longPath.size(), 79u);
    WriteTestFile(longPath, MakeImage(3, 1, 24, 10, 0, 0));
    WriteTestFile("b.tga", MakeImage(5, 1, 24, 20, 0, 0));
    // 85 characters: the 80th is skipped and "b.tga" is the next entry.
    WriteTestFile("duomenys/teksturos.txt", longPath + "Xb.tga");
    ASSERT_TRUE(LoadTextures());
    ASSERT_EQ(textureCount, 2u);
    EXPECT_EQ(ReadTexture(textureIds[0]).width, 3);
    EXPECT_EQ(ReadTexture(textureIds[1]).width, 5);
}

TEST_F(TextureList, ListEndsAreReadSafely)
{
    // A line break behind the last entry takes no slot; LF alone reads like CR LF.
    WriteTestFile("duomenys/teksturos.txt", MakeImages(2) + "\r\n");
    ASSERT_TRUE(LoadTextures());
    EXPECT_EQ(textureCount, 2u);
    TearDown();

    WriteTestFile("duomenys/teksturos.txt", ImagePath(0) + "\n" + ImagePath(1) + "\n");
    ASSERT_TRUE(LoadTextures());
    EXPECT_EQ(textureCount, 2u);
    TearDown();

    // Lines after the ninth are not read: the table has nine slots.
    std::string list = MakeImages(11);
    WriteTestFile("duomenys/teksturos.txt", list);
    ASSERT_TRUE(LoadTextures());
    EXPECT_EQ(textureCount, 9u);
    EXPECT_EQ(ReadTexture(textureIds[8]).width, 9);
    TearDown();

    RemoveTestFile("duomenys/teksturos.txt");
    EXPECT_FALSE(LoadTextures());
    EXPECT_EQ(textureCount, 0u);
}

TEST_F(TextureList, TexturesKeepTheirDepthWithLinearFilterAndRepeat)
{
    WriteTestFile("duomenys/rgb.tga", MakeImage(2, 2, 24, 1, 2, 3));
    WriteTestFile("duomenys/rgba.tga", MakeImage(2, 2, 32, 1, 2, 3));
    WriteTestFile("duomenys/teksturos.txt", "duomenys/rgb.tga\r\nduomenys/rgba.tga");
    ASSERT_TRUE(LoadTextures());
    ASSERT_EQ(textureCount, 2u);
    TextureFacts rgb = ReadTexture(textureIds[0]);
    TextureFacts rgba = ReadTexture(textureIds[1]);
    EXPECT_EQ(rgb.alphaBits, 0);
    EXPECT_GT(rgba.alphaBits, 0);
    EXPECT_EQ(rgba.rgba,
              (std::vector<uint8_t>{1, 2, 3, 200, 1, 2, 3, 200, 1, 2, 3, 200, 1, 2, 3, 200}));
    for (int slot = 0; slot < 2; ++slot)
    {
        glBindTexture(GL_TEXTURE_2D, textureIds[slot]);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, GL_REPEAT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, GL_REPEAT);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(TextureList, OddWidthRowsAreUploadedPacked)
{
    // Three 24-bit pixels make a 9-byte row: read with 4-byte row alignment the second row
    // would start 3 bytes late and run past the buffer.
    std::string bytes = MakeImage(3, 2, 24, 0, 0, 0);
    for (int i = 0; i < 18; ++i)
    {
        bytes[18 + i] = static_cast<char>(i + 1);
    }
    WriteTestFile("duomenys/nelyginis.tga", bytes);
    WriteTestFile("duomenys/teksturos.txt", "duomenys/nelyginis.tga");
    ASSERT_TRUE(LoadTextures());
    TextureFacts facts = ReadTexture(textureIds[0]);
    ASSERT_EQ(facts.width, 3);
    ASSERT_EQ(facts.height, 2);
    for (int pixel = 0; pixel < 6; ++pixel)
    {
        // Stored B, G, R: red is the pixel's third byte.
        EXPECT_EQ(facts.rgba[pixel * 4], pixel * 3 + 3) << pixel;
        EXPECT_EQ(facts.rgba[pixel * 4 + 2], pixel * 3 + 1) << pixel;
    }
}

namespace
{

// The mean brightness of the 5 x 5 pixels around where a world point lands on screen.
double BrightnessAt(double x, double y, double z, const std::vector<uint8_t>& frame, int side)
{
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0, wy = 0, wz = 0;
    gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
    double sum = 0.0;
    for (int dy = -2; dy <= 2; ++dy)
    {
        for (int dx = -2; dx <= 2; ++dx)
        {
            size_t at = (static_cast<size_t>(wy + dy) * side + static_cast<size_t>(wx + dx)) * 3;
            sum += frame[at] + frame[at + 1] + frame[at + 2];
        }
    }
    return sum / 75.0;
}

} // namespace

TEST_F(TextureList, TheShippedWallsShowLitTopsAndDarkerSides)
{
    std::filesystem::copy(SourcePath("data/duomenys"), "duomenys",
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(LoadTextures());
    ASSERT_EQ(textureCount, 9u);
    for (int slot = 0; slot < 9; ++slot)
    {
        EXPECT_FALSE(IsPlaceholder(ReadTexture(textureIds[slot]))) << slot;
    }
    // One block seen from the front right and above: its top, its face toward -Y and its face
    // toward +X all show, and the baked light must make them read as a solid.
    for (int slot = TEX_MAZE_FIRST; slot <= TEX_MAZE_LAST; ++slot)
    {
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, 0.5, 50.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(2.2, -2.4, 2.6, 0.5, 0.5, 0.5, 0.0, 0.0, 1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textureIds[slot]);
        DrawWallBlock();
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        std::vector<uint8_t> frame = ReadFramebuffer(64, 64);
        double top = BrightnessAt(0.5, 0.5, 1.0, frame, 64);
        double front = BrightnessAt(0.5, 0.0, 0.5, frame, 64);
        double right = BrightnessAt(1.0, 0.5, 0.5, frame, 64);
        EXPECT_GT(top, front) << slot;
        EXPECT_GT(front, right) << slot;
        EXPECT_GT(right, 20.0) << slot; // lit by its texture, not the clear colour
    }
}
