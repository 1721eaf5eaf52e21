// The sound list on any list file, with OpenAL Soft's null device (no sound card is touched) and
// a few WAV files beside it: a good one, junk and a cut header. At most ten slots are filled, in
// the order of the lines, each with a buffer and a source the library knows.
#include <AL/al.h>
#include <cstdlib>
#include <cstring>

#include "resources/sound_bank.h"
#include "tests/fuzz/fuzz_support.h"

namespace
{

// A mono 8-bit WAV file of `samples` samples at 8000 Hz.
void WriteWav(const char* path, uint32_t samples, size_t keep)
{
    uint8_t bytes[44 + 64] = {'R',  'I',  'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V',  'E',  'f', 'm',
                              't',  ' ',  16,  0,   0, 0, 1, 0, 1,   0,   0x40, 0x1F, 0,   0,
                              0x40, 0x1F, 0,   0,   1, 0, 8, 0, 'd', 'a', 't',  'a'};
    uint32_t riffSize = 36 + samples;
    std::memcpy(bytes + 4, &riffSize, 4);
    std::memcpy(bytes + 40, &samples, 4);
    for (uint32_t i = 0; i < samples && 44 + i < sizeof bytes; ++i)
    {
        bytes[44 + i] = static_cast<uint8_t>(128 + (i % 16) * 4);
    }
    WriteFuzzFile(path, bytes, keep);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    EnterScratchDirectory("sound-list");
    WriteWav("duomenys/a.wav", 64, 44 + 64);
    WriteWav("duomenys/cut.wav", 64, 30);
    static const uint8_t JUNK[] = "RIFF\xff\xff\xff\x7fWAVEfmt \x02\0\0\0junk";
    WriteFuzzFile("duomenys/junk.wav", JUNK, sizeof JUNK);
    if (!InitSound())
    {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile("duomenys/garsai.txt", data, size);
    soundCount = 0;
    std::memset(soundBuffers, 0, sizeof soundBuffers);
    std::memset(soundSources, 0, sizeof soundSources);
    fuzzMessageBoxes = 0;
    // The null device makes every buffer and source asked for, and a line the bank takes gives
    // the library nothing to refuse: the bank always loads, without a message.
    if (!LoadSounds() || fuzzMessageBoxes != 0 || soundCount > SOUND_SLOT_COUNT)
    {
        std::abort();
    }
    for (uint32_t slot = 0; slot < soundCount; ++slot)
    {
        if (!alIsBuffer(soundBuffers[slot]) || !alIsSource(soundSources[slot]))
        {
            std::abort();
        }
    }
    // Give the library its names back, so that a long run does not pile them up.
    alDeleteSources(static_cast<ALsizei>(soundCount), soundSources);
    alDeleteBuffers(static_cast<ALsizei>(soundCount), soundBuffers);
    alGetError();
    return 0;
}
