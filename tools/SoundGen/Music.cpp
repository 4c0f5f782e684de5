// The demo's music tracks, written out as notes: each track is a chord progression played by
// a pad or a bass, a pattern over the chords and a melody, mixed in stereo and given a room.

#include "Sounds.h"

#include <cmath>
#include <vector>

namespace Sounds {

namespace {

using namespace Synth;

// A note of a melody: when (in beats), how long (in beats), which (MIDI number).
struct Note {
    double beat, beats;
    int midi;
};

// A chord held for a number of beats, its notes as MIDI numbers.
struct Chord {
    double beats;
    std::vector<int> notes;
};

double Seconds(double beats, double bpm) {
    return beats * 60.0 / bpm;
}

// Pads holding each chord, with soft attacks and releases that overlap the next chord.
void PlayPads(Buffer& out, const std::vector<Chord>& chords, double bpm, double cutoff, float gain,
              std::uint64_t seed) {
    const Envelope env{0.9, 0.5, 0.8, 1.6};
    double beat = 0.0;
    for (const Chord& chord : chords) {
        for (std::size_t i = 0; i < chord.notes.size(); ++i) {
            const float pan = float(i) / float(chord.notes.size()) - 0.4f;
            out.Add(Pad(out.rate, NoteHz(chord.notes[i]), Seconds(chord.beats, bpm), env, cutoff,
                        seed + i),
                    Seconds(beat, bpm), gain, pan);
        }
        beat += chord.beats;
        ++seed;
    }
}

// A pattern of chord tones: step k of `pattern` plays the chord's note `pattern[k]` (counted
// upwards through the octaves) one `step` of beats after the last.
template <typename Voice>
void PlayPattern(Buffer& out, const std::vector<Chord>& chords, double bpm, double step,
                 const std::vector<int>& pattern, float gain, Voice voice) {
    double beat = 0.0;
    std::uint64_t seed = 100;
    for (const Chord& chord : chords) {
        const int steps = int(std::lround(chord.beats / step));
        for (int k = 0; k < steps; ++k) {
            const int index = pattern[std::size_t(k) % pattern.size()];
            const int size = int(chord.notes.size());
            const int midi = chord.notes[std::size_t(index % size)] + 12 * (index / size);
            const float pan = 0.5f * float(std::sin(k * 1.3));
            out.Add(voice(midi, seed++), Seconds(beat + k * step, bpm), gain, pan);
        }
        beat += chord.beats;
    }
}

template <typename Voice>
void PlayMelody(Buffer& out, const std::vector<Note>& notes, double bpm, float gain, float pan,
                Voice voice) {
    std::uint64_t seed = 500;
    for (const Note& note : notes) {
        out.Add(voice(note.midi, Seconds(note.beats, bpm), seed++), Seconds(note.beat, bpm), gain,
                pan);
    }
}

// Bars of a melody written bar by bar: each bar's notes are (beat in the bar, beats, midi).
std::vector<Note> Bars(const std::vector<std::vector<Note>>& bars, double beatsPerBar) {
    std::vector<Note> notes;
    for (std::size_t b = 0; b < bars.size(); ++b) {
        for (Note n : bars[b]) {
            n.beat += double(b) * beatsPerBar;
            notes.push_back(n);
        }
    }
    return notes;
}

Buffer Finish(Buffer& out, float peak) {
    Reverb(out, 0.045, 0.78, 0.45f);
    out.Normalize(peak);
    return std::move(out);
}

} // namespace

Buffer Theme() {
    constexpr double kBpm = 70.0;
    const std::vector<Chord> chords = {
        {4, {45, 57, 60, 64}}, {4, {41, 57, 60, 65}}, {4, {48, 55, 60, 64}}, {4, {43, 55, 59, 62}},
        {4, {45, 57, 60, 64}}, {4, {41, 57, 60, 65}}, {4, {38, 57, 62, 65}}, {4, {40, 56, 59, 64}},
    };
    // Two passes of the eight bars, then a tail for the last chord to ring out.
    std::vector<Chord> twice = chords;
    twice.insert(twice.end(), chords.begin(), chords.end());
    Buffer out(44100, 2, Seconds(64, kBpm) + 3.0);
    PlayPads(out, twice, kBpm, 900.0, 0.12f, 1);
    PlayPattern(out, twice, kBpm, 0.5, {1, 2, 3, 5, 6, 5, 3, 2}, 0.18f,
                [&](int midi, std::uint64_t seed) {
                    return Pluck(out.rate, NoteHz(midi), 1.6, 0.2, seed);
                });
    const std::vector<Note> melody = Bars(
        {
            {{0, 1.5, 76}, {1.5, 0.5, 74}, {2, 2, 72}},
            {{0, 2, 69}, {2, 1, 72}, {3, 1, 74}},
            {{0, 3, 76}, {3, 1, 79}},
            {{0, 4, 74}},
            {{0, 1.5, 72}, {1.5, 0.5, 71}, {2, 2, 69}},
            {{0, 2, 65}, {2, 2, 69}},
            {{0, 1, 72}, {1, 1, 71}, {2, 1, 69}, {3, 1, 68}},
            {{0, 2, 71}, {2, 2, 68}},
        },
        4);
    std::vector<Note> both = melody;
    for (Note n : melody) {
        n.beat += 32;
        both.push_back(n);
    }
    PlayMelody(out, both, kBpm, 0.45f, 0.15f, [&](int midi, double seconds, std::uint64_t seed) {
        return Pluck(out.rate, NoteHz(midi), seconds + 1.2, 0.55, seed);
    });
    return Finish(out, kMusicPeak);
}

Buffer House() {
    constexpr double kBpm = 96.0;
    const std::vector<Chord> chords = {
        {3, {50, 62, 65, 69}}, {3, {43, 62, 67, 70}}, {3, {45, 61, 64, 69}}, {3, {50, 62, 65, 69}},
        {3, {46, 62, 65, 70}}, {3, {43, 62, 67, 70}}, {3, {45, 61, 64, 67}}, {3, {50, 62, 65, 69}},
    };
    std::vector<Chord> twice = chords;
    twice.insert(twice.end(), chords.begin(), chords.end());
    Buffer out(44100, 2, Seconds(48, kBpm) + 3.0);
    const std::vector<double> box = {1.0, 2.0, 3.01, 4.16, 5.43};
    // The waltz: a low plucked bass on the first beat, the music box on the other two.
    PlayPattern(out, twice, kBpm, 3.0, {0}, 0.5f, [&](int midi, std::uint64_t seed) {
        return Pluck(out.rate, NoteHz(midi), 2.0, 0.1, seed);
    });
    double beat = 0.0;
    for (const Chord& chord : twice) {
        for (int k = 1; k < 3; ++k) {
            for (std::size_t i = 1; i < chord.notes.size(); ++i) {
                out.Add(Bell(out.rate, NoteHz(chord.notes[i]), 1.2, box, 4.0),
                        Seconds(beat + k, kBpm), 0.07f, 0.3f * float(i) - 0.6f);
            }
        }
        beat += chord.beats;
    }
    const std::vector<Note> melody = Bars(
        {
            {{0, 2, 81}, {2, 1, 77}},
            {{0, 1, 79}, {1, 1, 77}, {2, 1, 74}},
            {{0, 2, 76}, {2, 1, 73}},
            {{0, 3, 74}},
            {{0, 2, 77}, {2, 1, 74}},
            {{0, 1, 79}, {1, 1, 82}, {2, 1, 79}},
            {{0, 1.5, 76}, {1.5, 0.5, 77}, {2, 1, 76}},
            {{0, 3, 74}},
        },
        3);
    std::vector<Note> both = melody;
    for (Note n : melody) {
        n.beat += 24;
        n.midi -= 12 * (n.midi > 80);
        both.push_back(n);
    }
    PlayMelody(out, both, kBpm, 0.22f, 0.1f, [&](int midi, double seconds, std::uint64_t) {
        return Bell(out.rate, NoteHz(midi), seconds + 1.5, box, 2.5);
    });
    return Finish(out, kMusicPeak);
}

Buffer Night() {
    constexpr double kSeconds = 30.0;
    Buffer out(44100, 2, kSeconds);
    // A drone of open fifths, slowly opening and closing.
    for (int midi : {40, 47, 52, 59}) {
        const std::vector<float> pad = Pad(out.rate, NoteHz(midi), kSeconds - 3.0,
                                           Envelope{0.8, 1.0, 1.0, 2.5}, 500.0 + 8.0 * midi, midi);
        out.Add(pad, 0.0, 0.14f, midi % 2 == 0 ? -0.3f : 0.3f);
    }
    // Wind: noise whose brightness swells and falls.
    Random random(77);
    OnePole wind;
    for (std::size_t i = 0; i < out.Frames(); ++i) {
        const double t = double(i) / out.rate;
        const double swell = 0.5 + 0.5 * std::sin(t * 0.41) * std::sin(t * 0.23 + 1.0);
        const float s = wind.Process(float(random.Signed()), out.rate, 200.0 + 600.0 * swell);
        const double edge = std::min(1.0, std::min(t, kSeconds - t) / 0.5);
        out.At(i, 0) += float(0.5 * swell * edge) * s;
        out.At(i, 1) += float(0.5 * (1.0 - swell) * edge) * s;
    }
    // Distant bells on an E minor pentatonic, at seeded times.
    const int scale[] = {64, 67, 69, 71, 74, 76, 79};
    const std::vector<double> bell = {1.0, 2.76, 5.4, 8.93};
    for (double t = 0.3; t < kSeconds - 4.0; t += 1.6 + 1.4 * random.Real()) {
        const int midi = scale[random.Next() % 7];
        out.Add(Bell(out.rate, NoteHz(midi), 3.5, bell, 1.4), t, 0.18f, float(random.Signed()));
    }
    Reverb(out, 0.07, 0.84, 0.6f);
    out.Normalize(kMusicPeak);
    return out;
}

Buffer Cellar() {
    constexpr double kSeconds = 16.0;
    Buffer out(22050, 1, kSeconds);
    for (int midi : {38, 45, 50}) {
        out.Add(
            Pad(out.rate, NoteHz(midi), kSeconds - 2.5, Envelope{2.0, 1.0, 0.9, 2.0}, 320.0, midi),
            0.0, 0.3f);
    }
    // Water dripping from the vault.
    Random random(91);
    for (double t = 0.7; t < kSeconds - 1.0; t += 0.6 + 1.8 * random.Real()) {
        const double hz = 1400.0 + 900.0 * random.Real();
        out.Add(Thump(out.rate, hz * 1.6, hz, 0.25, 28.0), t, 0.25f);
    }
    Reverb(out, 0.09, 0.86, 0.7f);
    out.Normalize(kMusicPeak);
    return out;
}

} // namespace Sounds
