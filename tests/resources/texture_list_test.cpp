#include "resources/texture_list.h"

#include <GL/gl.h>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"

namespace
{

// An uncompressed true-colour TGA file; the body (B, G, R (, A) per pixel) is padded to size.
std::string MakeImage(int width, int height, int bits, std::string body = "")
{
    std::string header(18, '\0');
    header[2] = 2;
    header[12] = static_cast<char>(width);
    header[14] = static_cast<char>(height);
    header[16] = static_cast<char>(bits);
    body.resize(static_cast<size_t>(width * height * bits / 8), '\x40');
    return header + body;
}

// A slot's texture as "width x height RGB(A) last pixel"; the last pixel shows a misread row.
std::string Describe(int slot)
{
    GLint width = 0, height = 0, alphaBits = 0;
    glBindTexture(GL_TEXTURE_2D, textureIds[slot]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    std::vector<uint8_t> rgba(static_cast<size_t>(width * height * 4) + 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data() + 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    const uint8_t* last = &rgba[rgba.size() - 4];
    char text[64];
    std::snprintf(text, sizeof text, "%dx%d %s %d,%d,%d,%d", width, height,
                  alphaBits > 0 ? "RGBA" : "RGB", last[0], last[1], last[2], last[3]);
    return text;
}

class TextureList : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(OpenTestWindow(64, 64));
    }

    static void TearDownTestSuite()
    {
        CloseTestWindow();
    }

    void TearDown() override
    {
        glDeleteTextures(static_cast<GLsizei>(textureCount), textureIds);
        textureCount = 0;
    }

    // Loads a list text into an empty texture table.
    bool LoadList(const std::string& list)
    {
        TearDown();
        WriteTestFile("duomenys/teksturos.txt", list);
        return LoadTextures();
    }
};

} // namespace

TEST_F(TextureList, LinesFillTheNineSlotsInOrderAndAFinalLineBreakTakesNone)
{
    // Image i is i + 1 pixels wide, so a slot's width tells which line made it.
    std::vector<std::string> lists; // the first 1, 2, ... 11 lines
    for (int i = 0; i < 11; ++i)
    {
        std::string path = "duomenys/vaizdas" + std::to_string(i) + ".tga";
        WriteTestFile(path, MakeImage(i + 1, 1, 24));
        lists.push_back((i > 0 ? lists.back() + "\r\n" : "") + path);
    }
    const std::pair<std::string, uint32_t> cases[] = {
        {lists[8], 9}, {lists[10], 9}, {lists[1] + "\r\n", 2}};
    for (const auto& [list, count] : cases)
    {
        ASSERT_TRUE(LoadList(list));
        ASSERT_EQ(textureCount, count) << list;
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
        for (int slot = 0; slot < static_cast<int>(count); ++slot)
        {
            EXPECT_EQ(Describe(slot), std::to_string(slot + 1) + "x1 RGB 64,64,64,255");
        }
    }
    RemoveTestFile("duomenys/teksturos.txt");
    EXPECT_FALSE(LoadTextures());
}

TEST_F(TextureList, An85CharacterLineIsCutAfter79AndGoesOnAsTheNextEntry)
{
    std::string longPath = "duomenys/" + std::string(66, 'a') + ".tga"; // 79 characters
    WriteTestFile(longPath, MakeImage(3, 1, 24));
    WriteTestFile("b.tga", MakeImage(5, 1, 24));
    // The 80th character is skipped and "b.tga" is the next entry.
    ASSERT_TRUE(LoadList(longPath + "Xb.tga"));
    ASSERT_EQ(textureCount, 2u);
    EXPECT_EQ(Describe(0), "3x1 RGB 64,64,64,255");
    EXPECT_EQ(Describe(1), "5x1 RGB 64,64,64,255");
}

TEST_F(TextureList, EachImageKeepsItsDepthAndAnImageThatCannotBeUsedShowsThePlaceholder)
{
    // Three 24-bit pixels make a 9-byte row, which 4-byte row alignment would misread.
    WriteTestFile("duomenys/rgb.tga",
                  MakeImage(3, 2, 24, std::string(15, '\x40') + "\x10\x11\x12"));
    WriteTestFile("duomenys/rgba.tga", MakeImage(1, 1, 32, "\x01\x02\x03\xC8"));
    WriteTestFile("duomenys/gylis16.tga", MakeImage(2, 2, 16));
    // A line that begins with NUL names no file: it takes its slot like a missing one.
    ASSERT_TRUE(LoadList(std::string("duomenys/nera.tga\r\nduomenys/rgb.tga\r\nduomenys/"
                                     "gylis16.tga\r\n") +
                         '\0' + "duomenys/rgb.tga\r\nduomenys/rgba.tga"));
    const char* placeholder = "8x8 RGB 255,0,255,255";
    const std::string slots[] = {placeholder, "3x2 RGB 18,17,16,255", placeholder, placeholder,
                                 "1x1 RGBA 3,2,1,200"};
    ASSERT_EQ(textureCount, 5u);
    for (int slot = 0; slot < 5; ++slot)
    {
        EXPECT_EQ(Describe(slot), slots[slot]) << slot;
    }
    // Without mipmaps only a filter that uses none makes the texture complete.
    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, textureIds[1]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}
