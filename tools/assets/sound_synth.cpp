#include "tools/assets/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

constexpr double TWO_PI = 6.283185307179586;
// Harmonics above this fraction of the sample rate are left out: they would fold back as
// inharmonic whistles.
constexpr double HIGHEST_HARMONIC = 0.42;

size_t SampleAt(double seconds)
{
    return static_cast<size_t>(std::lround(seconds * SOUND_RATE));
}

// Adds one sample at an index counted from the track's start; a wrapping track folds it back
// into its period, any other track drops what falls past its end.
void MixSample(SoundTrack* track, size_t index, double value)
{
    size_t count = track->samples.size();
    if (track->wraps)
    {
        track->samples[index % count] += value;
    }
    else if (index < count)
    {
        track->samples[index] += value;
    }
}

double NoteEnvelope(const NoteVoice& voice, double t)
{
    double level = 1.0;
    if (t < voice.attack)
    {
        level *= 0.5 - 0.5 * std::cos(TWO_PI * 0.5 * t / voice.attack);
    }
    if (t > voice.hold)
    {
        level *= 0.5 + 0.5 * std::cos(TWO_PI * 0.5 * (t - voice.hold) / voice.release);
    }
    return level;
}

// Schroeder's comb filter with a gentle low-pass in its loop, so the echo darkens as it dies.
struct CombFilter
{
    std::vector<double> line;
    size_t at;
    double feedback;
    double damped;
};

struct AllPassFilter
{
    std::vector<double> line;
    size_t at;
};

double RunComb(CombFilter* comb, double input)
{
    double output = comb->line[comb->at];
    comb->damped = output * 0.7 + comb->damped * 0.3;
    comb->line[comb->at] = input + comb->damped * comb->feedback;
    comb->at = (comb->at + 1) % comb->line.size();
    return output;
}

double RunAllPass(AllPassFilter* filter, double input)
{
    constexpr double GAIN = 0.6;
    double delayed = filter->line[filter->at];
    double output = delayed - GAIN * input;
    filter->line[filter->at] = input + GAIN * delayed;
    filter->at = (filter->at + 1) % filter->line.size();
    return output;
}

