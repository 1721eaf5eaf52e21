#include <gtest/gtest.h>

#include "present/gl_window.h"

namespace
{

void ExpectViewport(int32_t width, int32_t height, ViewportBox expected)
{
    ViewportBox box = ComputeViewport(width, height);
    EXPECT_EQ(box.x, expected.x) << width << " x " << height;
    EXPECT_EQ(box.y, expected.y) << width << " x " << height;
    EXPECT_EQ(box.width, expected.width) << width << " x " << height;
    EXPECT_EQ(box.height, expected.height) << width << " x " << height;
}

} // namespace

TEST(Viewport, KeepsACentredFourToThreePictureWithBars)
{
    ExpectViewport(1024, 768, {0, 0, 1024, 768});
    ExpectViewport(1280, 1024, {0, 32, 1280, 960});
    ExpectViewport(1920, 1080, {240, 0, 1440, 1080});
    ExpectViewport(1366, 768, {171, 0, 1024, 768});
}

TEST(Viewport, TinyAndMinimisedWindows)
{
    ExpectViewport(800, 5, {393, -2, 13, 10}); // counts as 10 high
    ExpectViewport(5, 5, {0, 1, 5, 3});
    ExpectViewport(0, 0, {0, 0, 0, 0});
}

TEST(Viewport, EveryHeightThatIsAMultipleOfThreeGivesExactlyFourThirds)
{
    for (int32_t height = 12; height <= 2400; height += 3)
    {
        ViewportBox box = ComputeViewport(4 * height, height);
        ASSERT_EQ(box.width, height / 3 * 4) << height;
        ASSERT_EQ(box.height, height);
    }
}
