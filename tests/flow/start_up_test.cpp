#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "flow/main_loop.h"
#include "present/gl_window.h"
#include "present/settings.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

// The program from start to end: every way start-up can fail says so in its boxes and ends with
// zero, and whatever was made is torn down again. The display has no 1000 x 700 mode, and its
// desktop is 1920 x 1080, which --fullscreen without --size takes as it is, asking nothing.
TEST(StartUp, EveryFailureIsToldAndTheProgramEndsWithZeroAndTearsDown)
{
    struct Case
    {
        const char* what;
        const char* mode = "0\r\n640\r\n480"; // full screen, width, height; null: no settings
        bool screenOpens = true, screenReleases = true, answerYes = true;
        std::vector<std::string> boxes = {}; // caption, icon ("!", "x", "i"), "?" when asking: text
        bool framesRan = false;
        LaunchOptions launch = {};
        std::pair<int32_t, int32_t> screen = {640, 480}; // what the mouse counts with
        bool fullscreen = false;
    };
    const std::string refused = "1000x700@60 ! ?: The Requested Fullscreen Mode Is Not Supported "
                                "By\nYour Video Card. \nUse Windowed Mode Instead?";
    const Case cases[] = {
        {.what = "closed by the player", .framesRan = true},
        {.what = "no settings file",
         .mode = nullptr,
         .boxes = {"KLAIDA !: Klaida uzkraunant nustatymus"}},
        {.what = "no screen",
         .screenOpens = false,
         .boxes = {"KLAIDA !: Can't Create A GL Device Context.",
                   "SHUTDOWN ERROR i: Could Not Unregister Class."}},
        {.what = "a screen that cannot be released is told and the game goes on",
         .screenReleases = false,
         .boxes = {"SHUTDOWN ERROR i: Release Device Context Failed."},
         .framesRan = true},
        {.what = "a refused full screen answered yes opens a window",
         .mode = "1\r\n1000\r\n700",
         .boxes = {refused},
         .framesRan = true,
         .screen = {1000, 700}},
        {.what = "--fullscreen --size asks for its mode",
         .boxes = {refused},
         .framesRan = true,
         .launch = {.fullscreen = 1, .width = 1000, .height = 700},
         .screen = {1000, 700}},
        {.what = "--fullscreen alone takes the desktop's mode",
         .mode = "0\r\n1000\r\n700",
         .framesRan = true,
         .launch = {.fullscreen = 1},
         .screen = {1920, 1080},
         .fullscreen = true},
        {.what = "a refused full screen answered no ends the game",
         .mode = "1\r\n1000\r\n700",
         .answerYes = false,
         .boxes = {refused, "KLAIDA x: Program Will Now Close.",
                   "KLAIDA !: Klaida CreateGLWindow"}},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.what);
        ResetFakeSystem();
        gameState = GameState{};
        settings = Settings{};
        std::filesystem::copy(SourcePath("data"), ".",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        test.mode == nullptr
            ? RemoveTestFile(SETTINGS_PATH)
            : WriteTestFile(SETTINGS_PATH, std::string("Vortanai\r\n") + test.mode +
                                               "\r\n0\r\n32\r\n24\r\n\r\n\r\nhttp://a.b/r\r\n");
        fakeSystem.screenOpens = test.screenOpens;
        fakeSystem.screenReleases = test.screenReleases;
        fakeSystem.answerYes = test.answerYes;
        std::tie(fakeSystem.desktopWidth, fakeSystem.desktopHeight) = std::pair(1920, 1080);
        launchOptions = test.launch;
        gameState.screenWidth = gameState.screenHeight = 0;
        fakeSystem.closeAfterClockReads = 5;
        EXPECT_EQ(WinMain(), 0);
        std::vector<std::string> boxes;
        for (const RecordedBox& box : fakeSystem.boxes)
        {
            boxes.push_back(box.caption + " " + "!xi"[box.icon] + (box.yesNo ? " ?" : "") + ": " +
                            box.text);
        }
        EXPECT_EQ(boxes, test.boxes);
        EXPECT_EQ(fakeSystem.clockReads >= 5, test.framesRan);
        EXPECT_EQ(test.framesRan && settings.fullscreen, test.fullscreen);
        EXPECT_TRUE(!test.framesRan ||
                    test.screen == std::pair(gameState.screenWidth, gameState.screenHeight));
        EXPECT_FALSE(glWindow.windowCreated || glWindow.renderingContextCreated);
    }
    launchOptions = LaunchOptions{};
}
