// A real browser on the page: headless Chromium opens the address exactly as the game hands it
// over (a bare space in the name) and the page it renders is read back.
#include <unistd.h>

#include "tests/scoreboard/scoreboard_fixture.h"

TEST_P(ScoreboardServer, ChromiumShowsTheVerifiedNameAndScore)
{
    if (access("/usr/bin/chromium", X_OK) != 0)
    {
        GTEST_SKIP() << "/usr/bin/chromium is not installed (scripts/test installs it)";
    }
    std::string address = "http://127.0.0.1:" + std::to_string(port) +
                          ResultPath("Ona Bite", MakeCode(654321, MODE_FIXED, 2468));
    std::string command = "rm -rf chromium-profile; timeout 120 /usr/bin/chromium --headless"
                          " --no-sandbox --disable-gpu --disable-background-networking"
                          " --no-first-run --user-data-dir=chromium-profile --dump-dom '" +
                          address + "' >chromium.dom 2>chromium.log";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadTestFile("chromium.log");
    std::string dom = ReadTestFile("chromium.dom");
    EXPECT_NE(dom.find("<p class=\"name\">Ona Bite</p><p class=\"score\">654321</p>"),
              std::string::npos)
        << dom;
}
