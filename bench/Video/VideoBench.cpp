// Decoding speed of a 1024x576 Theora stream: frames decoded and copied into the engine's
// 640x480 video surface (in memory) per second.

#include "Platform/Gfx/Types.h"
#include "Video/TheoraFile.h"
#include "VideoGen/TheoraWriter.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>
#include <wx/mstream.h>

namespace {

constexpr int kFrames = 50;

// Moving shaded content, so every frame carries real work for the decoder.
const std::string& Film() {
    static const std::string bytes = [] {
        TheoraWriter::Params params;
        params.width = 1024;
        params.height = 576;
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

void BM_DecodeFrames(benchmark::State& state) {
    const std::string& film = Film();
    std::vector<std::uint32_t> texels(640 * 480);
    Gfx::LockedRect rect;
    rect.pitch = 640 * 4;
    rect.bits = texels.data();
    rect.width = 640;
    rect.height = 480;
    std::int64_t frames = 0;
    for (auto _ : state) {
        TheoraFile file("bench", std::make_unique<wxMemoryInputStream>(film.data(), film.size()));
        // One update per frame period, as the video state does.
        for (int i = 0; !file.Eof(); ++i) {
            file.Advance(1000.0f + 40.0f * static_cast<float>(i));
            file.CopyYUV(rect);
        }
        frames += file.Frames();
        benchmark::DoNotOptimize(texels.data());
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeFrames)->Unit(benchmark::kMillisecond);

} // namespace
