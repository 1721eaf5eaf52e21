// The two halves of the asset maker; each writes its files into `dataDir` (the run-time tree,
// e.g. data/), byte for byte the same on every run.
#pragma once

bool MakeImages(const char* dataDir);
bool MakeSounds(const char* dataDir);
// The desktop icons (48, 64, 128 and 256 px PNG) under `iconDir`, drawn from the atlases.
bool MakeIcons(const char* iconDir);
