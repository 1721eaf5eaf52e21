#include "present/text_output.h"

#include <GL/gl.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "present/gl_window.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"

namespace
{

constexpr int32_t WIDTH = 640;
constexpr int32_t HEIGHT = 480;

// The frame after a text is printed in white at (x, y) of the overlay view.
std::vector<uint8_t> Draw(const char* text, float x = -0.5f)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetOverlayView();
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2f(x, 0.0f);
    PrintText("%s", text);
    return ReadFramebuffer(WIDTH, HEIGHT);
}

int64_t CountLit(const char* text, float x = -0.5f)
{
    return std::ranges::count_if(Draw(text, x), [](uint8_t value) { return value > 0; });
}

} // namespace

TEST(TextFormat, FormatsLikePrintfAndCutsAt255Characters)
{
    char text[PRINT_TEXT_SIZE];
    EXPECT_EQ(FormatText(text, "Laikas: %4i", 7), 12);
    EXPECT_STREQ(text, "Laikas:    7");
    EXPECT_EQ(FormatText(text, "%s!", std::string(300, 'x').c_str()), 255);
    EXPECT_EQ(std::string(text), std::string(255, 'x'));
}

// The Baltic letters draw their own glyphs (the caron adds pixels to the z, and 254 is the last
// code with a list); bytes without a glyph draw and advance nothing; a text whose start lies
// outside the view draws nothing. Printing leaves depth testing on whatever it was before, but
// for no format at all; resizing sets the 4:3 viewport and the fixed 45-degree projection,
// leaving the model view current.
TEST(TextOutput, EachByteDrawsItsOwnGlyphOrNothingAndTheGlStateIsLeftAsItWas)
{
    ResetFakeSystem();
    ASSERT_TRUE(OpenTestWindow(WIDTH, HEIGHT));
    EXPECT_GT(CountLit("z"), 0);
    EXPECT_GT(CountLit("\xFE"), CountLit("z")); // z with caron in code page 1257
    EXPECT_GT(CountLit("\xEB"), 0);             // e with dot above
    EXPECT_EQ(Draw("A\x01\x1F\377B"), Draw("AB"));
    EXPECT_EQ(CountLit("Laikas", -6.0f), 0);

    glDisable(GL_DEPTH_TEST);
    PrintText("%d", 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_DEPTH_TEST);
    PrintText(nullptr);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));

    ResizeViewport(1920, 1080);
    std::vector<GLint> state(5);
    glGetIntegerv(GL_VIEWPORT, state.data());
    glGetIntegerv(GL_MATRIX_MODE, &state[4]);
    EXPECT_EQ(state, (std::vector<GLint>{240, 0, 1440, 1080, GL_MODELVIEW}));
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // The y scale is 1 / tan(22.5 degrees); x is that over 4/3.
    EXPECT_NEAR(projection[5], 2.4142136f, 1e-5f);
    EXPECT_NEAR(projection[0], 2.4142136f * 0.75f, 1e-5f);
    CloseTestWindow();
}
