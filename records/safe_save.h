// Writing a file of ours so that a crash at any moment leaves the old file or the new one, whole.
#pragma once

#include <cstdio>

// Writes `path` anew through `writeBody`: into `path`.new beside it, flushed to the disk, then
// renamed over the old file in one step, and the folder flushed. False, with the old file left
// as it was and nothing left beside it, when any step fails.
bool SaveFileSafely(const char* path, bool (*writeBody)(FILE* file));
