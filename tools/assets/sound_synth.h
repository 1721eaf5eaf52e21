// A small synthesiser for the game's sounds: soft additive notes, filtered noise, a room echo
// and a WAV writer. Everything is plain double arithmetic and a fixed noise sequence, so the
// same program writes the same bytes on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int SOUND_RATE = 22050;

// A mono track being mixed. A wrapping track is one period of a loop: whatever sounds past its
// end is added at its beginning, so the last sample joins the first without a seam.
struct SoundTrack
{
    std::vector<double> samples;
    bool wraps;
};

// How one note sounds. Its envelope rises over `attack` with a raised cosine, dies away
// exponentially (harmonic k with time constant decay / (1 + brightness * (k - 1))), and falls to
// exactly zero over `release` after `hold`: every note starts and ends at silence.
struct NoteVoice
{
    double attack;
    double decay; // 0: no decay, the note holds its level until the release
    double brightness;
    double hold;
    double release;
    double harmonics[4]; // amplitudes of harmonics 1 to 4
    double detune;       // relative spread of two extra copies for a chorus; 0 for one copy
};

SoundTrack MakeTrack(double seconds, bool wraps);
double TrackSeconds(const SoundTrack& track);
// Equal temperament, A4 (note 69) = 440 Hz.
double NoteFrequency(int midiNote);
void AddNote(SoundTrack* track, double start, double frequency, double gain,
             const NoteVoice& voice);
// Noise through a band-pass filter whose centre glides from `fromHz` to `toHz`, shaped by a
// sine-squared swell over `length`.
void AddNoiseSweep(SoundTrack* track, double start, double length, double fromHz, double toHz,
                   double gain, uint32_t seed);
// A small room: parallel comb filters into all-pass filters, mixed in at `wet`. On a wrapping
// track the echo of the end carries over into the beginning.
void AddRoom(SoundTrack* track, double wet);
// A cosine fall to silence over the last `seconds` of a track.
void FadeOutTrack(SoundTrack* track, double seconds);
// Writes 16-bit mono PCM scaled so that the loudest sample stands at `peakDb` dBFS.
bool WriteWav(const std::string& path, const SoundTrack& track, double peakDb);
