#include "resources/sound_bank.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

constexpr const char* LIST_PATH = "duomenys/garsai.txt";

void PutLittleEndian(std::string* bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
    {
        bytes->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A 16-bit mono PCM WAV file of `samples` samples of a quiet square wave; `dataBytes` overrides
// the size its data chunk claims and holds.
std::string MakeWave(uint32_t samples, uint32_t dataBytes = 0)
{
    if (dataBytes == 0)
    {
        dataBytes = samples * 2;
    }
    std::string bytes = "RIFF";
    PutLittleEndian(&bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    PutLittleEndian(&bytes, 16, 4);
    PutLittleEndian(&bytes, 1, 2);
    PutLittleEndian(&bytes, 1, 2);
    PutLittleEndian(&bytes, 22050, 4);
    PutLittleEndian(&bytes, 44100, 4);
    PutLittleEndian(&bytes, 2, 2);
    PutLittleEndian(&bytes, 16, 2);
    bytes += "data";
    PutLittleEndian(&bytes, dataBytes, 4);
    for (uint32_t i = 0; i < dataBytes; ++i)
    {
        bytes.push_back(static_cast<char>(i % 4 < 2 ? 0x00 : 0x10));
    }
    return bytes;
}

// Sound i holds (i + 1) * 100 samples, so a slot's buffer size tells which file it plays.
std::string SoundPath(int i)
{
    return "duomenys/garsas" + std::to_string(i) + ".wav";
}

void WriteSounds(int count)
{
    for (int i = 0; i < count; ++i)
    {
        WriteTestFile(SoundPath(i), MakeWave(static_cast<uint32_t>(i + 1) * 100));
    }
}

int SamplesOfSound(int i)
{
    return (i + 1) * 100;
}

struct SourceFacts
{
    ALint looping;
    ALfloat position[3];
    ALint samples; // of the buffer attached to the source
};

SourceFacts ReadSource(int slot)
{
    SourceFacts facts = {-1, {-9.0f, -9.0f, -9.0f}, -1};
    alGetSourcei(soundSources[slot], AL_LOOPING, &facts.looping);
    alGetSourcefv(soundSources[slot], AL_POSITION, facts.position);
    ALint buffer = 0;
    alGetSourcei(soundSources[slot], AL_BUFFER, &buffer);
    ALint bytes = -1;
    alGetBufferi(static_cast<ALuint>(buffer), AL_SIZE, &bytes);
    facts.samples = bytes / 2;
    return facts;
}

ALint SourceState(int slot)
{
    ALint state = 0;
    alGetSourcei(soundSources[slot], AL_SOURCE_STATE, &state);
    return state;
}

class SoundBank : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetFakeSystem();
        ResetBank();
        ASSERT_TRUE(InitSound());
        RemoveTestFile(LIST_PATH);
    }

    void TearDown() override
    {
        ShutdownSound();
    }

    static void ResetBank()
    {
        soundCount = 0;
        for (int i = 0; i < SOUND_SLOT_COUNT; ++i)
        {
            soundBuffers[i] = 0;
            soundSources[i] = 0;
        }
        sourcePosition[0] = sourcePosition[1] = sourcePosition[2] = 0.0f;
        soundLog = SoundLog{};
    }

    // Loads a list text into a fresh sound bank.
    static bool LoadList(const std::string& list)
    {
        ShutdownSound();
        ResetBank();
        EXPECT_TRUE(InitSound());
        WriteTestFile(LIST_PATH, list);
        return LoadSounds();
    }

    // Takes every source the device will give, so that the next one cannot be made.
    static std::vector<ALuint> HoardSources()
    {
        std::vector<ALuint> hoard;
        alGetError();
        for (int i = 0; i < 100000; ++i)
        {
            ALuint source = 0;
            alGenSources(1, &source);
            if (alGetError() != AL_NO_ERROR)
            {
                break;
            }
            hoard.push_back(source);
        }
        return hoard;
    }
};

} // namespace

