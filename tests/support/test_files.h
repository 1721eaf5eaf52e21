// Files for tests: each test program runs in a scratch directory of its own, where the game's
// relative paths (duomenys/..., vortanai/..., rekordai/...) land.
#pragma once

#include <string>

// Writes bytes to a path relative to the working directory, making its folders.
void WriteTestFile(const std::string& path, const std::string& bytes);
std::string ReadTestFile(const std::string& path);
void RemoveTestFile(const std::string& path);
// A path inside the source tree, e.g. SourcePath("data/duomenys/nustatymai.txt").
std::string SourcePath(const std::string& relative);
// A path inside the build tree, e.g. BinaryPath("vortanai-maze").
std::string BinaryPath(const std::string& relative);
