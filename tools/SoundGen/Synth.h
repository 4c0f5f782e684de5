#pragma once

#include <cstdint>
#include <vector>

// The few signal pieces the demo's sounds are made of: a sample buffer to mix into,
// oscillators, envelopes, filters, a plucked string, a small room reverb and a seeded noise
// source. Everything is deterministic: the same program writes the same samples.
namespace Synth {

constexpr double kPi = 3.14159265358979323846;

// Interleaved float samples, nominally in [-1, 1].
struct Buffer {
    int rate = 44100;
    int channels = 1;
    std::vector<float> samples;

    Buffer(int rate, int channels, double seconds);
    std::size_t Frames() const { return samples.size() / std::size_t(channels); }
    float& At(std::size_t frame, int channel) {
        return samples[frame * std::size_t(channels) + std::size_t(channel)];
    }
    // Adds a mono signal from `startSeconds` on, placed by `pan` (-1 left, 0 centre, 1 right);
    // what runs past the end is dropped.
    void Add(const std::vector<float>& mono, double startSeconds, float gain, float pan = 0.0f);
    // Scales everything so the largest magnitude is `peak`.
    void Normalize(float peak);
    // Makes the buffer loop without a click: the last `seconds` are faded into the start,
    // and the buffer is shortened by them.
    void FoldLoop(double seconds);
};

// A small deterministic generator (splitmix64).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    double Real();     // [0, 1)
    double Signed();   // [-1, 1)
    double Gaussian(); // roughly normal, from the sum of four uniforms

private:
    std::uint64_t state_;
};

// Attack, decay to sustain, release; times in seconds; `length` is the time the note is held.
struct Envelope {
    double attack = 0.01, decay = 0.1, sustain = 0.7, release = 0.3;
    double At(double t, double length) const;
    double Total(double length) const { return length + release; }
};

// A two-pole resonant filter (the usual biquad forms).
class Biquad {
public:
    static Biquad LowPass(double rate, double cutoff, double q = 0.707);
    static Biquad HighPass(double rate, double cutoff, double q = 0.707);
    static Biquad BandPass(double rate, double centre, double q);
    void Set(double b0, double b1, double b2, double a1, double a2);
    float Process(float x);

private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One pole smoothing: a gentle low-pass whose cutoff can change per sample.
class OnePole {
public:
    float Process(float x, double rate, double cutoff);

private:
    double y_ = 0;
};

double NoteHz(double midi);

// A soft pad: detuned saws through a low-pass, shaped by the envelope.
std::vector<float> Pad(int rate, double hz, double length, const Envelope& env, double cutoff,
                       std::uint64_t seed);
// A plucked string (Karplus-Strong) ringing for `seconds`.
std::vector<float> Pluck(int rate, double hz, double seconds, double brightness,
                         std::uint64_t seed);
// A bell or a struck metal: inharmonic partials, each decaying on its own.
std::vector<float> Bell(int rate, double hz, double seconds, const std::vector<double>& ratios,
                        double decay);
// A sine with an exponentially falling pitch: thumps and knocks.
std::vector<float> Thump(int rate, double fromHz, double toHz, double seconds, double decay);
// Band-passed noise with an envelope: swishes, slides and breath.
std::vector<float> NoiseBurst(int rate, double seconds, double centre, double q,
                              const Envelope& env, std::uint64_t seed);

// A Schroeder room (four combs, two all-passes) mixed in with `wet`.
void Reverb(Buffer& buffer, double roomSeconds, double feedback, float wet);

} // namespace Synth
