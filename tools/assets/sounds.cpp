// The game's seven sounds, all in D major: soft mallets, bells, a chorus pad and a round bass,
// with a little room echo. Peaks are set so that the music and any effect played over it stay
// below full scale together.
#include "tools/assets/assets.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/assets/sound_synth.h"

namespace
{

// Voices: attack, decay, brightness, hold, release, harmonics, detune.
constexpr NoteVoice MALLET = {0.006, 0.45, 1.5, 1.0, 0.5, {1.0, 0.35, 0.12, 0.05}, 0.0};
constexpr NoteVoice SHORT_MALLET = {0.005, 0.3, 1.5, 0.6, 0.3, {1.0, 0.3, 0.1, 0.0}, 0.0};
constexpr NoteVoice BELL = {0.008, 1.1, 2.0, 1.6, 1.0, {1.0, 0.3, 0.15, 0.06}, 0.0};
constexpr NoteVoice BASS = {0.03, 1.5, 1.0, 1.3, 0.4, {1.0, 0.4, 0.1, 0.0}, 0.0};
constexpr NoteVoice TICK = {0.0015, 0.012, 2.0, 0.05, 0.03, {1.0, 0.2, 0.0, 0.0}, 0.0};
constexpr NoteVoice CHIME = {0.005, 0.18, 1.5, 0.35, 0.2, {1.0, 0.25, 0.08, 0.0}, 0.0};

// A pad note held for `hold` seconds (at least its attack).
NoteVoice PadVoice(double attack, double hold, double release)
{
    return {attack, 0.0, 0.0, hold, release, {1.0, 0.25, 0.08, 0.0}, 0.003};
}

NoteVoice WithHold(NoteVoice voice, double hold, double release)
{
    voice.hold = hold;
    voice.release = release;
    return voice;
}

// A chord of the pieces: the pad's three notes, the upper notes the mallets pick from, the bass.
struct Chord
{
    int pad[3];
    int upper[4];
    int bass;
};

constexpr Chord CHORD_D = {{62, 66, 69}, {74, 78, 81, 86}, 50};
constexpr Chord CHORD_B_MINOR = {{62, 66, 71}, {74, 78, 83, 86}, 47};
constexpr Chord CHORD_G = {{62, 67, 71}, {74, 79, 83, 86}, 43};
constexpr Chord CHORD_A = {{61, 64, 69}, {73, 76, 81, 85}, 45};
constexpr Chord CHORD_F_SHARP_MINOR = {{61, 66, 69}, {73, 78, 81, 85}, 42};

void AddPadChord(SoundTrack* track, double start, const Chord& chord, double gain,
                 const NoteVoice& voice)
{
    for (int note : chord.pad)
    {
        AddNote(track, start, NoteFrequency(note), gain, voice);
    }
}

// The notes of a chord struck one after another, `spread` seconds apart.
void AddRolledChord(SoundTrack* track, double start, const int* notes, int count, double spread,
                    double gain, const NoteVoice& voice)
{
    for (int i = 0; i < count; ++i)
    {
        AddNote(track, start + i * spread, NoteFrequency(notes[i]), gain, voice);
    }
}

// The title jingle, 12 s (the splash lasts 4 pi s): an arpeggio over D, B minor, G and A that
// settles on a rolled D major chord of bells and rings out.
SoundTrack MakeSplash()
{
    SoundTrack track = MakeTrack(12.0, false);
    const Chord* chords[4] = {&CHORD_D, &CHORD_B_MINOR, &CHORD_G, &CHORD_A};
    const int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 1};
    for (int c = 0; c < 4; ++c)
    {
        double start = c * 2.0;
        AddPadChord(&track, start, *chords[c], 0.10, PadVoice(0.6, 1.9, 1.0));
        AddNote(&track, start, NoteFrequency(chords[c]->bass), 0.30, BASS);
        for (int step = 0; step < 8; ++step)
        {
            double gain = 0.16 + 0.02 * c;
            AddNote(&track, start + step * 0.25, NoteFrequency(chords[c]->upper[pattern[step]]),
                    gain, MALLET);
        }
    }
    AddPadChord(&track, 8.0, CHORD_D, 0.11, PadVoice(0.5, 2.2, 1.4));
    AddNote(&track, 8.0, NoteFrequency(CHORD_D.bass), 0.32, WithHold(BASS, 2.2, 1.2));
    const int finale[5] = {74, 78, 81, 86, 90};
    AddRolledChord(&track, 8.0, finale, 5, 0.15, 0.22, WithHold(BELL, 2.2, 1.2));
    AddRoom(&track, 0.35);
    FadeOutTrack(&track, 0.3);
    return track;
}

