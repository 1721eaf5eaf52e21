#include "resources/sound_bank.h"

#include <AL/al.h>
#include <AL/alut.h>

uint32_t soundBuffers[SOUND_SLOT_COUNT];
uint32_t soundSources[SOUND_SLOT_COUNT];
uint32_t soundCount;

bool InitSound()
{
    alutInit(nullptr, nullptr);
    alGetError();
    return alGetError() == AL_NO_ERROR;
}

bool LoadSounds()
{
    return true;
}

void ShutdownSound()
{
    alDeleteBuffers(SOUND_SLOT_COUNT, soundBuffers);
    alDeleteSources(SOUND_SLOT_COUNT, soundSources);
    alutExit();
}

void StartSound(SoundSlot slot)
{
    alSourcePlay(soundSources[slot]);
}

void StopSound(SoundSlot slot)
{
    alSourceStop(soundSources[slot]);
}
