// Display settings and the score page address, read once at start-up from
// duomenys/nustatymai.txt.
#pragma once

#include <cstdint>

constexpr const char* SETTINGS_PATH = "duomenys/nustatymai.txt";
constexpr int WINDOW_TITLE_SIZE = 16;
constexpr int SUBMIT_URL_SIZE = 256;
constexpr int MODE_TEXT_SIZE = 16;

struct Settings
{
    char windowTitle[WINDOW_TITLE_SIZE] = {};
    bool fullscreen = false;
    uint32_t screenWidth = 640;
    uint32_t screenHeight = 480;
    uint8_t depthBits = 32;
    uint32_t refreshRate = 75;
    uint32_t colorBits = 32;
    uint32_t reservedValue = 24;
    char submitUrl[SUBMIT_URL_SIZE] = {};
};

// Filled by LoadSettings at start-up and kept for the whole run (CreateGLWindow overwrites
// `fullscreen`); tests reset it with `settings = Settings{};`.
extern Settings settings;
// The chosen display mode as text, e.g. "1024x768@85"; the caption of the full-screen question.
extern char modeText[MODE_TEXT_SIZE];

// Reads the settings file; false only when it cannot be opened. Values of 0 for the width,
// height and refresh rate take the desktop's.
bool LoadSettings();
// printf into modeText, cut to fit; returns the number of characters written.
int FormatModeText(const char* format, ...) __attribute__((format(printf, 1, 2)));
