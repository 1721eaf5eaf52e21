#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "flow/game_state.h"
#include "flow/preferences.h"
#include "platform/platform.h"
#include "present/gl_window.h"
#include "present/text_output.h"
#include "tests/support/game_harness.h"
#include "tests/support/gl_fixture.h"

// A centred 4:3 picture with bars at the sides or above and below; a window under 10 pixels high
// counts as 10 high, and every height that is a multiple of 3 gives exactly four thirds of it. The
// letters are 12 pixels for every 768 lines of the picture, rounded (but not up by more than 1%),
// never fewer than 12, and 12 when fixed.
TEST(Viewport, KeepsACentredFourToThreePictureWithBarsAndLettersForItsHeight)
{
    const int32_t cases[][7] = {
        {1024, 768, 0, 0, 1024, 768, 12},
        {1280, 1024, 0, 32, 1280, 960, 15},
        {1920, 1080, 240, 0, 1440, 1080, 17},
        {1366, 768, 171, 0, 1024, 768, 12},
        {3840, 2160, 480, 0, 2880, 2160, 34},
        {1080, 1920, 0, 555, 1080, 810, 12}, // 12.66 up to 13 is 2.7% more
        {1152, 864, 0, 0, 1152, 864, 13},    // 13.5
        {1600, 1200, 0, 0, 1600, 1200, 18},  // 18.75
        {800, 5, 393, -2, 13, 10, 12},
        {5, 5, 0, 1, 5, 3, 12},
        {0, 0, 0, 0, 0, 0, 12},
    };
    for (const auto& c : cases)
    {
        ViewportBox box = ComputeViewport(c[0], c[1]);
        EXPECT_EQ(std::tuple(box.x, box.y, box.width, box.height,
                             ChooseLetterHeight(box.height, false),
                             ChooseLetterHeight(box.height, true)),
                  std::tuple(c[2], c[3], c[4], c[5], c[6], 12))
            << c[0] << " x " << c[1];
    }
    for (int32_t height = 12; height <= 2400; height += 3)
    {
        ViewportBox box = ComputeViewport(4 * height, height);
        ASSERT_EQ(std::pair(box.width, box.height), std::pair(height / 3 * 4, height));
    }
}

// The menu's maze played, nearer than it starts, under the help box and the HUD in a 16:9 window:
// with the wide screen preferred the maze reaches the columns beside the 4:3 picture, which stay
// black without it, and the picture itself, the flat pictures over the maze included, is the same
// either way (the same vertical field of view shows the same middle).
TEST(Viewport, AWideSceneFillsTheWindowWhileTheFlatPicturesKeepTheFourToThreeArea)
{
    constexpr int32_t WIDTH = 960, HEIGHT = 540, BAR = 120; // the picture is 720 x 540
    std::vector<uint8_t> frames[2];
    for (bool wide : {false, true})
    {
        ASSERT_TRUE(StartHarnessGame(WIDTH, HEIGHT));
        preferences.widescreen = wide;
        RunPass(); // the splash
        TapKey(VK_RETURN);
        for (int32_t i = 0; i < 3 && gameState.screenState != STATE_PLAYING; ++i)
        {
            TapKey(VK_ESCAPE);
            RunPass();
        }
        ASSERT_EQ(gameState.screenState, STATE_PLAYING);
        gameState.cameraDistance = 45.0f;
        TapKey(VK_F1);
        gameState.drawRoutine();
        frames[wide] = ReadFramebuffer(WIDTH, HEIGHT);
        StopHarnessGame();
    }
    preferences = Preferences{};
    int64_t barsLit[2] = {}, pictureDiffers = 0;
    for (size_t i = 0; i < frames[0].size(); ++i)
    {
        auto column = static_cast<int32_t>(i / 3 % WIDTH);
        bool bar = column < BAR || column >= WIDTH - BAR;
        barsLit[0] += bar && frames[0][i] > 0;
        barsLit[1] += bar && frames[1][i] > 0;
        pictureDiffers += !bar && std::abs(frames[0][i] - frames[1][i]) > 25;
    }
    EXPECT_EQ(barsLit[0], 0);
    EXPECT_GT(barsLit[1], 2 * BAR * HEIGHT / 10); // the walls and the floor between them
    EXPECT_LE(pictureDiffers, 720 * HEIGHT / 1000);
}
