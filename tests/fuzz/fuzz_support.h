// What every fuzz target shares: a scratch directory to work in (the game's readers take fixed
// paths relative to the working directory) and stand-ins for the system half of the platform.
#pragma once

#include <cstddef>
#include <cstdint>

// Makes a fresh scratch directory with the game's data folders and makes it the working
// directory. Called once, from LLVMFuzzerInitialize.
void EnterScratchDirectory(const char* name);
// Writes the bytes to a path relative to the working directory, replacing the file.
void WriteFuzzFile(const char* path, const uint8_t* data, size_t size);
// Reads every byte of a buffer, so that the address sanitizer checks that all of it is there.
void TouchBytes(const void* bytes, size_t size);
// What TouchBytes read, kept so that the reads cannot be left out.
extern volatile uint8_t fuzzTouchSum;

// The pixel bytes a TGA header announces (0 for a header too short to tell). Inputs that announce
// more than FUZZ_IMAGE_BYTES_MAX are kept from the loader: it would only allocate and walk a huge
// zeroed buffer, which under the sanitizers takes most of a minute per input and is the same
// code as for a small one.
size_t CountAnnouncedTgaBytes(const uint8_t* data, size_t size);
constexpr size_t FUZZ_IMAGE_BYTES_MAX = 2u << 20;

// How often the game asked for a message box since the last reset.
extern int fuzzMessageBoxes;
