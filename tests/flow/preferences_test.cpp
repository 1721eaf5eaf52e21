// The preferences file: what it reads, what it skips and says so, what it moves aside, and how it
// is written back with every line the game does not understand left as it stood.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "flow/preferences.h"
#include "tests/support/test_files.h"

namespace
{

const std::string HOME = std::filesystem::absolute("preferences-home").string();
const std::string PATH = HOME + "/.config/vortanai/vortanai.conf";

// Reads the file at PATH holding `bytes` (none, nor its folder, for nullopt); what went to stderr.
std::string Read(std::optional<std::string> bytes)
{
    std::filesystem::remove_all(HOME);
    setenv("HOME", HOME.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    if (bytes)
    {
        WriteTestFile(PATH, *bytes);
    }
    preferences = Preferences{.language = "xx", .widescreen = true, .letters = LETTERS_FIXED};
    testing::internal::CaptureStderr();
    ReadPreferences();
    return testing::internal::GetCapturedStderr();
}

bool Write()
{
    testing::internal::CaptureStderr();
    bool written = WritePreferences();
    testing::internal::GetCapturedStderr();
    return written;
}

} // namespace

TEST(Preferences, KnownKeysAreReadAndEveryOtherLineIsSkippedAndTold)
{
    std::string said =
        Read("# language = en\n\n \tlanguage=pt_BR.UTF-8  \r\nwidescreen = 1\n"
             "letters =fixed\ncolour = red\nwidescreen 0\nletters = huge\n"
             "language = en US\nwidescreen = 2\n= 1\n# \xC5\xBEodis\nwidescreen = 0");
    EXPECT_STREQ(preferences.language, "pt_BR.UTF-8");
    EXPECT_FALSE(preferences.widescreen); // the last line of a key holds
    EXPECT_EQ(preferences.letters, LETTERS_FIXED);
    for (const char* told : {":6: ne\xC5\xBEinomas raktas \"colour\"", ":7: n\xC4\x97ra \"=\"",
                             ":8: raktui \"letters\" netinka \"huge\"", ":9: raktui \"language\"",
                             ":10: raktui \"widescreen\" netinka \"2\"", ":11: ne\xC5\xBEinomas"})
    {
        EXPECT_NE(said.find(PATH + told), std::string::npos) << told << " in " << said;
    }
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 6) << said;

    // No file nor folder, no home: the defaults, silently.
    EXPECT_EQ(Read(std::nullopt), "");
    EXPECT_EQ(preferences.language[0] + preferences.widescreen + preferences.letters, 0);
    unsetenv("HOME");
    preferences.widescreen = true;
    ReadPreferences();
    EXPECT_FALSE(preferences.widescreen);
    // XDG_CONFIG_HOME when it is an absolute path, ~/.config otherwise.
    Read("letters = fixed\n");
    WriteTestFile(HOME + "/xdg/vortanai/vortanai.conf", "language = lt\n");
    for (const std::string& config : {HOME + "/xdg", std::string("xdg"), std::string()})
    {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ReadPreferences();
        EXPECT_EQ(std::string(preferences.language), config[0] == '/' ? "lt" : "") << config;
        EXPECT_EQ(preferences.letters, config[0] == '/' ? LETTERS_GROWING : LETTERS_FIXED);
    }
}

// The preferences go where they stand; lines the game does not understand, line ends and all,
// stay byte for byte; the keys missing are appended after a last line that lacked its end, where
// they differ from the defaults.
TEST(Preferences, WritingKeepsWhatItDoesNotUnderstandAndReadsBackAsWritten)
{
    const std::string kept = "# mano\r\ncolour = red\nletters = huge\n  \n";
    Read(kept + "widescreen=1\r\nlanguage = lt\n\xC5\xBE = 1");
    preferences = Preferences{.language = "en", .widescreen = false, .letters = LETTERS_FIXED};
    ASSERT_TRUE(Write());
    EXPECT_EQ(ReadTestFile(PATH),
              kept + "widescreen = 0\r\nlanguage = en\n\xC5\xBE = 1\nletters = fixed\n");
    Read(std::nullopt); // no folder: it is made
    preferences = Preferences{.language = "", .widescreen = true, .letters = LETTERS_GROWING};
    ASSERT_TRUE(Write());
    EXPECT_EQ(ReadTestFile(PATH), "widescreen = 1\n");
    ReadPreferences();
    EXPECT_TRUE(preferences.widescreen && preferences.language[0] == '\0' &&
                preferences.letters == LETTERS_GROWING && !std::filesystem::exists(PATH + ".new"));

    // A write that fails leaves the old file as it was, and says so.
    std::filesystem::create_directories(PATH + ".new");
    preferences.widescreen = false;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WritePreferences());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("nepavyko \xC4\xAFra\xC5\xA1yti " + PATH),
              std::string::npos);
    EXPECT_EQ(ReadTestFile(PATH), "widescreen = 1\n");
}

// A file that is not UTF-8 text is moved aside whole and the defaults hold; one too long to be the
// game's is neither read nor written over.
TEST(Preferences, AFileThatIsNotTextIsMovedAsideWhole)
{
    for (std::string bytes :
         {std::string("widescreen = 1\n\0\n", 17), std::string("widescreen = 1\n\xFF"),
          std::string("widescreen = 1 # \xC5"), std::string("widescreen = 1 \xC0\xAF\n"),
          std::string("widescreen = 1 \xED\xA0\x80\n")})
    {
        std::string said = Read(bytes);
        EXPECT_FALSE(preferences.widescreen || std::filesystem::exists(PATH));
        EXPECT_EQ(ReadTestFile(PATH + ".sugadintas"), bytes);
        EXPECT_NE(said.find("perkeltas \xC4\xAF " + PATH + ".sugadintas"), std::string::npos)
            << said;
    }
    std::string tooLong(PREFERENCES_MAX_BYTES - 15, '#');
    Read("widescreen = 1\n" + tooLong); // read, but not written: the key added would not fit
    preferences.letters = LETTERS_FIXED;
    EXPECT_TRUE(preferences.widescreen && !Write());
    EXPECT_EQ(ReadTestFile(PATH).size(), PREFERENCES_MAX_BYTES);
    EXPECT_NE(Read("widescreen = 1\n#" + tooLong).find("didesnis nei 65536"), std::string::npos);
    EXPECT_FALSE(preferences.widescreen || Write());
    EXPECT_EQ(ReadTestFile(PATH).size(), PREFERENCES_MAX_BYTES + 1);
}
