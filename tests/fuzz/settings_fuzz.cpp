// The settings reader on any file: it always reads (the file is there), both texts and the mode
// text stay terminated within their fields, the full-screen flag stays a flag, and the desktop's
// values stand in for zeros only.
#include <cstdlib>
#include <cstring>

#include "present/settings.h"
#include "tests/fuzz/fuzz_support.h"

namespace
{

bool IsTerminated(const char* text, size_t size)
{
    return std::memchr(text, '\0', size) != nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnterScratchDirectory("settings");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile(SETTINGS_PATH, data, size);
    settings = Settings{};
    std::memset(modeText, 'x', sizeof modeText);
    if (!LoadSettings())
    {
        std::abort();
    }
    uint8_t fullscreen = 0;
    std::memcpy(&fullscreen, &settings.fullscreen, 1);
    if (!IsTerminated(settings.windowTitle, sizeof settings.windowTitle) ||
        !IsTerminated(settings.submitUrl, sizeof settings.submitUrl) ||
        !IsTerminated(modeText, sizeof modeText) || fullscreen > 1 || settings.screenWidth == 0 ||
        settings.screenHeight == 0 || settings.refreshRate == 0 || settings.depthBits != 32)
    {
        std::abort();
    }
    // The address is read up to 254 characters, leaving room for the query the game appends.
    if (std::strlen(settings.submitUrl) > SUBMIT_URL_SIZE - 2)
    {
        std::abort();
    }
    return 0;
}
