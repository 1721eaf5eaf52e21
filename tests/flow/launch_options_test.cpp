// The command line: what it asks goes over the settings read, and a bad option or size is told
// on standard error with exit status 2 before anything starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow/launch_options.h"
#include "flow/preferences.h"
#include "present/settings.h"
#include "tests/support/test_files.h"
#include "text/translation.h"

namespace
{

// Runs the reader on `words` after the program's name; the status and what went to stderr.
std::pair<int32_t, std::string> Launch(std::vector<std::string> words)
{
    launchOptions = LaunchOptions{};
    words.insert(words.begin(), "vortanai");
    std::vector<char*> argv;
    for (std::string& word : words)
    {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    testing::internal::CaptureStderr();
    int32_t status = ReadLaunchOptions(static_cast<int>(words.size()), argv.data());
    return {status, testing::internal::GetCapturedStderr()};
}

} // namespace

TEST(LaunchOptions, TheLastChoiceAndTheSizeGoOverTheSettingsAndBadOnesAreRefused)
{
    EXPECT_EQ(Launch({}).first, -1);
    EXPECT_EQ(launchOptions.fullscreen, -1);
    settings = Settings{};
    ApplyLaunchOptions();
    EXPECT_FALSE(settings.fullscreen || IsWidescreen());
    EXPECT_EQ(settings.screenWidth, 640u);

    EXPECT_EQ(
        Launch({"--windowed", "--size=64x16384", "--uncapped", "--widescreen", "--fullscreen"})
            .first,
        -1);
    EXPECT_TRUE(launchOptions.uncapped);
    ApplyLaunchOptions();
    EXPECT_TRUE(settings.fullscreen && IsWidescreen() && !preferences.widescreen);
    EXPECT_EQ(settings.screenWidth, 64u);
    EXPECT_EQ(settings.screenHeight, 16384u);
    EXPECT_EQ(Launch({"--size=1920x1080", "--windowed"}).first, -1);
    ApplyLaunchOptions();
    EXPECT_FALSE(settings.fullscreen);
    EXPECT_EQ(settings.screenWidth, 1920u);
    // The preferences' full screen holds where the command line says nothing, at the desktop's
    // mode.
    preferences.fullscreen = FULLSCREEN_ON; // the file read again by each launch said so
    ApplyLaunchOptions();
    EXPECT_FALSE(settings.fullscreen || IsAtDesktopMode());
    EXPECT_EQ(Launch({}).first, -1);
    preferences.fullscreen = FULLSCREEN_ON;
    ApplyLaunchOptions();
    EXPECT_TRUE(settings.fullscreen && IsAtDesktopMode() && !launchOptions.settingsFullscreen);

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--size", "63x480"}, "netinkamas dydis \"63x480\""},
        {{"--size", "640x16385"}, "netinkamas dydis"},
        {{"--size", "640x"}, "netinkamas dydis"},
        {{"--size", "+640x480"}, "netinkamas dydis"},
        {{"--size", "640x480x2"}, "netinkamas dydis"},
        {{"--size", "640 x480"}, "netinkamas dydis"},
        {{"--size"}, "parink\xC4\x8Diai --size reikia reik\xC5\xA1m\xC4\x97s"},
        {{"--fulscreen"}, "ne\xC5\xBEinoma parinktis \"--fulscreen\""},
        {{"-f"}, "ne\xC5\xBEinoma parinktis \"-f\""},
        {{"zaidimas"}, "perteklinis argumentas \"zaidimas\""}};
    for (const auto& [words, message] : refused)
    {
        auto [status, said] = Launch(words);
        EXPECT_EQ(status, 2) << words[0];
        EXPECT_NE(said.find(message), std::string::npos) << said;
        EXPECT_NE(said.find("vortanai --help"), std::string::npos) << said;
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(Launch({"--help", "--bogus"}).first, 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("--size PLOTISxAUK\xC5\xA0TIS"),
              std::string::npos);
}

// The texts speak --language, else the preferences file's language, else the locale's as gettext
// chooses it, even where the system has not generated that locale (here only C.UTF-8 is sure to
// be); the C locale and a language without a catalog speak the texts' own words.
TEST(LaunchOptions, TheTextsSpeakTheChosenLanguage)
{
    struct Choice
    {
        const char* lang;
        const char* language;
        const char* file; // the preferences file
        std::vector<std::string> words;
        const char* heard;
        const char* code = ""; // the catalog's folder, where the pictures with words are looked for
    };
    const Choice choices[] = {
        {"en_US.UTF-8", "", "", {"-x"}, "unknown option", "en"},
        {"C", "", "language = lt\n", {"--language", "en", "-x"}, "unknown", "en"},
        {"C", "", "language = en\n", {"-x"}, "unknown", "en"},
        {"en_US.UTF-8", "en", "language = lt\n", {"-x"}, "ne\xC5\xBEinoma"},
        {"en_GB.UTF-8", "", "", {"--language=lt", "-x"}, "ne\xC5\xBE"},
        {"en_GB.UTF-8", "lt", "", {"-x"}, "ne\xC5\xBEinoma"},
        {"C", "en", "", {"-x"}, "ne\xC5\xBEinoma"},
        {"de_DE.UTF-8", "", "", {"-x"}, "ne\xC5\xBEinoma"},
    };
    unsetenv("LC_ALL");
    char path[4096];
    FindPreferencesPath(path, sizeof path);
    for (const Choice& choice : choices)
    {
        WriteTestFile(path, choice.file);
        setenv("LANG", choice.lang, 1);
        setenv("LANGUAGE", choice.language, 1);
        std::string said = Launch(choice.words).second;
        EXPECT_NE(said.find(choice.heard), std::string::npos) << choice.lang << ": " << said;
        EXPECT_STREQ(textLanguage.code, choice.code) << choice.lang;
    }
    setenv("LC_ALL", "C.UTF-8", 1);
}
