// The sound bank: one OpenAL buffer and source per line of duomenys/garsai.txt, started and
// stopped by slot number.
#pragma once

#include <cstdint>

constexpr int SOUND_SLOT_COUNT = 10;

enum SoundSlot : uint8_t
{
    SND_SPLASH = 0,
    SND_MUSIC = 1,
    SND_MENU_SLIDE = 2,
    SND_MENU_MOVE = 3,
    SND_CONFIRM = 4,
    SND_LEVEL_START = 5,
    SND_LEVEL_DONE = 6,
};

// Filled by LoadSounds at start-up, deleted by ShutdownSound at teardown.
extern uint32_t soundBuffers[SOUND_SLOT_COUNT];
extern uint32_t soundSources[SOUND_SLOT_COUNT];
extern uint32_t soundCount;

bool InitSound();
bool LoadSounds();
void ShutdownSound();
// Plays a slot from its beginning (restarting it when it plays already).
void StartSound(SoundSlot slot);
void StopSound(SoundSlot slot);
