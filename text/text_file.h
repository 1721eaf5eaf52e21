// Text files read the way the game's Win32 C++ runtime read them: in text mode (CR LF reads as
// LF), with stream-like reads whose first failure makes every later read of the file fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// One open text file. Filled by OpenTextFile, emptied by CloseTextFile.
struct TextFile
{
    FILE* file;
    bool failed;   // a read has failed; every later read fails too
    bool atEnd;    // the end of the file has been met
    int lookahead; // the next character, already translated, when hasLookahead is set
    bool hasLookahead;
};

bool OpenTextFile(TextFile* text, const char* path);
void CloseTextFile(TextFile* text);
// Neither failed nor at the end.
bool IsTextGood(const TextFile* text);

// Skips one character, whatever it is (a line end counts as one).
void SkipTextChar(TextFile* text);
// Skips white space, line ends included, then reads an optional sign and decimal digits.
// A value out of the type's range fails the read; a failed read leaves *value as it was.
bool ReadTextInt(TextFile* text, int32_t* value);
// As ReadTextInt; a minus sign wraps the value modulo 2^32, as the C library's strtoul does.
bool ReadTextUnsigned(TextFile* text, uint32_t* value);
// An integer that must be 0 or 1.
bool ReadTextBool(TextFile* text, bool* value);
// A decimal floating-point number, with optional fraction and exponent.
bool ReadTextFloat(TextFile* text, double* value);
// Reads up to the line end, which stays in the file, or until size - 1 characters are taken;
// always terminates the buffer. Fails when no character could be taken.
bool ReadTextLine(TextFile* text, char* buffer, size_t size);
// Reads up to and including the line end; fails when the line holds maxLength characters or
// more, or when nothing at all is left to read.
bool DiscardTextLine(TextFile* text, size_t maxLength);
