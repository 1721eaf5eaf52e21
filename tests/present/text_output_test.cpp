#include "present/text_output.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <string>

#include "present/gl_window.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"

namespace
{

constexpr int32_t WIDTH = 640;
constexpr int32_t HEIGHT = 480;

class TextOutput : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        ResetFakeSystem();
        ASSERT_TRUE(OpenTestWindow(WIDTH, HEIGHT));
    }

    static void TearDownTestSuite()
    {
        CloseTestWindow();
    }

    // The lit pixels of a text printed in white at (x, y) of the overlay view.
    static std::vector<uint8_t> Draw(const char* text, float x = -0.5f, float y = 0.0f)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SetOverlayView();
        glColor3f(1.0f, 1.0f, 1.0f);
        glRasterPos2f(x, y);
        PrintText("%s", text);
        return ReadFramebuffer(WIDTH, HEIGHT);
    }

    static int CountLit(const std::vector<uint8_t>& pixels)
    {
        int lit = 0;
        for (uint8_t value : pixels)
        {
            lit += value > 0 ? 1 : 0;
        }
        return lit;
    }
};

} // namespace

TEST(TextFormat, FormatsLikePrintfAndCutsAt255Characters)
{
    char text[PRINT_TEXT_SIZE];
    EXPECT_EQ(FormatText(text, "Laikas: %4i", 7), 12);
    EXPECT_STREQ(text, "Laikas:    7");
    std::string longText(300, 'x');
    EXPECT_EQ(FormatText(text, "%s!", longText.c_str()), 255);
    EXPECT_EQ(std::string(text), std::string(255, 'x'));
}

TEST_F(TextOutput, EveryCodeFrom32To254HasAList)
{
    for (int i = 0; i < FONT_CODE_COUNT; ++i)
    {
        ASSERT_TRUE(glIsList(fontListBase + static_cast<GLuint>(i))) << FONT_FIRST_CODE + i;
    }
    EXPECT_FALSE(glIsList(fontListBase + FONT_CODE_COUNT));
}

TEST_F(TextOutput, DrawsBalticLettersAsTheirOwnGlyphs)
{
    std::vector<uint8_t> plainZ = Draw("z");
    std::vector<uint8_t> zWithCaron = Draw("\xFE"); // z with caron in code page 1257
    EXPECT_GT(CountLit(plainZ), 0);
    EXPECT_GT(CountLit(zWithCaron), CountLit(plainZ)); // the caron adds pixels
    EXPECT_GT(CountLit(Draw("\xEB")), 0);              // e with dot above
}

TEST_F(TextOutput, BytesWithoutAGlyphDrawAndAdvanceNothing)
{
    EXPECT_EQ(Draw("A\x01\x1F\xFF"
                   "B"),
              Draw("AB"));
}

TEST_F(TextOutput, TextStartingOutsideTheViewDrawsNothing)
{
    EXPECT_EQ(CountLit(Draw("Laikas", -6.0f, 0.0f)), 0);
}

TEST_F(TextOutput, DepthTestingIsOnAfterPrintingWhateverItWasBefore)
{
    glDisable(GL_DEPTH_TEST);
    PrintText("%d", 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_DEPTH_TEST);
    PrintText(nullptr); // no format: nothing drawn, depth testing stays off
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    glEnable(GL_DEPTH_TEST);
}

TEST_F(TextOutput, ResizingSetsTheViewportAndTheFixedProjection)
{
    ResizeViewport(1920, 1080);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 240);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 1440);
    EXPECT_EQ(viewport[3], 1080);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // 45 degrees vertically: the y scale is 1 / tan(22.5 degrees); x is that over 4/3.
    EXPECT_NEAR(projection[5], 2.4142136f, 1e-5f);
    EXPECT_NEAR(projection[0], 2.4142136f * 0.75f, 1e-5f);
    ResizeViewport(WIDTH, HEIGHT);
}
