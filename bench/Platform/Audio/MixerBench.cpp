// Milliseconds of one core to mix one second of output (44100 frames in 1024-frame periods)
// with 32 looping voices, against copying the same 176400 output bytes with memcpy.
#include "Platform/Audio/Device.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace Audio;

constexpr int Voices = 32;
constexpr std::size_t Period = 1024;
constexpr std::size_t SecondFrames = 44100;

struct Format {
    std::uint32_t rate;
    std::uint16_t channels, bits;
    std::uint32_t flags;
};

std::vector<std::uint8_t> Wfx(const Format& f) {
    const std::uint16_t align = static_cast<std::uint16_t>(f.channels * f.bits / 8);
    const std::uint32_t fields[] = {1, f.channels, f.rate, f.rate * align, align, f.bits, 0};
    const int sizes[] = {2, 2, 4, 4, 2, 2, 2};
    std::vector<std::uint8_t> b;
    for (int i = 0; i < 7; ++i) {
        for (int k = 0; k < sizes[i]; ++k) {
            b.push_back(static_cast<std::uint8_t>(fields[i] >> (8 * k)));
        }
    }
    return b;
}

// 32 voices cycling through `formats`, each holding one second of noise-like data, playing
// looped at volumes from 0 to -1550.
struct Scene {
    std::unique_ptr<Device> device;
    std::vector<std::unique_ptr<Buffer>> buffers;

    explicit Scene(const std::vector<Format>& formats) {
        if (Device::Create({Device::Output::Manual, static_cast<int>(Period)}, &device) != Ok) {
            return;
        }
        std::uint32_t seed = 1;
        for (int v = 0; v < Voices; ++v) {
            const Format& f = formats[v % formats.size()];
            const auto wfx = Wfx(f);
            const std::uint32_t bytes = f.rate * f.channels * f.bits / 8;
            std::unique_ptr<Buffer> b;
            if (device->CreateSoundBuffer({f.flags, bytes, wfx}, &b) != Ok) {
                device.reset();
                return;
            }
            void* p = nullptr;
            std::uint32_t n = 0;
            if (b->Lock(0, bytes, &p, &n, nullptr, nullptr, 0) != Ok) {
                device.reset();
                return;
            }
            auto* bytesOut = static_cast<std::uint8_t*>(p);
            for (std::uint32_t i = 0; i < n; ++i) {
                seed = seed * 1664525u + 1013904223u;
                bytesOut[i] = static_cast<std::uint8_t>(seed >> 24);
            }
            if (b->Unlock(p, n, nullptr, 0) != Ok || b->SetVolume(-50 * v) != Ok ||
                ((f.flags & Caps::Ctrl3D) != 0 && b->SetPosition3D(0.6f, 0, 0.8f, 0) != Ok) ||
                b->Play(0, 0, PlayLooping) != Ok) {
                device.reset();
                return;
            }
            buffers.push_back(std::move(b));
        }
    }
};

void MixOneSecond(benchmark::State& state, const std::vector<Format>& formats) {
    Scene scene(formats);
    if (scene.device == nullptr) {
        state.SkipWithError("cannot set up the voices");
        return;
    }
    std::vector<std::int16_t> out(Period * 2);
    for (auto _ : state) {
        for (std::size_t done = 0; done < SecondFrames; done += Period) {
            scene.device->Render(out.data(), std::min(Period, SecondFrames - done));
            benchmark::DoNotOptimize(out.data());
        }
    }
}

void BM_Mix32Voices_Stereo44k(benchmark::State& state) {
    MixOneSecond(state, {{44100, 2, 16, 0x82}});
}

void BM_Mix32Voices_MixedFormats(benchmark::State& state) {
    MixOneSecond(state, {{44100, 2, 16, 0x10180},
                         {22050, 1, 16, 0x82},
                         {11025, 1, 8, 0x82},
                         {44100, 1, 16, 0x92},
                         {22050, 2, 16, 0x92},
                         {48000, 2, 16, 0x82}});
}

// The baseline: copying one second of output bytes.
void BM_MemcpyOneSecondOfOutput(benchmark::State& state) {
    std::vector<std::uint8_t> from(SecondFrames * 4, 1);
    std::vector<std::uint8_t> to(SecondFrames * 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Mix32Voices_Stereo44k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mix32Voices_MixedFormats)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyOneSecondOfOutput)->Unit(benchmark::kMillisecond);

} // namespace
