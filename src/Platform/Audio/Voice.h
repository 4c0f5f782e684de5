#pragma once

#include "Platform/Audio/Event.h"
#include "Platform/Audio/Gain.h"
#include "Platform/Audio/WaveFormat.h"

#include <cstdint>
#include <vector>

namespace Audio {

// The state of one secondary buffer, shared by its owner and the mixer. Everything but the
// sample memory is read and written under the mixer's mutex only. The sample memory is read
// by the mixer only while the voice is playing; the owner writes it directly while the voice
// is stopped and through the staging copy while it plays.
struct Voice {
    // Fixed at creation.
    WaveFormat format;
    std::uint32_t flags = 0;
    std::uint32_t bytes = 0;  // as asked for; the lockable length
    std::uint32_t frames = 0; // whole frames in it: the playable length
    std::uint64_t step = 0;   // source frames per output frame, 32.32 fixed point
    std::vector<std::uint8_t> data;

    // Play state.
    std::uint64_t position = 0; // source frame, 32.32 fixed point
    bool playing = false;
    bool looping = false;
    bool lost = false;

    // Controls.
    std::int32_t volume = 0;
    float volumeGain = 1.0f;
    PanGains pan;
    std::vector<NotifyPosition> notifications; // sorted by offset

    // An open Lock. `locked` and `staged` are under the mutex; the rest, with the staging
    // copy the regions of a playing voice point into, belongs to the owner while locked.
    bool locked = false;
    bool staged = false;
    std::uint32_t lockOffset = 0;
    std::uint32_t lockBytes1 = 0;
    std::uint32_t lockBytes2 = 0;
    std::uint8_t* lockPtr1 = nullptr;
    std::uint8_t* lockPtr2 = nullptr;
    std::vector<std::uint8_t> staging;

    // Adds `count` output frames of this voice to `mix` (interleaved stereo) scaled by
    // `gain` (the output's focus factor), advances the position, sets the events of the
    // notification offsets passed, and stops at the end of the data unless looping.
    // Returns whether the voice still plays. Never allocates.
    bool Mix(float* mix, std::size_t count, float gain);

    // The byte the silence of the format is made of.
    std::uint8_t SilenceByte() const { return format.bits == 8 ? 0x80 : 0x00; }

private:
    void Notify(std::uint64_t firstFrame, std::uint64_t endFrame, std::uint64_t wraps);
};

} // namespace Audio
