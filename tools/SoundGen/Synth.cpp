#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace Synth {

Buffer::Buffer(int rate_, int channels_, double seconds)
    : rate(rate_), channels(channels_),
      samples(std::size_t(std::lround(seconds * rate_)) * std::size_t(channels_), 0.0f) {}

void Buffer::Add(const std::vector<float>& mono, double startSeconds, float gain, float pan) {
    const std::size_t start = std::size_t(std::max(0L, std::lround(startSeconds * rate)));
    // Equal-power placement between the two channels.
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * kPi / 4;
    const float left = channels == 1 ? gain : gain * float(std::cos(angle) * std::sqrt(2.0));
    const float right = gain * float(std::sin(angle) * std::sqrt(2.0));
    for (std::size_t i = 0; i < mono.size() && start + i < Frames(); ++i) {
        At(start + i, 0) += mono[i] * left;
        if (channels > 1) {
            At(start + i, 1) += mono[i] * right;
        }
    }
}

void Buffer::Normalize(float peak) {
    float largest = 0.0f;
    for (float s : samples) {
        largest = std::max(largest, std::fabs(s));
    }
    if (largest > 0.0f) {
        for (float& s : samples) {
            s *= peak / largest;
        }
    }
}

void Buffer::FoldLoop(double seconds) {
    const std::size_t fold = std::size_t(std::lround(seconds * rate));
    const std::size_t frames = Frames() - fold;
    for (std::size_t i = 0; i < fold; ++i) {
        const float in = float(i) / float(fold);
        for (int c = 0; c < channels; ++c) {
            At(i, c) = At(i, c) * in + At(frames + i, c) * (1.0f - in);
        }
    }
    samples.resize(frames * std::size_t(channels));
}

std::uint64_t Random::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::Real() {
    return double(Next() >> 11) * 0x1p-53;
}

double Random::Signed() {
    return Real() * 2.0 - 1.0;
}

double Random::Gaussian() {
    return (Real() + Real() + Real() + Real() - 2.0) * 1.7;
}

double Envelope::At(double t, double length) const {
    if (t < 0.0) {
        return 0.0;
    }
    double level;
    if (t < attack) {
        level = t / attack;
    } else if (t < attack + decay) {
        level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
    } else {
        level = sustain;
    }
    if (t > length) {
        // The release starts from the level the note had reached when it was let go.
        const double held = At(length, length + 1.0);
        level = release > 0.0 ? held * std::max(0.0, 1.0 - (t - length) / release) : 0.0;
    }
    return level;
}

namespace {

// The coefficients of the common biquad forms, normalised by a0.
Biquad Make(double b0, double b1, double b2, double a0, double a1, double a2) {
    Biquad f;
    f.Set(b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0);
    return f;
}

} // namespace

