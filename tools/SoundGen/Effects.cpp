// The demo's sound effects: the looping sea and foghorn of the panoramas and the one-shots of
// doors, the drawer, the inventory, pages and the menu.

#include "Sounds.h"

#include <cmath>
#include <vector>

namespace Sounds {

namespace {

using namespace Synth;

constexpr int kRate = 22050;

Buffer Finished(Buffer& out, float peak) {
    out.Normalize(peak);
    return std::move(out);
}

// A creaking hinge: a train of stick-slip clicks, their rate wandering, ringing in the wood.
std::vector<float> Creak(double seconds, double fromHz, double toHz, std::uint64_t seed) {
    Random random(seed);
    const std::size_t n = std::size_t(seconds * kRate);
    std::vector<float> clicks(n, 0.0f);
    double phase = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / n;
        const double hz = fromHz + (toHz - fromHz) * t + 25.0 * std::sin(t * 19.0);
        phase += hz / kRate;
        if (phase >= 1.0) {
            phase -= 1.0;
            clicks[i] = float(0.6 + 0.4 * random.Real());
        }
    }
    Biquad body = Biquad::BandPass(kRate, 700.0, 4.0);
    Biquad squeal = Biquad::BandPass(kRate, 1700.0, 6.0);
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / n;
        const double env = std::sin(kPi * t);
        out[i] = float(env) * (body.Process(clicks[i]) + 0.6f * squeal.Process(clicks[i]));
    }
    return out;
}

} // namespace

Buffer Sea() {
    // Eight seconds of surf that loop: three waves, each a swell of low rumble and hiss.
    constexpr double kLoop = 8.0, kFold = 1.0;
    Buffer out(44100, 2, kLoop + kFold);
    Random random(3);
    OnePole rumble[2], hiss[2];
    for (std::size_t i = 0; i < out.Frames(); ++i) {
        const double t = double(i) / out.rate;
        for (int c = 0; c < 2; ++c) {
            // The waves break a little later on the right.
            const double wave = 0.5 - 0.5 * std::cos(2 * kPi * (t / (kLoop / 3) - 0.08 * c));
            const float noise = float(random.Signed());
            const float low = rumble[c].Process(noise, out.rate, 180.0 + 250.0 * wave);
            const float high = noise - hiss[c].Process(noise, out.rate, 2500.0);
            out.At(i, c) = float(0.25 + 0.75 * wave) * low * 3.0f + float(0.15 * wave) * high;
        }
    }
    out.FoldLoop(kFold);
    return Finished(out, kAmbientPeak);
}

Buffer Foghorn() {
    // One long blast in seven seconds, with its echo dying away before the loop begins again.
    constexpr double kLoop = 7.0;
    Buffer out(kRate, 1, kLoop);
    const Envelope env{0.35, 0.2, 0.9, 0.9};
    for (double hz : {110.0, 165.3}) {
        out.Add(Pad(kRate, hz, 2.0, env, 420.0, std::uint64_t(hz)), 0.2, 0.5f);
    }
    Reverb(out, 0.11, 0.7, 0.5f);
    // The room's tail would run past the end; it is faded out so the loop does not click.
    const std::size_t fade = std::size_t(1.5 * kRate);
    for (std::size_t i = 0; i < fade; ++i) {
        out.samples[out.Frames() - 1 - i] *= float(i) / float(fade);
    }
    return Finished(out, kAmbientPeak);
}

Buffer Door() {
    Buffer out(kRate, 1, 1.6);
    out.Add(Creak(1.1, 90.0, 220.0, 11), 0.0, 1.0f);
    out.Add(Thump(kRate, 140.0, 55.0, 0.5, 9.0), 1.1, 1.4f);
    out.Add(NoiseBurst(kRate, 0.02, 1800.0, 1.0, Envelope{0.001, 0.02, 0.0, 0.0}, 12), 1.1, 0.5f);
    Reverb(out, 0.03, 0.6, 0.3f);
    return Finished(out, kEffectPeak);
}

