// The whole game, played in-process from the splash on by the harness's player without random
// input, the game's state checked after every pass: what each errand leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "flow/window_proc.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "present/screenshot.h"
#include "records/name_entry.h"
#include "records/records_file.h"
#include "records/verification_code.h"
#include "resources/sound_bank.h"
#include "tests/support/fake_system.h"
#include "tests/support/game_harness.h"
#include "tests/support/test_files.h"

namespace
{

class WholeGame : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartHarnessGame());
    }

    void TearDown() override
    {
        StopHarnessGame();
    }

    HarnessPlayer player{.random = std::mt19937(16), .noisePercent = 0, .errandPasses = 100000};
};

// The words of the frame the next pass draws, in lower case: the frame kept as F9 keeps it, the
// part `crop` cuts out (ImageMagick's options, empty for all), grey and inverted (tesseract reads
// dark on light) and scaled up three times, read by tesseract. Both pictures stay beside the test.
std::string ReadNextFrame(const std::string& name, const char* crop)
{
    RequestScreenshot();
    RunPass();
    FinishScreenshots();
    std::string picture = FindPicturesFolder() + "/" + screenshot.name;
    std::string command = "convert '" + picture + "' " + crop +
                          " +repage -colorspace gray -negate -resize 300% " + name +
                          ".png && tesseract " + name + ".png " + name + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::string words = ReadTestFile(name + ".txt");
    std::transform(words.begin(), words.end(), words.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return words;
}

} // namespace

// The game as players meet it whose desktops speak English (on a system without that locale)
// or no language the game has a catalog for: each screen, in a window of 1024 x 768, shows words
// of the player's language and none of the other's. The campaign is walked by another test: here
// the marker is put on each exit as soon as the level is played.
TEST(Languages, EachScreenSpeaksThePlayersLanguage)
{
    struct Screen
    {
        const char* name;
        std::vector<const char*> lithuanian, english;
    };
    const Screen screens[] = {
        {"menu",
         {"savas vortanas", "kampanija", "rekordai"},
         {"custom maze", "campaign", "high scores"}},
        {"play", {"rezultatas", "laikas"}, {"score", "time"}},
        {"help", {"pagalba", "rodykl"}, {"help", "arrow"}},
        {"name", {"vardas", "rezultatas", "pagalba"}, {"name", "score", "help"}},
        {"records", {"rekordai"}, {"high scores"}},
        {"credits", {"baigti", "autoriai"}, {"press enter", "authors"}},
    };
    for (const char* lang : {"en_US.UTF-8", "C.UTF-8"})
    {
        SCOPED_TRACE(lang);
        unsetenv("LC_ALL");
        unsetenv("LANGUAGE");
        setenv("LANG", lang, 1);
        char program[] = "vortanai";
        char* words[] = {program, nullptr};
        ASSERT_EQ(ReadLaunchOptions(1, words), -1);
        ASSERT_TRUE(StartHarnessGame(1024, 768));
        std::map<std::string, std::string> seen;
        auto read = [&](const char* screen, const char* crop = "")
        { seen[screen] = ReadNextFrame(std::string(lang) + "-" + screen, crop); };
        HarnessPlayer player{.random = std::mt19937(7), .noisePercent = 0, .errandPasses = 100000};
        RunSeconds(3.0);
        TapKey(VK_RETURN); // the splash left once its title stands
        RunSeconds(6.0);   // the menu's maze flies together and the panel slides out
        ASSERT_EQ(gameState.screenState, STATE_MENU);
        read("menu", "-gravity SouthWest -crop 30%x70%+0+0");
        auto watch = [&]
        {
            int8_t screen = gameState.screenState;
            bool played = screen == STATE_PLAYING && !gameState.levelIntro && !gameState.levelOutro;
            if (played && !seen.contains("play"))
            {
                read("play", "-gravity SouthEast -crop 30%x20%+0+0"); // the head-up display
                TapKey(VK_F1);
                read("help");
                TapKey(VK_F1);
            }
            if (played)
            {
                mazeGrid.playerX = static_cast<float>(mazeGrid.exitX);
                mazeGrid.playerY = static_cast<float>(mazeGrid.exitY);
            }
            // The credits' last line shows in the second half of every second.
            float blink =
                gameState.screenClock - static_cast<float>(static_cast<int>(gameState.screenClock));
            const char* name = screen == STATE_NAME_ENTRY                                ? "name"
                               : screen == STATE_RECORDS                                 ? "records"
                               : screen == STATE_CREDITS && blink > 0.5f && blink < 0.9f ? "credits"
                                                                                         : nullptr;
            if (name != nullptr && !seen.contains(name))
            {
                read(name);
            }
            return true;
        };
        ASSERT_EQ(PlayErrand(player, ERRAND_FIXED_CAMPAIGN, watch), "");
        ASSERT_EQ(PlayErrand(player, ERRAND_CREDITS, watch), "");
        StopHarnessGame();
        bool english = std::strcmp(lang, "C.UTF-8") != 0;
        for (const Screen& screen : screens)
        {
            const std::string& text = seen[screen.name];
            for (const char* word : english ? screen.english : screen.lithuanian)
            {
                EXPECT_NE(text.find(word), std::string::npos) << screen.name << ": no " << word;
            }
            for (const char* word : english ? screen.lithuanian : screen.english)
            {
                EXPECT_EQ(text.find(word), std::string::npos) << screen.name << ": " << word;
            }
        }
    }
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("LANGUAGE", "", 1);
}

