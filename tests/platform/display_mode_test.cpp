#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <link.h>

#include "platform/platform.h"

namespace
{

int CountLoadedLibraries()
{
    int count = 0;
    auto countOne = [](dl_phdr_info*, size_t, void* counted)
    {
        ++*static_cast<int*>(counted);
        return 0;
    };
    dl_iterate_phdr(countOne, &count);
    return count;
}

} // namespace

// On the test's X server: its one mode has a 4-byte pixel and, under Xvfb, no known rate. The GL
// driver stays loaded when the window system closes, so that the leak checker can name its frames.
TEST(DisplayMode, TheDesktopsModeIsGrantedAndGivenBackBeforeTheWindowGoes)
{
    ASSERT_TRUE(RegisterWindowClass());
    SDL_DisplayMode desktop = {};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    int32_t rate = desktop.refresh_rate != 0 ? desktop.refresh_rate : 75;
    EXPECT_FALSE(ChangeDisplayMode(desktop.w - 1, desktop.h, 32, rate));
    EXPECT_FALSE(ChangeDisplayMode(desktop.w, desktop.h, 16, rate));
    ASSERT_TRUE(ChangeDisplayMode(desktop.w, desktop.h, 32, rate));
    ASSERT_EQ(CreateGameWindow("", desktop.w, desktop.h, true, 32, 24), WINDOW_CREATED);
    ASSERT_TRUE(CreateRenderingContext() && MakeRenderingContextCurrent());
    ShowGameWindow();
    int loaded = CountLoadedLibraries();
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN);
    EXPECT_TRUE(RestoreDisplayMode());
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_TRUE(ReleaseRenderingContext() && DeleteRenderingContext() && DestroyGameWindow());
    EXPECT_TRUE(UnregisterWindowClass());
    EXPECT_GE(CountLoadedLibraries(), loaded);
}
