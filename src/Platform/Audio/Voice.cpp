#include "Platform/Audio/Voice.h"

#include <cstring>

namespace Audio {

namespace {

constexpr std::uint64_t FractionBits = 32;
constexpr std::uint64_t FractionMask = (std::uint64_t(1) << FractionBits) - 1;
constexpr float FractionScale = 1.0f / 4294967296.0f;

// One sample of channel `ch` of frame `frame`, on the 16-bit scale.
template <int Bits, int Channels>
inline float Sample(const std::uint8_t* data, std::uint32_t frame, int ch) {
    if constexpr (Bits == 8) {
        return (static_cast<int>(data[frame * Channels + ch]) - 128) * 256.0f;
    } else {
        std::int16_t s;
        std::memcpy(&s, data + (std::size_t(frame) * Channels + ch) * 2, sizeof s);
        return s;
    }
}

struct MixState {
    std::uint64_t position;
    std::uint64_t wraps = 0;
    bool ended = false;
};

// The inner loop for one source format. Linear interpolation between the frame under the
// position and the next one (the first frame when looping at the end, the same frame when
// not); a fraction of 0 copies the source sample unchanged. `Down` mixes the channels to
// mono before the stereo gains (3-D buffers).
template <int Bits, int Channels, bool Down>
MixState MixFormat(const Voice& v, float* mix, std::size_t count, float gainL, float gainR) {
    const std::uint8_t* data = v.data.data();
    const std::uint32_t frames = v.frames;
    const std::uint64_t end = std::uint64_t(frames) << FractionBits;
    MixState st{v.position};
    for (std::size_t n = 0; n < count; ++n) {
        const auto i = static_cast<std::uint32_t>(st.position >> FractionBits);
        const float f = static_cast<float>(st.position & FractionMask) * FractionScale;
        const std::uint32_t j = i + 1 < frames ? i + 1 : (v.looping ? 0 : i);
        float l = Sample<Bits, Channels>(data, i, 0);
        l += (Sample<Bits, Channels>(data, j, 0) - l) * f;
        float r = l;
        if constexpr (Channels == 2) {
            r = Sample<Bits, Channels>(data, i, 1);
            r += (Sample<Bits, Channels>(data, j, 1) - r) * f;
        }
        if constexpr (Down) {
            l = r = (l + r) * 0.5f;
        }
        mix[2 * n] += l * gainL;
        mix[2 * n + 1] += r * gainR;
        st.position += v.step;
        if (st.position >= end) {
            if (!v.looping) {
                st.ended = true;
                return st;
            }
            while (st.position >= end) {
                st.position -= end;
                ++st.wraps;
            }
        }
    }
    return st;
}

template <int Bits, int Channels>
MixState MixChannels(const Voice& v, float* mix, std::size_t count, float gainL, float gainR) {
    if (Channels == 2 && (v.flags & Caps::Ctrl3D) != 0) {
        return MixFormat<Bits, Channels, true>(v, mix, count, gainL, gainR);
    }
    return MixFormat<Bits, Channels, false>(v, mix, count, gainL, gainR);
}

} // namespace

bool Voice::Mix(float* mix, std::size_t count, float gain) {
    const float gainL = volumeGain * pan.left * gain;
    const float gainR = volumeGain * pan.right * gain;
    const std::uint64_t first = position >> FractionBits;
    MixState st;
    if (format.bits == 8) {
        st = format.channels == 1 ? MixChannels<8, 1>(*this, mix, count, gainL, gainR)
                                  : MixChannels<8, 2>(*this, mix, count, gainL, gainR);
    } else {
        st = format.channels == 1 ? MixChannels<16, 1>(*this, mix, count, gainL, gainR)
                                  : MixChannels<16, 2>(*this, mix, count, gainL, gainR);
    }
    if (st.ended) {
        Notify(first, frames, 0);
        playing = false;
        looping = false;
        position = 0;
        return false;
    }
    position = st.position;
    Notify(first, position >> FractionBits, st.wraps);
    return true;
}

// Sets the events of the offsets in the bytes consumed: from frame `firstFrame` up to (not
// including) `endFrame`, after `wraps` passes over the end of the data.
void Voice::Notify(std::uint64_t firstFrame, std::uint64_t endFrame, std::uint64_t wraps) {
    if (notifications.empty()) {
        return;
    }
    const std::uint64_t align = format.blockAlign;
    const std::uint64_t consumed = wraps * frames + endFrame - firstFrame;
    const bool all = consumed >= frames;
    for (const NotifyPosition& n : notifications) {
        const std::uint64_t o = n.offset;
        bool passed;
        if (all) {
            passed = true;
        } else if (wraps == 0) {
            passed = firstFrame * align <= o && o < endFrame * align;
        } else {
            passed = firstFrame * align <= o || o < endFrame * align;
        }
        if (passed) {
            n.event->Set();
        }
    }
}

} // namespace Audio
