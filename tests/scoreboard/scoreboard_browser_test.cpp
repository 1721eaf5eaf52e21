// A real browser on the page: headless Chromium opens the address exactly as the game hands it
// over (a bare space in the name), and the page it renders is read back and photographed.
#include <array>
#include <filesystem>

#include "tests/scoreboard/scoreboard_fixture.h"

namespace
{

constexpr const char* CHROMIUM = "/usr/bin/chromium";

// Runs Chromium with a fresh profile on the address; its standard output, empty on failure.
std::string RunChromium(const std::string& options, const std::string& address)
{
    char profile[] = "chromium-profile-XXXXXX";
    if (mkdtemp(profile) == nullptr)
    {
        return "";
    }
    std::string command = std::string("timeout 120 ") + CHROMIUM +
                          " --headless --no-sandbox --disable-gpu"
                          " --disable-background-networking --disable-component-update"
                          " --disable-sync --no-first-run --user-data-dir=" +
                          profile + " " + options + " '" + address + "' 2>>chromium.log";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe != nullptr)
    {
        std::array<char, 4096> chunk;
        for (size_t got; (got = fread(chunk.data(), 1, chunk.size(), pipe)) > 0;)
        {
            output.append(chunk.data(), got);
        }
        pclose(pipe);
    }
    std::error_code ignored;
    std::filesystem::remove_all(profile, ignored);
    return output;
}

// Width and height from a PNG file's header; zeros when it is not a PNG.
std::pair<uint32_t, uint32_t> ReadPngSize(const std::string& path)
{
    std::string png = ReadTestFile(path);
    if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
    {
        return {0, 0};
    }
    auto read = [&](size_t at)
    {
        return static_cast<uint32_t>(
            static_cast<uint8_t>(png[at]) << 24 | static_cast<uint8_t>(png[at + 1]) << 16 |
            static_cast<uint8_t>(png[at + 2]) << 8 | static_cast<uint8_t>(png[at + 3]));
    };
    return {read(16), read(20)};
}

} // namespace

TEST_F(ScoreboardServer, ChromiumShowsTheVerifiedNameAndScoreAtDesktopAndPhoneWidths)
{
    if (access(CHROMIUM, X_OK) != 0)
    {
        GTEST_SKIP() << "chromium is not installed (scripts/test installs it): no browser test";
    }
    for (int i = 0; i < 12; ++i)
    {
        ASSERT_TRUE(
            Get(ResultPath(Numbered("Zaidejas%20", i),
                           MakeCode(600000 + i * 9000, i % 3 ? MODE_FIXED : MODE_RANDOM, i))));
    }
    std::string address = "http://127.0.0.1:" + std::to_string(port) +
                          ResultPath("Ona Bite", MakeCode(654321, MODE_FIXED, 2468));
    std::string dom = RunChromium("--dump-dom", address);
    EXPECT_NE(dom.find("<p class=\"name\">Ona Bite</p><p class=\"score\">654321</p>"),
              std::string::npos)
        << dom.substr(0, 2000) << ReadTestFile("chromium.log");
    EXPECT_NE(dom.find("Rezultatas patvirtintas"), std::string::npos);
    EXPECT_EQ(QueryNumber("SELECT score FROM results WHERE name = 'Ona Bite'"), 654321);

    // Screenshots to look at: the same page, now a repeat, at a desktop and a phone width.
    for (auto [file, width, height] : {std::tuple{"scoreboard_desktop.png", 1280, 1000},
                                       std::tuple{"scoreboard_phone.png", 390, 1100}})
    {
        RemoveTestFile(file);
        RunChromium("--screenshot=" + std::filesystem::absolute(file).string() +
                        " --window-size=" + std::to_string(width) + "," + std::to_string(height),
                    address);
        EXPECT_EQ(ReadPngSize(file),
                  std::make_pair(static_cast<uint32_t>(width), static_cast<uint32_t>(height)))
            << file;
    }
    EXPECT_EQ(QueryNumber("SELECT COUNT(*) FROM results WHERE name = 'Ona Bite'"), 1);
}