Biquad Biquad::LowPass(double rate, double cutoff, double q) {
    const double w = 2 * kPi * std::min(cutoff, rate * 0.45) / rate, alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    return Make((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::HighPass(double rate, double cutoff, double q) {
    const double w = 2 * kPi * std::min(cutoff, rate * 0.45) / rate, alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    return Make((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::BandPass(double rate, double centre, double q) {
    const double w = 2 * kPi * std::min(centre, rate * 0.45) / rate, alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    return Make(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::Set(double b0, double b1, double b2, double a1, double a2) {
    b0_ = b0, b1_ = b1, b2_ = b2, a1_ = a1, a2_ = a2;
}

float Biquad::Process(float x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
    return float(y);
}

float OnePole::Process(float x, double rate, double cutoff) {
    const double k = 1.0 - std::exp(-2 * kPi * cutoff / rate);
    y_ += (x - y_) * k;
    return float(y_);
}

double NoteHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

std::vector<float> Pad(int rate, double hz, double length, const Envelope& env, double cutoff,
                       std::uint64_t seed) {
    Random random(seed);
    const std::size_t n = std::size_t(env.Total(length) * rate);
    std::vector<float> out(n);
    const double detune[3] = {-0.004, 0.0, 0.005};
    double phase[3] = {random.Real(), random.Real(), random.Real()};
    Biquad filter = Biquad::LowPass(rate, cutoff, 0.9);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        double s = 0.0;
        for (int v = 0; v < 3; ++v) {
            phase[v] += hz * (1.0 + detune[v]) / rate;
            phase[v] -= std::floor(phase[v]);
            s += 2.0 * phase[v] - 1.0;
        }
        out[i] = filter.Process(float(s / 3.0 * env.At(t, length)));
    }
    return out;
}

std::vector<float> Pluck(int rate, double hz, double seconds, double brightness,
                         std::uint64_t seed) {
    Random random(seed);
    const std::size_t period = std::max<std::size_t>(2, std::size_t(std::lround(rate / hz)));
    std::vector<float> line(period);
    for (float& s : line) {
        s = float(random.Signed());
    }
    const std::size_t n = std::size_t(seconds * rate);
    std::vector<float> out(n);
    const double keep = 0.5 * (1.0 + brightness);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = i % period;
        const float next = line[(at + 1) % period];
        out[i] = line[at];
        // The averaging loses the high partials first, as a real string does.
        line[at] = float(0.996 * (keep * line[at] + (1.0 - keep) * next));
    }
    // A short fade at the end, so a cut-off string does not click.
    const std::size_t fade = std::min<std::size_t>(n, std::size_t(rate / 50));
    for (std::size_t i = 0; i < fade; ++i) {
        out[n - 1 - i] *= float(i) / float(fade);
    }
    return out;
}

std::vector<float> Bell(int rate, double hz, double seconds, const std::vector<double>& ratios,
                        double decay) {
    const std::size_t n = std::size_t(seconds * rate);
    std::vector<float> out(n);
    for (std::size_t p = 0; p < ratios.size(); ++p) {
        const double f = hz * ratios[p];
        if (f > rate * 0.45) {
            continue;
        }
        // Higher partials are quieter and die sooner.
        const double amplitude = 1.0 / double(p + 1);
        const double rateOfDecay = decay * (1.0 + 0.6 * double(p));
        for (std::size_t i = 0; i < n; ++i) {
            const double t = double(i) / rate;
            const double attack = std::min(1.0, t / 0.002);
            out[i] +=
                float(amplitude * attack * std::exp(-t * rateOfDecay) * std::sin(2 * kPi * f * t));
        }
    }
    return out;
}

std::vector<float> Thump(int rate, double fromHz, double toHz, double seconds, double decay) {
    const std::size_t n = std::size_t(seconds * rate);
    std::vector<float> out(n);
    double phase = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        const double hz = toHz + (fromHz - toHz) * std::exp(-t * 30.0);
        phase += hz / rate;
        const double attack = std::min(1.0, t / 0.003);
        out[i] = float(attack * std::exp(-t * decay) * std::sin(2 * kPi * phase));
    }
    return out;
}

std::vector<float> NoiseBurst(int rate, double seconds, double centre, double q,
                              const Envelope& env, std::uint64_t seed) {
    Random random(seed);
    const std::size_t n = std::size_t(env.Total(seconds) * rate);
    std::vector<float> out(n);
    Biquad filter = Biquad::BandPass(rate, centre, q);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = filter.Process(float(random.Signed() * env.At(double(i) / rate, seconds)));
    }
    return out;
}

void Reverb(Buffer& buffer, double roomSeconds, double feedback, float wet) {
    const int rate = buffer.rate;
    // Mutually prime-ish delays scaled by the room size.
    const double combs[4] = {1.0, 1.13, 1.27, 1.41};
    const double passes[2] = {0.005, 0.0017};
    for (int c = 0; c < buffer.channels; ++c) {
        const std::size_t frames = buffer.Frames();
        std::vector<float> dry(frames);
        for (std::size_t i = 0; i < frames; ++i) {
            dry[i] = buffer.At(i, c);
        }
        std::vector<float> sum(frames, 0.0f);
        for (double k : combs) {
            // The second channel's room is a little larger, which widens the sound.
            const std::size_t delay = std::size_t(roomSeconds * k * rate * (1.0 + 0.02 * c));
            std::vector<float> line(delay, 0.0f);
            float damp = 0.0f;
            for (std::size_t i = 0; i < frames; ++i) {
                const float out = line[i % delay];
                damp = 0.6f * out + 0.4f * damp;
                line[i % delay] = dry[i] + float(feedback) * damp;
                sum[i] += out * 0.25f;
            }
        }
        for (double seconds : passes) {
            const std::size_t delay = std::max<std::size_t>(1, std::size_t(seconds * rate));
            std::vector<float> line(delay, 0.0f);
            for (std::size_t i = 0; i < frames; ++i) {
                const float held = line[i % delay];
                const float in = sum[i] + 0.5f * held;
                line[i % delay] = in;
                sum[i] = held - 0.5f * in;
            }
        }
        for (std::size_t i = 0; i < frames; ++i) {
            buffer.At(i, c) = dry[i] + wet * sum[i];
        }
    }
}

} // namespace Synth
