// The game's files keep code page 1257 (the help file, the records' names, the player's name, the
// settings' title); the window system and the font take UTF-8.
#pragma once

#include <cstddef>

// Converts a code page 1257 text to UTF-8 into `utf8` of `size` (at least 1) bytes, always
// terminated. The codes the code page leaves unused (0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98,
// 0x9A, 0x9C, 0x9F, 0xA1 and 0xA5) are left out, as the font drew nothing for them; a text too
// long for `utf8` is cut before the first character that does not fit whole.
void ConvertToUtf8(const char* text, char* utf8, size_t size);
// Whether `size` bytes are text as the player's own files are kept: UTF-8 (as iconv decodes it)
// without a NUL byte.
bool IsUtf8Text(const char* bytes, size_t size);