void PutLittleEndian(std::string* bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
    {
        bytes->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

} // namespace

SoundTrack MakeTrack(double seconds, bool wraps)
{
    SoundTrack track;
    track.samples.assign(SampleAt(seconds), 0.0);
    track.wraps = wraps;
    return track;
}

double TrackSeconds(const SoundTrack& track)
{
    return static_cast<double>(track.samples.size()) / SOUND_RATE;
}

double NoteFrequency(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

void AddNote(SoundTrack* track, double start, double frequency, double gain, const NoteVoice& voice)
{
    const double spreads[3] = {1.0, 1.0 - voice.detune, 1.0 + voice.detune};
    int copies = voice.detune > 0.0 ? 3 : 1;
    size_t first = SampleAt(start);
    size_t length = SampleAt(voice.hold + voice.release);
    for (size_t n = 0; n < length; ++n)
    {
        double t = static_cast<double>(n) / SOUND_RATE;
        double envelope = NoteEnvelope(voice, t);
        double value = 0.0;
        for (int k = 1; k <= 4; ++k)
        {
            double amplitude = voice.harmonics[k - 1];
            if (amplitude == 0.0 || frequency * k > HIGHEST_HARMONIC * SOUND_RATE)
            {
                continue;
            }
            if (voice.decay > 0.0)
            {
                amplitude *= std::exp(-t * (1.0 + voice.brightness * (k - 1)) / voice.decay);
            }
            for (int copy = 0; copy < copies; ++copy)
            {
                value += amplitude * std::sin(TWO_PI * frequency * spreads[copy] * k * t);
            }
        }
        MixSample(track, first + n, gain * envelope * value / copies);
    }
}

void AddNoiseSweep(SoundTrack* track, double start, double length, double fromHz, double toHz,
                   double gain, uint32_t seed)
{
    // A state-variable band-pass filter fed with a fixed linear congruential noise sequence.
    constexpr double DAMPING = 0.5;
    double low = 0.0;
    double band = 0.0;
    uint32_t noise = seed;
    size_t first = SampleAt(start);
    size_t count = SampleAt(length);
    for (size_t n = 0; n < count; ++n)
    {
        double u = static_cast<double>(n) / static_cast<double>(count);
        double centre = fromHz * std::pow(toHz / fromHz, u);
        double tuning = 2.0 * std::sin(TWO_PI * 0.5 * centre / SOUND_RATE);
        noise = noise * 1664525u + 1013904223u;
        double input = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
        low += tuning * band;
        double high = input - low - DAMPING * band;
        band += tuning * high;
        double swell = std::sin(TWO_PI * 0.5 * u);
        MixSample(track, first + n, gain * swell * swell * band);
    }
}

void AddRoom(SoundTrack* track, double wet)
{
    const double combSeconds[4] = {0.0297, 0.0371, 0.0411, 0.0437};
    const double allPassSeconds[2] = {0.0050, 0.0017};
    CombFilter combs[4];
    for (int i = 0; i < 4; ++i)
    {
        combs[i] = {std::vector<double>(SampleAt(combSeconds[i]), 0.0), 0, 0.8, 0.0};
    }
    AllPassFilter allPasses[2];
    for (int i = 0; i < 2; ++i)
    {
        allPasses[i] = {std::vector<double>(SampleAt(allPassSeconds[i]), 0.0), 0};
    }
    // A loop is run through twice and only the second pass is kept: the echo of its end then
    // sounds at its beginning, as it does when the loop plays on.
    std::vector<double> dry = track->samples;
    int passes = track->wraps ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass)
    {
        for (size_t n = 0; n < dry.size(); ++n)
        {
            double echo = 0.0;
            for (CombFilter& comb : combs)
            {
                echo += RunComb(&comb, dry[n]);
            }
            echo *= 0.25;
            for (AllPassFilter& filter : allPasses)
            {
                echo = RunAllPass(&filter, echo);
            }
            track->samples[n] = dry[n] + wet * echo;
        }
    }
}

void FadeOutTrack(SoundTrack* track, double seconds)
{
    size_t count = std::min(SampleAt(seconds), track->samples.size());
    size_t first = track->samples.size() - count;
    for (size_t n = 0; n < count; ++n)
    {
        double u = static_cast<double>(n + 1) / static_cast<double>(count);
        track->samples[first + n] *= 0.5 + 0.5 * std::cos(TWO_PI * 0.5 * u);
    }
}

bool WriteWav(const std::string& path, const SoundTrack& track, double peakDb)
{
    double peak = 0.0;
    for (double sample : track.samples)
    {
        peak = std::max(peak, std::fabs(sample));
    }
    double scale = peak > 0.0 ? std::pow(10.0, peakDb / 20.0) * 32767.0 / peak : 0.0;
    uint32_t dataBytes = static_cast<uint32_t>(track.samples.size() * 2);
    std::string bytes = "RIFF";
    PutLittleEndian(&bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    PutLittleEndian(&bytes, 16, 4);
    PutLittleEndian(&bytes, 1, 2); // PCM
    PutLittleEndian(&bytes, 1, 2); // mono
    PutLittleEndian(&bytes, SOUND_RATE, 4);
    PutLittleEndian(&bytes, SOUND_RATE * 2, 4);
    PutLittleEndian(&bytes, 2, 2);
    PutLittleEndian(&bytes, 16, 2);
    bytes += "data";
    PutLittleEndian(&bytes, dataBytes, 4);
    for (double sample : track.samples)
    {
        long value = std::clamp(std::lround(sample * scale), -32767L, 32767L);
        PutLittleEndian(&bytes, static_cast<uint32_t>(static_cast<int16_t>(value)) & 0xFFFF, 2);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
