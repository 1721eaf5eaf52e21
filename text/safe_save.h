// Writing a file of ours so that a crash at any moment leaves the old file or the new one, whole;
// and moving a damaged one out of the way, whole, rather than writing over it.
#pragma once

#include <cstddef>
#include <cstdio>

// Writes `path` anew through `writeBody`: into `path`.new beside it, flushed to the disk, then
// renamed over the old file in one step, and the folder flushed. False, with the old file left
// as it was and nothing left beside it, when any step fails.
bool SaveFileSafely(const char* path, bool (*writeBody)(FILE* file));
// Renames `path` to the first free of `path`.sugadintas, .sugadintas2 ... .sugadintas9, whose
// name goes into `aside` (of `size` bytes) where one is given; false when none could be had.
bool MoveFileAside(const char* path, char* aside = nullptr, size_t size = 0);