Buffer Rattle() {
    // A locked door: the handle shaken three times against the latch.
    Buffer out(kRate, 1, 0.8);
    for (int k = 0; k < 3; ++k) {
        out.Add(Thump(kRate, 320.0, 180.0, 0.15, 30.0), 0.05 + 0.18 * k, 0.8f);
        out.Add(Bell(kRate, 1250.0 + 90.0 * k, 0.15, {1.0, 1.7, 2.9}, 40.0), 0.05 + 0.18 * k,
                0.35f);
    }
    return Finished(out, kEffectPeak);
}

Buffer Drawer() {
    Buffer out(kRate, 1, 0.9);
    // Wood sliding on wood: band-passed noise with a rough, juddering level.
    std::vector<float> slide =
        NoiseBurst(kRate, 0.55, 420.0, 1.2, Envelope{0.05, 0.1, 0.8, 0.1}, 22);
    for (std::size_t i = 0; i < slide.size(); ++i) {
        slide[i] *= float(0.6 + 0.4 * std::sin(double(i) / kRate * 2 * kPi * 23.0));
    }
    out.Add(slide, 0.0, 1.0f);
    out.Add(Thump(kRate, 190.0, 90.0, 0.3, 18.0), 0.62, 0.9f);
    return Finished(out, kEffectPeak);
}

Buffer Key() {
    // A small iron key lifted: three bright metallic touches.
    Buffer out(kRate, 1, 0.6);
    const std::vector<double> metal = {1.0, 1.47, 2.09, 2.56, 3.31};
    const double hits[3][2] = {{0.0, 2300.0}, {0.07, 2650.0}, {0.16, 2450.0}};
    for (const auto& hit : hits) {
        out.Add(Bell(kRate, hit[1], 0.4, metal, 11.0), hit[0], 0.8f);
    }
    return Finished(out, kEffectPeak);
}

Buffer Drop() {
    // Something put back in the pocket: a soft thud.
    Buffer out(kRate, 1, 0.3);
    out.Add(Thump(kRate, 260.0, 120.0, 0.25, 22.0), 0.0, 1.0f);
    out.Add(NoiseBurst(kRate, 0.04, 900.0, 0.8, Envelope{0.002, 0.03, 0.2, 0.05}, 31), 0.0, 0.4f);
    return Finished(out, kEffectPeak * 0.7f);
}

Buffer Page() {
    // A page turned: a swish that rises in pitch.
    Buffer out(kRate, 1, 0.45);
    Random random(41);
    Biquad band = Biquad::BandPass(kRate, 1500.0, 0.9);
    for (std::size_t i = 0; i < out.Frames(); ++i) {
        const double t = double(i) / out.Frames();
        const double env = std::sin(kPi * t) * std::sin(kPi * t);
        out.samples[i] = band.Process(float(random.Signed() * env * (0.7 + 0.3 * t)));
    }
    return Finished(out, kEffectPeak * 0.8f);
}

Buffer Click() {
    // A menu button: a short wooden tick.
    Buffer out(kRate, 1, 0.12);
    out.Add(Thump(kRate, 1300.0, 700.0, 0.08, 60.0), 0.0, 1.0f);
    out.Add(NoiseBurst(kRate, 0.006, 3000.0, 1.5, Envelope{0.0005, 0.005, 0.0, 0.0}, 51), 0.0,
            0.5f);
    return Finished(out, kEffectPeak * 0.8f);
}

Buffer Candle() {
    // A match struck and the wick catching.
    Buffer out(kRate, 1, 1.0);
    out.Add(NoiseBurst(kRate, 0.12, 2600.0, 0.7, Envelope{0.005, 0.05, 0.6, 0.05}, 61), 0.0, 1.0f);
    out.Add(NoiseBurst(kRate, 0.5, 350.0, 0.6, Envelope{0.15, 0.2, 0.5, 0.3}, 62), 0.1, 0.8f);
    Random random(63);
    for (double t = 0.12; t < 0.8; t += 0.03 + 0.08 * random.Real()) {
        out.Add(
            NoiseBurst(kRate, 0.004, 4000.0, 2.0, Envelope{0.0005, 0.003, 0.0, 0.0}, random.Next()),
            t, 0.3f);
    }
    return Finished(out, kEffectPeak);
}

} // namespace Sounds
