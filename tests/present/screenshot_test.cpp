// Pictures of the screen: where they go, that each F9 keeps a picture of the window under a name
// of its own, and what the player is told when the folder cannot be written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <png.h>
#include <string>

#include "platform/platform.h"
#include "present/screenshot.h"
#include "tests/support/game_harness.h"
#include "tests/support/test_files.h"

namespace
{

const std::string SCRATCH = std::filesystem::absolute("screenshot-home").string();
const std::string HOME = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/";

void SetHomes(const std::string& home, const char* config)
{
    setenv("HOME", home.c_str(), 1);
    config != nullptr ? setenv("XDG_CONFIG_HOME", config, 1) : unsetenv("XDG_CONFIG_HOME");
}

} // namespace

// The pictures folder of user-dirs.dirs, with $HOME or written out, in XDG_CONFIG_HOME or in
// ~/.config; a file without the key, or none, gives ~/Pictures.
TEST(Screenshot, PicturesGoToVortanaiInThePlayersPicturesFolder)
{
    std::filesystem::remove_all(SCRATCH);
    SetHomes(SCRATCH, nullptr);
    EXPECT_EQ(FindPicturesFolder(), SCRATCH + "/Pictures/Vortanai");
    WriteTestFile(SCRATCH + "/.config/user-dirs.dirs",
                  "# XDG_PICTURES_DIR=\"/no\"\nXDG_MUSIC_DIR=\"$HOME/Muzika\"\n"
                  "XDG_PICTURES_DIR=\"$HOME/Paveiksl\xC4\x97liai\"\n");
    EXPECT_EQ(FindPicturesFolder(), SCRATCH + "/Paveiksl\xC4\x97liai/Vortanai");
    WriteTestFile(SCRATCH + "/kita/user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/nuotraukos\"\n");
    SetHomes(SCRATCH, (SCRATCH + "/kita").c_str());
    EXPECT_EQ(FindPicturesFolder(), "/srv/nuotraukos/Vortanai");
    WriteTestFile(SCRATCH + "/kita/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Darbalaukis\"\n");
    EXPECT_EQ(FindPicturesFolder(), SCRATCH + "/Pictures/Vortanai");
}

// Two pictures in one second get two names, each a PNG of the whole window; with the folder
// unwritable the picture is said to have failed and the game goes on.
TEST(Screenshot, EachF9KeepsAPictureOfTheWindowUnderANameOfItsOwn)
{
    std::filesystem::remove_all(SCRATCH);
    ASSERT_TRUE(StartHarnessGame(320, 240));
    SetHomes(SCRATCH, nullptr);
    RunPass();
    for (int32_t i = 0; i < 2; ++i)
    {
        TapKey(VK_F9);
        FinishScreenshots();
        EXPECT_EQ(screenshot.state, SHOT_KEPT);
        RunPass(0.0);
    }
    int32_t pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SCRATCH + "/Pictures/Vortanai"))
    {
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, entry.path().c_str())) << entry.path();
        EXPECT_EQ(std::pair(image.width, image.height), std::pair(320u, 240u));
        png_image_free(&image);
        ++pictures;
    }
    EXPECT_EQ(pictures, 2); // and no part file left behind

    WriteTestFile(SCRATCH + "/Pictures/Vortanai-blocked", "");
    WriteTestFile(SCRATCH + "/.config/user-dirs.dirs",
                  "XDG_PICTURES_DIR=\"$HOME/Pictures/Vortanai-blocked\"\n");
    TapKey(VK_F9);
    FinishScreenshots();
    EXPECT_EQ(screenshot.state, SHOT_FAILED);
    RunSeconds(1.0);
    EXPECT_EQ(FindBrokenRule(), "");
    StopHarnessGame();
    SetHomes(HOME, nullptr);
}
