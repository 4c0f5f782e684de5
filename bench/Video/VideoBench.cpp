// A 640x480 4:2:0 Theora film at 25 frames per second, one update per frame period: decoding
// alone, decoding plus the copy of each frame into a 640x480 surface in memory, and decoding
// plus the copy into the video texture of an offscreen OpenGL device (the lock, the copy and
// the upload at the unlock). Each reports the process's CPU time per frame ("ms/frame", which
// counts the graphics driver's threads and ignores other load on the machine); the copying
// ones also time their decoding apart and report the whole as a multiple of it ("x decode").

#include "../support/OffscreenDevice.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/Texture.h"
#include "Platform/Gfx/Types.h"
#include "Video/TheoraFile.h"
#include "VideoGen/TheoraWriter.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <ctime>
#include <functional>
#include <vector>
#include <wx/mstream.h>

namespace {

constexpr int kFrames = 50;
constexpr std::uint32_t kWidth = 640;
constexpr std::uint32_t kHeight = 480;

// Moving shaded content, so every frame carries real work for the decoder.
const std::string& Film() {
    static const std::string bytes = [] {
        TheoraWriter::Params params;
        params.width = kWidth;
        params.height = kHeight;
        params.frames = kFrames;
        params.quality = 48;
        return TheoraWriter::Encode(params, [](int index, TheoraWriter::Planes& planes) {
            for (std::uint32_t row = 0; row < planes.height; ++row) {
                for (std::uint32_t col = 0; col < planes.width; ++col) {
                    const double wave =
                        std::sin((col + 8.0 * index) * 0.03) * std::cos((row - 5.0 * index) * 0.02);
                    planes.y[row * planes.width + col] =
                        static_cast<std::uint8_t>(128 + 100 * wave);
                }
            }
            for (std::size_t i = 0; i < planes.u.size(); ++i) {
                planes.u[i] = static_cast<std::uint8_t>(i / 7 + static_cast<std::size_t>(index));
                planes.v[i] = static_cast<std::uint8_t>(255 - i / 5);
            }
        });
    }();
    return bytes;
}

// The process's CPU time in ms.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Plays the film to its end once per iteration, `copy` after each update (none: decoding
// only), and reports the time per frame and, with a copy, the whole over the decoding.
void Play(benchmark::State& state, const std::function<void(const TheoraFile&)>& copy) {
    const std::string& film = Film();
    std::int64_t frames = 0;
    double decoding = 0.0;
    double whole = 0.0;
    for (auto _ : state) {
        TheoraFile file("bench", std::make_unique<wxMemoryInputStream>(film.data(), film.size()));
        for (int i = 0; !file.Eof(); ++i) {
            const double start = CpuMs();
            file.Advance(1000.0f + 40.0f * static_cast<float>(i));
            const double decoded = CpuMs();
            if (copy) {
                copy(file);
            }
            decoding += decoded - start;
            whole += CpuMs() - start;
        }
        frames += file.Frames();
    }
    const double count = static_cast<double>(std::max<std::int64_t>(frames, 1));
    state.counters["ms/frame"] = whole / count;
    if (copy) {
        state.counters["x decode"] = whole / decoding;
    }
}

void BM_Decode(benchmark::State& state) {
    Play(state, nullptr);
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

void BM_DecodeAndCopy(benchmark::State& state) {
    std::vector<std::uint32_t> texels(std::size_t{kWidth} * kHeight);
    Gfx::LockedRect rect;
    rect.pitch = kWidth * 4;
    rect.bits = texels.data();
    rect.width = kWidth;
    rect.height = kHeight;
    Play(state, [&](const TheoraFile& file) {
        file.CopyYUV(rect);
        benchmark::DoNotOptimize(texels.data());
    });
}
BENCHMARK(BM_DecodeAndCopy)->Unit(benchmark::kMillisecond);

void BM_DecodeAndCopyToTexture(benchmark::State& state) {
    bench::OffscreenDevice gl;
    std::shared_ptr<Gfx::Texture> texture;
    std::shared_ptr<Gfx::Surface> surface;
    if (!gl.device ||
        gl.device->CreateTexture(kWidth, kHeight, 1, Gfx::UsageDynamic, Gfx::Format::X8R8G8B8,
                                 Gfx::Pool::Default, texture) != Gfx::kOk ||
        texture->GetSurfaceLevel(0, surface) != Gfx::kOk) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    Play(state, [&](const TheoraFile& file) {
        Gfx::LockedRect rect;
        if (surface->LockRect(rect, nullptr, Gfx::LockDiscard) == Gfx::kOk) {
            file.CopyYUV(rect);
            surface->UnlockRect();
        }
    });
}
BENCHMARK(BM_DecodeAndCopyToTexture)->Unit(benchmark::kMillisecond);

} // namespace
