// Texture loading (decode on the CPU, then the upload at first use) of a 1024x1024 DXT1 DDS,
// a 1024x1024 PNG and a six-face 1024x1024 cube map, each against a plain memcpy of its decoded
// bytes in the same run; and the per-frame CPU cost of the film look's hooks in the steady
// state. Runs on SDL's offscreen driver when no display is set.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "../support/OffscreenDevice.h"
#include "Effects/Effects.h"
#include "FileSystem/Locator.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Platform/Gfx/Device.h"
#include "Platform/Gfx/Sprite.h"
#include "Platform/Gfx/System.h"
#include "Platform/Gfx/Texture.h"

#include <SDL.h>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stb_image_write.h>
#include <string>
#include <vector>
#include <wx/init.h>

namespace {

// The device, published to the game code with a sprite.
struct Context : bench::OffscreenDevice {
    Context() {
        std::shared_ptr<Gfx::Sprite> sprite;
        if (device && device->CreateSprite(sprite) != Gfx::kOk) {
            device.reset();
        }
        GfxLink::Publish(device, sprite);
    }
    ~Context() { GfxLink::Withdraw(); }
};

Context& TheContext() {
    static Context context;
    return context;
}

void Put32(std::string& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(char(v >> shift));
    }
}

std::string DdsHeader(uint32_t size, uint32_t pfFlags, uint32_t fourCC, uint32_t bits,
                      uint32_t caps2) {
    const uint32_t fields[] = {124,  0x1007,      size,   size,    0,      0,    0,        0,
                               0,    0,           0,      0,       0,      0,    0,        0,
                               0,    0,           32,     pfFlags, fourCC, bits, 0xFF0000, 0xFF00,
                               0xFF, 0xFF000000u, 0x1008, caps2,   0,      0,    0};
    std::string out = "DDS ";
    for (uint32_t field : fields) {
        Put32(out, field);
    }
    return out;
}

uint32_t Hash(uint32_t i) {
    return i * 2654435761u;
}

std::string Dxt1() {
    std::string dds = DdsHeader(1024, 0x4, 0x31545844, 0, 0); // "DXT1"
    for (uint32_t block = 0; block < 256 * 256; ++block) {
        Put32(dds, Hash(block) | 0x80000000u); // colour 0 above colour 1: four-colour block
        Put32(dds, Hash(block + 7));
    }
    return dds;
}

std::string Png() {
    std::vector<uint8_t> rgba(1024 * 1024 * 4);
    for (size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = uint8_t(i % 4 == 3 ? 255 : (i / 4 % 1024) ^ (i / 4096));
    }
    int length = 0;
    unsigned char* png = stbi_write_png_to_mem(rgba.data(), 1024 * 4, 1024, 1024, 4, &length);
    std::string out(reinterpret_cast<const char*>(png), size_t(length));
    STBIW_FREE(png);
    return out;
}

std::string Cube() {
    std::string dds = DdsHeader(1024, 0x41, 0, 32, 0xFE00);
    for (uint32_t i = 0; i < 6 * 1024 * 1024; ++i) {
        Put32(dds, Hash(i));
    }
    return dds;
}

// Decoding and uploading one file per iteration; "vs_memcpy" is its time over a plain copy of
// the decoded bytes, measured just before.
template <typename T>
void Load(benchmark::State& state, const std::string& file, size_t decodedBytes) {
    Context& context = TheContext();
    if (!context.device) {
        state.SkipWithError("no OpenGL 3.3 device");
        return;
    }
    std::vector<uint8_t> from(decodedBytes, 1), to(decodedBytes);
    const auto copyStart = std::chrono::steady_clock::now();
    constexpr int kCopies = 20;
    for (int i = 0; i < kCopies; ++i) {
        std::memcpy(to.data(), from.data(), decodedBytes);
        benchmark::DoNotOptimize(to.data());
    }
    const std::chrono::duration<double> copy = (std::chrono::steady_clock::now() - copyStart);

    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::shared_ptr<T> texture;
        int result;
        if constexpr (std::is_same_v<T, Gfx::CubeTexture>) {
            result = context.device->CreateCubeTextureFromFileInMemory(file.data(), file.size(),
                                                                       texture);
        } else {
            result =
                context.device->CreateTextureFromFileInMemory(file.data(), file.size(), texture);
        }
        if (result != Gfx::kOk || context.device->SetTexture(0, texture) != Gfx::kOk ||
            context.device->SetTexture(0, nullptr) != Gfx::kOk) {
            state.SkipWithError("texture load failed");
            return;
        }
    }
    const std::chrono::duration<double> load = std::chrono::steady_clock::now() - start;
    const double perLoad = load.count() / double(state.iterations());
    state.counters["vs_memcpy"] = perLoad / (copy.count() / kCopies);
}

void Dxt1Load(benchmark::State& state) {
    static const std::string file = Dxt1();
    Load<Gfx::Texture>(state, file, 1024 * 1024 * 4);
}

void PngLoad(benchmark::State& state) {
    static const std::string file = Png();
    Load<Gfx::Texture>(state, file, 1024 * 1024 * 4);
}

void CubeLoad(benchmark::State& state) {
    static const std::string file = Cube();
    Load<Gfx::CubeTexture>(state, file, 6 * 1024 * 1024 * 4);
}

// The hooks of one film-look frame without their draws: the dust's update and expiry, the
// scratches' parameters and the blur's two target switches, 16 ms apart.
void FilmLookHooks(benchmark::State& state) {
    Context& context = TheContext();
    if (!context.device) {
        state.SkipWithError("no OpenGL 3.3 device");
        return;
    }
    wxInitializer library;
    Locator::Instance().Init(KV_GAME_DIR);
    std::atomic<uint64_t> ticks{0};
    g_opts = new Opts::Data;
    g_game = new Game(Game::Environment{[&ticks] { return ticks.load(); }, [](int) {}});
    {
        Effects set;
        set.OnResetDevice();
        std::shared_ptr<Gfx::Texture> screen;
        context.device->CreateTexture(1024, 768, 1, Gfx::UsageRenderTarget, Gfx::Format::X8R8G8B8,
                                      Gfx::Pool::Default, screen);
        set.blur_.SetSource(screen);
        for (auto _ : state) {
            ticks += 16;
            set.dirt_.Update();
            set.dirt_.RemoveExpired(game().Time());
            set.lines_.SetParams();
            set.blur_.PrePass(0);
            set.blur_.PrePass(1);
        }
        state.counters["spots"] = double(set.dirt_.Spots().size());
    }
    delete g_game;
    g_game = nullptr;
    delete g_opts;
    g_opts = nullptr;
}

BENCHMARK(Dxt1Load)->Unit(benchmark::kMillisecond);
BENCHMARK(PngLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(CubeLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(FilmLookHooks)->Unit(benchmark::kMicrosecond);

} // namespace
