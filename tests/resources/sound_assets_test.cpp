// The game's own sound list and sounds, as committed under data/.
#include <AL/al.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "resources/sound_bank.h"
#include "tests/support/fake_system.h"
#include "tests/support/test_files.h"

namespace
{

struct ListLine
{
    int looping;
    double height;
    std::string name;
};

// The lines of the committed list, split at CR LF.
std::vector<ListLine> ReadList(std::string* text)
{
    *text = ReadTestFile(SourcePath("data/duomenys/garsai.txt"));
    std::vector<ListLine> lines;
    size_t start = 0;
    while (start <= text->size())
    {
        size_t end = text->find("\r\n", start);
        std::istringstream line(text->substr(start, end - start));
        ListLine entry = {-1, 0.0, ""};
        line >> entry.looping >> entry.height >> entry.name;
        lines.push_back(entry);
        if (end == std::string::npos)
        {
            break;
        }
        start = end + 2;
    }
    return lines;
}

struct Wave
{
    bool pcm16;
    int channels;
    int rate;
    std::vector<int16_t> samples; // interleaved
};

uint32_t LittleEndian(const std::string& bytes, size_t at, int size)
{
    uint32_t value = 0;
    for (int i = 0; i < size; ++i)
    {
        value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    }
    return value;
}

Wave ReadWave(const std::string& path)
{
    Wave wave = {false, 0, 0, {}};
    std::string bytes = ReadTestFile(path);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
    {
        return wave;
    }
    for (size_t at = 12; at + 8 <= bytes.size();)
    {
        std::string id = bytes.substr(at, 4);
        size_t size = LittleEndian(bytes, at + 4, 4);
        if (id == "fmt ")
        {
            wave.pcm16 =
                LittleEndian(bytes, at + 8, 2) == 1 && LittleEndian(bytes, at + 22, 2) == 16;
            wave.channels = static_cast<int>(LittleEndian(bytes, at + 10, 2));
            wave.rate = static_cast<int>(LittleEndian(bytes, at + 12, 4));
        }
        else if (id == "data")
        {
            for (size_t i = 0; i + 1 < size && at + 9 + i < bytes.size(); i += 2)
            {
                wave.samples.push_back(static_cast<int16_t>(LittleEndian(bytes, at + 8 + i, 2)));
            }
        }
        at += 8 + size + (size & 1);
    }
    return wave;
}

double Seconds(const Wave& wave)
{
    return static_cast<double>(wave.samples.size()) / wave.channels / wave.rate;
}

struct LengthRange
{
    double shortest;
    double longest;
};

// Where the game plays each slot: the splash lasts 4 pi s, the music loops, the menu panel
// slides for 1.88 s, the intro of a maze takes 3 s and its outro 5 s.
const LengthRange LENGTHS[7] = {{11.0, 12.5663706}, {20.0, 40.0}, {1.7, 2.1}, {0.01, 0.25},
                                {0.1, 1.0},         {2.5, 3.5},   {4.5, 5.5}};

} // namespace

TEST(GameSounds, TheListNamesSevenSoundsInSlotOrderWithOnlyTheMusicLooping)
{
    std::string text;
    std::vector<ListLine> lines = ReadList(&text);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_NE(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1); // CR LF, not LF alone
    for (size_t slot = 0; slot < lines.size(); ++slot)
    {
        EXPECT_EQ(lines[slot].looping, slot == SND_MUSIC ? 1 : 0) << slot;
        EXPECT_TRUE(std::filesystem::exists(SourcePath("data/" + lines[slot].name)))
            << lines[slot].name;
    }
}

TEST(GameSounds, EverySoundFitsItsPlaceAndStaysBelowFullScale)
{
    std::string text;
    std::vector<ListLine> lines = ReadList(&text);
    ASSERT_EQ(lines.size(), 7u);
    const double peakLimit = 32768.0 * std::pow(10.0, -1.0 / 20.0); // -1 dBFS
    for (size_t slot = 0; slot < lines.size(); ++slot)
    {
        const std::string& name = lines[slot].name;
        Wave wave = ReadWave(SourcePath("data/" + name));
        ASSERT_TRUE(wave.pcm16) << name;
        ASSERT_TRUE(wave.channels == 1 || wave.channels == 2) << name;
        ASSERT_GT(wave.samples.size(), 2u) << name;
        EXPECT_GE(Seconds(wave), LENGTHS[slot].shortest) << name;
        EXPECT_LE(Seconds(wave), LENGTHS[slot].longest) << name;
        int peak = 0;
        double steps = 0.0;
        for (size_t i = 0; i < wave.samples.size(); ++i)
        {
            peak = std::max(peak, std::abs(static_cast<int>(wave.samples[i])));
            if (i >= static_cast<size_t>(wave.channels))
            {
                steps += std::abs(wave.samples[i] - wave.samples[i - wave.channels]);
            }
        }
        EXPECT_LT(peak, peakLimit) << name;
        EXPECT_GT(peak, 0.1 * 32768.0) << name << " is hardly audible";
        double meanStep = steps / static_cast<double>(wave.samples.size());
        for (int channel = 0; channel < wave.channels; ++channel)
        {
            int first = wave.samples[channel];
            int last = wave.samples[wave.samples.size() - wave.channels + channel];
            if (slot == SND_MUSIC)
            {
                // The loop's end joins its beginning like any two neighbouring samples.
                EXPECT_LE(std::abs(last - first), 2.0 * meanStep) << name;
            }
            else
            {
                // A sound that starts or ends away from silence clicks.
                EXPECT_LE(std::abs(first), 0.01 * 32768.0) << name;
                EXPECT_LE(std::abs(last), 0.01 * 32768.0) << name;
            }
        }
    }
}

TEST(GameSounds, TheGamesListLoadsIntoTheSoundBank)
{
    ResetFakeSystem();
    std::filesystem::copy(SourcePath("data/duomenys"), "duomenys",
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    soundCount = 0;
    for (int i = 0; i < SOUND_SLOT_COUNT; ++i)
    {
        soundBuffers[i] = 0;
        soundSources[i] = 0;
    }
    ASSERT_TRUE(InitSound());
    ASSERT_TRUE(LoadSounds());
    EXPECT_EQ(soundCount, 7u);
    for (int slot = 0; slot < 7; ++slot)
    {
        ALint looping = -1;
        alGetSourcei(soundSources[slot], AL_LOOPING, &looping);
        EXPECT_EQ(looping, slot == SND_MUSIC ? AL_TRUE : AL_FALSE) << slot;
        ALint bytes = 0;
        alGetBufferi(soundBuffers[slot], AL_SIZE, &bytes);
        EXPECT_GT(bytes, 0) << slot;
    }
    EXPECT_TRUE(fakeSystem.boxes.empty());
    ShutdownSound();
}
