// The game's own sound list and sounds, as committed under data/.
#include <AL/alut.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "resources/sound_bank.h"
#include "tests/support/test_files.h"

TEST(GameSounds, EachSoundFitsItsSlotsMomentAndNeitherClipsNorClicks)
{
    // Where the game plays each slot, in seconds: the splash lasts 4 pi s, the music loops, the
    // menu panel slides for 1.88 s, the intro of a maze takes 3 s and its outro 5 s.
    const double lengths[][2] = {{11.0, 12.5663706}, {20.0, 40.0}, {1.7, 2.1}, {0.01, 0.25},
                                 {0.1, 1.0},         {2.5, 3.5},   {4.5, 5.5}};
    std::istringstream list(ReadTestFile(SourcePath("data/duomenys/garsai.txt")));
    int slot = 0, looping = 0;
    double height = 0.0;
    std::string name;
    alutInit(nullptr, nullptr); // the loader wants a current context
    for (; slot <= SND_LEVEL_DONE && list >> looping >> height >> name; ++slot)
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(looping, slot == SND_MUSIC ? 1 : 0);
        ALenum format = 0;
        ALsizei bytes = 0;
        ALfloat rate = 0.0f;
        void* data =
            alutLoadMemoryFromFile(SourcePath("data/" + name).c_str(), &format, &bytes, &rate);
        ASSERT_TRUE(format == AL_FORMAT_MONO16 || format == AL_FORMAT_STEREO16);
        const std::vector<int> samples(static_cast<int16_t*>(data),
                                       static_cast<int16_t*>(data) + bytes / 2);
        std::free(data);
        const size_t channels = format == AL_FORMAT_STEREO16 ? 2 : 1;
        ASSERT_GT(samples.size(), 2 * channels);
        const double seconds = static_cast<double>(samples.size() / channels) / rate;
        EXPECT_GE(seconds, lengths[slot][0]);
        EXPECT_LE(seconds, lengths[slot][1]);
        int peak = 0;
        double steps = 0.0;
        for (size_t i = 0; i < samples.size(); ++i)
        {
            peak = std::max(peak, std::abs(samples[i]));
            steps += i >= channels ? std::abs(samples[i] - samples[i - channels]) : 0;
        }
        EXPECT_LT(peak, 32768.0 * std::pow(10.0, -1.0 / 20.0)); // -1 dBFS
        EXPECT_GT(peak, 0.1 * 32768.0) << "hardly audible";
        const double meanStep = steps / static_cast<double>(samples.size());
        for (size_t channel = 0; channel < channels; ++channel)
        {
            int start = samples[channel];
            int end = samples[samples.size() - channels + channel];
            // A sound that starts or ends away from silence clicks; the music's end must join its
            // beginning like any two neighbouring samples.
            EXPECT_LE(slot == SND_MUSIC ? std::abs(end - start)
                                        : std::max(std::abs(start), std::abs(end)),
                      slot == SND_MUSIC ? 2.0 * meanStep : 0.01 * 32768.0);
        }
    }
    alutExit();
    EXPECT_EQ(slot, SND_LEVEL_DONE + 1);
    EXPECT_TRUE((list >> name).fail()) << "more sounds listed than the game plays";
}