// The music, a 32 s loop at 120 beats a minute: eight chords of four seconds, the last (A)
// leading back into the first (D). An arpeggio runs through the first half; a melody sings
// over a lighter arpeggio in the second.
SoundTrack MakeMusic()
{
    constexpr double BEAT = 0.5;
    SoundTrack track = MakeTrack(32.0, true);
    const Chord* chords[8] = {&CHORD_D, &CHORD_B_MINOR,       &CHORD_G, &CHORD_A,
                              &CHORD_D, &CHORD_F_SHARP_MINOR, &CHORD_G, &CHORD_A};
    const int arpeggio[16] = {0, 1, 2, 3, 2, 1, 0, 1, 0, 1, 2, 3, 2, 3, 2, 1};
    for (int c = 0; c < 8; ++c)
    {
        const Chord& chord = *chords[c];
        double start = c * 8 * BEAT;
        AddPadChord(&track, start, chord, 0.12, PadVoice(0.8, 3.7, 1.2));
        AddNote(&track, start, NoteFrequency(chord.bass), 0.30, BASS);
        AddNote(&track, start + 3 * BEAT, NoteFrequency(chord.bass), 0.18,
                WithHold(BASS, 0.4, 0.2));
        AddNote(&track, start + 4 * BEAT, NoteFrequency(chord.bass + 7), 0.22,
                WithHold(BASS, 1.0, 0.3));
        AddNote(&track, start + 6 * BEAT, NoteFrequency(chord.bass), 0.20,
                WithHold(BASS, 0.8, 0.3));
        for (int step = 0; step < 16; ++step)
        {
            // In the second half only the off-beats sound, under the melody.
            if (c >= 4 && step % 2 == 0)
            {
                continue;
            }
            double gain = step % 4 == 0 ? 0.09 : 0.07;
            AddNote(&track, start + step * BEAT / 2, NoteFrequency(chord.upper[arpeggio[step]]),
                    gain, SHORT_MALLET);
        }
    }
    // Beat (from 16 s), note: D major pentatonic over D, F# minor, G, A.
    const int melody[][2] = {{0, 81},  {2, 78},  {3, 76},  {4, 74},  {6, 76},  {8, 78},
                             {10, 81}, {12, 78}, {14, 76}, {16, 74}, {17, 76}, {18, 79},
                             {20, 83}, {22, 81}, {24, 81}, {26, 76}, {28, 73}, {30, 76}};
    NoteVoice singing = WithHold({0.012, 0.8, 1.2, 1.0, 0.5, {1.0, 0.3, 0.1, 0.04}, 0.0}, 1.1, 0.5);
    for (const int* note : melody)
    {
        AddNote(&track, 16.0 + note[0] * BEAT, NoteFrequency(note[1]), 0.20, singing);
    }
    AddRoom(&track, 0.3);
    return track;
}

// The menu panel slides for 1.88 s: air gliding upwards under a faint open fifth.
SoundTrack MakeMenuSlide()
{
    SoundTrack track = MakeTrack(1.9, false);
    AddNoiseSweep(&track, 0.0, 1.85, 300.0, 1600.0, 0.5, 20240611u);
    AddNote(&track, 0.1, NoteFrequency(74), 0.05, PadVoice(0.7, 0.9, 0.7));
    AddNote(&track, 0.1, NoteFrequency(81), 0.04, PadVoice(0.7, 0.9, 0.7));
    AddRoom(&track, 0.25);
    FadeOutTrack(&track, 0.1);
    return track;
}

// One step of the menu highlight: a soft wooden tick.
SoundTrack MakeMenuMove()
{
    SoundTrack track = MakeTrack(0.09, false);
    AddNote(&track, 0.0, NoteFrequency(90), 1.0, TICK);
    return track;
}

// A choice made: two chimes a fifth apart.
SoundTrack MakeConfirm()
{
    SoundTrack track = MakeTrack(0.6, false);
    AddNote(&track, 0.0, NoteFrequency(81), 0.5, CHIME);
    AddNote(&track, 0.07, NoteFrequency(88), 0.4, CHIME);
    AddRoom(&track, 0.2);
    FadeOutTrack(&track, 0.05);
    return track;
}

