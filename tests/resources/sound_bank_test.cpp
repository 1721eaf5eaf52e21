#include "resources/sound_bank.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

// A 16-bit mono PCM WAV file whose data chunk holds `dataBytes` bytes.
std::string MakeWave(uint32_t dataBytes)
{
    auto word = [](uint32_t value, int size)
    { return std::string(reinterpret_cast<char*>(&value), size); };
    return "RIFF" + word(36 + dataBytes, 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(1, 2) +
           word(22050, 4) + word(44100, 4) + word(2, 2) + word(16, 2) + "data" +
           word(dataBytes, 4) + std::string(dataBytes, '\x10');
}

// Sound i holds (i + 1) * 100 samples, so a slot's buffer tells which file it plays.
std::string Sound(int i)
{
    std::string path = "duomenys/garsas" + std::to_string(i) + ".wav";
    WriteTestFile(path, MakeWave(static_cast<uint32_t>(i + 1) * 200));
    return path;
}

// A slot's source as "looping (x, y, z) samples", read back from the library.
std::string Describe(int slot)
{
    ALint looping = -1, buffer = 0, bytes = -2;
    ALfloat at[3] = {-9.0f, -9.0f, -9.0f};
    alGetSourcei(soundSources[slot], AL_LOOPING, &looping);
    alGetSourcefv(soundSources[slot], AL_POSITION, at);
    alGetSourcei(soundSources[slot], AL_BUFFER, &buffer);
    alGetBufferi(static_cast<ALuint>(buffer), AL_SIZE, &bytes);
    char text[80];
    std::snprintf(text, sizeof text, "%d (%g, %g, %g) %d", looping, at[0], at[1], at[2], bytes / 2);
    return text;
}

// Loads a list into an empty sound bank.
bool LoadList(const std::string& list)
{
    soundCount = 0;
    WriteTestFile("duomenys/garsai.txt", list);
    return LoadSounds();
}

} // namespace

TEST(SoundBank, LinesFillTheTenSlotsInOrderAndALineThatCannotBeReadEndsTheListQuietly)
{
    ResetFakeSystem();
    ASSERT_TRUE(InitSound());
    const std::string a = "0 0 " + Sound(0), b = "1 0.5 " + Sound(1), c = "0 0 " + Sound(2);
    std::string eleven = a;
    for (int i = 1; i < SOUND_SLOT_COUNT + 1; ++i)
    {
        eleven += "\r\n0 " + std::to_string(i) + " " + Sound(i);
    }
    struct Case
    {
        std::string list;
        uint32_t sounds;
    };
    const Case cases[] = {
        {eleven, SOUND_SLOT_COUNT},                            // the eleventh line is dropped
        {a + "\r\n", 1},                                       // break after the last line
        {a + "\r\n2 0 duomenys/garsas1.wav\r\n" + c, 1},       // looping not 0 or 1
        {a + "\r\n1 aukstis duomenys/garsas1.wav\r\n" + c, 1}, // height not a number
        {a + "\r\n0 1e39 duomenys/garsas1.wav\r\n" + c, 1},    // beyond a float
        {a + "\r\n1 0", 1},                                    // no file name
        {a + "\r\n1 0 \r\n" + c, 1},                           // empty file name
        {"", 0},                                               // empty list
        {"\r\n\r\n" + a + "\r\n\r\n" + b, 2},                  // blank lines passed over
        {a + "\n" + b + "\n" + c, 3},                          // LF alone
    };
    for (const Case& c : cases)
    {
        EXPECT_TRUE(LoadList(c.list)) << c.list;
        EXPECT_EQ(soundCount, c.sounds) << c.list;
        for (uint32_t slot = 0; slot < soundCount; ++slot)
        {
            // Each line names the next sound file (appended: GCC 12 warns falsely on " " + text).
            std::string name = std::string(" ").append(std::to_string((slot + 1) * 100));
            EXPECT_TRUE(Describe(static_cast<int>(slot)).ends_with(name)) << c.list;
        }
    }
    EXPECT_TRUE(fakeSystem.boxes.empty());
    ShutdownSound();
}

// A line sets looping, height and file, and what follows the name is a comment; a file that
// cannot be loaded leaves its slot silent, a buffer that cannot be made is reported.
TEST(SoundBank, ALineSetsItsSlotAndAWaveThatCannotBeLoadedLeavesItSilentAndTheOthersPlay)
{
    ResetFakeSystem();
    ASSERT_TRUE(InitSound());
    WriteTestFile("duomenys/tekstas.wav", "tai ne garsas");
    // An odd number of data bytes cannot be split into 16-bit samples: the library refuses them.
    WriteTestFile("duomenys/nelyginis.wav", MakeWave(201));
    const std::string music = Sound(200); // long enough to be still playing
    ASSERT_TRUE(LoadList("0 -1.25 duomenys/nera.wav\r\n1 2.5 " + music +
                         " ir dar zodziai\r\n0 0 duomenys/tekstas.wav\r\n"
                         "0 0 duomenys/nelyginis.wav"));
    ASSERT_EQ(soundCount, 4u);
    EXPECT_TRUE(fakeSystem.boxes.empty());
    EXPECT_EQ(Describe(SND_SPLASH), "0 (0, -1.25, 0) 0");
    EXPECT_EQ(Describe(SND_MUSIC), "1 (0, 2.5, 0) 20100");
    EXPECT_EQ(Describe(SND_MENU_SLIDE), "0 (0, 0, 0) 0");
    EXPECT_EQ(Describe(SND_MENU_MOVE), "0 (0, 0, 0) 0");
    alGetError();
    StartSound(SND_SPLASH); // silence, harmlessly
    StartSound(SND_MUSIC);
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
    ALint state = 0;
    alGetSourcei(soundSources[SND_MUSIC], AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING);
    StopSound(SND_MUSIC);
    alGetSourcei(soundSources[SND_MUSIC], AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_STOPPED);
    // The delete calls fail on the empty slots and attached buffers, and leave an error behind:
    // the device is closed all the same.
    ShutdownSound();
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    // Without a current context the library makes nothing.
    EXPECT_FALSE(LoadList("0 0 " + music));
    ASSERT_EQ(fakeSystem.boxes.size(), 1u);
    EXPECT_EQ(fakeSystem.boxes[0].caption + ": " + fakeSystem.boxes[0].text,
              "ERROR: Klaida alGenBuffers");
    EXPECT_EQ(soundCount, 0u);
}
