// A real game window with its GL context for tests that draw (under Xvfb), opened through the
// game's own CreateGLWindow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Opens a windowed game window of this client size; false when it could not be made.
bool OpenTestWindow(int32_t width, int32_t height);
void CloseTestWindow();
// The RGB bytes of the back buffer, bottom row first.
std::vector<uint8_t> ReadFramebuffer(int32_t width, int32_t height);
// Writes the back buffer as a binary PPM picture (for looking at what a test drew).
bool SaveFramebuffer(const std::string& path, int32_t width, int32_t height);
