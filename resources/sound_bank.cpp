#include "resources/sound_bank.h"

#include <AL/al.h>
#include <AL/alut.h>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/platform.h"
#include "text/text_file.h"
#include "text/translation.h"

uint32_t soundBuffers[SOUND_SLOT_COUNT];
uint32_t soundSources[SOUND_SLOT_COUNT];
uint32_t soundCount;
float sourcePosition[3];
SoundLog soundLog;

namespace
{

constexpr const char* SOUND_LIST_PATH = "duomenys/garsai.txt";

constexpr ALfloat SOURCE_VELOCITY[3] = {0.0f, 0.0f, 0.0f};
constexpr ALfloat LISTENER_POSITION[3] = {0.0f, 0.0f, 0.0f};
constexpr ALfloat LISTENER_VELOCITY[3] = {0.0f, 0.0f, 0.0f};
// Facing -z, with +y up.
constexpr ALfloat LISTENER_ORIENTATION[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};

// Uploads a WAV file into a buffer. A file that cannot be loaded, or whose data the library
// refuses, leaves the buffer empty: its slot plays silence and the game goes on.
void FillBuffer(uint32_t buffer, char* name)
{
    ALenum format = 0;
    void* data = nullptr;
    ALsizei size = 0;
    ALsizei frequency = 0;
    ALboolean fileLoops = AL_FALSE; // the file's own loop flag; the list decides instead
// ALUT's header marks its WAV file calls deprecated; the game loads its sounds with them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    alutLoadWAVFile(reinterpret_cast<ALbyte*>(name), &format, &data, &size, &frequency, &fileLoops);
    if (data == nullptr)
    {
        return;
    }
    alBufferData(buffer, format, data, size, frequency);
    alutUnloadWAV(format, data, size, frequency);
#pragma GCC diagnostic pop
    alGetError();
}

// Makes the buffer and source of slot soundCount. False after its message box when the library
// cannot make one of them.
bool MakeSoundSlot(bool looping, char* name)
{
    alGenBuffers(1, &soundBuffers[soundCount]);
    if (alGetError() != AL_NO_ERROR)
    {
        ShowMessageBox(Translate("Klaida alGenBuffers"), Translate("ERROR"), ICON_EXCLAMATION);
        return false;
    }
    FillBuffer(soundBuffers[soundCount], name);
    alGenSources(1, &soundSources[soundCount]);
    if (alGetError() != AL_NO_ERROR)
    {
        ShowMessageBox(Translate("Klaida alGenSources"), Translate("ERROR"), ICON_EXCLAMATION);
        return false;
    }
    ALuint source = soundSources[soundCount];
    alSourcei(source, AL_BUFFER, static_cast<ALint>(soundBuffers[soundCount]));
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_GAIN, 1.0f);
    alSourcefv(source, AL_POSITION, sourcePosition);
    alSourcefv(source, AL_VELOCITY, SOURCE_VELOCITY);
    alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    ++soundCount;
    return true;
}

} // namespace

bool InitSound()
{
    alutInit(nullptr, nullptr);
    alGetError();
    return alGetError() == AL_NO_ERROR;
}

bool LoadSounds()
{
    TextFile list;
    if (!OpenTextFile(&list, SOUND_LIST_PATH))
    {
        return false;
    }
    // A line: looping (0 or 1), height, one separator character, then the WAV path, which ends
    // at the first space (whatever follows it is a comment).
    while (IsTextGood(&list))
    {
        bool looping = false;
        double height = 0.0;
        char name[SOUND_NAME_SIZE];
        ReadTextBool(&list, &looping);
        ReadTextFloat(&list, &height);
        SkipTextChar(&list);
        // Reads fail for good once one has failed, so this one tells for the whole line. A line
        // that cannot be read (a line break after the last entry, a bad value) ends the list.
        bool lineRead = ReadTextLine(&list, name, sizeof name);
        SkipTextChar(&list);
        // A height a float cannot hold is a value that cannot be read, like any other bad value:
        // cast, it would be undefined, and as infinity the library refuses the position, whose
        // error would then be blamed on the next buffer.
        lineRead = lineRead && std::fabs(height) <= std::numeric_limits<float>::max();
        if (!lineRead || soundCount >= SOUND_SLOT_COUNT)
        {
            break;
        }
        char* space = std::strchr(name, ' ');
        if (space != nullptr)
        {
            *space = '\0';
        }
        sourcePosition[1] = static_cast<float>(height);
        if (!MakeSoundSlot(looping, name))
        {
            CloseTextFile(&list);
            return false;
        }
    }
    CloseTextFile(&list);
    alListenerfv(AL_POSITION, LISTENER_POSITION);
    alListenerfv(AL_VELOCITY, LISTENER_VELOCITY);
    alListenerfv(AL_ORIENTATION, LISTENER_ORIENTATION);
    return alGetError() == AL_NO_ERROR;
}

void ShutdownSound()
{
    // Both calls fail as a whole when the bank holds fewer than ten sounds (0 names no source)
    // and the buffers are still attached; closing the device frees everything anyway. ALUT
    // refuses to close it while an error is pending, so the error is cleared first.
    alDeleteBuffers(SOUND_SLOT_COUNT, soundBuffers);
    alDeleteSources(SOUND_SLOT_COUNT, soundSources);
    alGetError();
    alutExit();
}

void StartSound(SoundSlot slot)
{
    ++soundLog.starts[slot];
    alSourcePlay(soundSources[slot]);
}

void StopSound(SoundSlot slot)
{
    ++soundLog.stops[slot];
    alSourceStop(soundSources[slot]);
}

void SetSoundVolumes(int32_t musicPercent, int32_t effectsPercent)
{
    for (uint32_t slot = 0; slot < soundCount; ++slot)
    {
        int32_t percent = slot == SND_MUSIC ? musicPercent : effectsPercent;
        alSourcef(soundSources[slot], AL_GAIN, static_cast<float>(percent) / 100.0f);
    }
}
