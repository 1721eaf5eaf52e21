#include "present/settings.h"

#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"
#include "text/text_file.h"

Settings settings;
char modeText[MODE_TEXT_SIZE];

namespace
{

// A discarded line may hold at most 254 characters before its line end.
constexpr size_t DISCARD_LIMIT = 255;

// Reads a number into a field and throws the rest of its line away.
void ReadNumberLine(TextFile* file, uint32_t* field)
{
    ReadTextUnsigned(file, field);
    DiscardTextLine(file, DISCARD_LIMIT);
}

} // namespace

bool LoadSettings()
{
    TextFile file;
    if (!OpenTextFile(&file, SETTINGS_PATH))
    {
        return false;
    }
    // A text field whose read fails is left empty, which ReadTextLine guarantees.
    ReadTextLine(&file, settings.windowTitle, sizeof settings.windowTitle);
    DiscardTextLine(&file, DISCARD_LIMIT);
    ReadTextBool(&file, &settings.fullscreen);
    DiscardTextLine(&file, DISCARD_LIMIT);
    ReadNumberLine(&file, &settings.screenWidth);
    ReadNumberLine(&file, &settings.screenHeight);
    ReadNumberLine(&file, &settings.refreshRate);
    ReadNumberLine(&file, &settings.colorBits);
    ReadNumberLine(&file, &settings.reservedValue);
    DiscardTextLine(&file, DISCARD_LIMIT);
    DiscardTextLine(&file, DISCARD_LIMIT);
    ReadTextLine(&file, settings.submitUrl, sizeof settings.submitUrl - 1);
    SkipTextChar(&file);
    CloseTextFile(&file);

    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    int32_t desktopRefresh = 0;
    GetDesktopMode(&desktopWidth, &desktopHeight, &desktopRefresh);
    if (settings.screenWidth == 0)
    {
        settings.screenWidth = static_cast<uint32_t>(desktopWidth);
    }
    if (settings.screenHeight == 0)
    {
        settings.screenHeight = static_cast<uint32_t>(desktopHeight);
    }
    if (settings.refreshRate == 0)
    {
        settings.refreshRate = static_cast<uint32_t>(desktopRefresh);
    }
    FormatModeText("%dx%d@%d", static_cast<int>(settings.screenWidth),
                   static_cast<int>(settings.screenHeight), static_cast<int>(settings.refreshRate));
    return true;
}

int FormatModeText(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(modeText, sizeof modeText, format, arguments);
    va_end(arguments);
    if (length < 0)
    {
        modeText[0] = '\0';
        return 0;
    }
    return length < MODE_TEXT_SIZE ? length : MODE_TEXT_SIZE - 1;
}