TEST_F(WholeGame, TheAutopilotPlaysTheFixedCampaignAndTheResultIsRecordedAndSubmitted)
{
    std::vector<int32_t> seconds; // of each level, as its outro begins
    double secondsWalked = 0.0;   // frames of 0.1 to 0.4 s
    auto watchLevels = [&]
    {
        size_t level = seconds.size() + 1;
        if (!gameState.fixedCampaign || gameState.levelIntro ||
            gameState.levelNumber != static_cast<int32_t>(level))
        {
            return true;
        }
        if (!gameState.levelOutro)
        {
            secondsWalked += gameState.frameSeconds;
            return true;
        }
        SCOPED_TRACE(level);
        const CampaignLevel& row = CAMPAIGN_LEVELS[level - 1];
        EXPECT_EQ(mazeGrid.mazeLength, static_cast<float>(row.length));
        EXPECT_EQ(mazeGrid.mazeWidth, static_cast<float>(row.width));
        // The level's clock counts the time walked.
        EXPECT_NEAR(gameState.levelSeconds, secondsWalked, 1.0);
        seconds.push_back(gameState.levelSeconds);
        secondsWalked = 0.0;
        return true;
    };
    ASSERT_EQ(PlayErrand(player, ERRAND_FIXED_CAMPAIGN, watchLevels), "");
    ASSERT_EQ(seconds.size(), static_cast<size_t>(CAMPAIGN_LEVEL_COUNT));
    int32_t score = 0;
    for (int level = 0; level < CAMPAIGN_LEVEL_COUNT; ++level)
    {
        score += 1000000 / (std::max(seconds[level], 1) * CAMPAIGN_LEVELS[level].timeFactor);
    }
    EXPECT_GT(score, 0);

    // A name typed, the records shown, and back in the menu with its background maze.
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.backgroundMaze);
    EXPECT_FALSE(gameState.fixedCampaign);
    EXPECT_GT(player.framesOnScreen[STATE_RECORDS], 0);
    ASSERT_EQ(std::strlen(playerName), 2u);
    EXPECT_EQ(ReadTestFile(RECORDS_PATH), std::to_string(score) + " " + playerName);
    ASSERT_EQ(fakeSystem.addresses.size(), 1u);
    const std::string prefix =
        std::string("http://127.0.0.1:8017/rezultatas?v=") + playerName + "&r=";
    const std::string& address = fakeSystem.addresses[0];
    ASSERT_EQ(address.substr(0, prefix.size()), prefix);
    VerifiedResult result;
    ASSERT_TRUE(ReadVerificationCode(address.substr(prefix.size()).c_str(), &result));
    EXPECT_EQ(result.score, score);
    EXPECT_EQ(result.mode, MODE_FIXED);
    // The splash's sound gave way to the music; every level's intro sound stopped as the intro
    // ended, cut short or not, and its exit's sound as the outro ended.
    EXPECT_EQ(soundLog.starts[SND_SPLASH], 1u);
    EXPECT_EQ(soundLog.stops[SND_SPLASH], 1u);
    EXPECT_EQ(soundLog.starts[SND_MUSIC], 1u);
    EXPECT_GE(soundLog.stops[SND_LEVEL_START], static_cast<uint32_t>(CAMPAIGN_LEVEL_COUNT));
    EXPECT_EQ(soundLog.starts[SND_LEVEL_DONE], static_cast<uint32_t>(CAMPAIGN_LEVEL_COUNT));
    EXPECT_EQ(soundLog.stops[SND_LEVEL_DONE], static_cast<uint32_t>(CAMPAIGN_LEVEL_COUNT));

    // Enter on the credits ends the game, and the music with it.
    ASSERT_EQ(PlayErrand(player, ERRAND_CREDITS), "");
    EXPECT_GT(player.framesOnScreen[STATE_CREDITS], 0);
    EXPECT_EQ(soundLog.stops[SND_MUSIC], 1u);
}

