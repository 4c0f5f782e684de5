// Frames per second of a busy frame (1,000 sprite quads and 10 lines of text) against a bare
// clear-and-present frame, on whatever OpenGL the video driver gives (SDL's offscreen driver
// with Mesa's software rasteriser when no display is set).
#include "../../support/OffscreenDevice.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Font.h"
#include "Platform/Gfx/Sprite.h"
#include "Platform/Gfx/Surface.h"
#include "Platform/Gfx/System.h"
#include "Platform/Gfx/Texture.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Scene : bench::OffscreenDevice {
    Scene() : OffscreenDevice(0) {
        if (!device) {
            return;
        }
        // A 256x256 atlas of translucent cells, as the cursor and inventory atlases are.
        std::string dds(128, '\0');
        const uint32_t header[] = {
            124, 0x1007, 256, 256, 0,  0,    0, 0,  0,        0,      0,    0,           0,      0,
            0,   0,      0,   0,   32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, 0x1000, 0};
        std::memcpy(dds.data(), "DDS ", 4);
        std::memcpy(dds.data() + 4, header, sizeof(header));
        std::vector<uint32_t> texels(256 * 256);
        for (size_t i = 0; i < texels.size(); ++i) {
            texels[i] = (i % 7 == 0 ? 0x00000000u : 0xC0000000u) | uint32_t(i * 2654435761u >> 8);
        }
        dds.append(reinterpret_cast<const char*>(texels.data()), texels.size() * 4);
        if (device->CreateTextureFromFileInMemory(dds.data(), dds.size(), atlas) != Gfx::kOk ||
            device->CreateSprite(sprite) != Gfx::kOk ||
            device->CreateFont(Gfx::FontDesc(), font) != Gfx::kOk) {
            device.reset();
        }
    }

    std::shared_ptr<Gfx::Texture> atlas;
    std::shared_ptr<Gfx::Sprite> sprite;
    std::shared_ptr<Gfx::Font> font;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// Frames per second of the bare loop, for the busy frame's ratio (benchmarks run in order).
double g_bareFramesPerSecond = 0;

// Runs `draw` between scene begin and present once per iteration; frames per second.
template <typename Draw>
double RunFrames(benchmark::State& state, Scene& scene, Draw draw) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        scene.device->BeginScene();
        scene.device->Clear(0xFF000000);
        draw();
        scene.device->EndScene();
        scene.device->Present();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double fps = elapsed.count() > 0 ? double(state.iterations()) / elapsed.count() : 0;
    state.counters["fps"] = fps;
    return fps;
}

void BareClearAndPresent(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.device) {
        state.SkipWithError("no OpenGL 3.3 device");
        return;
    }
    g_bareFramesPerSecond = RunFrames(state, scene, [] {});
}

void SpritesAndText(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.device) {
        state.SkipWithError("no OpenGL 3.3 device");
        return;
    }
    const std::string line = "Korvantine v1.0 Beta: the quick brown fox jumps over the lazy dog";
    const double fps = RunFrames(state, scene, [&] {
        scene.sprite->Begin(Gfx::SpriteAlphaBlend);
        for (int i = 0; i < 1000; ++i) {
            const Gfx::Rect source{48 * (i % 5), 0, 48 * (i % 5) + 48, 48};
            const Gfx::Vector3 position{float((i * 37) % 976), float((i * 53) % 720), 0};
            scene.sprite->Draw(scene.atlas, &source, nullptr, &position, 0xFFFFFFFF);
        }
        scene.sprite->End();
        for (int l = 0; l < 10; ++l) {
            const Gfx::Rect rect{0, 16 * l, 1024, 16 * l + 16};
            scene.font->DrawText(line, -1, rect, Gfx::TextNoClip, 0xFFCCCCCC);
        }
    });
    // The busy frame's rate as a share of the bare loop's.
    state.counters["vs_bare"] = g_bareFramesPerSecond > 0 ? fps / g_bareFramesPerSecond : 0;
}

} // namespace

BENCHMARK(BareClearAndPresent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SpritesAndText)->Unit(benchmark::kMillisecond)->UseRealTime();