// The 3 s intro of a maze, while its blocks fly into place: a rising D major arpeggio over two
// octaves that opens into a sparkle.
SoundTrack MakeLevelStart()
{
    SoundTrack track = MakeTrack(3.0, false);
    const int rising[7] = {62, 66, 69, 74, 78, 81, 86};
    AddRolledChord(&track, 0.0, rising, 7, 0.14, 0.22, MALLET);
    AddPadChord(&track, 0.0, CHORD_D, 0.09, PadVoice(0.6, 1.4, 1.0));
    AddNote(&track, 0.0, NoteFrequency(CHORD_D.bass), 0.28, WithHold(BASS, 1.2, 0.8));
    AddNote(&track, 0.98, NoteFrequency(90), 0.12, WithHold(BELL, 0.9, 0.6));
    AddNote(&track, 1.12, NoteFrequency(93), 0.10, WithHold(BELL, 0.9, 0.6));
    AddRoom(&track, 0.3);
    FadeOutTrack(&track, 0.3);
    return track;
}

// The 5 s outro of a finished maze: a cadence of G, A and D, the last chord rolled on bells and
// crowned by a rising sparkle.
SoundTrack MakeLevelDone()
{
    SoundTrack track = MakeTrack(5.0, false);
    const int chordG[4] = {67, 71, 74, 79};
    const int chordA[4] = {69, 73, 76, 81};
    const int chordD[4] = {74, 78, 81, 86};
    AddRolledChord(&track, 0.0, chordG, 4, 0.06, 0.16, MALLET);
    AddPadChord(&track, 0.0, CHORD_G, 0.08, PadVoice(0.3, 0.6, 0.6));
    AddNote(&track, 0.0, NoteFrequency(CHORD_G.bass), 0.26, WithHold(BASS, 0.6, 0.3));
    AddRolledChord(&track, 0.8, chordA, 4, 0.06, 0.16, MALLET);
    AddPadChord(&track, 0.8, CHORD_A, 0.08, PadVoice(0.3, 0.6, 0.6));
    AddNote(&track, 0.8, NoteFrequency(CHORD_A.bass), 0.26, WithHold(BASS, 0.6, 0.3));
    AddRolledChord(&track, 1.6, chordD, 4, 0.06, 0.18, WithHold(BELL, 1.6, 1.0));
    AddPadChord(&track, 1.6, CHORD_D, 0.09, PadVoice(0.4, 1.8, 1.4));
    AddNote(&track, 1.6, NoteFrequency(CHORD_D.bass), 0.28, WithHold(BASS, 1.8, 1.2));
    const int sparkle[3] = {90, 93, 98};
    AddRolledChord(&track, 2.0, sparkle, 3, 0.12, 0.08, WithHold(BELL, 1.4, 1.0));
    AddRoom(&track, 0.3);
    FadeOutTrack(&track, 0.3);
    return track;
}

struct SoundFile
{
    const char* name;
    SoundTrack (*make)();
    double peakDb;
    bool looping;
};

// In slot order: the line of each sound in the list is its slot.
const SoundFile SOUND_FILES[] = {
    {"duomenys/ivadas.wav", MakeSplash, -3.0, false},
    {"duomenys/muzika.wav", MakeMusic, -9.0, true},
    {"duomenys/meniu_slinktis.wav", MakeMenuSlide, -8.0, false},
    {"duomenys/meniu_zingsnis.wav", MakeMenuMove, -10.0, false},
    {"duomenys/patvirtinimas.wav", MakeConfirm, -6.0, false},
    {"duomenys/lygio_pradzia.wav", MakeLevelStart, -6.0, false},
    {"duomenys/lygio_pabaiga.wav", MakeLevelDone, -5.0, false},
};

// The sound list: looping flag, height 0 (every source stands at the listener), the file; CR LF
// between lines and none after the last.
bool WriteSoundList(const std::string& dataDir)
{
    std::string list;
    for (const SoundFile& sound : SOUND_FILES)
    {
        if (!list.empty())
        {
            list += "\r\n";
        }
        list += std::string(sound.looping ? "1" : "0") + " 0 " + sound.name;
    }
    FILE* file = std::fopen((dataDir + "/duomenys/garsai.txt").c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    bool written = std::fwrite(list.data(), 1, list.size(), file) == list.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

bool MakeSounds(const char* dataDir)
{
    std::error_code error;
    std::filesystem::create_directories(std::string(dataDir) + "/duomenys", error);
    bool made = WriteSoundList(dataDir);
    for (const SoundFile& sound : SOUND_FILES)
    {
        std::string path = std::string(dataDir) + "/" + sound.name;
        if (!WriteWav(path, sound.make(), sound.peakDb))
        {
            std::fprintf(stderr, "vortanai-assets: cannot write %s\n", path.c_str());
            made = false;
        }
    }
    return made;
}
