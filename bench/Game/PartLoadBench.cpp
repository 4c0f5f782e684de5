// Loading a part of 100 textures of 1024x1024 (half DDS, half PNG) from a pack through the
// preload worker, against decoding the same files in a plain loop; and the frame rate of the
// user-interface thread while the worker loads, against the bare frame loop. Memory freed by one
// round goes back to the system before the next, so every round of both pays for its fresh
// pages alike, whichever thread's heap it allocates from (the "faults_per_texture" counters show
// it): the loader and the loop are compared, not the allocator's reuse of freed memory.

#include "../support/OffscreenDevice.h"
#include "FileSystem/Locator.h"
#include "FileSystem/Pack.h"
#include "Game/Game.h"
#include "Game/GfxLink.h"
#include "Game/Opts.h"
#include "Game/Startup.h"
#include "Platform/Gfx/Texture.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <wx/init.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {

// The page faults the process has taken so far (every thread's).
long Faults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

constexpr int kTextures = 100;
constexpr int kSize = 1024;

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

// A picture with some structure, so the PNG has work to do.
std::vector<std::uint8_t> Pixels(int seed) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSize) * kSize * 4);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * kSize + x) * 4];
            p[0] = static_cast<std::uint8_t>(x ^ (y + seed));
            p[1] = static_cast<std::uint8_t>((x * y) >> 8);
            p[2] = static_cast<std::uint8_t>(y + seed * 3);
            p[3] = 255;
        }
    }
    return rgba;
}

// An uncompressed 32-bit DDS.
std::vector<std::uint8_t> Dds(const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> out = {'D', 'D', 'S', ' '};
    const std::uint32_t header[31] = {
        124,      0x100F, kSize, kSize,       kSize * 4, 0, 0, 0,  0,    0, 0,
        0,        0,      0,     0,           0,         0, 0, 32, 0x41, 0, 32,
        0xFF0000, 0xFF00, 0xFF,  0xFF000000u, 0x1000,    0, 0, 0,  0};
    for (const std::uint32_t v : header) {
        Put32(out, v);
    }
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        out.insert(out.end(), {rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]});
    }
    return out;
}

std::vector<std::uint8_t> Png(const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> out;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
            bytes->insert(bytes->end(), static_cast<std::uint8_t*>(data),
                          static_cast<std::uint8_t*>(data) + size);
        },
        &out, kSize, kSize, 4, rgba.data(), kSize * 4);
    return out;
}

std::string Name(int i) {
    return "tex/t" + std::to_string(i) + (i % 2 == 0 ? ".dds" : ".png");
}

// The game tree with the pack, the game object on the offscreen device, and a map of two
// parts: "big" (a screen per texture) and "small" (nothing); neither loading state exists, so
// the benchmark starts each preload as the loading screen's activation would.
struct Context : bench::OffscreenDevice {
    Context()
        : root(fs::temp_directory_path() / ("kv_part_load_" + std::to_string(::getpid()))),
          opts(g_opts), gameObject(g_game) {
        if (!device) {
            return;
        }
        GfxLink::Publish(device, nullptr);
        Pack::Entries entries;
        for (int i = 0; i < kTextures; ++i) {
            const std::vector<std::uint8_t> rgba = Pixels(i);
            entries[Name(i)] = i % 2 == 0 ? Dds(rgba) : Png(rgba);
        }
        fs::create_directories(root / "Data");
        if (!Pack::Write(entries, (root / "Data" / "textures.kpk").string())) {
            std::abort();
        }
        Locator::Instance().Init(root.string());
        std::string screens;
        for (int i = 0; i < kTextures; ++i) {
            screens += "<screen name=\"s" + std::to_string(i) + "\" src=\"" + Name(i) + "\"/>";
        }
        const std::string xml =
            "<korvantine><map autoload=\"small\" menu=\"none\">"
            "<part name=\"big\" start=\"s0\" load=\"l_big\" effect=\"clean\"><sounds/><textures/>" +
            screens +
            "</part><part name=\"small\" start=\"x\" load=\"l_small\" effect=\"clean\">"
            "<sounds/><textures/></part></map></korvantine>";
        game().map_.Load(XmlDom::Child(XmlDom::Root(XmlDom::LoadString(xml)), "map"));
        game().map_.StartPreload();
        Wait(nullptr);
    }
    ~Context() {
        game().map_.JoinPreload();
        GfxLink::Withdraw();
        fs::remove_all(root);
    }

    // Renders frames (or, with `render` false, sleeps) until the preload's flag comes;
    // answers the frames drawn.
    int Wait(int* frames, bool render = true) {
        int count = 0;
        while (!game().map_.TakeLoadedFlag()) {
            if (!render) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            device->Clear(0xFF000000u);
            device->Present();
            ++count;
        }
        if (frames != nullptr) {
            *frames += count;
        }
        return count;
    }

    wxInitializer library;
    fs::path root;
    ScopedGlobal<Opts::Data> opts;
    ScopedGlobal<Game> gameObject;
};

Context& TheContext() {
    static Context context;
    return context;
}

// The part's load through the worker, while the frame loop runs (argument 1) or while the
// user-interface thread sleeps (argument 0).
void BM_PartLoad(benchmark::State& state) {
    const bool render = state.range(0) != 0;
    Context& context = TheContext();
    if (!context.device) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    Map& map = game().map_;
    int frames = 0;
    double seconds = 0.0;
    long faults = 0;
    malloc_trim(0);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const long before = Faults();
        map.LoadPart("big", false);
        map.StartPreload();
        context.Wait(&frames, render);
        faults += Faults() - before;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        map.LoadPart("small", false); // releases the big part's textures
        map.StartPreload();
        context.Wait(nullptr);
        malloc_trim(0);
        state.ResumeTiming();
    }
    if (render) {
        state.counters["frames_per_s"] = frames / seconds;
    }
    state.counters["faults_per_texture"] = double(faults) / double(state.iterations() * kTextures);
}
BENCHMARK(BM_PartLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same files read from the pack and decoded in a plain loop on one thread. The textures are
// kept until the loop ends, as a part keeps its textures: a loop that dropped each one at once
// would decode into the same recycled memory every time and never pay for the 400 MiB of fresh
// pages that a loaded part holds, which on a virtual machine is a good part of the load.
void BM_PlainDecode(benchmark::State& state) {
    Context& context = TheContext();
    if (!context.device) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    long faults = 0;
    malloc_trim(0);
    for (auto _ : state) {
        const long before = Faults();
        std::vector<std::shared_ptr<Gfx::Texture>> textures(kTextures);
        for (int i = 0; i < kTextures; ++i) {
            std::vector<std::uint8_t> bytes;
            Locator::Instance().ReadAll(Name(i), bytes);
            context.device->CreateTextureFromFileInMemory(bytes.data(), bytes.size(), textures[i]);
        }
        faults += Faults() - before;
        state.PauseTiming();
        textures.clear();
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["faults_per_texture"] = double(faults) / double(state.iterations() * kTextures);
}
BENCHMARK(BM_PlainDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bare frame loop, for the frame rate during the load.
void BM_BareFrames(benchmark::State& state) {
    Context& context = TheContext();
    if (!context.device) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    for (auto _ : state) {
        context.device->Clear(0xFF000000u);
        context.device->Present();
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BareFrames)->UseRealTime();

} // namespace
