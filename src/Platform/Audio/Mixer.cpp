#include "Platform/Audio/Mixer.h"

#include "Platform/Audio/Voice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Audio {

namespace {

// Room for this many playing voices before Start has to grow the list.
constexpr std::size_t ReservedVoices = 64;

std::int16_t ToOutput(float s) {
    return static_cast<std::int16_t>(std::lrint(std::clamp(s, -32768.0f, 32767.0f)));
}

} // namespace

Mixer::Mixer(int periodFrames) : periodFrames_(periodFrames) {
    all_.reserve(ReservedVoices);
    playing_.reserve(ReservedVoices);
}

void Mixer::Add(Voice* voice) {
    all_.push_back(voice);
}

void Mixer::Remove(Voice* voice) {
    std::erase(all_, voice);
    std::erase(playing_, voice);
}

void Mixer::Start(Voice* voice) {
    if (std::find(playing_.begin(), playing_.end(), voice) == playing_.end()) {
        playing_.push_back(voice);
    }
}

void Mixer::Stop(Voice* voice) {
    std::erase(playing_, voice);
}

void Mixer::LoseAll(bool hold) {
    holdLost_ = hold;
    playing_.clear();
    for (Voice* v : all_) {
        v->lost = true;
        v->playing = false;
        v->looping = false;
        std::fill(v->data.begin(), v->data.end(), v->SilenceByte());
    }
}

void Mixer::Render(std::int16_t* out, std::size_t frames) noexcept {
    std::lock_guard lock(mutex_);
    while (frames > 0) {
        const std::size_t n = std::min(frames, ChunkFrames);
        RenderChunk(out, n);
        out += 2 * n;
        frames -= n;
    }
}

void Mixer::RenderChunk(std::int16_t* out, std::size_t frames) noexcept {
    float* mix = mix_.data();
    std::fill_n(mix, 2 * frames, 0.0f);
    const float gain = focused_ ? 1.0f : 0.0f;
    std::erase_if(playing_, [&](Voice* v) { return !v->Mix(mix, frames, gain); });
    for (std::size_t i = 0; i < 2 * frames; ++i) {
        out[i] = ToOutput(mix[i]);
    }
}

} // namespace Audio
