#include <gtest/gtest.h>
#include <tuple>

#include "present/gl_window.h"

// A centred 4:3 picture with bars at the sides or above and below; a window under 10 pixels high
// counts as 10 high, and every height that is a multiple of 3 gives exactly four thirds of it.
TEST(Viewport, KeepsACentredFourToThreePictureWithBars)
{
    const int32_t cases[][6] = {
        {1024, 768, 0, 0, 1024, 768},
        {1280, 1024, 0, 32, 1280, 960},
        {1920, 1080, 240, 0, 1440, 1080},
        {1366, 768, 171, 0, 1024, 768},
        {800, 5, 393, -2, 13, 10},
        {5, 5, 0, 1, 5, 3},
        {0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases)
    {
        ViewportBox box = ComputeViewport(c[0], c[1]);
        EXPECT_EQ(std::tuple(box.x, box.y, box.width, box.height),
                  std::tuple(c[2], c[3], c[4], c[5]))
            << c[0] << " x " << c[1];
    }
    for (int32_t height = 12; height <= 2400; height += 3)
    {
        ViewportBox box = ComputeViewport(4 * height, height);
        ASSERT_EQ(std::pair(box.width, box.height), std::pair(height / 3 * 4, height));
    }
}
