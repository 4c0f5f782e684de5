#include "Effects/Dirt.h"

#include "Game/Check.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/TexMgr.h"
#include "Platform/Gfx/Sprite.h"

#include <algorithm>
#include <cstdint>
#include <random>

namespace {

// The classic seeding of the twister with 4357: state word j is 4357 * 69069^(j+1) modulo
// 2^32; the engine then stands at the end of its state.
struct ClassicSeed {
    using result_type = std::uint32_t;
    template <typename It>
    void generate(It begin, It end) const {
        std::uint32_t word = 4357;
        for (It at = begin; at != end; ++at) {
            word *= 69069u;
            *at = word;
        }
    }
};

std::mt19937 SeededTwister() {
    ClassicSeed seed;
    return std::mt19937(seed);
}

} // namespace

int Dirt::RandomCell() {
    static std::mt19937 generator = SeededTwister();
    // Four equal buckets of the 32-bit range.
    return static_cast<int>(static_cast<std::uint32_t>(generator()) >> 30);
}

float Dirt::RandomReal() {
    static std::mt19937 generator = SeededTwister();
    const float u = static_cast<float>(static_cast<std::uint32_t>(generator())) * 0x1p-32f;
    return 0.0f + (1.0f - 0.0f) * u;
}

void Dirt::Render() {
    if (last_ < 0.0f) {
        last_ = game().Time();
    }
    Update();
    for (const Spot& spot : spots_) {
        Draw(spot);
    }
    const float now = game().Time();
    RemoveExpired(now);
    last_ = now;
}

void Dirt::Update() {
    const float now = game().Time();
    if (last_ < 0.0f) {
        last_ = now;
    }
    const float dt = std::clamp((now - last_) / 1000.0f, 0.0f, kMaxStep);
    last_ = now;
    small_ += dt;
    large_ += dt;
    while (small_ > 0.25f) {
        AddSpot(kFirstPath, firstMissing_, 128, now);
        small_ -= 0.25f;
    }
    while (large_ > 0.5f) {
        AddSpot(kSecondPath, secondMissing_, 64, now);
        large_ -= 0.5f;
    }
}

void Dirt::AddSpot(const char* path, MissingPicture& missing, int cell, float now) {
    Spot spot;
    spot.tex = SimpleOnce(path, missing);
    spot.end = now + 50.0f;
    const float a = RandomReal();
    const float b = RandomReal();
    spot.dst = {b * 1024.0f, a * 768.0f, 0.0f};
    const int k = RandomCell();
    spot.rc = {cell * k, 0, cell * k + cell, cell};
    spots_.push_back(std::move(spot));
}

void Dirt::Draw(const Spot& spot) {
    CheckResult(GfxLink::Sprite().Draw(spot.tex, &spot.rc, nullptr, &spot.dst, 0xFFFFFFFF),
                ".\\Effects\\dirt",
                "dx().sprite()->Draw ( spot.tex, & spot.rc, 0, & spot.dst, 0xFFFFFFFF )");
}

void Dirt::RemoveExpired(float now) {
    spots_.remove_if([now](const Spot& spot) { return spot.end < now; });
}