TEST_F(WholeGame, ACustomMazeIsBuiltFromItsScreensValuesAndItsWayOutLeadsToTheMenu)
{
    bool built = false;
    auto watchBuilding = [&]
    {
        if (!built && gameState.screenState == STATE_PLAYING)
        {
            built = true;
            EXPECT_EQ(mazeGrid.mazeLength, static_cast<float>(gameState.customLength));
            EXPECT_EQ(mazeGrid.mazeWidth, static_cast<float>(gameState.customWidth));
        }
        return true;
    };
    player.errandPasses = 2000; // ten times what the way out takes, not a campaign's
    ASSERT_EQ(PlayErrand(player, ERRAND_CUSTOM_MAZE, watchBuilding), "");
    EXPECT_TRUE(built);
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.backgroundMaze);
    EXPECT_EQ(gameState.score, 0);
}

TEST_F(WholeGame, TheMenuMidCampaignLeavesTheIntroGoingAndTheCampaignWhereItWas)
{
    // M during the first level's intro: the menu opens and the intro goes on behind it.
    ASSERT_EQ(PlayErrand(player, ERRAND_FIXED_CAMPAIGN,
                         [] { return !(gameState.fixedCampaign && gameState.levelIntro); }),
              "");
    ASSERT_TRUE(gameState.fixedCampaign && gameState.levelIntro);
    uint32_t slides = soundLog.starts[SND_MENU_SLIDE];
    TapKey('M');
    RunPass();
    EXPECT_EQ(gameState.screenState, STATE_MENU);
    EXPECT_TRUE(gameState.levelIntro);
    RunSeconds(3.2);
    EXPECT_FALSE(gameState.levelIntro);
    EXPECT_GT(soundLog.starts[SND_MENU_SLIDE], slides); // the panel slides out after it

    // Item 0 returns to the level; a second walked, then the records and back to it.
    auto resume = []
    {
        for (int taps = 0; taps < MENU_ITEM_COUNT && gameState.menuSelection != MENU_RESUME; ++taps)
        {
            TapKey(VK_UP);
        }
        TapKey(VK_RETURN);
        RunPass();
        EXPECT_EQ(gameState.screenState, STATE_PLAYING);
        EXPECT_TRUE(gameState.fixedCampaign);
        EXPECT_EQ(gameState.levelNumber, 1);
    };
    resume();
    for (int pass = 0; pass < 25; ++pass)
    {
        SteerTowardExit();
        RunPass();
    }
    for (uint8_t arrow : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT})
    {
        ReleaseKey(arrow);
    }
    RunSeconds(0.5); // the marker comes to rest on the grid
    float playerX = mazeGrid.playerX;
    float playerY = mazeGrid.playerY;
    ASSERT_EQ(PlayErrand(player, ERRAND_RECORDS), "");
    EXPECT_GT(player.framesOnScreen[STATE_RECORDS], 0);
    EXPECT_FALSE(gameState.backgroundMaze);
    resume();
    EXPECT_EQ(mazeGrid.mazeLength, static_cast<float>(CAMPAIGN_LEVELS[0].length));
    EXPECT_EQ(mazeGrid.playerX, playerX);
    EXPECT_EQ(mazeGrid.playerY, playerY);
}

// Minimising stops the frames, and the first after takes the whole time. F11 fills the screen at
// the desktop's own mode: F4 centres the cursor on the desktop's centre and the tilt spans its
// whole height (its middle row looks down an eighth of a turn, its last row straight down); back
// in the window both count with the settings' 320 x 240 again. SDL's cursor does not follow a
// pointer moved under Xvfb, so the harness's cursor is moved.
TEST_F(WholeGame, AMinimisedWindowStopsFramesAndF11GivesTheMouseTheWholeScreen)
{
    // The splash left for the menu.
    ASSERT_EQ(PlayErrand(player, ERRAND_STORM, [] { return gameState.screenState != STATE_MENU; }),
              "");
    float clock = gameState.phaseClock;
    WndProc(WM_ACTIVATE, 0x00010000, 0);
    RunSeconds(2.0);
    EXPECT_EQ(gameState.phaseClock, clock);
    WndProc(WM_ACTIVATE, 0x00000001, 0);
    RunPass();
    double longFrame = 2.0 + HARNESS_FRAME_SECONDS;
    EXPECT_NEAR(gameState.frameSeconds, longFrame, 1e-3);
    EXPECT_NEAR(gameState.phaseClock, clock + longFrame, 1e-3);

    std::tie(fakeSystem.desktopWidth, fakeSystem.desktopHeight) = std::pair(1920, 1080);
    TapKey('M');
    for (auto [width, height] : {std::pair(1920, 1080), std::pair(320, 240)})
    {
        TapKey(VK_F11);
        TapKey(VK_F4);
        EXPECT_EQ(fakeSystem.cursorWarps.back(), std::pair(width / 2, height / 2));
        for (auto [row, pitch] : {std::pair(height / 2, 0.785f), std::pair(height - 1, 1.571f)})
        {
            fakeSystem.cursorY = row;
            RunPass();
            EXPECT_NEAR(gameState.cameraPitch, pitch, 0.05f) << width << " " << row;
        }
    }
}
