// The game's texts are code page 1257; the window system takes UTF-8.
#pragma once

#include <cstddef>

// Converts a code page 1257 text to UTF-8 into `utf8` of `size` bytes, always terminated; a
// text that cannot be converted is given as far as it went, and unconverted when the converter
// is missing.
void ConvertToUtf8(const char* text, char* utf8, size_t size);