TEST_F(SoundBank, ALineGivesItsSourceTheHeightTheLoopFlagAndTheNamedFileOnly)
{
    WriteSounds(3);
    // The second name is followed by a space and words, which are not part of it.
    ASSERT_TRUE(LoadList("1 2.5 " + SoundPath(0) + "\r\n0 0 " + SoundPath(1) +
                         " ir dar keli zodziai\r\n0 -1.25 " + SoundPath(2)));
    ASSERT_EQ(soundCount, 3u);
    const float heights[3] = {2.5f, 0.0f, -1.25f};
    for (int slot = 0; slot < 3; ++slot)
    {
        SourceFacts facts = ReadSource(slot);
        EXPECT_EQ(facts.looping, slot == 0 ? AL_TRUE : AL_FALSE) << slot;
        EXPECT_EQ(facts.position[0], 0.0f) << slot;
        EXPECT_EQ(facts.position[1], heights[slot]) << slot;
        EXPECT_EQ(facts.position[2], 0.0f) << slot;
        EXPECT_EQ(facts.samples, SamplesOfSound(slot)) << slot;
    }
    EXPECT_TRUE(fakeSystem.boxes.empty());
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(SoundBank, TheTablesHoldTenSoundsAndLaterLinesAreDropped)
{
    WriteSounds(12);
    std::string list;
    for (int i = 0; i < 12; ++i)
    {
        list += (i > 0 ? "\r\n" : "") + std::string("0 ") + std::to_string(i) + " " + SoundPath(i);
    }
    ASSERT_TRUE(LoadList(list));
    ASSERT_EQ(soundCount, 10u);
    for (int slot = 0; slot < 10; ++slot)
    {
        SourceFacts facts = ReadSource(slot);
        EXPECT_EQ(facts.samples, SamplesOfSound(slot)) << slot;
        EXPECT_EQ(facts.position[1], static_cast<float>(slot)) << slot;
    }
    EXPECT_TRUE(fakeSystem.boxes.empty());

    // Exactly eleven lines: the eleventh is read and dropped.
    ASSERT_TRUE(LoadList(list.substr(0, list.rfind("\r\n"))));
    EXPECT_EQ(soundCount, 10u);
    EXPECT_EQ(ReadSource(9).samples, SamplesOfSound(9));
}

TEST_F(SoundBank, AMissingListFailsWithoutAMessageOfItsOwn)
{
    EXPECT_FALSE(LoadSounds());
    EXPECT_EQ(soundCount, 0u);
    EXPECT_TRUE(fakeSystem.boxes.empty());
}

TEST_F(SoundBank, ALineThatCannotBeReadEndsTheListQuietly)
{
    WriteSounds(3);
    std::string a = SoundPath(0);
    std::string b = SoundPath(1);
    std::string c = SoundPath(2);
    struct Case
    {
        std::string list;
        uint32_t sounds;
    };
    const Case cases[] = {
        {"0 0 " + a + "\r\n", 1},                                // break after the last
        {"0 0 " + a + "\r\n2 0 " + b + "\r\n0 0 " + c, 1},       // looping not 0 or 1
        {"0 0 " + a + "\r\n1 aukstis " + b + "\r\n0 0 " + c, 1}, // height not a number
        {"0 0 " + a + "\r\n1 0", 1},                             // no file name
        {"0 0 " + a + "\r\n1 0 \r\n0 0 " + c, 1},                // empty file name
        {"", 0},                                                 // empty list
        {"\r\n\r\n0 0 " + a + "\r\n\r\n1 0.5 " + b, 2},          // blank lines skipped
        {"0 0 " + a + "\n1 0 " + b + "\n0 0 " + c, 3},           // LF alone
    };
    for (const Case& entry : cases)
    {
        EXPECT_TRUE(LoadList(entry.list)) << entry.list;
        EXPECT_EQ(soundCount, entry.sounds) << entry.list;
        for (uint32_t slot = 0; slot < soundCount; ++slot)
        {
            EXPECT_GT(ReadSource(static_cast<int>(slot)).samples, 0) << entry.list;
        }
    }
    EXPECT_TRUE(fakeSystem.boxes.empty());
    // Blank lines before a line's values are passed over, so the fifth line fills slot 1.
    LoadList(cases[6].list);
    EXPECT_EQ(ReadSource(1).samples, SamplesOfSound(1));
    EXPECT_EQ(ReadSource(1).looping, AL_TRUE);
}

TEST_F(SoundBank, AWaveThatCannotBeLoadedLeavesItsSlotSilentAndTheGameGoesOn)
{
    WriteSounds(2);
    WriteTestFile("duomenys/tekstas.wav", "tai ne garsas");
    // A data chunk of an odd number of bytes cannot be split into 16-bit samples: the audio
    // library refuses the upload.
    WriteTestFile("duomenys/nelyginis.wav", MakeWave(0, 201));
    ASSERT_TRUE(LoadList("0 0 duomenys/nera.wav\r\n0 0 duomenys/tekstas.wav\r\n0 0 "
                         "duomenys/nelyginis.wav\r\n1 1 " +
                         SoundPath(1)));
    ASSERT_EQ(soundCount, 4u);
    EXPECT_TRUE(fakeSystem.boxes.empty());
    for (int slot = 0; slot < 3; ++slot)
    {
        EXPECT_EQ(ReadSource(slot).samples, 0) << slot;
    }
    SourceFacts last = ReadSource(3);
    EXPECT_EQ(last.samples, SamplesOfSound(1));
    EXPECT_EQ(last.looping, AL_TRUE);
    // Starting a silent slot is harmless.
    alGetError();
    StartSound(SND_SPLASH);
    StartSound(SND_MENU_SLIDE);
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
    StartSound(SND_MENU_MOVE);
    EXPECT_EQ(SourceState(3), AL_PLAYING);
}

TEST_F(SoundBank, ASourceThatCannotBeMadeIsReported)
{
    WriteSounds(2);
    WriteTestFile(LIST_PATH, "0 0 " + SoundPath(0) + "\r\n0 0 " + SoundPath(1));
    std::vector<ALuint> hoard = HoardSources();
    ASSERT_FALSE(hoard.empty());
    EXPECT_FALSE(LoadSounds());
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_EQ(fakeSystem.boxes[0].text, "Klaida alGenSources");
    EXPECT_EQ(fakeSystem.boxes[0].caption, "ERROR");
    EXPECT_EQ(fakeSystem.boxes[0].icon, ICON_EXCLAMATION);
    EXPECT_EQ(soundCount, 0u);
    alDeleteSources(static_cast<ALsizei>(hoard.size()), hoard.data());
}

TEST_F(SoundBank, ABufferThatCannotBeMadeIsReported)
{
    WriteSounds(1);
    WriteTestFile(LIST_PATH, "0 0 " + SoundPath(0));
    // Without a current context the library makes nothing.
    ALCcontext* context = alcGetCurrentContext();
    alcMakeContextCurrent(nullptr);
    EXPECT_FALSE(LoadSounds());
    alcMakeContextCurrent(context);
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_EQ(fakeSystem.boxes[0].text, "Klaida alGenBuffers");
    EXPECT_EQ(fakeSystem.boxes[0].caption, "ERROR");
    EXPECT_EQ(soundCount, 0u);
}

TEST_F(SoundBank, StartingAndStoppingPlayTheSlotsOwnSourceAndAreCounted)
{
    WriteTestFile("duomenys/ilgas.wav", MakeWave(22050));
    ASSERT_TRUE(LoadList("0 0 duomenys/ilgas.wav\r\n0 0 duomenys/ilgas.wav"));
    StartSound(SND_MUSIC);
    EXPECT_EQ(SourceState(SND_MUSIC), AL_PLAYING);
    EXPECT_NE(SourceState(SND_SPLASH), AL_PLAYING);
    StartSound(SND_MUSIC); // a restart, counted again
    StopSound(SND_MUSIC);
    EXPECT_EQ(SourceState(SND_MUSIC), AL_STOPPED);
    EXPECT_EQ(soundLog.starts[SND_MUSIC], 2u);
    EXPECT_EQ(soundLog.stops[SND_MUSIC], 1u);
    for (int slot = 0; slot < SOUND_SLOT_COUNT; ++slot)
    {
        if (slot != SND_MUSIC)
        {
            EXPECT_EQ(soundLog.starts[slot] + soundLog.stops[slot], 0u) << slot;
        }
    }
}

TEST_F(SoundBank, ShuttingDownClosesTheDeviceWhateverTheDeleteCallsReport)
{
    // Seven sounds leave slots 7 to 9 empty, and the buffers are still attached to their
    // sources: the delete calls leave an error behind.
    WriteSounds(7);
    std::string list;
    for (int i = 0; i < 7; ++i)
    {
        list += (i > 0 ? "\r\n" : "") + std::string("0 0 ") + SoundPath(i);
    }
    ASSERT_TRUE(LoadList(list));
    ShutdownSound();
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    ResetBank();
    ASSERT_TRUE(InitSound()); // for TearDown
}
