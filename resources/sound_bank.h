// The sound bank: one OpenAL buffer and source per line of duomenys/garsai.txt, started and
// stopped by slot number.
#pragma once

#include <cstdint>

constexpr int SOUND_SLOT_COUNT = 10;
// The longest WAV path a list line gives, with its terminator.
constexpr int SOUND_NAME_SIZE = 255;

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
// Where the next source stands: (0, height, 0), the height taken from its list line. Starts at
// the origin; LoadSounds overwrites y line by line.
extern float sourcePosition[3];

// How often each slot has been started and stopped, so tests can hear the game without a sound
// device. Reset only by tests; the game writes it and never reads it.
struct SoundLog
{
    uint32_t starts[SOUND_SLOT_COUNT];
    uint32_t stops[SOUND_SLOT_COUNT];
};
extern SoundLog soundLog;

// Opens the default device. False when the audio library reports an error.
bool InitSound();
// One buffer and source per list line, at most SOUND_SLOT_COUNT. False when the list file
// cannot be opened, a buffer or source cannot be made (after its own message box) or the
// listener cannot be set. A line that cannot be read ends the list; a WAV file that cannot be
// loaded leaves its slot silent.
bool LoadSounds();
void ShutdownSound();
// Plays a slot from its beginning (restarting it when it plays already).
void StartSound(SoundSlot slot);
void StopSound(SoundSlot slot);
// The music's gain and every other sound's, in per cent of the files' own loudness.
void SetSoundVolumes(int32_t musicPercent, int32_t effectsPercent);
